#include "install/partial_file.h"

#include <windows.h>

#include "shell/base/limits.h"
#include "shell/base/text_format.h"

bool partialFilePath(char* out, std::size_t size, const char* folder)
{
    return formatText(out, size, "%s%s", folder, partialFileName);
}

bool discardPartialFile(const char* path)
{
    if (DeleteFileA(path) || GetLastError() == ERROR_FILE_NOT_FOUND)
        return true;
    if (GetLastError() != ERROR_ACCESS_DENIED)
        return false;
    return SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL) && DeleteFileA(path);
}

void discardPartialFileIn(const char* folder)
{
    char path[longPathSize + sizeof partialFileName];
    if (partialFilePath(path, sizeof path, folder))
        discardPartialFile(path);
}
