// Whether the disc is still in the drive the setup was started from.
#ifndef VK_CD_PROBE_H
#define VK_CD_PROBE_H

#include <windows.h>

// True when the drive the setup was started from answers; otherwise warns, owned by owner.
bool probeCd(HWND owner);

#endif
