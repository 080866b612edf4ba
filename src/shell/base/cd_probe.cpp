#include "shell/base/cd_probe.h"

#include "shell/base/dialogs.h"
#include "shell/base/setup_state.h"
#include "shell/base/texts.h"

bool probeCd(HWND owner)
{
    DWORD sectorsPerCluster, bytesPerSector, freeClusters, totalClusters;
    if (GetDiskFreeSpaceA(setup.cdRoot, &sectorsPerCluster, &bytesPerSector, &freeClusters,
                          &totalClusters))
        return true;
    showMessage(owner, textCdMaybeMissing, captionWarning, MB_OK);
    return false;
}
