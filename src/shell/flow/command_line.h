// The command line of an unattended run: switches start with "/" or "-", their names are read
// without regard to case, and a value follows "=". Started with no argument, the setup shows its
// dialogs as always.
//
//   /S /TYPE=MINIMUM|STANDARD|FULL [/DIR=FOLDER] [/SHORTCUT=YES|NO] [/LOG=FILE]   a fresh install
//   /S /UPGRADE /TYPE=STANDARD|FULL [/LOG=FILE]                                  an upgrade in place
//   /S /UNINSTALL [/KEEPSAVES] [/LOG=FILE]                                       the removal
//   /?                                                                           the usage
#ifndef VK_COMMAND_LINE_H
#define VK_COMMAND_LINE_H

#include <cstddef>
#include <cstdint>

#include "shell/base/limits.h"

enum class SetupMode { dialogs, usage, install, upgrade, uninstall };

struct CommandLine {
    SetupMode mode;
    std::int32_t level;        // /TYPE: an InstallType, -1 when not given
    char folder[pathSize];     // /DIR: a full path from its drive letter on; empty when not given
    bool shortcut;             // /SHORTCUT, YES unless given
    bool keepSaves;            // /KEEPSAVES
    char logFile[pathSize];    // /LOG; empty when not given
};

// Reads the count arguments after the program's own name. False when they are wrong, with the
// first reason in fault (code page 932 text, at most faultSize bytes with its terminator); a /LOG
// among them is taken all the same, for the log to tell it.
bool readCommandLine(int count, const char* const* arguments, CommandLine& out, char* fault,
                     std::size_t faultSize);

#endif
