// The shortcut offer, dialog 110, opened by the copy engine after a completed copy.
#ifndef VK_SHORTCUT_DIALOG_H
#define VK_SHORTCUT_DIALOG_H

#include <windows.h>

INT_PTR CALLBACK shortcutDialogProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam);

#endif
