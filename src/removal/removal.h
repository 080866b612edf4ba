// Removing an installation.
#ifndef VK_REMOVAL_H
#define VK_REMOVAL_H

#include <windows.h>

// Deletes the catalogue's files from installDir (the save files too unless keepSaves is 1),
// the emptied folders, the shortcut and the record.
void removeInstallation(HWND owner, int keepSaves);

// Removes only the emptied folders of installDir (after an upgrade's own files were deleted).
void removeInstallFolders(HWND owner);

#endif
