#include "shell/base/launch.h"

#include <cstring>

#include "shell/base/setup_state.h"
#include "shell/base/text_format.h"
#include "shell/base/texts.h"

void fillLaunchInfo()
{
    std::memset(&setup.launchInfo, 0, sizeof setup.launchInfo);
    setup.launchInfo.cb = sizeof setup.launchInfo;
    setup.launchInfo.dwFlags = STARTF_USESHOWWINDOW;
    setup.launchInfo.wShowWindow = SW_SHOWDEFAULT;
}

bool launchProgram(const char* path, const char* workDir)
{
    // The system takes no application name or working directory of MAX_PATH characters or more;
    // refuse such a path ourselves, as the system would a missing program.
    if (std::strlen(path) >= MAX_PATH || std::strlen(workDir) >= MAX_PATH) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return false;
    }
    PROCESS_INFORMATION process;
    std::memset(&process, 0, sizeof process);
    STARTUPINFOA info = setup.launchInfo;
    if (!CreateProcessA(path, nullptr, nullptr, nullptr, FALSE, 0, nullptr, workDir, &info, &process))
        return false;
    // The setup never waits for what it starts.
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

bool launchGame()
{
    char path[longPathSize];
    if (!formatText(path, sizeof path, gameProgramFormat, setup.installDir)) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return false;
    }
    return launchProgram(path, setup.installDir);
}
