// The one process-wide setup state, and the helpers every screen shares.
#ifndef VK_SETUP_STATE_H
#define VK_SETUP_STATE_H

#include <windows.h>
#include <commctrl.h>
#include <cstdint>

#include "shell/limits.h"

// Install level: the registry value "set", the manifest section and the size requirement.
enum InstallType : std::int32_t { installMinimum = 0, installStandard = 1, installFull = 2 };

// State of a running copy.
enum CopyState : std::int32_t { copyIdle = 0, copyRunning = 1, copyCancelRequested = 2 };

struct SetupState {
    HINSTANCE appInstance;
    char startDir[pathSize];
    char cdRoot[rootSize];
    char cdDrive[rootSize];
    char driveRoot[rootSize];
    char installDir[longPathSize];
    char previousDir[longPathSize];
    char installDrive[rootSize];
    char folderName[longPathSize];
    char targetDir[longPathSize];
    // Length of the shallowest level of targetDir that createInstallFolder made (every deeper
    // level is new as well); 0 when it made none. A cancelled fresh install removes just those.
    std::int32_t madeFolderLength;
    std::int32_t chosenType;
    std::int32_t installedType;
    std::int32_t copyState;
    HWND mainMenuWnd;
    HWND typeChoiceWnd;
    std::int32_t driveTypes[driveCount];   // GetDriveTypeA of A:\ to Z:\, taken once at start-up
    std::int32_t uninstallDone;
    STARTUPINFOA launchInfo;
    std::int32_t pathCursor;

    // Install dialog and folder browser.
    unsigned char eligibleDrives[driveCount];
    char browsePaths[browseCapacity][pathSize];
    HTREEITEM browseItems[browseCapacity];
    std::int32_t browseCount;
    std::int32_t browseSelection;
    std::int32_t browseCursor;
    std::int32_t browseSavedSelection;
    HWND folderTreeWnd;
    std::int32_t lastDriveIndex;

    // Copy engine: the files an upgrade created, for its rollback.
    char copiedFiles[copiedFilesCapacity][pathSize];

    // Removal: the install folder and each folder above it.
    char folderChain[folderChainCapacity][pathSize];
    std::int32_t folderChainCount;
};

// Zero-filled at process start, like every static.
extern SetupState setup;

// Dispatches what waits in the thread's queue and returns without waiting; 0 after WM_QUIT.
int pumpMessages();

// True when the drive the setup was started from answers; otherwise warns, owned by owner.
bool probeCd(HWND owner);

// Starts a program and returns at once; false when it could not be started.
// A path or working directory that the system could not take counts as a missing program.
bool launchProgram(const char* path, const char* workDir);

// Starts the installed game, "<installDir>velkorin.exe", in installDir. A path that does not fit
// fails with ERROR_FILENAME_EXCED_RANGE, as the system fails a program it cannot find.
bool launchGame();

// Fills launchInfo, the start-up information of every launch.
void fillLaunchInfo();

// Makes a dialog top-most without moving or sizing it.
void makeTopMost(HWND dlg);

// Opens one of the setup's dialogs modally.
void openDialog(int templateId, HWND owner, DLGPROC proc);

// A message box; a null caption shows the system's default one.
int showMessage(HWND owner, const char* text, const char* caption, UINT type);

// Shows "エラーコード %d" with no caption.
void showErrorCode(HWND owner, DWORD code);

#endif
