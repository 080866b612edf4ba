// The code page paths are walked by, as Windows reports it for the process.
#ifndef VK_CODE_PAGE_H
#define VK_CODE_PAGE_H

#include <windows.h>

// Paths are walked by the lead bytes of codePage (CP_ACP: the one the process runs with). Windows
// 11 and Wine give the program code page 932, which its manifest names; Windows 10 and older
// keep the system's, in which the player's folder names then come. False, changing nothing,
// when Windows does not know the code page.
bool walkPathsIn(UINT codePage);

#endif
