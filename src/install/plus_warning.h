// The Microsoft Plus! warning, dialog 116, shown after a successful install or upgrade.
#ifndef VK_PLUS_WARNING_H
#define VK_PLUS_WARNING_H

#include <windows.h>

// 1 when HKEY_CURRENT_USER "Software\Microsoft\Plus!" can be opened, else 0.
int plusInstalled();

INT_PTR CALLBACK plusWarningDialogProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam);

#endif
