// The install manifest "setup.lst": finding a level's section and reading it line by line.
#ifndef VK_MANIFEST_READER_H
#define VK_MANIFEST_READER_H

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "shell/base/limits.h"

constexpr const char manifestFileName[] = "setup.lst";

// A line of up to 254 characters and its line feed, as the standard library's line reading
// takes it; longer lines arrive in pieces of up to 255 bytes.
constexpr std::size_t manifestLineSize = 256;

// One open manifest. The copy run that opened it owns it and closes it on every way out.
struct ManifestReader {
    std::FILE* file;
    bool atEnd;                        // end of file or Ctrl-Z seen: nothing more is read
    char line[manifestLineSize];       // the line last read, NUL-terminated
    std::size_t lineLength;            // its bytes, the line feed included
    std::int32_t lineNumber;           // the file's line it came from, counted from 1
    std::int32_t linePiece;            // 0, or 1, 2, ... for the further pieces of a long line
};

struct SectionHead {
    std::int32_t count;                        // file lines announced, always 1 or more
    char sourceFolder[manifestLineSize];       // relative to the CD root; empty for the root
    char destinationFolder[manifestLineSize];  // relative to the install folder
};

// A file of the section with the folders in force for it: the head's until a group separator
// names others.
struct FileEntry {
    bool folderChange;                         // a group separator preceded: new folders below
    char sourceFolder[manifestLineSize];
    char destinationFolder[manifestLineSize];
    char fileName[manifestLineSize];
};

// Opens "setup.lst" in the current directory and reads up to the first header that level
// accepts. False when the file cannot be opened or no accepted header comes before its end
// (the file is then closed).
bool findManifestSection(ManifestReader& reader, int level);

// The same over a file already opened in binary mode; the reader takes it over, and closes it
// when no accepted header is found.
bool findSectionInFile(ManifestReader& reader, std::FILE* file, int level);

// Reads the count, the first source folder and the first destination folder. False when one
// of them is missing or begins with "[END]", and when the count is not a positive number:
// such a section cannot be copied with progress. The caller closes the manifest on failure.
bool readSectionHead(ManifestReader& reader, SectionHead& head);

// The entry for nextFileEntry to fill, its folders the head's.
FileEntry firstFileEntry(const SectionHead& head);

// Reads the next file of the section into entry, whose folders change only where a group
// separator names new ones. False at its end: end of file or "[END]", also in place of any of
// the three lines that follow a group separator.
bool nextFileEntry(ManifestReader& reader, FileEntry& entry);

void closeManifest(ManifestReader& reader);

// The line primitives the reading rules are made of, for tools that check a manifest the way
// the setup reads it. readManifestLine reads the next line or piece (false when nothing was
// left); manifestHeaderLevel gives the level whose marker begins the line last read, or -1.
bool readManifestLine(ManifestReader& reader);
int manifestHeaderLevel(const ManifestReader& reader);
bool manifestLineIsEnd(const ManifestReader& reader);
bool manifestLineIsSeparator(const ManifestReader& reader);

#endif
