#include <windows.h>

#include "shell/flow/start_up.h"

// The command line is not read; the exit code is always 0.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    return runSetup(instance);
}
