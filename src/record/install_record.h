// The install record: HKEY_CURRENT_USER "Software\Orbek\Velkorin\install".
#ifndef VK_INSTALL_RECORD_H
#define VK_INSTALL_RECORD_H

// What readInstallRecord found.
enum RecordState { recordAbsent = 0, recordComplete = 1, recordWithoutLevel = 2 };

// Writes "cur", "drv", "dir" and "set" from the setup state; always 1.
int writeInstallRecord();

// Fills installDir, previousDir, installDrive and, with a level, chosenType and installedType.
int readInstallRecord();

// keepSaves 1: removes the level and the values kept directly in the game's key.
// keepSaves 0: removes the keys, the maker's key too when nothing else is left in it.
int deleteInstallRecord(int keepSaves);

#endif
