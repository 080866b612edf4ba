#include "install/folder_name.h"

#include <cstring>

#include "shell/text_format.h"

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
    for (std::size_t i = 0; i + 1 < length; ++i) {
        if (name[i] == '\\' && name[i + 1] == '\\') {
            faults.list[faults.count++] = {FolderNameFaultKind::consecutiveBackslashes, '\\'};
            break;
        }
    }
}

bool dropLeadingBackslash(char* name)
{
    if (name[0] != '\\')
        return false;
    std::memmove(name, name + 1, std::strlen(name));
    return true;
}

bool endWithBackslash(char* name, std::size_t size)
{
    std::size_t length = std::strlen(name);
    if (length == 0)
        return true;
    if (name[length - 1] != '\\')
        return appendText(name, size, "\\");
    // One removed and one appended leave the name as it is, unless nothing else was left.
    if (length == 1)
        name[0] = '\0';
    return true;
}
