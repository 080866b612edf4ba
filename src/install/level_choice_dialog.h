// The level choice before a fresh install, dialog 108, opened by menu 104.
#ifndef VK_LEVEL_CHOICE_DIALOG_H
#define VK_LEVEL_CHOICE_DIALOG_H

#include <windows.h>

#include "shell/base/limits.h"

INT_PTR CALLBACK levelChoiceDialogProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam);

// The level a level button of 108, 112 or 113 stands for: 1032 minimum, 1034 standard, 1033 full.
InstallType levelOfButton(int id);

#endif
