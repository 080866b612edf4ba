// Start-up: whether the setup may run, the hand-over to a waiting game, the CD and the first menu.
#ifndef VK_START_UP_H
#define VK_START_UP_H

#include <windows.h>

// The whole run of the program; returns the exit code, always 0.
int runSetup(HINSTANCE instance);

// 1 when a drive carries the game CD's label (cdDrive is then set), 0 otherwise.
int findGameCd();

// 1 when the IMA ADPCM codec the game's voices need is registered.
int hasAdpcmCodec();

// The codec notice, dialog 117.
INT_PTR CALLBACK codecNoticeProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam);

#endif
