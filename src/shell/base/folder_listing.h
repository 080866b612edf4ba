// The sub-folders of a folder, as its listing gives them.
#ifndef VK_FOLDER_LISTING_H
#define VK_FOLDER_LISTING_H

#include <windows.h>

#include "shell/base/path_walker.h"

// Calls visit(found) for each entry of the listing of pattern (a folder and "*.*") that carries
// the directory bit, "." and ".." aside, in listing order, until visit returns false. A listing
// that cannot be read visits nothing.
template <typename Visit>
void visitSubFolders(const char* pattern, Visit visit)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !isDotEntry(found.cFileName) && !visit(found))
            break;
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

#endif
