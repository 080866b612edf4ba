// The level choices: 108 before a fresh install, 112-114 over an existing installation.
#ifndef VK_CHOICE_DIALOGS_H
#define VK_CHOICE_DIALOGS_H

#include <windows.h>

// Dialog 108, opened by menu 104.
INT_PTR CALLBACK levelChoiceDialogProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam);

// Dialogs 112, 113 and 114, opened by menu 105 after the recorded level.
INT_PTR CALLBACK upgradeChoiceDialogProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam);

#endif
