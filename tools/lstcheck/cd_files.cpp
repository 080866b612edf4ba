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

// libarchive hands the Joliet names over in the locale's character set: UTF-8 while this lives.
class Utf8Names {
public:
    Utf8Names()
    {
        const char* current = std::setlocale(LC_CTYPE, nullptr);
        previous_ = current ? current : "C";
        if (!std::setlocale(LC_CTYPE, "C.UTF-8"))
            std::setlocale(LC_CTYPE, "C.utf8");
    }
    ~Utf8Names() { std::setlocale(LC_CTYPE, previous_.c_str()); }
    Utf8Names(const Utf8Names&) = delete;
    Utf8Names& operator=(const Utf8Names&) = delete;

private:
    std::string previous_;
};

using Reader = std::unique_ptr<archive, decltype(&archive_read_free)>;

// The image's entries in the same order at every reading; null when it is no ISO 9660 image.
Reader openReader(const std::string& path)
{
    Reader reader(archive_read_new(), archive_read_free);
    archive_read_support_format_iso9660(reader.get());
    // Windows never reads Rock Ridge names: the Joliet ones, else the ISO 9660 ones.
    archive_read_set_format_option(reader.get(), "iso9660", "rockridge", nullptr);
    if (archive_read_open_filename(reader.get(), path.c_str(), 64 * 1024) != ARCHIVE_OK)
        reader.reset();
    return reader;
}

bool nextEntry(archive* a, archive_entry*& entry, int& status)
{
    status = archive_read_next_header(a, &entry);
    return status == ARCHIVE_OK || status == ARCHIVE_WARN;
}

bool readImage(const std::string& path, CdImage& image, std::string& error)
{
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
    Reader reader = openReader(path);
    if (!reader) {
        error = path + " is not an ISO 9660 image";
        return false;
    }
    archive* a = reader.get();
    image.path = path;
    const std::string manifestKey = foldName(manifestFileName);
    std::map<std::string, ImageFile> byName;   // the files that hold their own bytes
    archive_entry* entry = nullptr;
    int status;
    for (long index = 0; nextEntry(a, entry, status); ++index) {
        const char* name = archive_entry_pathname_utf8(entry);
        if (!name) {
            error = path + " holds a file name that cannot be read: " + archive_error_string(a);
            return false;
        }
        // Every byte is read, also of the files no manifest names, so that a cut shows; none is kept.
        char buf[64 * 1024];
        la_ssize_t got;
        do
            got = archive_read_data(a, buf, sizeof buf);
        while (got > 0);
        if (got < 0) {
            error = path + " is damaged or cut short: " + archive_error_string(a);
            return false;
        }
        ImageFile found{name, static_cast<std::uint64_t>(archive_entry_size(entry)), index};
        // Files sharing their bytes are told as links, without bytes, to the first of them.
        if (const char* target = archive_entry_hardlink_utf8(entry)) {
            auto first = byName.find(target);
            if (first == byName.end())
                continue;
            found.size = first->second.size;
            found.dataEntry = first->second.dataEntry;
        } else if (archive_entry_filetype(entry) != AE_IFREG) {
            continue;
        } else {
            byName.emplace(name, found);
        }
        std::string key = imageKey(name);
        auto [kept, added] = image.files.emplace(key, found);
        if (added)
            continue;
        // Names that differ in case alone: Windows opens the first of them in their folder, whose
        // records are sorted by their characters' codes, upper case before lower; UTF-8 sorts alike.
        if (found.name < kept->second.name)
            std::swap(found, kept->second);
        if (key == manifestKey)
            image.manifestTwins.push_back(found.name);
    }
    if (status != ARCHIVE_EOF) {
        error = path + " is damaged or cut short: " + archive_error_string(a);
        return false;
    }
    return true;
}

la_ssize_t readEntryData(void* reader, char* buf, std::size_t size)
{
    la_ssize_t got = archive_read_data(static_cast<archive*>(reader), buf, size);
    return got < 0 ? -1 : got;
}

int closeEntryData(void* reader)
{
    archive_read_free(static_cast<archive*>(reader));
    return 0;
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
    Utf8Names names;
    return readImage(path, image, error);
}

const ImageFile* imageManifest(const CdImage& image)
{
    auto found = image.files.find(foldName(manifestFileName));
    return found == image.files.end() ? nullptr : &found->second;
}

std::FILE* openImageManifest(const CdImage& image)
{
    const ImageFile* manifest = imageManifest(image);
    if (!manifest)
        return nullptr;
    Utf8Names names;
    Reader reader = openReader(image.path);
    if (!reader)
        return nullptr;
    archive_entry* entry = nullptr;
    int status;
    for (long index = 0; index <= manifest->dataEntry; ++index) {
        if (!nextEntry(reader.get(), entry, status))
            return nullptr;
    }
    std::FILE* file = fopencookie(reader.get(), "rb", {readEntryData, nullptr, nullptr, closeEntryData});
    if (file)
        reader.release();
    return file;
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
        file.size = found->second.size;
    }
    return file;
}
