// Start-up: whether the setup may run, the hand-over to a waiting game, the CD and the first menu.
#ifndef VK_START_UP_H
#define VK_START_UP_H

#include <windows.h>

// The whole run of the program with its dialogs; returns the exit code, always 0.
int runSetup(HINSTANCE instance);

// Start-up's steps from the current directory to the drive types: the CD found by its label
// from the folder the setup was started in, the kinds of the drives, the instance. False, after
// telling why, when the CD is not there.
bool findTheCd(HINSTANCE instance);

#endif
