#include "install/free_space.h"

#include <windows.h>

#include <cstring>

#include "install/size_tables.h"
#include "shell/base/setup_state.h"
#include "shell/base/text_format.h"

using FreeSpaceEx = BOOL(WINAPI*)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER);

// Looked up at every call: systems before Windows 95 OSR2 do not have it.
static FreeSpaceEx findFreeSpaceEx()
{
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (!kernel)
        return nullptr;
    FARPROC proc = GetProcAddress(kernel, "GetDiskFreeSpaceExA");
    return reinterpret_cast<FreeSpaceEx>(reinterpret_cast<void*>(proc));
}

int queryFreeBytes(const char* root, std::uint64_t& out)
{
    if (FreeSpaceEx freeSpaceEx = findFreeSpaceEx()) {
        ULARGE_INTEGER available, total;
        if (!freeSpaceEx(root, &available, &total, nullptr))
            return 0;
        out = available.QuadPart;
        return 1;
    }
    DWORD sectorsPerCluster, bytesPerSector, freeClusters, totalClusters;
    if (!GetDiskFreeSpaceA(root, &sectorsPerCluster, &bytesPerSector, &freeClusters, &totalClusters))
        return 0;
    out = clusterFreeBytes(sectorsPerCluster, bytesPerSector, freeClusters);
    return 1;
}

bool hasRoomFor(const char* root, std::uint64_t required)
{
    std::uint64_t freeBytes = 0;
    return queryFreeBytes(root, freeBytes) == 1 && freeBytes >= required;
}

int markEligibleDrives()
{
    std::memset(setup.eligibleDrives, 0, sizeof setup.eligibleDrives);
    std::uint32_t required = 0;
    if (!requiredBytes(setup.chosenType, required))
        return -1;
    int first = -1;
    char root[rootSize];
    for (int drive = 0; drive < driveCount; ++drive) {
        formatText(root, sizeof root, "%c:\\", 'A' + drive);
        if (setup.driveTypes[drive] != DRIVE_FIXED || !hasRoomFor(root, required))
            continue;
        setup.eligibleDrives[drive] = 1;
        if (first < 0)
            first = drive;
    }
    return first;
}
