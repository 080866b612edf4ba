// The Microsoft Plus! warning, dialog 116: its window-contents-while-dragging setting disturbs
// the game. OK wants the CD in the drive, as the game will; the close box does not.

#include "install/plus_warning.h"

#include "resources/resource.h"
#include "shell/base/cd_probe.h"
#include "shell/base/registry_probe.h"

static const char plusKey[] = "Software\\Microsoft\\Plus!";

int plusInstalled()
{
    return registryKeyExists(HKEY_CURRENT_USER, plusKey) ? 1 : 0;
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
