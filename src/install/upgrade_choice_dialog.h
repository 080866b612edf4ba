// The level choices over an existing installation, dialogs 112, 113 and 114, opened by menu 105
// after the recorded level.
#ifndef VK_UPGRADE_CHOICE_DIALOG_H
#define VK_UPGRADE_CHOICE_DIALOG_H

#include <windows.h>

INT_PTR CALLBACK upgradeChoiceDialogProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam);

#endif
