#include <windows.h>

#include <cstdlib>

#include "shell/flow/command_line.h"
#include "shell/flow/start_up.h"
#include "shell/flow/unattended.h"

// Without arguments the dialogs run and the exit code is 0; with them the command line decides
// (shell/flow/unattended.h). The C library has split the command line by Windows' rules.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    CommandLine command;
    char fault[256];
    bool read = readCommandLine(__argc - 1, __argv + 1, command, fault, sizeof fault);
    if (read && command.mode == SetupMode::dialogs)
        return runSetup(instance);
    if (read && command.mode == SetupMode::usage)
        return showUsage();
    return runUnattended(instance, command, read ? nullptr : fault);
}
