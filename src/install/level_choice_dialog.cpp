// The level choice before a fresh install, dialog 108. The main menu hides behind it.

#include "install/choice_dialogs.h"
#include "resources/resource.h"
#include "shell/setup_state.h"

static void onOpen(HWND dlg)
{
    setup.typeChoiceWnd = dlg;
    ShowWindow(setup.mainMenuWnd, SW_HIDE);
    makeTopMost(dlg);
}

static void onClose(HWND dlg)
{
    setup.typeChoiceWnd = nullptr;
    EndDialog(dlg, 1);
    ShowWindow(setup.mainMenuWnd, SW_SHOWNORMAL);
}

// The level buttons open the install dialog 106; that dialog does not exist yet, so they do
// nothing for now. Esc (IDCANCEL) does nothing either: the dialog has no cancel button.
INT_PTR CALLBACK levelChoiceDialogProc(HWND dlg, UINT msg, WPARAM, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG: onOpen(dlg); break;
    case WM_CLOSE: onClose(dlg); break;
    }
    return 0;
}
