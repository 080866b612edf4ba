// Sizes and numbered kinds the design fixes: the setup state's buffers and tables, the install
// levels and the states of a copy. No Windows header: the Windows-free rooms use them too.
#ifndef VK_LIMITS_H
#define VK_LIMITS_H

#include <cstddef>
#include <cstdint>

constexpr std::size_t pathSize = 256;       // a path of up to 255 characters and its terminator
constexpr std::size_t longPathSize = 512;   // installDir, previousDir, folderName, targetDir
constexpr std::size_t rootSize = 4;         // "Q:\" or "Q:"
constexpr std::size_t driveRootLength = rootSize - 1;   // "D:\"
constexpr int driveCount = 26;
constexpr int browseCapacity = 2560;
constexpr int copiedFilesCapacity = 512;
constexpr int folderChainCapacity = 512;

// Install level: the registry value "set", the manifest section and the size requirement.
enum InstallType : std::int32_t { installMinimum = 0, installStandard = 1, installFull = 2 };
constexpr int installTypeCount = 3;

// State of a running copy.
enum CopyState : std::int32_t { copyIdle = 0, copyRunning = 1, copyCancelRequested = 2 };

#endif
