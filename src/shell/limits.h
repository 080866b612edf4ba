// Sizes fixed by the design: the setup state's buffers and tables.
#ifndef VK_LIMITS_H
#define VK_LIMITS_H

#include <cstddef>

constexpr std::size_t pathSize = 256;       // a path of up to 255 characters and its terminator
constexpr std::size_t longPathSize = 512;   // installDir, previousDir, folderName, targetDir
constexpr std::size_t rootSize = 4;         // "Q:\" or "Q:"
constexpr int driveCount = 26;
constexpr int browseCapacity = 2560;
constexpr int copiedFilesCapacity = 512;
constexpr int folderChainCapacity = 512;

#endif
