// The program's run, in the fixed order of its start-up steps.

#include "shell/flow/start_up.h"

#include <commctrl.h>

#include <cstring>

#include "record/install_record.h"
#include "resources/resource.h"
#include "shell/base/code_page.h"
#include "shell/base/dialogs.h"
#include "shell/base/launch.h"
#include "shell/base/setup_state.h"
#include "shell/base/text_format.h"
#include "shell/base/texts.h"
#include "shell/flow/cd_search.h"
#include "shell/flow/codec_notice.h"
#include "shell/flow/main_menus.h"

namespace {

const char handOverErrorFormat[] =
    "CreateProcess エラー %d\n正常にインストールが終了したかご確認下さい。";

// The game waits with its warning window for the CD: end that window and start the game instead
// of showing a menu. Without a record the bare program name is started.
void handOverToGame(HWND warning)
{
    readInstallRecord();
    EndDialog(warning, 1);
    if (launchGame())
        return;
    char text[128];
    formatText(text, sizeof text, handOverErrorFormat, static_cast<int>(GetLastError()));
    showMessage(nullptr, text, nullptr, MB_OK);
}

void takeDriveTypes()
{
    for (int index = 0; index < driveCount; ++index) {
        setup.driveRoot[0] = static_cast<char>('A' + index);
        setup.driveTypes[index] = static_cast<std::int32_t>(GetDriveTypeA(setup.driveRoot));
    }
}

}  // namespace

bool findTheCd(HINSTANCE instance)
{
    // A result as large as the buffer means the directory did not fit: it was not read.
    DWORD length = GetCurrentDirectoryA(sizeof setup.startDir, setup.startDir);
    if (length == 0 || length >= sizeof setup.startDir) {
        setup.startDir[0] = '\0';
        showMessage(nullptr, textCdMissingExit, captionError, MB_OK);
        return false;
    }
    std::memcpy(setup.cdRoot, setup.startDir, driveRootLength);
    setup.cdRoot[driveRootLength] = '\0';
    copyText(setup.driveRoot, sizeof setup.driveRoot, "A:\\");

    if (!findGameCd()) {
        showMessage(nullptr, textCdMissingExit, captionError, MB_OK);
        return false;
    }
    takeDriveTypes();

    setup.appInstance = instance;
    setup.browseCount = 0;
    setup.browseSelection = 0;
    setup.browseCursor = 0;
    setup.browseSavedSelection = 0;
    return true;
}

int runSetup(HINSTANCE instance)
{
    walkPathsIn(CP_ACP);
    if (FindWindowA(nullptr, captionSetup) || FindWindowA(nullptr, titleGame))
        return 0;
    fillLaunchInfo();

    HWND warning = FindWindowA(nullptr, titleGameWarning);
    if (warning) {
        handOverToGame(warning);
        return 0;
    }
    if (!findTheCd(instance))
        return 0;

    // Before the first dialog, whichever that is.
    InitCommonControls();
    if (!hasAdpcmCodec())
        openDialog(IDD_CODEC_NOTICE, nullptr, codecNoticeProc);

    int record = readInstallRecord();
    runMainMenu(record == recordComplete ? IDD_MENU_INSTALLED : IDD_MENU_NEW);
    return 0;
}
