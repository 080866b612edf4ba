#include "shell/path_walker.h"

int nextPathPrefix(const char* path, std::int32_t& cursor)
{
    for (;;) {
        char c = path[cursor];
        ++cursor;
        if (c == '\\')
            return 0;
        if (c == '\0')
            return 1;
    }
}
