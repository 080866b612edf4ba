// Where a fresh install goes and whether a drive has room: free space, the folder name typed
// in the install dialog, and the creation of the install folder.
#ifndef VK_DESTINATION_H
#define VK_DESTINATION_H

#include <windows.h>

#include <cstdint>

#include "shell/limits.h"

// A drive root such as "D:\" is three characters.
constexpr std::size_t driveRootLength = rootSize - 1;

// Free bytes available to the user on a drive root such as "D:\"; 1 on success, 0 otherwise
// (out is then not to be used).
int queryFreeBytes(const char* root, std::uint64_t& out);

// True when the free space can be read and is at least required.
bool hasRoomFor(const char* root, std::uint64_t required);

// Shows the base folder followed by folderName, the folder Start will install into, in 1050.
void showDestination(HWND window);

// Takes field 1019 of the install dialog into folderName, normalised, and shows the resulting
// destination in 1050.
void normaliseFolderName(HWND window);

// Checks folderName as Start finds it; every fault has been told (owned by window) when it
// returns false.
bool validateFolderName(HWND window);

// Composes targetDir from the base folder and folderName and makes it ready, asking before an
// existing folder or a drive root is used. 1 when targetDir exists and ends with a backslash.
int createInstallFolder(HWND window);

// Removes, deepest first, the levels of targetDir that the last createInstallFolder made; a
// level that cannot be removed is told (owned by window) and the levels above it stay.
void removeMadeFolders(HWND window);

#endif
