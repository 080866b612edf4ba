#include "shell/base/text_format.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

bool formatText(char* out, std::size_t size, const char* format, ...)
{
    if (size == 0)
        return false;
    va_list args;
    va_start(args, format);
    int length = std::vsnprintf(out, size, format, args);
    va_end(args);
    if (length < 0 || static_cast<std::size_t>(length) >= size) {
        out[0] = '\0';
        return false;
    }
    return true;
}

bool copyText(char* out, std::size_t size, const char* text)
{
    if (size == 0)
        return false;
    std::size_t length = std::strlen(text);
    if (length >= size) {
        out[0] = '\0';
        return false;
    }
    std::memmove(out, text, length + 1);
    return true;
}

bool appendText(char* out, std::size_t size, const char* text)
{
    std::size_t used = std::strlen(out);
    std::size_t length = std::strlen(text);
    if (used + length >= size)
        return false;
    std::memmove(out + used, text, length + 1);
    return true;
}
