#include "install/manifest_reader.h"

#include <cstring>

// The manifest is opened in binary mode and the reader applies the text-mode rules of the
// Windows C runtime itself (CR LF becomes LF, a lone CR stays, Ctrl-Z ends the file). Line
// reading then behaves the same in the setup program, in the native tests and in the fuzzer,
// whose C libraries do not translate line ends.

// The section markers in code page 932. They are written as bytes because the fuzzer's
// compiler cannot convert its literals to that code page.
static const char markerMinimum[] = "\x5B\x8D\xC5\x8F\xAC\x5D";   // "[最小]"
static const char markerStandard[] = "\x5B\x95\x57\x8F\x80\x5D";  // "[標準]"
static const char markerFull[] = "\x5B\x8D\xC5\x91\xE5\x5D";      // "[最大]"
static const char endMarker[] = "[END]";
constexpr std::size_t markerLength = 6;
constexpr std::size_t endMarkerLength = 5;
constexpr int ctrlZ = 0x1A;

static int nextByte(ManifestReader& reader)
{
    if (reader.atEnd)
        return EOF;
    int c = std::getc(reader.file);
    if (c == EOF || c == ctrlZ) {
        reader.atEnd = true;
        return EOF;
    }
    if (c == '\r') {
        int next = std::getc(reader.file);
        if (next == '\n')
            return '\n';
        if (next != EOF)
            std::ungetc(next, reader.file);
    }
    return c;
}

// Reads one line as fgets into a buffer of manifestLineSize bytes would; false when no byte
// was left to read.
static bool readLine(ManifestReader& reader)
{
    if (reader.lineLength == 0 || reader.line[reader.lineLength - 1] == '\n') {
        ++reader.lineNumber;
        reader.linePiece = 0;
    } else {
        ++reader.linePiece;
    }
    std::size_t length = 0;
    while (length < manifestLineSize - 1) {
        int c = nextByte(reader);
        if (c == EOF)
            break;
        reader.line[length++] = static_cast<char>(c);
        if (c == '\n')
            break;
    }
    reader.line[length] = '\0';
    reader.lineLength = length;
    return length > 0;
}

static bool lineStartsWith(const ManifestReader& reader, const char* marker, std::size_t length)
{
    return reader.lineLength >= length && std::memcmp(reader.line, marker, length) == 0;
}

static bool lineIsEnd(const ManifestReader& reader)
{
    return lineStartsWith(reader, endMarker, endMarkerLength);
}

static bool lineIsSeparator(const ManifestReader& reader)
{
    return reader.line[0] == '\\';
}

// A name line loses its last byte, taken to be the line feed, whatever it is.
static void takeName(const ManifestReader& reader, char (&out)[manifestLineSize])
{
    std::memcpy(out, reader.line, reader.lineLength - 1);
    out[reader.lineLength - 1] = '\0';
}

static bool acceptsHeader(const ManifestReader& reader, int level)
{
    switch (level) {
    case installMinimum:
        if (lineStartsWith(reader, markerMinimum, markerLength))
            return true;
        [[fallthrough]];
    case installStandard:
        if (lineStartsWith(reader, markerStandard, markerLength))
            return true;
        [[fallthrough]];
    case installFull:
        return lineStartsWith(reader, markerFull, markerLength);
    default:
        return false;
    }
}

// Decimal conversion as atoi does it (leading blanks, a sign, digits up to the first other
// byte), except that a number too large for 32 bits stops at the largest one instead of
// overflowing.
static std::int32_t readCount(const char* text)
{
    while (*text == ' ' || (*text >= '\t' && *text <= '\r'))
        ++text;
    bool negative = false;
    if (*text == '+' || *text == '-')
        negative = *text++ == '-';
    std::int64_t value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        value = value * 10 + (*text - '0');
        if (value > INT32_MAX)
            value = INT32_MAX + std::int64_t{1};
    }
    if (negative)
        value = -value;
    if (value > INT32_MAX)
        return INT32_MAX;
    if (value < INT32_MIN)
        return INT32_MIN;
    return static_cast<std::int32_t>(value);
}

bool findSectionInFile(ManifestReader& reader, std::FILE* file, int level)
{
    reader.file = file;
    reader.atEnd = false;
    reader.line[0] = '\0';
    reader.lineLength = 0;
    reader.lineNumber = 0;
    reader.linePiece = 0;
    while (readLine(reader)) {
        if (acceptsHeader(reader, level))
            return true;
    }
    closeManifest(reader);
    return false;
}

bool findManifestSection(ManifestReader& reader, int level)
{
    std::FILE* file = std::fopen(manifestFileName, "rb");
    if (!file) {
        reader.file = nullptr;
        return false;
    }
    return findSectionInFile(reader, file, level);
}

// Reads a line in a folder or file position; false at the end of the section.
static bool readBodyLine(ManifestReader& reader)
{
    return readLine(reader) && !lineIsEnd(reader);
}

bool readSectionHead(ManifestReader& reader, SectionHead& head)
{
    if (!readBodyLine(reader))
        return false;
    head.count = readCount(reader.line);
    if (head.count <= 0)
        return false;
    if (!readBodyLine(reader))
        return false;
    takeName(reader, head.sourceFolder);
    if (!readBodyLine(reader))
        return false;
    takeName(reader, head.destinationFolder);
    return true;
}

FileEntry firstFileEntry(const SectionHead& head)
{
    FileEntry entry{};
    std::memcpy(entry.sourceFolder, head.sourceFolder, sizeof entry.sourceFolder);
    std::memcpy(entry.destinationFolder, head.destinationFolder, sizeof entry.destinationFolder);
    return entry;
}

bool nextFileEntry(ManifestReader& reader, FileEntry& entry)
{
    entry.folderChange = false;
    if (!readBodyLine(reader))
        return false;
    if (lineIsSeparator(reader)) {
        if (!readBodyLine(reader))
            return false;
        takeName(reader, entry.sourceFolder);
        if (!readBodyLine(reader))
            return false;
        takeName(reader, entry.destinationFolder);
        // The line that closes a group is a file whatever it begins with.
        if (!readBodyLine(reader))
            return false;
        entry.folderChange = true;
    }
    takeName(reader, entry.fileName);
    return true;
}

bool readManifestLine(ManifestReader& reader)
{
    return readLine(reader);
}

int manifestHeaderLevel(const ManifestReader& reader)
{
    if (lineStartsWith(reader, markerMinimum, markerLength))
        return installMinimum;
    if (lineStartsWith(reader, markerStandard, markerLength))
        return installStandard;
    if (lineStartsWith(reader, markerFull, markerLength))
        return installFull;
    return -1;
}

bool manifestLineIsEnd(const ManifestReader& reader)
{
    return lineIsEnd(reader);
}

bool manifestLineIsSeparator(const ManifestReader& reader)
{
    return lineIsSeparator(reader);
}

void closeManifest(ManifestReader& reader)
{
    if (reader.file)
        std::fclose(reader.file);
    reader.file = nullptr;
    reader.atEnd = true;
}
