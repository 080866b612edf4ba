// The chain of folders from a drive down to the install folder, for removing them bottom-up.
#ifndef VK_FOLDER_CHAIN_H
#define VK_FOLDER_CHAIN_H

#include <cstdint>

#include "shell/base/limits.h"

// Entry k becomes dir up to, not including, its (k+1)-th backslash, found with the shared path
// walker from cursor 0 (the 5C trail byte of a double-byte character is none). Building stops at
// an entry that would not fit pathSize or at a full table: nothing is cut short or written past.
// Returns true when every backslash got its entry.
bool buildFolderChain(const char* dir, char (*chain)[pathSize], int capacity, std::int32_t& cursor,
                      std::int32_t& count);

// The folder's own name within entry k (k >= 1): what follows entry k-1 and its backslash.
const char* chainFolderName(const char (*chain)[pathSize], int k);

// True for a drive ("C:") or a drive root ("C:\"), and for anything else without a backslash
// before its trailing ones: such a folder is never swept or removed.
bool isDriveLevel(const char* entry);

#endif
