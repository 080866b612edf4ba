// The copy engine: copies a manifest section from the CD with progress, cancel and rollback.
#ifndef VK_COPY_ENGINE_H
#define VK_COPY_ENGINE_H

#include <windows.h>

// 1 when the copy completed; 0 when it failed or was cancelled. window is dialog 106 or 115.
int runFreshInstall(HWND window, int level);
int runUpgradeInstall(HWND window, int level);

#endif
