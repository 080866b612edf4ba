// Whether the disc is still in the drive the setup was started from.

#include "shell/setup_state.h"
#include "shell/texts.h"

bool probeCd(HWND owner)
{
    DWORD sectorsPerCluster, bytesPerSector, freeClusters, totalClusters;
    if (GetDiskFreeSpaceA(setup.cdRoot, &sectorsPerCluster, &bytesPerSector, &freeClusters,
                          &totalClusters))
        return true;
    showMessage(owner, textCdMaybeMissing, captionWarning, MB_OK);
    return false;
}
