#include "install/size_tables.h"

#include <cinttypes>

#include "shell/base/limits.h"
#include "shell/base/text_format.h"

// By level: minimum, standard, full.
constexpr std::uint32_t freshInstallBytes[installTypeCount] = {1000000, 87000000, 380000000};
constexpr std::uint64_t bytesPerMegabyte = 1000000;

struct UpgradeSize {
    int installedLevel;
    int chosenLevel;
    std::uint32_t bytes;
};

constexpr UpgradeSize upgradeSizes[] = {
    {installMinimum, installStandard, 86000000},
    {installMinimum, installFull, 380000000},
    {installStandard, installFull, 293000000},
};

bool requiredBytes(int level, std::uint32_t& bytes)
{
    if (level < installMinimum || level > installFull)
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
