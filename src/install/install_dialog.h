// The install dialog 106, opened by the level choice 108 (and by itself after a folder-name
// fault), and the handlers of its folder field, which the polling step and Start call.
#ifndef VK_INSTALL_DIALOG_H
#define VK_INSTALL_DIALOG_H

#include <windows.h>

INT_PTR CALLBACK installDialogProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam);

// Shows the base folder followed by folderName, the folder Start will install into, in 1050.
void showDestination(HWND window);

// Takes field 1019 into folderName, normalised, and shows the resulting destination in 1050.
void normaliseFolderName(HWND window);

// Checks folderName as Start finds it; every fault has been told (owned by window) when it
// returns false.
bool validateFolderName(HWND window);

#endif
