// Space needed by each install level and each upgrade, and how sizes are shown.
#ifndef VK_SIZE_TABLES_H
#define VK_SIZE_TABLES_H

#include <cstddef>
#include <cstdint>

// Bytes a fresh install of level needs; false for a level without an entry.
bool requiredBytes(int level, std::uint32_t& bytes);

// Bytes an upgrade from installedLevel to chosenLevel needs; false for a pair without an
// entry, which counts as lacking room.
bool upgradeRequiredBytes(int installedLevel, int chosenLevel, std::uint32_t& bytes);

// "%ld メガバイト" with bytes divided by 1000000, truncated.
bool formatMegabytes(char* out, std::size_t size, std::uint64_t bytes);

// Free bytes from cluster counts, for systems without GetDiskFreeSpaceExA: the product is
// taken in 64 bits, so a drive with more than 4 gigabytes free is not cut short.
std::uint64_t clusterFreeBytes(std::uint32_t sectorsPerCluster, std::uint32_t bytesPerSector,
                               std::uint32_t freeClusters);

#endif
