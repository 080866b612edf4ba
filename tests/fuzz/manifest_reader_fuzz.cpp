// Reads any bytes as a manifest, for each level, as the copy engine would.

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "install/manifest_reader.h"
#include "install/progress.h"

static void require(bool condition)
{
    if (!condition)
        __builtin_trap();
}

static void requireName(const char (&name)[manifestLineSize])
{
    // A name is a line without its last byte: at most 254 bytes, always terminated.
    require(std::memchr(name, '\0', manifestLineSize) != nullptr);
    require(std::strlen(name) <= manifestLineSize - 2);
}

static void readAs(const std::uint8_t* data, std::size_t size, int level)
{
    std::FILE* file = fmemopen(const_cast<std::uint8_t*>(data), size, "rb");
    if (!file)
        return;
    ManifestReader reader{};
    if (!findSectionInFile(reader, file, level)) {
        require(reader.file == nullptr);
        return;
    }
    SectionHead head{};
    if (readSectionHead(reader, head)) {
        require(head.count > 0);
        requireName(head.sourceFolder);
        requireName(head.destinationFolder);
        CopyProgress progress{head.count, 0};
        std::size_t files = 0;
        FileEntry entry{};
        while (nextFileEntry(reader, entry)) {
            requireName(entry.fileName);
            if (entry.folderChange) {
                requireName(entry.sourceFolder);
                requireName(entry.destinationFolder);
            }
            ProgressAdvance advance = advanceProgress(progress);
            require(advance.steps >= 0 && advance.percent >= 0);
            // Every file takes at least one byte of the input.
            require(++files <= size);
        }
    }
    closeManifest(reader);
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    for (int level = -1; level <= 3; ++level)
        readAs(data, size, level);
    return 0;
}
