// The shortcut offer after a copy, dialog 110: Yes creates the Start-menu shortcut, No does not.

#include "record/shortcut_dialog.h"

#include "record/shortcut.h"
#include "resources/resource.h"
#include "shell/base/dialogs.h"

static void onOpen(HWND dlg)
{
    makeTopMost(dlg);
}

// The dialog closes whatever the outcome; the failures have been told.
static void onYes(HWND dlg)
{
    createShortcut(dlg);
    PostMessageA(dlg, WM_CLOSE, 0, 0);
}

static void onNo(HWND dlg)
{
    PostMessageA(dlg, WM_CLOSE, 0, 0);
}

INT_PTR CALLBACK shortcutDialogProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG: onOpen(dlg); break;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_SHORTCUT_YES: onYes(dlg); break;
        case IDC_SHORTCUT_NO: onNo(dlg); break;
        }
        break;
    case WM_CLOSE: EndDialog(dlg, 1); break;
    }
    return 0;
}
