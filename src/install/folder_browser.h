// The folder browser, dialog 111: picks the base folder of a fresh install on the drive chosen
// in the install dialog.
#ifndef VK_FOLDER_BROWSER_H
#define VK_FOLDER_BROWSER_H

#include <windows.h>

// Opened by Browse in dialog 106. Leaves the choice in browseSelection, an index into
// browsePaths; the tables stay filled after it has closed.
INT_PTR CALLBACK folderBrowserDialogProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam);

#endif
