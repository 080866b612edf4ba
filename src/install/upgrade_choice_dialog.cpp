// The level choices over an existing installation: 112 over a minimum, 113 over a standard and
// 114 over a full one. They share one procedure; the main menu hides behind them.

#include "install/choice_dialogs.h"
#include "resources/resource.h"
#include "shell/setup_state.h"

static void onOpen(HWND dlg)
{
    setup.typeChoiceWnd = dlg;
    ShowWindow(setup.mainMenuWnd, SW_HIDE);
    makeTopMost(dlg);
    SetDlgItemTextA(dlg, IDC_UPGRADE_INSTALLED_FOLDER, setup.installDir);
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
    ShowWindow(setup.mainMenuWnd, SW_SHOWNORMAL);
}

// The level buttons open the upgrade dialog 115; that dialog does not exist yet, so they do
// nothing for now.
INT_PTR CALLBACK upgradeChoiceDialogProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG: onOpen(dlg); break;
    case WM_CLOSE: onClose(dlg); break;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_UPGRADE_BACK: onBack(dlg); break;
        }
        break;
    }
    return 0;
}
