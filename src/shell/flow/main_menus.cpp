// The main menus: 104 offers a fresh install, 105 serves an installed game. Both keep nothing of
// their own; what outlives a message is in the setup state.

#include "shell/flow/main_menus.h"

#include "install/level_choice_dialog.h"
#include "install/upgrade_choice_dialog.h"
#include "record/install_record.h"
#include "removal/removal.h"
#include "removal/uninstall_dialog.h"
#include "resources/resource.h"
#include "shell/base/cd_probe.h"
#include "shell/base/dialogs.h"
#include "shell/base/launch.h"
#include "shell/base/path_walker.h"
#include "shell/base/setup_state.h"
#include "shell/base/text_format.h"
#include "shell/base/texts.h"

// Handlers both menus share.

static void onOpen(HWND dlg)
{
    setup.mainMenuWnd = dlg;
    makeTopMost(dlg);
}

static void onClose(HWND dlg)
{
    const char textConfirmExit[] = "終了しますか？";
    if (showMessage(dlg, textConfirmExit, captionSetup, MB_YESNO) == IDYES)
        EndDialog(dlg, 1);
}

static void onExit(HWND dlg)
{
    PostMessageA(dlg, WM_CLOSE, 0, 0);
}

static void onBonusVoices(HWND dlg)
{
    const char bonusFolderFormat[] = "%s\\omake\\";
    const char bonusProgramFormat[] = "%s\\omake\\soundin.exe";
    const char textInsertCd[] = "ＣＤを入れて再度実行して下さい。";
    const char textDirectoryCheckFailed[] = "ディレクトリチェックに失敗しました。終了します。";
    if (!probeCd(dlg))
        return;
    // A directory longer than the buffer is not read at all: as unreadable as a failed call.
    DWORD length = GetCurrentDirectoryA(pathSize, setup.startDir);
    if (length == 0 || length >= pathSize) {
        showMessage(dlg, textDirectoryCheckFailed, captionError, MB_OK);
        return;
    }
    dropFinalSeparator(setup.startDir);

    char program[rootSize + sizeof bonusProgramFormat];
    char folder[rootSize + sizeof bonusFolderFormat];
    bool started = formatText(program, sizeof program, bonusProgramFormat, setup.cdDrive) &&
                   formatText(folder, sizeof folder, bonusFolderFormat, setup.cdDrive) &&
                   launchProgram(program, folder);
    if (started)
        EndDialog(dlg, 1);
    else
        showMessage(dlg, textInsertCd, nullptr, MB_OK);
}

// Menu 104.

static void onInstall(HWND dlg)
{
    openDialog(IDD_LEVEL_CHOICE, dlg, levelChoiceDialogProc);
}

// Menu 105.

static void onStartGame(HWND dlg)
{
    if (!probeCd(dlg))
        return;
    char program[longPathSize + sizeof gameProgramFormat];
    if (formatText(program, sizeof program, gameProgramFormat, setup.installDir))
        launchProgram(program, setup.installDir);
    // The menu ends whether or not the game could be started; a failed start is not told.
    EndDialog(dlg, 1);
}

static void onReinstall(HWND dlg)
{
    switch (setup.chosenType) {
    case installMinimum: openDialog(IDD_UPGRADE_FROM_MINIMUM, dlg, upgradeChoiceDialogProc); break;
    case installStandard: openDialog(IDD_UPGRADE_FROM_STANDARD, dlg, upgradeChoiceDialogProc); break;
    case installFull: openDialog(IDD_UPGRADE_FROM_FULL, dlg, upgradeChoiceDialogProc); break;
    }
}

// After a removal the record decides the menu: a complete one keeps 105, anything less gets 104,
// which runs inside this handler; the ended 105 closes when the handler returns.
static void onUninstall(HWND dlg)
{
    if (!probeCd(dlg))
        return;
    openDialog(IDD_UNINSTALL, dlg, uninstallDialogProc);
    if (setup.uninstallDone != 0)
        showMessage(dlg, textUninstallFinished, captionSetup, MB_OK);
    if (readInstallRecord() == recordComplete) {
        ShowWindow(dlg, SW_SHOWNORMAL);
        return;
    }
    EndDialog(setup.mainMenuWnd, 1);
    setup.mainMenuWnd = nullptr;
    runMainMenu(IDD_MENU_NEW);
}

INT_PTR CALLBACK newGameMenuProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG: onOpen(dlg); break;
    case WM_CLOSE: onClose(dlg); break;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_MENU_INSTALL: onInstall(dlg); break;
        case IDC_MENU_BONUS_VOICES: onBonusVoices(dlg); break;
        case IDC_MENU_EXIT: onExit(dlg); break;
        }
        break;
    }
    return 0;
}

INT_PTR CALLBACK installedGameMenuProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG: onOpen(dlg); break;
    case WM_CLOSE: onClose(dlg); break;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_MENU_START_GAME: onStartGame(dlg); break;
        case IDC_MENU_INSTALL: onReinstall(dlg); break;
        case IDC_MENU_UNINSTALL: onUninstall(dlg); break;
        case IDC_MENU_BONUS_VOICES: onBonusVoices(dlg); break;
        case IDC_MENU_EXIT: onExit(dlg); break;
        }
        break;
    }
    return 0;
}

void runMainMenu(int templateId)
{
    openDialog(templateId, nullptr,
               templateId == IDD_MENU_INSTALLED ? installedGameMenuProc : newGameMenuProc);
}
