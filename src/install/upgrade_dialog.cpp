// The upgrade dialog 115: copies the chosen level's files into the recorded folder, keeping what
// is there, then hands over to the updater on the CD or, after a failure, to a new menu 105.
// It opens over the level choice and ends it once the drive has room.

#include "install/upgrade_dialog.h"

#include <cstdint>

#include "install/copy_engine.h"
#include "install/free_space.h"
#include "install/plus_warning.h"
#include "install/progress_panel.h"
#include "install/size_tables.h"
#include "resources/resource.h"
#include "shell/base/cd_probe.h"
#include "shell/base/dialogs.h"
#include "shell/base/launch.h"
#include "shell/base/setup_state.h"
#include "shell/base/texts.h"
#include "shell/flow/main_menus.h"

static const char textConfirmCancel[] = "再インストールを中止しますか？";

// Too little room ends only this dialog: the player is back at the level choice.
static void onOpen(HWND dlg)
{
    makeTopMost(dlg);
    SetActiveWindow(dlg);
    resetProgressPanel(dlg);
    setup.copyState = copyIdle;

    std::uint32_t required = 0;
    if (!upgradeRequiredBytes(setup.installedType, setup.chosenType, required) ||
        !hasRoomFor(setup.installDrive, required)) {
        showMessage(dlg, textNoRoom, nullptr, MB_OK);
        EndDialog(dlg, 1);
        showMainMenu();
        return;
    }

    // Read again for the display: the room check keeps no count.
    showFreeSpace(dlg, setup.installDrive);
    showMegabytes(dlg, IDC_PROGRESS_REQUIRED, required);
    SetDlgItemTextA(dlg, IDC_PROGRESS_DESTINATION, setup.installDir);
    if (setup.typeChoiceWnd)
        EndDialog(setup.typeChoiceWnd, 1);
    setup.typeChoiceWnd = nullptr;
}

// The record still holds the old level, so the new menu is 105 again; it runs inside this
// handler until the player leaves it.
static void afterFailure(HWND dlg)
{
    EndDialog(dlg, 1);
    showMessage(dlg, textUpgradeFailed, captionSetup, MB_OK);
    setup.chosenType = setup.installedType;
    setup.copyState = copyIdle;
    EndDialog(setup.mainMenuWnd, 1);
    setup.mainMenuWnd = nullptr;
    runMainMenu(IDD_MENU_INSTALLED);
}

// The engine has ended this dialog; the main menu shows again when it is destroyed and serves
// the new level. A failed start of the updater is not told.
static void afterSuccess(HWND dlg)
{
    showMessage(dlg, textUpgradeDone, captionSetup, MB_OK);
    if (plusInstalled() == 1)
        openDialog(IDD_PLUS_WARNING, dlg, plusWarningDialogProc);
    setup.chosenType = setup.installedType;
    launchProgram(updaterProgram, setup.startDir);
}

// The copy pumps messages, so Start can arrive again while it runs: copyState turns it away.
static void onStart(HWND dlg)
{
    if (!probeCd(dlg))
        return;
    if (setup.copyState != copyIdle)
        return;
    if (runUpgradeInstall(dlg, setup.chosenType) == 1)
        afterSuccess(dlg);
    else
        afterFailure(dlg);
}

static void onCancel(HWND dlg)
{
    PostMessageA(dlg, WM_CLOSE, 0, 0);
}

// During a copy a confirmed close only asks the engine to stop and roll back; the Start handler
// below takes the failure path when the engine returns.
static void onClose(HWND dlg)
{
    if (!confirmClose(dlg, textConfirmCancel))
        return;
    EndDialog(dlg, 1);
    setup.chosenType = setup.installedType;
}

static void onDestroy()
{
    showMainMenu();
}

INT_PTR CALLBACK upgradeDialogProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG: onOpen(dlg); break;
    case WM_CLOSE: onClose(dlg); break;
    case WM_DESTROY: onDestroy(); break;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_PROGRESS_START: onStart(dlg); break;
        case IDC_PROGRESS_CANCEL: onCancel(dlg); break;
        }
        break;
    }
    return 0;
}
