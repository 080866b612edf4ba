#include "shell/base/path_walker.h"

#include <cstring>

namespace {

struct LeadBytes {
    bool lead[256];
};

LeadBytes tableOf(const unsigned char* ranges, std::size_t count)
{
    LeadBytes table{};
    for (std::size_t i = 0; i + 1 < count && (ranges[i] != 0 || ranges[i + 1] != 0); i += 2)
        for (unsigned c = ranges[i]; c <= ranges[i + 1]; ++c)
            table.lead[c] = true;
    return table;
}

const unsigned char codePage932[] = {0x81, 0x9F, 0xE0, 0xFC};

LeadBytes leadBytes = tableOf(codePage932, sizeof codePage932);

}  // namespace

void setLeadByteRanges(const unsigned char* ranges, std::size_t count)
{
    leadBytes = tableOf(ranges, count);
}

bool isLeadByte(unsigned char c)
{
    return leadBytes.lead[c];
}

std::size_t nextCharacter(const char* text, std::size_t i)
{
    if (isLeadByte(static_cast<unsigned char>(text[i])) && text[i + 1] != '\0')
        return i + 2;
    return i + 1;
}

std::size_t lastCharacter(const char* text, std::size_t length)
{
    std::size_t last = 0;
    for (std::size_t i = 0; i < length; i = nextCharacter(text, i))
        last = i;
    return last;
}

bool endsWithSeparator(const char* text, std::size_t length)
{
    return length > 0 && lastCharacter(text, length) == length - 1 && text[length - 1] == '\\';
}

bool endsWithLoneLeadByte(const char* text, std::size_t length)
{
    return length > 0 && lastCharacter(text, length) == length - 1 &&
           isLeadByte(static_cast<unsigned char>(text[length - 1]));
}

bool dropFinalSeparator(char* text)
{
    std::size_t length = std::strlen(text);
    if (!endsWithSeparator(text, length))
        return false;
    text[length - 1] = '\0';
    return true;
}

bool isDotEntry(const char* name)
{
    return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}

int nextPathPrefix(const char* path, std::int32_t& cursor)
{
    for (;;) {
        std::size_t at = static_cast<std::size_t>(cursor);
        char c = path[at];
        cursor = static_cast<std::int32_t>(nextCharacter(path, at));
        if (c == '\\')
            return 0;
        if (c == '\0')
            return 1;
    }
}
