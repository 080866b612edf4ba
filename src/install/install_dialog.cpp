// The install dialog 106: the player picks the drive and the folder, starts the copy and watches
// it. The copy runs inside the Start handler and takes whatever messages wait after each file,
// so every handler here may run in the middle of a copy; copyState tells.
//
// The dialog has no handlers for its drive list and folder field: the polling step after every
// message takes over what changed there.

#include "install/install_dialog.h"

#include <cstdint>
#include <cstring>

#include "install/copy_engine.h"
#include "install/folder_browser.h"
#include "install/folder_name.h"
#include "install/free_space.h"
#include "install/install_folder.h"
#include "install/plus_warning.h"
#include "install/progress_panel.h"
#include "install/size_tables.h"
#include "record/install_record.h"
#include "resources/resource.h"
#include "shell/base/cd_probe.h"
#include "shell/base/dialogs.h"
#include "shell/base/launch.h"
#include "shell/base/setup_state.h"
#include "shell/base/text_format.h"
#include "shell/base/texts.h"
#include "shell/flow/main_menus.h"

static void setText(HWND dlg, int id, const char* text)
{
    SendDlgItemMessageA(dlg, id, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

static void showRequirement(HWND dlg)
{
    std::uint32_t bytes = 0;
    if (requiredBytes(setup.chosenType, bytes))
        showMegabytes(dlg, IDC_PROGRESS_REQUIRED, bytes);
}

void showDestination(HWND window)
{
    char destination[pathSize + longPathSize];
    formatText(destination, sizeof destination, "%s%s", baseFolder(), setup.folderName);
    setText(window, IDC_PROGRESS_DESTINATION, destination);
}

void normaliseFolderName(HWND window)
{
    std::memset(setup.folderName, 0, sizeof setup.folderName);
    SendDlgItemMessageA(window, IDC_INSTALL_FOLDER_NAME, WM_GETTEXT, pathSize,
                        reinterpret_cast<LPARAM>(setup.folderName));
    SendDlgItemMessageA(window, IDC_INSTALL_FOLDER_NAME, EM_SETMODIFY, FALSE, 0);
    if (dropLeadingBackslash(setup.folderName))
        setText(window, IDC_INSTALL_FOLDER_NAME, setup.folderName);
    // At most 255 characters were read: the backslash always fits the 512-byte buffer.
    endWithBackslash(setup.folderName, sizeof setup.folderName);
    showDestination(window);
}

bool validateFolderName(HWND window)
{
    const char textConsecutiveBackslashes[] = " \\ マークが連続しています。";
    const char forbiddenCharacterFormat[] = "インストール出来ない文字 %c が含まれています。";
    FolderNameFaults faults;
    findFolderNameFaults(setup.folderName, faults);
    for (std::size_t i = 0; i < faults.count; ++i) {
        const FolderNameFault& fault = faults.list[i];
        switch (fault.kind) {
        case FolderNameFaultKind::tooLong:
            showMessage(window, textNameTooLong, captionWarning, MB_OK);
            break;
        case FolderNameFaultKind::forbiddenCharacter: {
            char text[sizeof forbiddenCharacterFormat];
            formatText(text, sizeof text, forbiddenCharacterFormat, fault.character);
            showMessage(window, text, captionWarning, MB_OK);
            break;
        }
        case FolderNameFaultKind::consecutiveBackslashes:
            showMessage(window, textConsecutiveBackslashes, captionWarning, MB_OK);
            break;
        }
    }
    return faults.count == 0;
}

// A newly selected drive becomes the base folder, whatever was picked in the browser before.
// The list holds drive roots only; an entry that would not fit driveRoot is not taken.
static void takeSelectedDrive(HWND dlg, int selection)
{
    LRESULT length = SendDlgItemMessageA(dlg, IDC_INSTALL_DRIVE_LIST, CB_GETLBTEXTLEN, selection, 0);
    if (length <= 0 || length >= static_cast<LRESULT>(rootSize))
        return;
    SendDlgItemMessageA(dlg, IDC_INSTALL_DRIVE_LIST, CB_GETLBTEXT, selection,
                        reinterpret_cast<LPARAM>(setup.driveRoot));
    setup.lastDriveIndex = selection;
    showFreeSpace(dlg, setup.driveRoot);
    copyText(setup.browsePaths[0], pathSize, setup.driveRoot);
    setup.browseSelection = 0;
    showDestination(dlg);
}

// Runs after nearly every message. It writes the destination field only when the drive or the
// folder field changed: that write raises the field's own change notification, which ends here
// again, and unconditional writes would recurse until the stack ran out.
// A dialog that is not shown takes nothing over. An ended one stays, hidden, until the handler
// that ended it returns, and still receives messages (WM_ENTERIDLE from the modal loop of the
// dialog it owns among them): after a refused name that is the dialog under the new one, whose
// drive list would take its own drive back over the one the player chose in front.
static void poll(HWND dlg)
{
    if (!IsWindowVisible(dlg))
        return;
    LRESULT selection = SendDlgItemMessageA(dlg, IDC_INSTALL_DRIVE_LIST, CB_GETCURSEL, 0, 0);
    if (selection != CB_ERR && selection != setup.lastDriveIndex)
        takeSelectedDrive(dlg, static_cast<int>(selection));
    if (SendDlgItemMessageA(dlg, IDC_INSTALL_FOLDER_NAME, EM_GETMODIFY, 0, 0))
        normaliseFolderName(dlg);
}

static void resetChoices()
{
    setup.copyState = copyIdle;
    std::memset(setup.folderName, 0, sizeof setup.folderName);
    setup.browseSavedSelection = 0;
    setup.browseSelection = 0;
    setup.browseCursor = 0;
    setup.browseCount = 0;
    copyText(setup.folderName, sizeof setup.folderName, defaultFolderName);
}

// Fixed drives with room for the chosen level, in letter order; the first one's index, or -1.
static int listDrives(HWND dlg)
{
    int first = markEligibleDrives();
    for (int drive = 0; drive < driveCount; ++drive) {
        if (!setup.eligibleDrives[drive])
            continue;
        formatText(setup.driveRoot, sizeof setup.driveRoot, "%c:\\", 'A' + drive);
        SendDlgItemMessageA(dlg, IDC_INSTALL_DRIVE_LIST, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(setup.driveRoot));
    }
    return first;
}

// Without a drive the player is back at the level choice, which stays open, with the menu
// visible behind it.
static void onOpen(HWND dlg)
{
    makeTopMost(dlg);
    SetActiveWindow(dlg);
    resetProgressPanel(dlg);
    resetChoices();
    int drive = listDrives(dlg);
    if (drive < 0) {
        showMessage(dlg, textNoDrive, nullptr, MB_OK);
        EndDialog(dlg, 1);
        showMainMenu();
        return;
    }
    formatText(setup.driveRoot, sizeof setup.driveRoot, "%c:\\", 'A' + drive);
    SendDlgItemMessageA(dlg, IDC_INSTALL_DRIVE_LIST, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                        reinterpret_cast<LPARAM>(setup.driveRoot));
    setText(dlg, IDC_INSTALL_FOLDER_NAME, setup.folderName);
    showFreeSpace(dlg, setup.driveRoot);
    showRequirement(dlg);
    copyText(setup.browsePaths[0], pathSize, setup.driveRoot);
    showDestination(dlg);
    if (setup.typeChoiceWnd)
        EndDialog(setup.typeChoiceWnd, 1);
    setup.typeChoiceWnd = nullptr;
    poll(dlg);
}

static void onCancel(HWND dlg)
{
    PostMessageA(dlg, WM_CLOSE, 0, 0);
    poll(dlg);
}

// Not while a copy runs: the base folder of the running copy is fixed, and the browser would
// read the whole drive inside the copy's pump.
static void onBrowse(HWND dlg)
{
    if (setup.copyState == copyIdle) {
        openDialog(IDD_FOLDER_BROWSER, dlg, folderBrowserDialogProc);
        showDestination(dlg);
    }
    poll(dlg);
}

// Tells the outcome of the copy; after a success also the Plus! warning.
static void reportOutcome(HWND dlg, int installed)
{
    if (!installed) {
        EndDialog(dlg, 1);
        showMessage(dlg, textInstallFailed, captionSetup, MB_OK);
        return;
    }
    showMessage(dlg, textInstallDone, captionSetup, MB_OK);
    if (plusInstalled() == 1)
        openDialog(IDD_PLUS_WARNING, dlg, plusWarningDialogProc);
}

// With a complete record the updater on the CD takes over and the setup ends once the dialogs
// have unwound; otherwise a new menu 104 runs inside this handler.
static void handOver()
{
    bool complete = readInstallRecord() == recordComplete;
    if (setup.mainMenuWnd)
        EndDialog(setup.mainMenuWnd, 1);
    setup.mainMenuWnd = nullptr;
    // The name is relative: it is found in the setup's own folder on the CD.
    if (complete)
        launchProgram(updaterProgram, setup.startDir);
    else
        runMainMenu(IDD_MENU_NEW);
}

// Entered again through the copy's message pump while a copy runs; copyState turns that away.
static void onStart(HWND dlg)
{
    if (!probeCd(dlg) || setup.copyState != copyIdle) {
        poll(dlg);
        return;
    }
    // A faulty name has been told; the dialog starts again with the default name.
    if (!validateFolderName(dlg)) {
        EndDialog(dlg, 1);
        openDialog(IDD_INSTALL, dlg, installDialogProc);
        return;
    }
    if (createInstallFolder(dlg) != 1)
        return;
    int installed = runFreshInstall(dlg, setup.chosenType);
    reportOutcome(dlg, installed);
    setup.copyState = copyIdle;
    handOver();
    poll(dlg);
}

// A close confirmed during a copy hides the dialog at once; the copy sees the request after
// the file it is copying and undoes itself, and the Start handler below goes on with a failure.
static void onClose(HWND dlg)
{
    const char textConfirmCancel[] = "インストールを中止しますか？";
    if (!confirmClose(dlg, textConfirmCancel))
        return;
    EndDialog(dlg, 1);
    poll(dlg);
}

static void onDestroy(HWND dlg)
{
    showMainMenu();
    poll(dlg);
}

INT_PTR CALLBACK installDialogProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG: onOpen(dlg); break;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_PROGRESS_START: onStart(dlg); break;
        case IDC_PROGRESS_CANCEL: onCancel(dlg); break;
        case IDC_INSTALL_BROWSE: onBrowse(dlg); break;
        default: poll(dlg); break;
        }
        break;
    case WM_CLOSE: onClose(dlg); break;
    case WM_DESTROY: onDestroy(dlg); break;
    default: poll(dlg); break;
    }
    return 0;
}
