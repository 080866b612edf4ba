// The one process-wide setup state: what one screen leaves for another.
#ifndef VK_SETUP_STATE_H
#define VK_SETUP_STATE_H

#include <windows.h>
#include <commctrl.h>
#include <cstdint>

#include "shell/base/limits.h"

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

    // A run from the command line, with no window: every message goes to the log, every question
    // takes the answer of a player who wants the game installed, and the shortcut offer the
    // answer of the command line.
    std::int32_t unattended;
    std::int32_t unattendedShortcut;

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

#endif
