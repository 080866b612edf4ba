// lstcheck CD_FOLDER: checks CD_FOLDER\setup.lst as the setup reads it and prints one line per
// finding. Exit status 0 when clean (notes allowed), 1 when a fault was found, 2 when the
// manifest cannot be read.

#include <cstdio>
#include <string>
#include <vector>

#include "lstcheck/manifest_check.h"

#ifdef _WIN32
#include <windows.h>

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
#else
#include <dirent.h>
#include <sys/stat.h>

#include "shell/path_walker.h"

// Each folder of the path is sought by its name compared without regard to case, as Windows
// compares them; the CD folder itself is taken as given.
static CdFile findOnCd(const std::string& root, const std::string& relativePath)
{
    CdFile file;
    std::string path = root;
    std::int32_t start = 0;
    std::int32_t cursor = 0;
    for (;;) {
        // Characters, not bytes: the 5C that ends ソ or 表 divides nothing.
        bool last = nextPathPrefix(relativePath.c_str(), cursor) == 1;
        std::string part = relativePath.substr(static_cast<std::size_t>(start),
                                               static_cast<std::size_t>(cursor - 1 - start));
        if (part.empty())
            return file;
        DIR* dir = opendir(path.c_str());
        if (!dir)
            return file;
        std::string wanted = foldName(part), match;
        while (dirent* item = readdir(dir)) {
            if (foldName(item->d_name) == wanted) {
                match = item->d_name;
                break;
            }
        }
        closedir(dir);
        if (match.empty())
            return file;
        path += "/" + match;
        if (last)
            break;
        start = cursor;
    }
    struct stat info;
    if (stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
        file.found = true;
        file.size = static_cast<std::uint64_t>(info.st_size);
    }
    return file;
}
#endif

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: lstcheck CD_FOLDER\n");
        return checkUnreadable;
    }
    std::string root = argv[1];
    while (root.size() > 1 && (root.back() == '/' || root.back() == '\\'))
        root.pop_back();
#ifdef _WIN32
    std::string manifest = root + "\\setup.lst";
#else
    std::string manifest = root + "/setup.lst";
#endif
    std::vector<std::string> report;
    CheckStatus status = checkManifest(
        manifest, [&root](const std::string& path) { return findOnCd(root, path); }, report);
    for (const std::string& line : report)
        std::printf("%s\n", line.c_str());
    return status;
}
