#include "install/install_folder.h"

#include <cstring>

#include "shell/base/dialogs.h"
#include "shell/base/path_walker.h"
#include "shell/base/setup_state.h"
#include "shell/base/text_format.h"
#include "shell/base/texts.h"

static const char textInstallToRoot[] = "ルートにインストールしようとしていますがよろしいですか？";
static const char textFolderExists[] =
    "既に存在しているフォルダです。現在のファイルをそのままで上書きしますか？";
static const char chainErrorFormat[] = "エラーコード [%d]";
static const char folderRemovalFailedFormat[] = "%s フォルダ消去失敗";

// The base folder: the selected drive's root or a folder picked in the folder browser.
const char* baseFolder()
{
    int selection = setup.browseSelection;
    if (selection < 0 || selection >= browseCapacity)
        selection = 0;
    return setup.browsePaths[selection];
}

// Notes the first level made: the levels are made from the top down, so every later one lies
// below it.
static bool createFolder(const char* path)
{
    SECURITY_ATTRIBUTES attributes = {sizeof attributes, nullptr, FALSE};
    if (!CreateDirectoryA(path, &attributes))
        return false;
    if (setup.madeFolderLength == 0) {
        std::size_t length = std::strlen(path);
        if (endsWithSeparator(path, length))
            --length;
        setup.madeFolderLength = static_cast<std::int32_t>(length);
    }
    return true;
}

// One level of the chain; a level that is there already is passed over. One that cannot be made
// ends the chain and is told, also when its parent is missing: passed over, the copy would
// only fail later into a folder that is not there.
static bool createChainLevel(HWND window, const char* path)
{
    if (createFolder(path) || GetLastError() == ERROR_ALREADY_EXISTS)
        return true;
    DWORD error = GetLastError();
    char text[64];
    formatText(text, sizeof text, chainErrorFormat, static_cast<int>(error));
    showMessage(window, text, nullptr, MB_OK);
    return false;
}

// Creates targetDir level by level from below the drive root.
static bool createFolderChain(HWND window)
{
    if (std::strlen(setup.targetDir) > driveRootLength) {
        setup.pathCursor = driveRootLength;
        while (nextPathPrefix(setup.targetDir, setup.pathCursor) == 0) {
            // targetDir holds at most 255 characters, so every prefix fits.
            char prefix[pathSize];
            std::size_t length = static_cast<std::size_t>(setup.pathCursor);
            std::memcpy(prefix, setup.targetDir, length);
            prefix[length] = '\0';
            if (!createChainLevel(window, prefix))
                return false;
        }
    }
    return createChainLevel(window, setup.targetDir);
}

int createInstallFolder(HWND window)
{
    setup.madeFolderLength = 0;
    // A target past 255 characters would not fit the paths built from it; it is refused here,
    // before anything is created.
    if (!formatText(setup.targetDir, pathSize, "%s%s", baseFolder(), setup.folderName)) {
        showMessage(window, textNameTooLong, captionWarning, MB_OK);
        return 0;
    }
    bool atDriveRoot = std::strlen(setup.targetDir) == driveRootLength;
    dropFinalSeparator(setup.targetDir);

    if (!createFolder(setup.targetDir)) {
        DWORD error = GetLastError();
        if (error == ERROR_ALREADY_EXISTS) {
            const char* question = atDriveRoot ? textInstallToRoot : textFolderExists;
            if (showMessage(window, question, captionWarning, MB_YESNO) != IDYES)
                return 0;
        } else if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
            if (!createFolderChain(window))
                return 0;
        } else {
            showErrorCode(window, error);
            return 0;
        }
    }
    appendText(setup.targetDir, sizeof setup.targetDir, "\\");
    return 1;
}

void removeMadeFolders(HWND window)
{
    if (setup.madeFolderLength <= 0)
        return;
    // The levels are the prefixes of targetDir before each of its backslashes after the drive
    // root, found by the walker that made them (targetDir holds at most 255 characters, so
    // there are fewer than pathSize); the deepest goes first. A drive root or a bare drive was
    // never made here.
    std::int32_t levelEnds[pathSize];
    int levels = 0;
    std::int32_t cursor = driveRootLength;
    while (nextPathPrefix(setup.targetDir, cursor) == 0)
        levelEnds[levels++] = cursor - 1;
    const std::int32_t shallowest = setup.madeFolderLength > static_cast<std::int32_t>(driveRootLength)
                                        ? setup.madeFolderLength
                                        : static_cast<std::int32_t>(driveRootLength) + 1;
    for (int k = levels - 1; k >= 0 && levelEnds[k] >= shallowest; --k) {
        char level[pathSize];
        std::memcpy(level, setup.targetDir, static_cast<std::size_t>(levelEnds[k]));
        level[levelEnds[k]] = '\0';
        if (RemoveDirectoryA(level))
            continue;
        DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            continue;
        char text[pathSize + sizeof folderRemovalFailedFormat];
        if (formatText(text, sizeof text, folderRemovalFailedFormat, level))
            showMessage(window, text, nullptr, MB_OK);
        break;
    }
    setup.madeFolderLength = 0;
}
