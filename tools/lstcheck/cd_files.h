// The files of a CD as the setup finds them under Windows, looked up from Linux: in a folder, or in
// an ISO 9660 image as the pressing plant gets it. Windows shows an image's Joliet names (the ISO
// 9660 ones on a disc without Joliet) and never reads its Rock Ridge names; the setup, an ANSI
// program, sees every name in code page 932. A path is split at its backslashes as Windows splits
// it, never at the second byte of a double-byte character, and each part is compared without
// regard to case.
#ifndef VK_CD_FILES_H
#define VK_CD_FILES_H

#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "lstcheck/manifest_check.h"

// A file below a CD folder whose names are UTF-8, as Wine maps them under a UTF-8 locale.
CdFile findInFolder(const std::string& root, const std::string& relativePath);

// A file of an image as Windows opens it by its name.
struct ImageFile {
    std::string name;          // the image's own, UTF-8, with slashes between its folders
    std::uint64_t size = 0;
    long dataEntry = -1;       // the entry that holds its bytes, counted as the image lists them
};

struct CdImage {
    std::string path;
    std::map<std::string, ImageFile> files;    // folded path (backslashes) -> the file opened by it
    std::vector<std::string> manifestTwins;    // the root's other names for setup.lst (ASCII, as it is)
};

// Reads an ISO 9660 image whole, every file's data included, so that an image cut short is
// found; no file's data is kept. False, with one line saying why in error, when it is not an
// ISO 9660 image or cannot be read to its end.
bool readCdImage(const std::string& path, CdImage& image, std::string& error);

// The setup.lst at the image's root that Windows opens, or null.
const ImageFile* imageManifest(const CdImage& image);

// Opens that setup.lst for reading straight from the image; null when there is none or it
// cannot be read.
std::FILE* openImageManifest(const CdImage& image);

CdFile findInImage(const CdImage& image, const std::string& relativePath);

#endif
