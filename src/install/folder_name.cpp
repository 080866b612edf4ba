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

// Lead bytes of code page 932; the byte after one belongs to the same character.
static bool isLeadByte(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// Where the last character of a name begins; a lead byte at the very end, without its trail
// byte, counts as a character of its own.
static std::size_t lastCharacter(const char* name, std::size_t length)
{
    std::size_t last = 0;
    for (std::size_t i = 0; i < length; ++i) {
        last = i;
        if (isLeadByte(static_cast<unsigned char>(name[i])) && i + 1 < length)
            ++i;
    }
    return last;
}

// The last character decides, not the last byte: ソ ends in the byte 5C, and a name ending in it
// taken for one ending in a backslash would put the game's files beside the install folder, as
// "D:\ソVELKORIN.EXE". A lead byte without its trail byte is dropped, since the backslash
// appended to it would become its trail.
bool endWithBackslash(char* name, std::size_t size)
{
    std::size_t length = std::strlen(name);
    if (length > 0 && lastCharacter(name, length) == length - 1 &&
        isLeadByte(static_cast<unsigned char>(name[length - 1])))
        name[--length] = '\0';
    if (length == 0)
        return true;
    if (lastCharacter(name, length) != length - 1 || name[length - 1] != '\\')
        return appendText(name, size, "\\");
    // One removed and one appended leave the name as it is, unless nothing else was left.
    if (length == 1)
        name[0] = '\0';
    return true;
}
