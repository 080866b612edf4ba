// The uninstall dialog 109: the player chooses between removing everything and keeping the saves.
// It hides the main menu and leaves showing it again to the menu.

#include "removal/uninstall_dialog.h"

#include "removal/removal.h"
#include "resources/resource.h"
#include "shell/base/dialogs.h"
#include "shell/base/setup_state.h"
#include "shell/base/texts.h"

static void onOpen(HWND dlg)
{
    setup.uninstallDone = 0;
    SendDlgItemMessageA(dlg, IDC_UNINSTALL_DELETE_ALL, BM_SETCHECK, BST_CHECKED, 0);
    SendDlgItemMessageA(dlg, IDC_UNINSTALL_KEEP_SAVES, BM_SETCHECK, BST_UNCHECKED, 0);
    hideMainMenu();
    makeTopMost(dlg);
}

static bool isChecked(HWND dlg, int id)
{
    return SendDlgItemMessageA(dlg, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// One removal at most: the dialog closes right after it.
static void onStart(HWND dlg)
{
    if (isChecked(dlg, IDC_UNINSTALL_DELETE_ALL)) {
        if (showMessage(dlg, textConfirmDeleteSaves, captionWarning, MB_YESNO) != IDYES)
            return;
        removeInstallation(dlg, 0);
    } else if (isChecked(dlg, IDC_UNINSTALL_KEEP_SAVES)) {
        removeInstallation(dlg, 1);
    } else {
        return;
    }
    setup.uninstallDone = 1;
    PostMessageA(dlg, WM_CLOSE, 0, 0);
}

static void onCancel(HWND dlg)
{
    PostMessageA(dlg, WM_CLOSE, 0, 0);
}

INT_PTR CALLBACK uninstallDialogProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG: onOpen(dlg); break;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_UNINSTALL_START: onStart(dlg); break;
        case IDC_UNINSTALL_CANCEL: onCancel(dlg); break;
        }
        break;
    case WM_CLOSE: EndDialog(dlg, 1); break;
    }
    return 0;
}
