// The two progress dialogs: 106 installs afresh, 115 upgrades the recorded installation.
#ifndef VK_PROGRESS_DIALOGS_H
#define VK_PROGRESS_DIALOGS_H

#include <windows.h>

// Dialog 106, opened by the level choice 108 (and by itself after a folder-name fault).
INT_PTR CALLBACK installDialogProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam);

// Dialog 115, opened by the upgrade choices 112 and 113.
INT_PTR CALLBACK upgradeDialogProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam);

#endif
