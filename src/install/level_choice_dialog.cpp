// The level choice before a fresh install, dialog 108. The main menu hides behind it.

#include "install/level_choice_dialog.h"

#include "install/install_dialog.h"
#include "resources/resource.h"
#include "shell/base/dialogs.h"
#include "shell/base/setup_state.h"

static void onOpen(HWND dlg)
{
    setup.typeChoiceWnd = dlg;
    hideMainMenu();
    makeTopMost(dlg);
}

InstallType levelOfButton(int id)
{
    switch (id) {
    case IDC_LEVEL_STANDARD: return installStandard;
    case IDC_LEVEL_FULL: return installFull;
    default: return installMinimum;
    }
}

// The install dialog ends this one once it has found a drive; without one the player is back
// here and may choose a smaller level.
static void onLevel(HWND dlg, int button)
{
    setup.chosenType = levelOfButton(button);
    openDialog(IDD_INSTALL, dlg, installDialogProc);
}

static void onClose(HWND dlg)
{
    setup.typeChoiceWnd = nullptr;
    EndDialog(dlg, 1);
    showMainMenu();
}

// Esc (IDCANCEL) does nothing: the dialog has no cancel button, and the close box is the way back.
INT_PTR CALLBACK levelChoiceDialogProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG: onOpen(dlg); break;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_LEVEL_MINIMUM:
        case IDC_LEVEL_STANDARD:
        case IDC_LEVEL_FULL: onLevel(dlg, LOWORD(wParam)); break;
        }
        break;
    case WM_CLOSE: onClose(dlg); break;
    }
    return 0;
}
