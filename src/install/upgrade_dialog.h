// The upgrade dialog 115, opened by the upgrade choices 112 and 113.
#ifndef VK_UPGRADE_DIALOG_H
#define VK_UPGRADE_DIALOG_H

#include <windows.h>

INT_PTR CALLBACK upgradeDialogProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam);

#endif
