// Start-up: whether the setup may run, the hand-over to a waiting game, the CD and the first menu.
#ifndef VK_START_UP_H
#define VK_START_UP_H

#include <windows.h>

// The whole run of the program; returns the exit code, always 0.
int runSetup(HINSTANCE instance);

#endif
