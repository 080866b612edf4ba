#include "install/size_tables.h"

#include <cinttypes>

#include "shell/text_format.h"

constexpr std::uint32_t freshInstallBytes[] = {1000000, 87000000, 380000000};
constexpr std::uint64_t bytesPerMegabyte = 1000000;

struct UpgradeSize {
    int installedLevel;
    int chosenLevel;
    std::uint32_t bytes;
};

constexpr UpgradeSize upgradeSizes[] = {
    {0, 1, 86000000},
    {0, 2, 380000000},
    {1, 2, 293000000},
};

bool requiredBytes(int level, std::uint32_t& bytes)
{
    if (level < 0 || level > 2)
        return false;
    bytes = freshInstallBytes[level];
    return true;
}

bool upgradeRequiredBytes(int installedLevel, int chosenLevel, std::uint32_t& bytes)
{
    for (const UpgradeSize& size : upgradeSizes) {
        if (size.installedLevel == installedLevel && size.chosenLevel == chosenLevel) {
            bytes = size.bytes;
            return true;
        }
    }
    return false;
}

bool formatMegabytes(char* out, std::size_t size, std::uint64_t bytes)
{
    return formatText(out, size, "%" PRIu64 " メガバイト", bytes / bytesPerMegabyte);
}

std::uint64_t clusterFreeBytes(std::uint32_t sectorsPerCluster, std::uint32_t bytesPerSector,
                               std::uint32_t freeClusters)
{
    return std::uint64_t{sectorsPerCluster} * bytesPerSector * freeClusters;
}
