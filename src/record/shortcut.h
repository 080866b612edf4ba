// The Start-menu shortcut "<Programs>\Orbek\Velkorin.lnk".
#ifndef VK_SHORTCUT_H
#define VK_SHORTCUT_H

#include <windows.h>

// Below the Programs folder; the removal deletes by the same names.
constexpr const char shortcutFolderFormat[] = "%s\\Orbek";
constexpr const char shortcutFileFormat[] = "%s\\Orbek\\Velkorin.lnk";

// Creates or overwrites the shortcut to the installed game; failures are told, owned by owner.
void createShortcut(HWND owner);

// 1 when an entry of the shortcut's name exists.
int shortcutExists();

// The user's Programs folder, asked of the shell each time. False when the shell has none.
bool findProgramsFolder(char (&path)[MAX_PATH]);

#endif
