// Checks a CD's "setup.lst" the way the setup reads it, for the people who make the CD: which
// section serves each level, the traps of the reading rules, the files the CD lacks, the files
// the removal would leave behind, and the bytes each level and upgrade copies against the room
// the setup asks for.
#ifndef VK_MANIFEST_CHECK_H
#define VK_MANIFEST_CHECK_H

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

// A file of the CD as the file system finds it, its name compared without regard to case.
struct CdFile {
    bool found = false;
    std::uint64_t size = 0;
};

// Looks up a path relative to the CD root, with backslashes between its folders.
using CdLookup = std::function<CdFile(const std::string& relativePath)>;

enum CheckStatus { checkClean = 0, checkFaults = 1, checkUnreadable = 2 };

// Opens the manifest afresh, in binary mode, for each reading; null when it cannot be read.
using ManifestOpener = std::function<std::FILE*()>;

// Reads the manifest that open gives (the file of the CD whose root lookup sees) and appends one
// report line per finding to report. Faults read "setup.lst:LINE: fault: ...", notes
// "setup.lst:LINE: note: ..." (without LINE where no line is concerned), and a summary line per
// level and upgrade closes the report. where names the manifest when it cannot be read; cdNotes
// are notes on the CD itself, reported first.
CheckStatus checkManifest(const ManifestOpener& open, const std::string& where, const CdLookup& lookup,
                          const std::vector<std::string>& cdNotes, std::vector<std::string>& report);

// The same over the manifest file at manifestPath.
CheckStatus checkManifest(const std::string& manifestPath, const CdLookup& lookup,
                          std::vector<std::string>& report);

// Splits a path relative to the CD root into its folders and name at the backslashes, as Windows
// does: never at the second byte of a double-byte character. False when a part is empty, or is
// "." or "..": no file of a CD is named so, and a folder's lookup must not leave the CD.
bool splitCdPath(const std::string& relativePath, std::vector<std::string>& parts);

// Folds ASCII letters to upper case and leaves both bytes of a code page 932 double-byte
// character as they are, as the file system compares names.
std::string foldName(const std::string& name);

#endif
