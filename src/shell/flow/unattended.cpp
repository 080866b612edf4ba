// A run from the command line: the install, upgrade or removal the dialogs make, through the same
// operations, with no window shown. Each message the dialogs would show goes to the log, each
// question takes the answer of a player who wants the game installed, and the exit code tells
// a script how it went.

#include "shell/flow/unattended.h"

#include <commctrl.h>

#include <cstdint>
#include <cstring>

#include "install/copy_engine.h"
#include "install/folder_name.h"
#include "install/free_space.h"
#include "install/install_dialog.h"
#include "install/install_folder.h"
#include "install/plus_warning.h"
#include "install/size_tables.h"
#include "record/install_record.h"
#include "record/shortcut.h"
#include "removal/removal.h"
#include "resources/resource.h"
#include "shell/base/cd_probe.h"
#include "shell/base/code_page.h"
#include "shell/base/dialogs.h"
#include "shell/base/event_log.h"
#include "shell/base/launch.h"
#include "shell/base/path_walker.h"
#include "shell/base/setup_state.h"
#include "shell/base/text_format.h"
#include "shell/base/texts.h"
#include "shell/flow/codec_notice.h"
#include "shell/flow/start_up.h"

namespace {

enum ExitCode : int {
    exitDone = 0,
    exitCommandLine = 1,   // wrong, or not fitting the installation as it is
    exitRefused = 2,       // nothing was changed
    exitUndone = 3,        // failed, and everything is as it was
    exitLeftBehind = 4,    // failed, and the log names what could not be taken away again
};

const char textStarted[] = "Velkorinセットアップ（コマンドライン）: ";
const char textSeeUsage[] = "使い方は SETUP.EXE /? で表示されます。";
const char textAnotherSetup[] = "セットアップが既に実行中です。";
const char textGameRunning[] = "ゲームが実行中です。ゲームを終了してから実行して下さい。";
const char textInstalledAlready[] =
    "既にインストールされています。/UPGRADE または /UNINSTALL を指定して下さい。";
const char textNotInstalled[] = "インストールされていません。";
const char textNotAbove[] = "/TYPE にはインストール済みのものより上のインストールを指定して下さい。";
const char textNotAFixedDisk[] = "インストール出来るドライブではありません: ";
const char textDestination[] = "インストール先: ";
const char textUpdaterNotStarted[] = "UPDATE.EXE はコマンドラインからの実行では起動しません。";
const char textLeftBehind[] = "元に戻せませんでした: ";
const char textShortcutThere[] = "スタートメニューのショートカット: あり";
const char textNoShortcut[] = "スタートメニューのショートカット: なし";
const char exitCodeFormat[] = "終了コード %d";
const char runningMutexName[] = "Velkorin-setup-unattended";

const char usageText[] =
    "Velkorinセットアップ\r\n"
    "\r\n"
    "SETUP.EXE /S /TYPE=MINIMUM|STANDARD|FULL [/DIR=フォルダ] [/SHORTCUT=YES|NO] [/LOG=ファイル]\r\n"
    "    新しくインストールします。フォルダはドライブ名から（例 /DIR=D:\\Games\\Velkorin）。\r\n"
    "    省略すると、容量のある最初のハードディスクの Orbek\\VELKORIN\\ に。\r\n"
    "SETUP.EXE /S /UPGRADE /TYPE=STANDARD|FULL [/LOG=ファイル]\r\n"
    "    インストール済みのフォルダに再インストールします。\r\n"
    "SETUP.EXE /S /UNINSTALL [/KEEPSAVES] [/LOG=ファイル]\r\n"
    "    アンインストールします。/KEEPSAVES でセーブデータを残します。\r\n"
    "\r\n"
    "ログは /LOG のファイルに、省略すると %TEMP%\\Velkorin-setup.log に書かれます。\r\n"
    "終了コード: 0 完了、1 コマンドラインの誤り、2 何も変更せずに中止、\r\n"
    "3 失敗（元に戻しました）、4 失敗（元に戻せなかったものはログに）\r\n";

// The one window of a run from the command line, never shown: by its title another setup,
// started from the dialogs or from the command line, finds this one running.
HWND marker = nullptr;

INT_PTR CALLBACK quietDialogProc(HWND, UINT, WPARAM, LPARAM)
{
    return 0;
}

BOOL CALLBACK logStaticText(HWND child, LPARAM)
{
    char name[16];
    char text[1024];
    if (GetClassNameA(child, name, sizeof name) && lstrcmpiA(name, "Static") == 0 &&
        GetWindowTextA(child, text, sizeof text) > 0)
        logEvent(text);
    return TRUE;
}

// What a notice dialog says, read from its template without showing it.
void logDialogTexts(int templateId)
{
    HWND dlg = CreateDialogParamA(setup.appInstance, MAKEINTRESOURCEA(templateId), nullptr, quietDialogProc, 0);
    if (!dlg)
        return;
    EnumChildWindows(dlg, logStaticText, 0);
    DestroyWindow(dlg);
}

void tellLeftBehind(const char* path)
{
    logEvent(textLeftBehind, path);
}

// The levels of folder (ending with a backslash) from the one madeLength bytes long down that
// are still there, each told.
int levelsLeftBehind(const char* folder, std::int32_t madeLength)
{
    if (madeLength <= 0)
        return 0;
    int left = 0;
    std::int32_t cursor = driveRootLength;
    while (nextPathPrefix(folder, cursor) == 0) {
        std::int32_t end = cursor - 1;
        if (end < madeLength)
            continue;
        char level[pathSize];
        if (static_cast<std::size_t>(end) >= sizeof level)
            break;
        std::memcpy(level, folder, static_cast<std::size_t>(end));
        level[end] = '\0';
        if (GetFileAttributesA(level) != INVALID_FILE_ATTRIBUTES) {
            tellLeftBehind(level);
            ++left;
        }
    }
    return left;
}

void afterSuccess(const char* done)
{
    logEvent(done);
    logEvent(shortcutExists() ? textShortcutThere : textNoShortcut);
    if (plusInstalled() == 1)
        logDialogTexts(IDD_PLUS_WARNING);
    logEvent(textUpdaterNotStarted);
}

// The base folder and folderName from /DIR, or as the install dialog proposes them: the first
// fixed disk with room, and the folder below its root. False, after telling why, when there is
// no such drive or the one named is no fixed disk.
bool chooseDestination(const char* folder)
{
    char root[rootSize];
    if (folder[0] == '\0') {
        int drive = markEligibleDrives();
        if (drive < 0) {
            showMessage(marker, textNoDrive, nullptr, MB_OK);
            return false;
        }
        formatText(root, sizeof root, "%c:\\", 'A' + drive);
        copyText(setup.folderName, sizeof setup.folderName, defaultFolderName);
    } else {
        formatText(root, sizeof root, "%c:\\", folder[0]);
        CharUpperBuffA(root, 1);
        if (setup.driveTypes[root[0] - 'A'] != DRIVE_FIXED) {
            logEvent(textNotAFixedDisk, root);
            return false;
        }
        // As the folder field takes a name typed below the drive's root.
        copyText(setup.folderName, sizeof setup.folderName, folder + driveRootLength);
        dropLeadingBackslash(setup.folderName);
        endWithBackslash(setup.folderName, sizeof setup.folderName);
    }
    copyText(setup.driveRoot, sizeof setup.driveRoot, root);
    copyText(setup.browsePaths[0], pathSize, root);
    setup.browseSelection = 0;
    char destination[rootSize + longPathSize];
    formatText(destination, sizeof destination, "%s%s", root, setup.folderName);
    logEvent(textDestination, destination);
    return true;
}

// What a failed install or upgrade left of its own once undone decides between 3 and 4.
int undoneOrLeftBehind(std::int32_t madeLength)
{
    int left = leftoversOfLastRun(tellLeftBehind) + levelsLeftBehind(setup.targetDir, madeLength);
    return left == 0 ? exitUndone : exitLeftBehind;
}

// Start's checks in their order (the CD, the name, the room), then the folder and the copy.
int install(const CommandLine& command)
{
    setup.chosenType = command.level;
    if (!chooseDestination(command.folder) || !probeCd(marker) || !validateFolderName(marker))
        return exitRefused;
    std::uint32_t required = 0;
    if (!requiredBytes(setup.chosenType, required) || !hasRoomFor(setup.driveRoot, required)) {
        showMessage(marker, textNoRoom, nullptr, MB_OK);
        return exitRefused;
    }
    setup.copyState = copyIdle;
    int ready = createInstallFolder(marker);
    std::int32_t madeLength = setup.madeFolderLength;
    if (ready != 1) {
        removeMadeFolders(marker);
        showMessage(marker, textInstallFailed, captionSetup, MB_OK);
        return levelsLeftBehind(setup.targetDir, madeLength) == 0 ? exitUndone : exitLeftBehind;
    }
    if (runFreshInstall(marker, setup.chosenType) != 1) {
        showMessage(marker, textInstallFailed, captionSetup, MB_OK);
        return undoneOrLeftBehind(madeLength);
    }
    afterSuccess(textInstallDone);
    return exitDone;
}

// The checks of the upgrade dialog: room on the recorded folder's drive, then the CD.
int upgrade(const CommandLine& command)
{
    std::uint32_t required = 0;
    if (command.level <= setup.installedType ||
        !upgradeRequiredBytes(setup.installedType, command.level, required)) {
        logEvent(textNotAbove);
        return exitCommandLine;
    }
    setup.chosenType = command.level;
    if (!hasRoomFor(setup.installDrive, required)) {
        showMessage(marker, textNoRoom, nullptr, MB_OK);
        return exitRefused;
    }
    if (!probeCd(marker))
        return exitRefused;
    setup.copyState = copyIdle;
    if (runUpgradeInstall(marker, setup.chosenType) != 1) {
        setup.chosenType = setup.installedType;
        showMessage(marker, textUpgradeFailed, captionSetup, MB_OK);
        return undoneOrLeftBehind(0);
    }
    setup.chosenType = setup.installedType;
    afterSuccess(textUpgradeDone);
    return exitDone;
}

int uninstall(const CommandLine& command)
{
    if (!probeCd(marker))
        return exitRefused;
    if (!command.keepSaves)
        showMessage(marker, textConfirmDeleteSaves, captionWarning, MB_YESNO);
    removeInstallation(marker, command.keepSaves ? 1 : 0);
    logEvent(textUninstallFinished);
    return exitDone;
}

// Start-up's refusals, then the run the command line asks for where it fits the record.
int run(HINSTANCE instance, const CommandLine& command)
{
    if (FindWindowA(nullptr, captionSetup)) {
        logEvent(textAnotherSetup);
        return exitRefused;
    }
    // The game's warning window waits for the CD: the dialogs would hand over to the game.
    if (FindWindowA(nullptr, titleGame) || FindWindowA(nullptr, titleGameWarning)) {
        logEvent(textGameRunning);
        return exitRefused;
    }
    // Two runs from the command line that start at once would both find no window yet.
    CreateMutexA(nullptr, FALSE, runningMutexName);
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        logEvent(textAnotherSetup);
        return exitRefused;
    }
    marker = CreateWindowExA(0, "STATIC", captionSetup, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
    fillLaunchInfo();
    if (!findTheCd(instance))
        return exitRefused;
    if (!hasAdpcmCodec())
        logDialogTexts(IDD_CODEC_NOTICE);

    bool installed = readInstallRecord() == recordComplete;
    if (command.mode == SetupMode::install && installed) {
        logEvent(textInstalledAlready);
        return exitCommandLine;
    }
    if (command.mode != SetupMode::install && !installed) {
        logEvent(textNotInstalled);
        return exitCommandLine;
    }
    setup.unattendedShortcut = command.shortcut ? 1 : 0;
    switch (command.mode) {
    case SetupMode::install: return install(command);
    case SetupMode::upgrade: return upgrade(command);
    default: return uninstall(command);
    }
}

}  // namespace

int runUnattended(HINSTANCE instance, const CommandLine& command, const char* fault)
{
    setup.unattended = 1;
    setup.appInstance = instance;
    walkPathsIn(CP_ACP);
    if (!openEventLog(command.logFile))
        return exitCommandLine;
    logEvent(textStarted, GetCommandLineA());
    int code = exitCommandLine;
    if (fault) {
        logEvent(fault);
        logEvent(textSeeUsage);
    } else {
        code = run(instance, command);
    }
    char text[32];
    formatText(text, sizeof text, exitCodeFormat, code);
    logEvent(text);
    closeEventLog();
    if (marker)
        DestroyWindow(marker);
    return code;
}

int showUsage()
{
    if (!writeStandardOutput(usageText))
        MessageBoxA(nullptr, usageText, captionSetup, MB_OK);
    return exitDone;
}
