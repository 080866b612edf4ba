// The uninstall dialog 109, opened by menu 105.
#ifndef VK_UNINSTALL_DIALOG_H
#define VK_UNINSTALL_DIALOG_H

#include <windows.h>

INT_PTR CALLBACK uninstallDialogProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam);

#endif
