// The copy engine: copies the chosen level's manifest section from the CD, file by file, with
// progress in the dialog it is given, and undoes a run the user cancels.

#include "install/copy_engine.h"

#include <cstring>
#include <string>
#include <vector>

#include "install/install_folder.h"
#include "install/manifest_reader.h"
#include "install/partial_file.h"
#include "install/progress_panel.h"
#include "install/save_migration.h"
#include "record/install_record.h"
#include "record/shortcut.h"
#include "record/shortcut_dialog.h"
#include "removal/removal.h"
#include "resources/resource.h"
#include "shell/base/dialogs.h"
#include "shell/base/path_walker.h"
#include "shell/base/setup_state.h"
#include "shell/base/text_format.h"

static const char deleteFailedFormat[] = "%s ファイル消去失敗";
static const char folderFailedFormat[] = "%s フォルダ消去失敗";

enum class RunKind { fresh, upgrade };

// What a run created, in order: its files and, in a fresh install, the folders it made (these
// end with a backslash). A run may create more than copiedFiles holds; the rest are kept here,
// so that a cancel still removes everything the run created.
static std::vector<std::string> copiedBeyondTable;
// Entries the last run recorded: what its undoing may have left is looked for among them.
static std::int32_t lastRunRecorded;

struct CopyRun {
    HWND window;
    RunKind kind;
    ManifestReader reader;
    PanelProgress panel;
    const char* destinationRoot;
    char sourceFolder[pathSize];
    char destinationFolder[pathSize];
    std::int32_t recorded;       // entries of what this run created
    bool copying;                // the file loop has begun: an upgrade's failure is undone
    bool folderIsNew;            // this run made the destination folder: no name in it is taken
};

// The folders of a group of files; paths past 255 characters are refused (the caller tells
// them with the code the system gives for them). What a killed run was copying into the
// destination folder goes first.
static bool enterFolders(CopyRun& run, const char* sourceLine, const char* destinationLine)
{
    if (!formatText(run.sourceFolder, sizeof run.sourceFolder, "%s\\%s", setup.cdDrive, sourceLine) ||
        !formatText(run.destinationFolder, sizeof run.destinationFolder, "%s%s", run.destinationRoot,
                    destinationLine))
        return false;
    discardPartialFileIn(run.destinationFolder);
    // A fresh install's own folder, made by this Start, holds nothing yet.
    run.folderIsNew = run.kind == RunKind::fresh && setup.madeFolderLength > 0 && destinationLine[0] == '\0';
    return true;
}

static void recordCopy(CopyRun& run, const char* destination)
{
    if (run.recorded < copiedFilesCapacity)
        copyText(setup.copiedFiles[run.recorded], pathSize, destination);
    else
        copiedBeyondTable.emplace_back(destination);
    lastRunRecorded = ++run.recorded;
}

// Replaces every attribute with FILE_ATTRIBUTE_ARCHIVE, clearing the read-only, hidden and
// system bits a copy carried over. A file that has exactly that already is left alone: under
// Wine the setting costs more than the copy of a small file, the question a small part of it.
static void markArchiveOnly(const char* path)
{
    if (GetFileAttributesA(path) != FILE_ATTRIBUTE_ARCHIVE)
        SetFileAttributesA(path, FILE_ATTRIBUTE_ARCHIVE);
}

// Puts source in place as destination, whole, or nothing (copyWhole), never over a file that
// stands under the name: ERROR_FILE_EXISTS then; ERROR_PATH_NOT_FOUND when the destination's
// folder is missing.
static DWORD placeWhole(const CopyRun& run, const char* source, const char* partial, const char* destination)
{
    // A source that is not there fails the file as the system's copy does, before the
    // destination is looked at: a file there of that name is not counted as installed.
    if (GetFileAttributesA(source) == INVALID_FILE_ATTRIBUTES)
        return GetLastError();
    // Asked before copying, so that a file there is not copied for nothing (an upgrade meets
    // many). In a folder this run made, the rename alone finds a name the manifest gave twice:
    // under Wine the question costs a scan of the folder.
    if (!run.folderIsNew) {
        if (GetFileAttributesA(destination) != INVALID_FILE_ATTRIBUTES)
            return ERROR_FILE_EXISTS;
        if (GetLastError() == ERROR_PATH_NOT_FOUND)
            return ERROR_PATH_NOT_FOUND;
    }
    return copyWhole(source, partial, destination);
}

// Copies one file, never over an existing one. 0 when the file is in place, else the error.
static DWORD copyFile(CopyRun& run, const char* name)
{
    char source[pathSize];
    char destination[pathSize];
    char partial[pathSize];
    if (!formatText(source, sizeof source, "%s%s", run.sourceFolder, name) ||
        !formatText(destination, sizeof destination, "%s%s", run.destinationFolder, name) ||
        !partialFilePath(partial, sizeof partial, run.destinationFolder))
        return ERROR_FILENAME_EXCED_RANGE;

    DWORD error = placeWhole(run, source, partial, destination);
    if (error == 0) {
        recordCopy(run, destination);
        return 0;
    }
    if (error == ERROR_FILE_EXISTS) {
        if (run.kind == RunKind::fresh)
            markArchiveOnly(destination);
        return 0;
    }
    if (error != ERROR_PATH_NOT_FOUND)
        return error;

    // Only the folder itself is made; its parent must be there.
    SECURITY_ATTRIBUTES attributes = {sizeof attributes, nullptr, FALSE};
    if (!CreateDirectoryA(run.destinationFolder, &attributes))
        return GetLastError();
    run.folderIsNew = true;
    // An upgrade's emptied folders go by the removal's rules; a fresh install removes its own.
    if (run.kind == RunKind::fresh)
        recordCopy(run, run.destinationFolder);
    error = placeWhole(run, source, partial, destination);
    if (error == 0) {
        recordCopy(run, destination);
        return 0;
    }
    if (error == ERROR_FILE_EXISTS && run.kind == RunKind::fresh) {
        markArchiveOnly(destination);
        return 0;
    }
    return error;
}

static void deleteCopiedFile(HWND window, const char* path)
{
    if (DeleteFileA(path))
        return;
    char text[pathSize + sizeof deleteFailedFormat];
    formatText(text, sizeof text, deleteFailedFormat, path);
    showMessage(window, text, nullptr, MB_OK);
}

// A folder the run made is empty once the run's files in it are gone; one that is not holds
// something of someone else's and stays, told like a file that would not go.
static void undoFreshEntry(HWND window, const char* path)
{
    if (!endsWithSeparator(path, std::strlen(path))) {
        deleteCopiedFile(window, path);
        return;
    }
    if (RemoveDirectoryA(path))
        return;
    char folder[pathSize];
    copyText(folder, sizeof folder, path);
    dropFinalSeparator(folder);
    char text[pathSize + sizeof folderFailedFormat];
    formatText(text, sizeof text, folderFailedFormat, folder);
    showMessage(window, text, nullptr, MB_OK);
}

// A fresh install may go into a folder that held an earlier installation (its saves above
// all) or into a drive root: it removes what it created, last first, and nothing else; the
// record and the shortcut it has not written yet.
static void undoFreshRun(CopyRun& run)
{
    for (auto entry = copiedBeyondTable.rbegin(); entry != copiedBeyondTable.rend(); ++entry)
        undoFreshEntry(run.window, entry->c_str());
    std::int32_t inTable = run.recorded < copiedFilesCapacity ? run.recorded : copiedFilesCapacity;
    for (std::int32_t i = inTable - 1; i >= 0; --i)
        undoFreshEntry(run.window, setup.copiedFiles[i]);
    removeMadeFolders(run.window);
}

// Deletes every file this upgrade created, then the folders that leaves empty.
static void undoUpgradeCopies(CopyRun& run)
{
    std::int32_t inTable = run.recorded < copiedFilesCapacity ? run.recorded : copiedFilesCapacity;
    for (std::int32_t i = 0; i < inTable; ++i)
        deleteCopiedFile(run.window, setup.copiedFiles[i]);
    for (const std::string& path : copiedBeyondTable)
        deleteCopiedFile(run.window, path.c_str());
    removeInstallFolders(run.window);
}

// An upgrade that fails is undone like a cancelled one: the record keeps the old level, and
// nothing would ever remove the files of a level the record does not name. A fresh install from
// the dialogs keeps what it copied, for the next try to count as installed; one from the command
// line is undone too, so that a script finds the machine as it was.
static int failRun(CopyRun& run, DWORD error)
{
    releasePanel(run.panel);
    showErrorCode(run.window, error);
    if (run.kind == RunKind::upgrade && run.copying)
        undoUpgradeCopies(run);
    else if (run.kind == RunKind::fresh && setup.unattended)
        undoFreshRun(run);
    closeManifest(run.reader);
    return 0;
}

static int cancelRun(CopyRun& run)
{
    setup.chosenType = setup.installedType;
    if (run.kind == RunKind::fresh) {
        undoFreshRun(run);
    } else {
        undoUpgradeCopies(run);
    }
    closeManifest(run.reader);
    return 0;
}

static int completeRun(CopyRun& run)
{
    setup.installedType = setup.chosenType;
    if (run.kind == RunKind::fresh) {
        std::size_t rootLength = std::strlen(setup.installDir);
        if (rootLength > driveRootLength)
            rootLength = driveRootLength;
        std::memcpy(setup.installDrive, setup.installDir, rootLength);
        setup.installDrive[rootLength] = '\0';
    }
    showPanelComplete(run.panel);
    if (run.kind == RunKind::fresh)
        migrateSaveFiles(run.window);
    writeInstallRecord();
    bool offer = run.kind == RunKind::fresh || !shortcutExists();
    if (setup.unattended) {
        if (offer && setup.unattendedShortcut)
            createShortcut(run.window);
        return 1;
    }
    EndDialog(run.window, 1);
    if (offer)
        openDialog(IDD_SHORTCUT, run.window, shortcutDialogProc);
    return 1;
}

int leftoversOfLastRun(void (*tell)(const char* path))
{
    int left = 0;
    auto look = [&](const char* path) {
        if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES)
            return;
        ++left;
        tell(path);
    };
    std::int32_t inTable = lastRunRecorded < copiedFilesCapacity ? lastRunRecorded : copiedFilesCapacity;
    for (std::int32_t i = 0; i < inTable; ++i)
        look(setup.copiedFiles[i]);
    for (const std::string& path : copiedBeyondTable)
        look(path.c_str());
    return left;
}

static int runCopy(HWND window, int level, RunKind kind)
{
    CopyRun run;
    run.window = window;
    run.kind = kind;
    run.recorded = 0;
    run.copying = false;
    copiedBeyondTable.clear();
    lastRunRecorded = 0;
    if (!findManifestSection(run.reader, level))
        return 0;

    DWORD length = GetCurrentDirectoryA(sizeof setup.startDir, setup.startDir);
    SectionHead head;
    if (length == 0 || length >= sizeof setup.startDir || !readSectionHead(run.reader, head)) {
        closeManifest(run.reader);
        return 0;
    }
    dropFinalSeparator(setup.startDir);

    startPanelProgress(run.panel, window, head.count);
    run.destinationRoot = kind == RunKind::fresh ? setup.targetDir : setup.installDir;
    if (!enterFolders(run, head.sourceFolder, head.destinationFolder))
        return failRun(run, ERROR_FILENAME_EXCED_RANGE);
    // The recorded install folder is the section's first destination folder.
    if (kind == RunKind::fresh)
        copyText(setup.installDir, sizeof setup.installDir, run.destinationFolder);
    setup.copyState = copyRunning;
    run.copying = true;

    FileEntry entry = firstFileEntry(head);
    while (nextFileEntry(run.reader, entry)) {
        if (entry.folderChange && !enterFolders(run, entry.sourceFolder, entry.destinationFolder))
            return failRun(run, ERROR_FILENAME_EXCED_RANGE);
        DWORD error = copyFile(run, entry.fileName);
        if (error != 0)
            return failRun(run, error);
        advancePanel(run.panel);
        // A close is taken by the pump, after the file it came during.
        tendPanel(run.panel);
        if (setup.copyState == copyCancelRequested)
            return cancelRun(run);
    }
    refreshPanel(run.panel);
    if (setup.copyState == copyCancelRequested)
        return cancelRun(run);
    closeManifest(run.reader);
    return completeRun(run);
}

int runFreshInstall(HWND window, int level)
{
    return runCopy(window, level, RunKind::fresh);
}

int runUpgradeInstall(HWND window, int level)
{
    return runCopy(window, level, RunKind::upgrade);
}
