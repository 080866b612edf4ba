// A run from the command line (shell/flow/command_line.h): no window, a log, an exit code.
#ifndef VK_UNATTENDED_H
#define VK_UNATTENDED_H

#include <windows.h>

#include "shell/flow/command_line.h"

// Runs what command asks for, or, with a fault (the command line was wrong), only tells it.
// Returns the exit code: 0 done; 1 the command line is wrong or does not fit the installation;
// 2 refused before any change; 3 failed, and everything put back as it was; 4 failed, and what
// could not be put back is named in the log.
int runUnattended(HINSTANCE instance, const CommandLine& command, const char* fault);

// The usage: on the standard output where there is one, else in a message box. Returns 0.
int showUsage();

#endif
