// The install record: HKEY_CURRENT_USER "Software\Orbek\Velkorin\install".
#ifndef VK_INSTALL_RECORD_H
#define VK_INSTALL_RECORD_H

// What readInstallRecord found.
enum RecordState { recordAbsent = 0, recordComplete = 1, recordWithoutLevel = 2 };

#include <cstdint>

#include "shell/base/limits.h"

// What the record holds, read without touching the setup state.
struct StoredRecord {
    char installDir[longPathSize];   // a full path ending with a backslash
    std::int32_t level;              // with recordComplete only
};

// Reads the record into out. A "dir" that is not a full path (drive letter, colon, backslash)
// or does not fit, or is stored as anything but text, counts as no record at all: nothing outside
// a real folder is ever taken for the installation. A "dir" without its final backslash gets one.
// A "set" that is no REG_DWORD or names no level 0 to 2 counts as no level.
int readStoredRecord(StoredRecord& out);

// Writes "cur", "drv", "dir" and "set" from the setup state; always 1.
int writeInstallRecord();

// readStoredRecord into the setup state: installDir, previousDir, installDrive and, with a level,
// chosenType and installedType. Nothing changes without a record.
int readInstallRecord();

// keepSaves 1: removes the level and the values kept directly in the game's key.
// keepSaves 0: removes the keys, the maker's key too when nothing else is left in it.
int deleteInstallRecord(int keepSaves);

#endif
