// Any bytes as the text of the folder-name field: normalised, then checked as at Start.

#include <cstdint>
#include <cstring>

#include "install/folder_name.h"

static void require(bool condition)
{
    if (!condition)
        __builtin_trap();
}

static bool isForbidden(unsigned char c)
{
    return c != 0 && std::strchr("\"*/:<>?|", c) != nullptr;
}

static void check(const char* name)
{
    FolderNameFaults faults;
    findFolderNameFaults(name, faults);
    std::size_t length = std::strlen(name);
    std::size_t next = 0;
    if (length >= folderNameLimit) {
        require(faults.count > 0 && faults.list[0].kind == FolderNameFaultKind::tooLong);
        ++next;
    }
    for (std::size_t i = 0; i < length; ++i) {
        if (isForbidden(static_cast<unsigned char>(name[i]))) {
            require(next < faults.count);
            require(faults.list[next].kind == FolderNameFaultKind::forbiddenCharacter);
            require(faults.list[next].character == name[i]);
            ++next;
        }
    }
    bool pair = std::strstr(name, "\\\\") != nullptr;
    if (pair)
        require(next < faults.count && faults.list[next++].kind == FolderNameFaultKind::consecutiveBackslashes);
    require(next == faults.count);
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // folderName as the install dialog fills it: cleared, then at most 255 bytes of the field.
    char folderName[longPathSize];
    std::memset(folderName, 0, sizeof folderName);
    std::memcpy(folderName, data, size < 255 ? size : 255);
    check(folderName);

    bool dropped = dropLeadingBackslash(folderName);
    require(!dropped || folderName[longPathSize - 1] == '\0');
    require(endWithBackslash(folderName, sizeof folderName));
    std::size_t length = std::strlen(folderName);
    require(length <= 256);
    require(length == 0 || folderName[length - 1] == '\\');
    check(folderName);

    // A whole buffer's worth, as a longer text would fill it.
    char full[longPathSize + 1];
    std::size_t taken = size < longPathSize ? size : longPathSize;
    std::memcpy(full, data, taken);
    full[taken] = '\0';
    check(full);
    return 0;
}
