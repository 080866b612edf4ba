// The main menus: 104 when the game is not installed, 105 when it is.
#ifndef VK_MAIN_MENUS_H
#define VK_MAIN_MENUS_H

#include <windows.h>

INT_PTR CALLBACK newGameMenuProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK installedGameMenuProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam);

// Opens menu 104 or 105 modally without owner; returns when it has ended.
void runMainMenu(int templateId);

#endif
