// The level choice before a fresh install, dialog 108, opened by menu 104.
#ifndef VK_LEVEL_CHOICE_DIALOG_H
#define VK_LEVEL_CHOICE_DIALOG_H

#include <windows.h>

INT_PTR CALLBACK levelChoiceDialogProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam);

#endif
