// The level choices over an existing installation: 112 over a minimum, 113 over a standard and
// 114 over a full one. They share one procedure; the main menu hides behind them.

#include "install/upgrade_choice_dialog.h"

#include "install/level_choice_dialog.h"
#include "install/upgrade_dialog.h"
#include "resources/resource.h"
#include "shell/base/dialogs.h"
#include "shell/base/setup_state.h"

static void onOpen(HWND dlg)
{
    setup.typeChoiceWnd = dlg;
    hideMainMenu();
    makeTopMost(dlg);
    SetDlgItemTextA(dlg, IDC_UPGRADE_INSTALLED_FOLDER, setup.installDir);
}

// The upgrade dialog ends this one when the drive has room; otherwise the choice stays open.
static void onLevel(HWND dlg, int button)
{
    setup.chosenType = levelOfButton(button);
    openDialog(IDD_UPGRADE, dlg, upgradeDialogProc);
}

static void onBack(HWND dlg)
{
    PostMessageA(dlg, WM_CLOSE, 0, 0);
}

// Backing out leaves the level as recorded.
static void onClose(HWND dlg)
{
    setup.typeChoiceWnd = nullptr;
    EndDialog(dlg, 1);
    setup.chosenType = setup.installedType;
    showMainMenu();
}

// Esc (IDCANCEL) does nothing: these dialogs have no cancel button.
INT_PTR CALLBACK upgradeChoiceDialogProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG: onOpen(dlg); break;
    case WM_CLOSE: onClose(dlg); break;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_LEVEL_STANDARD:
        case IDC_LEVEL_FULL: onLevel(dlg, LOWORD(wParam)); break;
        case IDC_UPGRADE_BACK: onBack(dlg); break;
        }
        break;
    }
    return 0;
}
