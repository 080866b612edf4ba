// Removing an installation: the catalogue's files, the folders they leave empty, the shortcut and
// the record. Only the catalogue's names are ever deleted; a folder goes only when it is empty.

#include "removal/removal.h"

#include <cstring>

#include "install/partial_file.h"
#include "record/install_record.h"
#include "record/shortcut.h"
#include "removal/catalogue.h"
#include "removal/folder_chain.h"
#include "shell/base/dialogs.h"
#include "shell/base/folder_listing.h"
#include "shell/base/setup_state.h"
#include "shell/base/text_format.h"

static const char voiceFolderName[] = "voice";
static const char midiFolderName[] = "midi";
static const char gameFolderFailedFormat[] =
    "%s%s フォルダ消去失敗。ゲーム以外のファイルがあるおそれがあります。";
static const char folderFailedFormat[] = "%s\\%s フォルダ消去失敗";
static const char sweepPatternFormat[] = "%s\\*.*";

// Deletions are never told: a file already gone, read-only or in use simply stays.
static void deleteFiles(const char* folder, const FileTable& table)
{
    char path[longPathSize + sizeof voiceFolderName + catalogueNameSize];
    for (int row = 0; row < table.count; ++row)
        if (formatText(path, sizeof path, "%s%s", folder, table.names[row]))
            DeleteFileA(path);
}

// Files of "voice" or "midi": installDir, the folder's name and a backslash. What a copy killed
// in the folder was writing goes with them.
static void deleteGameFolderFiles(const char* name, const FileTable& table)
{
    char folder[longPathSize + sizeof voiceFolderName];
    if (!formatText(folder, sizeof folder, "%s%s\\", setup.installDir, name))
        return;
    deleteFiles(folder, table);
    discardPartialFileIn(folder);
}

// A sub-folder that is not there or gave no reason (0) is not told. A missing folder whose parent
// exists fails with ERROR_FILE_NOT_FOUND, a missing parent with ERROR_PATH_NOT_FOUND: both mean
// there was nothing to remove, as after a standard install, which has no voice folder.
static void removeGameFolder(HWND owner, const char* name)
{
    char folder[longPathSize + sizeof voiceFolderName];
    if (!formatText(folder, sizeof folder, "%s%s", setup.installDir, name))
        return;
    if (RemoveDirectoryA(folder))
        return;
    DWORD error = GetLastError();
    if (error == 0 || error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
        return;
    char text[sizeof folder + sizeof gameFolderFailedFormat];
    if (formatText(text, sizeof text, gameFolderFailedFormat, setup.installDir, name))
        showMessage(owner, text, nullptr, MB_OK);
}

// Removes parent\name when empty; every failure but a refusal of access is told.
static void removeChainFolder(HWND owner, const char* parent, const char* name)
{
    char folder[pathSize + 1 + MAX_PATH];
    if (!formatText(folder, sizeof folder, "%s\\%s", parent, name))
        return;
    if (RemoveDirectoryA(folder) || GetLastError() == ERROR_ACCESS_DENIED)
        return;
    char text[sizeof folder + sizeof folderFailedFormat];
    if (formatText(text, sizeof text, folderFailedFormat, parent, name))
        showMessage(owner, text, nullptr, MB_OK);
}

// Takes the empty sub-folders of the install folder, in listing order.
static void sweepInstallFolder(HWND owner, const char* installFolder)
{
    char pattern[pathSize + sizeof sweepPatternFormat];
    if (!formatText(pattern, sizeof pattern, sweepPatternFormat, installFolder))
        return;
    visitSubFolders(pattern, [owner, installFolder](const WIN32_FIND_DATAA& found) {
        removeChainFolder(owner, installFolder, found.cFileName);
        return true;
    });
}

// Climbs from the install folder up to the top-level folder, trying each even when a deeper one
// stayed. Folders at drive level were not made by the installation: an install folder at a drive
// root leaves its drive alone. A chain cut short (an entry too long for the table) still climbs
// what it holds, but its last entry is not the install folder, so nothing is swept.
static void removeFolderChain(HWND owner)
{
    bool complete = buildFolderChain(setup.installDir, setup.folderChain, folderChainCapacity,
                                     setup.pathCursor, setup.folderChainCount);
    int last = setup.folderChainCount - 1;
    if (last < 1)
        return;
    if (complete && !isDriveLevel(setup.folderChain[last]))
        sweepInstallFolder(owner, setup.folderChain[last]);
    for (int k = last; k >= 1; --k)
        if (!isDriveLevel(setup.folderChain[k]))
            removeChainFolder(owner, setup.folderChain[k - 1],
                              chainFolderName(setup.folderChain, k));
}

static void removeShortcut()
{
    char programs[MAX_PATH];
    if (!findProgramsFolder(programs))
        return;
    char path[MAX_PATH + sizeof shortcutFileFormat];
    if (formatText(path, sizeof path, shortcutFileFormat, programs))
        DeleteFileA(path);
    if (formatText(path, sizeof path, shortcutFolderFormat, programs))
        RemoveDirectoryA(path);
}

void removeInstallation(HWND owner, int keepSaves)
{
    deleteGameFolderFiles(voiceFolderName, voiceFiles);
    deleteGameFolderFiles(midiFolderName, midiFiles);
    removeGameFolder(owner, voiceFolderName);
    removeGameFolder(owner, midiFolderName);
    if (keepSaves != 1)
        deleteFiles(setup.installDir, saveFiles);
    deleteFiles(setup.installDir, mainFiles);
    discardPartialFileIn(setup.installDir);
    removeFolderChain(owner);
    removeShortcut();
    deleteInstallRecord(keepSaves);
}

void removeInstallFolders(HWND owner)
{
    char folder[longPathSize + sizeof voiceFolderName];
    if (formatText(folder, sizeof folder, "%s%s", setup.installDir, voiceFolderName))
        RemoveDirectoryA(folder);
    if (formatText(folder, sizeof folder, "%s%s", setup.installDir, midiFolderName))
        RemoveDirectoryA(folder);
    removeFolderChain(owner);
}
