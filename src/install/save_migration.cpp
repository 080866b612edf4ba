// Brings save files over from the folder a keep-saves removal left behind into a fresh install.

#include "install/save_migration.h"

#include "shell/base/dialogs.h"
#include "shell/base/setup_state.h"
#include "shell/base/text_format.h"
#include "shell/base/texts.h"

static const char textCopySaves[] = "セーブファイルが他のフォルダにあります。コピーしますか？";
static const char savePatternFormat[] = "%ssave*.*";

// Only plain files: read-only, hidden or system saves, and folders, are not the game's to take.
static bool isCandidate(const WIN32_FIND_DATAA& found)
{
    return found.dwFileAttributes == FILE_ATTRIBUTE_ARCHIVE;
}

// Overwrites a save of the same name in the new folder. False, after telling the error, when the
// copy failed.
static bool copySaveFile(HWND owner, const char* name)
{
    char source[longPathSize + MAX_PATH];
    char destination[longPathSize + MAX_PATH];
    formatText(source, sizeof source, "%s%s", setup.previousDir, name);
    formatText(destination, sizeof destination, "%s%s", setup.installDir, name);
    if (CopyFileA(source, destination, FALSE))
        return true;
    DWORD error = GetLastError();
    if (error == ERROR_FILE_EXISTS)
        return true;
    showErrorCode(owner, error);
    return false;
}

void migrateSaveFiles(HWND owner)
{
    char pattern[longPathSize + sizeof savePatternFormat];
    if (!formatText(pattern, sizeof pattern, savePatternFormat, setup.previousDir))
        return;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    bool asked = false;
    do {
        if (!isCandidate(found))
            continue;
        if (!asked) {
            // The same folder in another letter case: the saves are already in place.
            if (lstrcmpiA(setup.installDir, setup.previousDir) == 0)
                break;
            if (showMessage(owner, textCopySaves, captionSetup, MB_YESNO) != IDYES)
                break;
            asked = true;
        }
        if (!copySaveFile(owner, found.cFileName))
            break;
    } while (FindNextFileA(search, &found));
    FindClose(search);
}
