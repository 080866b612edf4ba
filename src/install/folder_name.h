// The rules for the folder name typed in the install dialog, byte by byte in code page 932.
#ifndef VK_FOLDER_NAME_H
#define VK_FOLDER_NAME_H

#include <cstddef>

#include "shell/base/limits.h"

// A folderName of this many bytes or more, its final backslash included, is too long.
constexpr std::size_t folderNameLimit = 240;

enum class FolderNameFaultKind { tooLong, forbiddenCharacter, consecutiveBackslashes };

struct FolderNameFault {
    FolderNameFaultKind kind;
    char character;   // the forbidden byte, for forbiddenCharacter
};

// The faults of one name in the order they are told: length, each forbidden byte from the
// first to the last, then the first pair of backslashes. A name of longPathSize bytes can
// give at most one fault per byte and two more.
struct FolderNameFaults {
    std::size_t count;
    FolderNameFault list[longPathSize + 2];
};

// Fills faults for a NUL-terminated name; no fault means the name is accepted.
void findFolderNameFaults(const char* name, FolderNameFaults& faults);

// Removes one leading backslash; true when there was one (the edit control then shows the
// shortened text).
bool dropLeadingBackslash(char* name);

// Removes one trailing backslash and, unless the name is then empty, appends one; false (the
// name unchanged) when the backslash would not fit in size bytes. Characters count here, not
// bytes: a double-byte character whose trail byte is 5C is no backslash, and a lead byte
// without its trail byte is dropped.
bool endWithBackslash(char* name, std::size_t size);

#endif
