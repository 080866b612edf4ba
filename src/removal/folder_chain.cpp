#include "removal/folder_chain.h"

#include <cstring>

#include "shell/base/path_walker.h"

bool buildFolderChain(const char* dir, char (*chain)[pathSize], int capacity, std::int32_t& cursor,
                      std::int32_t& count)
{
    count = 0;
    cursor = 0;
    while (nextPathPrefix(dir, cursor) == 0) {
        std::size_t length = static_cast<std::size_t>(cursor - 1);
        if (count >= capacity || length >= pathSize)
            return false;
        std::memcpy(chain[count], dir, length);
        chain[count][length] = '\0';
        ++count;
    }
    return true;
}

const char* chainFolderName(const char (*chain)[pathSize], int k)
{
    return chain[k] + std::strlen(chain[k - 1]) + 1;
}

bool isDriveLevel(const char* entry)
{
    std::int32_t cursor = 0;
    if (nextPathPrefix(entry, cursor) == 1)
        return true;
    // Past the first backslash only further backslashes may follow: a 5C where a character
    // begins is always one.
    while (entry[cursor] == '\\')
        ++cursor;
    return entry[cursor] == '\0';
}
