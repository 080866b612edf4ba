// The Start-menu shortcut to the installed game, through the shell's link object.

#include "record/shortcut.h"

#include <objbase.h>
#include <shlobj.h>

#include "shell/base/dialogs.h"
#include "shell/base/setup_state.h"
#include "shell/base/text_format.h"
#include "shell/base/texts.h"

static const char textSetPathFailed[] = "SetPath FALSE";
static const char textSetDescriptionFailed[] = "SetDescription FALSE";
static const char textSetWorkingDirectoryFailed[] = "SetWorkingDirectory FALSE";
static const char textDiskFull[] =
    "Windows ドライブに空き容量がありません。ショートカットを作成できませんでした";
static const char textFolderNotCreated[] = "フォルダ作成";
static const char textSaveFailed[] = "Save FALSE";

bool findProgramsFolder(char (&path)[MAX_PATH])
{
    LPITEMIDLIST items = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(GetDesktopWindow(), CSIDL_PROGRAMS, &items)) || !items)
        return false;
    bool found = SHGetPathFromIDListA(items, path) != FALSE;
    CoTaskMemFree(items);
    return found;
}

// An existing maker folder is no error: another game of the maker, or an earlier shortcut.
static const char* makeMakerFolder(const char* programs)
{
    char folder[MAX_PATH + sizeof shortcutFolderFormat];
    if (!formatText(folder, sizeof folder, shortcutFolderFormat, programs))
        return textFolderNotCreated;
    SECURITY_ATTRIBUTES security = {sizeof security, nullptr, FALSE};
    if (CreateDirectoryA(folder, &security))
        return nullptr;
    DWORD error = GetLastError();
    if (error == ERROR_ALREADY_EXISTS)
        return nullptr;
    return error == ERROR_DISK_FULL ? textDiskFull : textFolderNotCreated;
}

// Sets the link's properties and saves it; returns the text that tells the failure, or null.
static const char* writeLink(IShellLinkA* link, IPersistFile* file)
{
    char target[longPathSize + sizeof gameProgramFormat];
    if (!formatText(target, sizeof target, gameProgramFormat, setup.installDir) ||
        FAILED(link->SetPath(target)))
        return textSetPathFailed;
    if (!formatText(target, sizeof target, gameProgramFormat, setup.installDir) ||
        FAILED(link->SetDescription(target)))
        return textSetDescriptionFailed;
    if (FAILED(link->SetWorkingDirectory(setup.installDir)))
        return textSetWorkingDirectoryFailed;

    char programs[MAX_PATH];
    if (!findProgramsFolder(programs))
        return textFolderNotCreated;
    if (const char* failure = makeMakerFolder(programs))
        return failure;

    char linkPath[MAX_PATH + sizeof shortcutFileFormat];
    WCHAR wideLinkPath[MAX_PATH];
    if (!formatText(linkPath, sizeof linkPath, shortcutFileFormat, programs) ||
        MultiByteToWideChar(CP_ACP, 0, linkPath, -1, wideLinkPath, MAX_PATH) == 0 ||
        FAILED(file->Save(wideLinkPath, TRUE)))
        return textSaveFailed;
    return nullptr;
}

// COM lives only for this call: initialised once at the start and, when that succeeded,
// uninitialised once at the end, whichever way the call goes. A failed initialisation (the
// thread is in another apartment) is not ours to undo.
void createShortcut(HWND owner)
{
    bool initialised = SUCCEEDED(CoInitialize(nullptr));
    IShellLinkA* link = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&link)))) {
        IPersistFile* file = nullptr;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            if (const char* failure = writeLink(link, file))
                showMessage(owner, failure, captionGameWarning, MB_OK);
            file->Release();
        }
        link->Release();
    }
    if (initialised)
        CoUninitialize();
}

int shortcutExists()
{
    char programs[MAX_PATH];
    if (!findProgramsFolder(programs))
        return 0;
    char linkPath[MAX_PATH + sizeof shortcutFileFormat];
    if (!formatText(linkPath, sizeof linkPath, shortcutFileFormat, programs))
        return 0;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(linkPath, &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    FindClose(search);
    return 1;
}
