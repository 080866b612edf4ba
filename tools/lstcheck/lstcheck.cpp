// lstcheck CD_FOLDER_OR_IMAGE: checks the CD's setup.lst as the setup reads it and prints one line
// per finding. The CD is a folder, or (Linux build) an ISO 9660 image as the pressing plant gets
// it. Exit status 0 when clean (notes allowed), 1 when a fault was found, 2 when the manifest
// cannot be read.

#include <cstdio>
#include <string>
#include <vector>

#include "lstcheck/manifest_check.h"

#ifdef _WIN32
#include <windows.h>

static bool isFile(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The file system compares names without regard to case by itself.
static CdFile findOnCd(const std::string& root, const std::string& relativePath)
{
    CdFile file;
    WIN32_FILE_ATTRIBUTE_DATA data;
    std::string path = root + "\\" + relativePath;
    if (GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) &&
        !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        file.found = true;
        file.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    }
    return file;
}

// No image reader is built for Windows: an image is refused.
static CheckStatus checkImage(const std::string& image, std::vector<std::string>& report)
{
    report.push_back("setup.lst: cannot be read: " + image +
                     " is a file, and this build reads CD folders only (lstcheck on Linux reads images)");
    return checkUnreadable;
}

static const char separator[] = "\\";
#else
#include <sys/stat.h>

#include "lstcheck/cd_files.h"

static bool isFile(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

static CdFile findOnCd(const std::string& root, const std::string& relativePath)
{
    return findInFolder(root, relativePath);
}

static CheckStatus checkImage(const std::string& path, std::vector<std::string>& report)
{
    CdImage image;
    std::string error;
    if (!readCdImage(path, image, error)) {
        report.push_back("setup.lst: cannot be read: " + error);
        return checkUnreadable;
    }
    const ImageFile* manifest = imageManifest(image);
    if (!manifest) {
        report.push_back("setup.lst: cannot be read: " + path + " has no setup.lst at its root");
        return checkUnreadable;
    }
    std::vector<std::string> notes;
    for (const std::string& twin : image.manifestTwins)
        notes.push_back("the root also holds \"" + twin + "\", the same name in other case: Windows opens \"" +
                        manifest->name + "\", the first of them on the disc, and so does this check");
    return checkManifest([&image] { return openImageManifest(image); }, path,
                         [&image](const std::string& relativePath) { return findInImage(image, relativePath); },
                         notes, report);
}

static const char separator[] = "/";
#endif

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: lstcheck CD_FOLDER_OR_IMAGE\n");
        return checkUnreadable;
    }
    std::string root = argv[1];
    while (root.size() > 1 && (root.back() == '/' || root.back() == '\\'))
        root.pop_back();
    std::vector<std::string> report;
    CheckStatus status;
    if (isFile(root))
        status = checkImage(root, report);
    else
        status = checkManifest(root + separator + "setup.lst",
                               [&root](const std::string& path) { return findOnCd(root, path); }, report);
    for (const std::string& line : report)
        std::printf("%s\n", line.c_str());
    return status;
}
