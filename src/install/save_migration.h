// Bringing save files over from the folder of an earlier installation.
#ifndef VK_SAVE_MIGRATION_H
#define VK_SAVE_MIGRATION_H

#include <windows.h>

void migrateSaveFiles(HWND owner);

#endif
