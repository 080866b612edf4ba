// The install folder of a fresh install: made ready level by level before the copy, and the
// levels it made taken away again when the install is cancelled.
#ifndef VK_INSTALL_FOLDER_H
#define VK_INSTALL_FOLDER_H

#include <windows.h>

// The folder a fresh install proposes below the drive root.
constexpr char defaultFolderName[] = "Orbek\\VELKORIN\\";

// The base folder: the selected drive's root or the folder picked in the folder browser.
const char* baseFolder();

// Composes targetDir from the base folder and folderName and makes it ready, asking before an
// existing folder or a drive root is used. 1 when targetDir exists and ends with a backslash.
// Notes in madeFolderLength the shallowest level it made.
int createInstallFolder(HWND window);

// Removes, deepest first, the levels of targetDir that the last createInstallFolder made; a
// level that cannot be removed is told (owned by window) and the levels above it stay.
void removeMadeFolders(HWND window);

#endif
