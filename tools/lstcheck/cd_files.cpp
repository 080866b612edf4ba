#include "lstcheck/cd_files.h"

#include <archive.h>
#include <archive_entry.h>
#include <dirent.h>
#include <iconv.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "install/manifest_reader.h"

namespace {

// A UTF-8 name as Windows hands it to an ANSI program in code page 932: a character the code
// page lacks becomes '?'.
std::string cp932FromUtf8(const std::string& utf8)
{
    if (std::all_of(utf8.begin(), utf8.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return utf8;
    static iconv_t toCp932 = iconv_open("CP932", "UTF-8");
    if (toCp932 == reinterpret_cast<iconv_t>(-1))
        return utf8;
    iconv(toCp932, nullptr, nullptr, nullptr, nullptr);
    std::string out;
    char* in = const_cast<char*>(utf8.data());
    std::size_t inLeft = utf8.size();
    while (inLeft > 0) {
        char buf[256];
        char* put = buf;
        std::size_t putLeft = sizeof buf;
        std::size_t done = iconv(toCp932, &in, &inLeft, &put, &putLeft);
        out.append(buf, static_cast<std::size_t>(put - buf));
        if (done != static_cast<std::size_t>(-1) || errno == E2BIG)
            continue;
        // One character the code page lacks, or a broken sequence: its bytes go as one '?'.
        out += '?';
        unsigned char lead = static_cast<unsigned char>(*in);
        std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        length = std::min(length, inLeft);
        in += length;
        inLeft -= length;
    }
    return out;
}

// The key of a file of an image: its folders and name in code page 932, folded, between
// backslashes. The names come as the image's own, with slashes between them.
std::string imageKey(const std::string& utf8Path)
{
    std::string path = utf8Path;
    while (path.compare(0, 2, "./") == 0)
        path.erase(0, 2);
    while (!path.empty() && path.back() == '/')
        path.pop_back();
    std::string key;
    std::size_t start = 0;
    for (;;) {
        std::size_t slash = path.find('/', start);
        if (start > 0)
            key += '\\';
        key += foldName(cp932FromUtf8(path.substr(start, slash == std::string::npos ? slash : slash - start)));
        if (slash == std::string::npos)
            return key;
        start = slash + 1;
    }
}

// The bytes the image announces in its primary volume descriptor (logical blocks times their
// size), or 0 where it has none. A copy cut short may lose only its padding, and every file still
// reads; the announced size tells.
std::uint64_t announcedBytes(std::FILE* file)
{
    constexpr long sectorSize = 2048, firstDescriptor = 16, lastDescriptor = 64;
    unsigned char d[sectorSize];
    for (long sector = firstDescriptor; sector < lastDescriptor; ++sector) {
        if (std::fseek(file, sector * sectorSize, SEEK_SET) != 0 || std::fread(d, 1, sizeof d, file) != sizeof d ||
            std::memcmp(d + 1, "CD001", 5) != 0 || d[0] == 255)
            return 0;
        if (d[0] != 1)
            continue;
        // Both-endian fields: the little-endian half comes first.
        std::uint64_t blocks = d[80] | d[81] << 8 | d[82] << 16 | static_cast<std::uint64_t>(d[83]) << 24;
        std::uint64_t blockSize = d[128] | d[129] << 8;
        return blocks * blockSize;
    }
    return 0;
}

bool readImage(const std::string& path, CdImage& image, std::string& error)
{
    std::unique_ptr<archive, decltype(&archive_read_free)> reader(archive_read_new(), archive_read_free);
    archive* a = reader.get();
    archive_read_support_format_iso9660(a);
    // Windows never reads Rock Ridge names: the Joliet ones, else the ISO 9660 ones.
    archive_read_set_format_option(a, "iso9660", "rockridge", nullptr);
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    std::uint64_t announced = announcedBytes(file);
    std::fseek(file, 0, SEEK_END);
    std::uint64_t fileBytes = static_cast<std::uint64_t>(std::ftell(file));
    std::fclose(file);
    if (fileBytes < announced) {
        error = path + " is cut short: it has " + std::to_string(fileBytes) + " bytes of the " + std::to_string(announced) +
                " its volume descriptor announces";
        return false;
    }
    // Opened, but no ISO 9660 volume descriptors where they belong.
    if (archive_read_open_filename(a, path.c_str(), 64 * 1024) != ARCHIVE_OK) {
        error = path + " is not an ISO 9660 image";
        return false;
    }
    const std::string manifestKey = foldName(manifestFileName);
    std::map<std::string, std::uint64_t> sizeByName;
    archive_entry* entry = nullptr;
    int status;
    while ((status = archive_read_next_header(a, &entry)) == ARCHIVE_OK || status == ARCHIVE_WARN) {
        const char* name = archive_entry_pathname_utf8(entry);
        if (!name) {
            error = path + " holds a file name that cannot be read: " + archive_error_string(a);
            return false;
        }
        std::string key = imageKey(name);
        bool isManifest = key == manifestKey;
        // Every byte is read, also of the files no manifest names, so that a cut shows.
        std::string data;
        char buf[64 * 1024];
        la_ssize_t got;
        while ((got = archive_read_data(a, buf, sizeof buf)) > 0) {
            if (isManifest)
                data.append(buf, static_cast<std::size_t>(got));
        }
        if (got < 0) {
            error = path + " is damaged or cut short: " + archive_error_string(a);
            return false;
        }
        std::uint64_t size = static_cast<std::uint64_t>(archive_entry_size(entry));
        // Files sharing their data are told as links to the first one.
        if (const char* target = archive_entry_hardlink_utf8(entry)) {
            auto first = sizeByName.find(target);
            if (first == sizeByName.end())
                continue;
            size = first->second;
        } else if (archive_entry_filetype(entry) != AE_IFREG) {
            continue;
        }
        sizeByName.emplace(name, size);
        image.files.emplace(key, size);
        if (isManifest) {
            image.hasManifest = true;
            image.manifest = data;
        }
    }
    if (status != ARCHIVE_EOF) {
        error = path + " is damaged or cut short: " + archive_error_string(a);
        return false;
    }
    return true;
}

}  // namespace

CdFile findInFolder(const std::string& root, const std::string& relativePath)
{
    CdFile file;
    std::vector<std::string> parts;
    if (!splitCdPath(relativePath, parts))
        return file;
    std::string path = root;
    for (const std::string& part : parts) {
        DIR* dir = opendir(path.c_str());
        if (!dir)
            return file;
        std::string wanted = foldName(part), match;
        while (dirent* item = readdir(dir)) {
            if (foldName(cp932FromUtf8(item->d_name)) == wanted) {
                match = item->d_name;
                break;
            }
        }
        closedir(dir);
        if (match.empty())
            return file;
        path += "/" + match;
    }
    struct stat info;
    if (stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
        file.found = true;
        file.size = static_cast<std::uint64_t>(info.st_size);
    }
    return file;
}

bool readCdImage(const std::string& path, CdImage& image, std::string& error)
{
    // libarchive hands the Joliet names over in the locale's character set.
    const char* current = std::setlocale(LC_CTYPE, nullptr);
    std::string previous = current ? current : "C";
    if (!std::setlocale(LC_CTYPE, "C.UTF-8"))
        std::setlocale(LC_CTYPE, "C.utf8");
    bool read = readImage(path, image, error);
    std::setlocale(LC_CTYPE, previous.c_str());
    return read;
}

CdFile findInImage(const CdImage& image, const std::string& relativePath)
{
    CdFile file;
    std::vector<std::string> parts;
    if (!splitCdPath(relativePath, parts))
        return file;
    std::string key;
    for (const std::string& part : parts)
        key += (key.empty() ? "" : "\\") + foldName(part);
    auto found = image.files.find(key);
    if (found != image.files.end()) {
        file.found = true;
        file.size = found->second;
    }
    return file;
}
