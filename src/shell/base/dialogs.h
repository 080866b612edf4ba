// What every dialog of the program does the same way: the modal call, top-most, the message box
// and its error code, and the message pump the copy runs between files.
#ifndef VK_DIALOGS_H
#define VK_DIALOGS_H

#include <windows.h>

// Dispatches what waits in the thread's queue and returns without waiting; 0 after WM_QUIT.
int pumpMessages();

// Makes a dialog top-most without moving or sizing it.
void makeTopMost(HWND dlg);

// The open main menu (mainMenuWnd) hides behind the dialog that opens over it, and shows again
// as that dialog goes; with no menu open nothing happens.
void hideMainMenu();
void showMainMenu();

// Opens one of the setup's dialogs modally.
void openDialog(int templateId, HWND owner, DLGPROC proc);

// A message box; a null caption shows the system's default one. In a run from the command line
// the text goes to the log instead, and a question is answered Yes.
int showMessage(HWND owner, const char* text, const char* caption, UINT type);

// Shows "エラーコード %d" with no caption.
void showErrorCode(HWND owner, DWORD code);

#endif
