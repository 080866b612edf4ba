#include "install/folder_name.h"

#include <cstring>

#include "shell/base/path_walker.h"
#include "shell/base/text_format.h"

// Bytes of 0x80 and above never match: only these single bytes are refused, so a trail byte
// such as the 0x7C of ポ is refused as |.
static bool isForbidden(char c)
{
    return c != '\0' && std::strchr("\"*/:<>?|", c) != nullptr;
}

void findFolderNameFaults(const char* name, FolderNameFaults& faults)
{
    faults.count = 0;
    std::size_t length = std::strlen(name);
    if (length >= folderNameLimit)
        faults.list[faults.count++] = {FolderNameFaultKind::tooLong, '\0'};
    for (std::size_t i = 0; i < length && faults.count < longPathSize + 1; ++i) {
        if (isForbidden(name[i]))
            faults.list[faults.count++] = {FolderNameFaultKind::forbiddenCharacter, name[i]};
    }
    // Characters, not bytes: the 5C that ends ソ or 予 is no backslash, so "十予\\能" has none
    // in a row.
    bool afterBackslash = false;
    for (std::size_t i = 0; i < length; i = nextCharacter(name, i)) {
        bool backslash = name[i] == '\\';
        if (backslash && afterBackslash) {
            faults.list[faults.count++] = {FolderNameFaultKind::consecutiveBackslashes, '\\'};
            break;
        }
        afterBackslash = backslash;
    }
}

bool dropLeadingBackslash(char* name)
{
    if (name[0] != '\\')
        return false;
    std::memmove(name, name + 1, std::strlen(name));
    return true;
}

// The last character decides, not the last byte: ソ ends in the byte 5C, and a name ending in it
// taken for one ending in a backslash would put the game's files beside the install folder, as
// "D:\ソVELKORIN.EXE". A lead byte without its trail byte is dropped, since the backslash
// appended to it would become its trail.
bool endWithBackslash(char* name, std::size_t size)
{
    std::size_t length = std::strlen(name);
    if (endsWithLoneLeadByte(name, length))
        name[--length] = '\0';
    if (length == 0)
        return true;
    if (!endsWithSeparator(name, length))
        return appendText(name, size, "\\");
    // One removed and one appended leave the name as it is, unless nothing else was left.
    if (length == 1)
        name[0] = '\0';
    return true;
}
