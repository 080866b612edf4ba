// The Microsoft Plus! warning, dialog 116: its window-contents-while-dragging setting disturbs
// the game. OK wants the CD in the drive, as the game will; the close box does not.

#include "install/plus_warning.h"

#include "resources/resource.h"
#include "shell/setup_state.h"

static const char plusKey[] = "Software\\Microsoft\\Plus!";

int plusInstalled()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, plusKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return 0;
    RegCloseKey(key);
    return 1;
}

static void onOk(HWND dlg)
{
    if (probeCd(dlg))
        PostMessageA(dlg, WM_CLOSE, 0, 0);
}

INT_PTR CALLBACK plusWarningDialogProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM)
{
    switch (msg) {
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_PLUS_OK: onOk(dlg); break;
        }
        break;
    case WM_CLOSE: EndDialog(dlg, 1); break;
    }
    return 0;
}
