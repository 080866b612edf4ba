// Drives the setup program's dialogs from another process: find windows, read and set controls,
// answer message boxes, start and end processes, take screenshots. Every wait polls against a
// deadline; nothing sleeps a fixed time.
//
// Texts are code page 932 bytes, exactly as the target's ANSI calls see them.
// Actions that may open a message box are posted, never sent: a sent message would block the
// caller until the box closes.
#ifndef VK_DRIVER_H
#define VK_DRIVER_H

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

namespace driver {

constexpr DWORD defaultTimeoutMs = 10000;

// How long a sent query may take before the target counts as hung.
constexpr UINT sendTimeoutMs = 5000;

// Polls cond every few milliseconds until it holds or timeoutMs has passed; pumps the caller's
// own queue while it waits. True when cond held.
bool waitUntil(const std::function<bool()>& cond, DWORD timeoutMs);

// Finding windows.

// What a dialog must match. Empty fields match anything.
struct DialogQuery {
    std::string title;          // exact caption bytes
    bool anyTitle = true;       // false: title must match, even when empty
    std::vector<int> ids;       // control ids that must all exist
    std::vector<int> absentIds; // control ids that must not exist (menu 105 has all of 104's)
    DWORD processId = 0;        // 0: any process
    HWND owner = nullptr;       // non-null: GetWindow(w, GW_OWNER) must be this window
};

DialogQuery byTitle(const std::string& title, std::vector<int> ids = {}, DWORD processId = 0);
DialogQuery byIds(std::vector<int> ids, DWORD processId = 0);

bool matches(HWND w, const DialogQuery& query);

// The first top-level #32770 window that matches and is visible; null when none.
HWND findDialog(const DialogQuery& query);

// Waits until a matching dialog exists and is visible (a dialog shows only once its queue
// is empty after WM_INITDIALOG). Null on timeout.
HWND waitDialog(const DialogQuery& query, DWORD timeoutMs = defaultTimeoutMs);

// Waits until the window is destroyed.
bool waitGone(HWND w, DWORD timeoutMs = defaultTimeoutMs);

// Waits until the window is destroyed or hidden (an ended dialog inside a nested modal loop
// stays hidden until its opener's handler returns).
bool waitHidden(HWND w, DWORD timeoutMs = defaultTimeoutMs);

// Top-level windows of a process, in z order; visibleOnly leaves hidden ones out.
std::vector<HWND> topLevelWindows(DWORD processId, bool visibleOnly = true);

// One line per top-level window of the process (all processes when 0): handle, class,
// caption, visibility, owner and control ids. For failure messages.
std::string describeWindows(DWORD processId);

// One line about a window.
std::string describeWindow(HWND w);

DWORD processOf(HWND w);

// Reading windows.

// The control's text through WM_GETTEXT; empty when the control is missing.
std::string controlText(HWND dlg, int id);
// WM_GETTEXT on the window itself.
std::string windowText(HWND w);
// The caption as the window manager holds it (GetWindowTextA).
std::string caption(HWND w);
std::string className(HWND w);

bool hasControl(HWND dlg, int id);
std::vector<int> controlIds(HWND dlg);
bool isEnabled(HWND w);
bool isVisible(HWND w);
bool isTopMost(HWND w);
bool isControlEnabled(HWND dlg, int id);
bool isControlVisible(HWND dlg, int id);

// The first direct child of the given class ("SysTreeView32"), for controls without an id.
HWND findChildByClass(HWND dlg, const char* cls);

// Acting on dialogs.

// Posts WM_COMMAND(id, BN_CLICKED) to the dialog, as a click on the button does. Refuses
// (false) when the button is missing, or when the button or dialog is hidden or disabled:
// a user could not click it then.
bool click(HWND dlg, int id);

// Posts WM_COMMAND(MAKEWPARAM(id, code), control) without any check.
bool postCommand(HWND dlg, int id, WORD code);

// Posts BM_CLICK to the button itself, so an automatic radio button or check box changes its
// state before it notifies the dialog. Same refusals as click.
bool press(HWND dlg, int id);

bool postClose(HWND w);

// Runs posts (click, postCommand, postClose: calls that send nothing to w) with w's thread held,
// so that whatever they post waits in w's queue together, in order, before w takes the first:
// a close posted behind Start is there when the copy first looks, however loaded the machine.
bool whileHeld(HWND w, const std::function<bool()>& posts);

// Sets an edit's text (WM_SETTEXT), marks it modified (EM_SETMODIFY; WM_SETTEXT clears the
// mark) and posts EN_CHANGE to the dialog so that its change handling runs with the mark set.
// Like the typing below, refused for a hidden or disabled edit or dialog.
bool setEditText(HWND dlg, int id, const std::string& text);
// The same with a Unicode text, as a keyboard types into the edit: characters that code page
// 932 cannot hold reach the target, which reads them through its own ANSI calls.
bool setEditTextWide(HWND dlg, int id, const std::wstring& text);

enum class TypeMode { append, replace };

// Puts the caret at the end of the edit's text (append) or selects the whole text (replace),
// then posts one WM_CHAR per byte (a double-byte character as lead then trail byte), as typing
// does; the edit raises its own EN_CHANGE and modify mark. A backspace is "\b".
bool typeChars(HWND dlg, int id, const std::string& text, TypeMode mode = TypeMode::append);

// BM_GETCHECK: BST_UNCHECKED, BST_CHECKED, BST_INDETERMINATE; -1 when the control is missing.
int checkState(HWND dlg, int id);

// Combo boxes.

int comboCount(HWND dlg, int id);                        // -1 when missing or on failure
std::vector<std::string> comboItems(HWND dlg, int id);
std::string comboItem(HWND dlg, int id, int index);
int comboSelection(HWND dlg, int id);                    // CB_ERR (-1) when nothing is selected
// CB_SETCURSEL, then a posted WM_COMMAND(CBN_SELCHANGE): CB_SETCURSEL alone notifies nobody.
bool comboSelect(HWND dlg, int id, int index);
// Index of the entry whose text is exactly text; -1 when none.
int comboFind(HWND dlg, int id, const std::string& text);

// Progress bars.

int progressPos(HWND dlg, int id);
// Low and high end of the range.
bool progressRange(HWND dlg, int id, int* low, int* high);

// Tree views (the items live in the target process).

HTREEITEM treeRoot(HWND tree);
// Children of parent; the top-level items when parent is null.
std::vector<HTREEITEM> treeChildren(HWND tree, HTREEITEM parent);
std::string treeItemText(HWND tree, HTREEITEM item);
HTREEITEM treeSelection(HWND tree);
int treeCount(HWND tree);
// TVM_SELECTITEM(TVGN_CARET); the tree notifies its parent as a user's selection does.
bool treeSelect(HWND tree, HTREEITEM item);
// The item reached by matching each text in turn: path[0] among the top-level items,
// path[1] among its children, and so on. Null when a step finds nothing.
HTREEITEM treeFind(HWND tree, const std::vector<std::string>& path);
// Every item, indented two spaces per level, one per line.
std::string treeDump(HWND tree);

// Message boxes.

// A message box is a #32770 window with the text control 0xFFFF whose other controls are only
// buttons 1-11 and the icon 0x440. A dialog of the program built the same way (an OK button and
// a -1 static) looks the same: search by owner where one exists.
bool isMessageBox(HWND w);

// The visible message box owned by owner; null when none.
HWND findMessageBox(HWND owner);
// The visible message box of the process (any owner); null when none.
HWND findProcessMessageBox(DWORD processId);
HWND waitMessageBox(HWND owner, DWORD timeoutMs = defaultTimeoutMs);
HWND waitProcessMessageBox(DWORD processId, DWORD timeoutMs = defaultTimeoutMs);

struct MessageBoxInfo {
    HWND window = nullptr;
    std::string caption;
    std::string text;
    std::vector<int> buttons;   // ids of the buttons present
};
MessageBoxInfo readMessageBox(HWND box);
std::string messageText(HWND box);

// Posts WM_COMMAND(answer) to the box. False when the box has no button with that id.
bool answer(HWND box, int answerId);

// Waits for the box owned by owner, compares caption and text byte for byte and, when both
// match, answers it and waits until it is gone. Empty on success, otherwise a description of
// what was found (texts shown as UTF-8 and hex), for EXPECT_EQ("", ...).
std::string expectMessage(HWND owner, const std::string& caption, const std::string& text,
                          int answerId, DWORD timeoutMs = defaultTimeoutMs);
// The same for a box of the process whatever its owner (start-up messages have none).
std::string expectProcessMessage(DWORD processId, const std::string& caption,
                                 const std::string& text, int answerId,
                                 DWORD timeoutMs = defaultTimeoutMs);

// Processes.

class Process {
public:
    Process() = default;
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    Process(Process&& other) noexcept;
    Process& operator=(Process&& other) noexcept;

    // CreateProcessA(program, commandLine, ..., workDir). commandLine empty: null, as the setup
    // starts its programs; workDir empty: the caller's. False with the error in lastError().
    bool start(const std::string& program, const std::string& commandLine,
               const std::string& workDir);
    // Takes over a process that is already running (OpenProcess).
    bool attach(DWORD processId);

    bool running() const;
    bool waitExit(DWORD timeoutMs = defaultTimeoutMs);
    // STILL_ACTIVE while running; ~0u when there is no process.
    DWORD exitCode() const;
    // Ends the process and every process it started, descendants first; waits for them.
    void terminateTree();
    void release();

    DWORD id() const { return pid_; }
    HANDLE handle() const { return handle_; }
    DWORD lastError() const { return error_; }

private:
    HANDLE handle_ = nullptr;
    DWORD pid_ = 0;
    DWORD error_ = 0;
};

struct ProcessEntry {
    DWORD id;
    DWORD parentId;
    std::string exeName;
};
std::vector<ProcessEntry> listProcesses();

// Ends processId and its descendants (by parent id, younger than their parent: ids are reused),
// deepest first, and waits for them.
void terminateProcessTree(DWORD processId, DWORD timeoutMs = defaultTimeoutMs);

// Ends every process whose executable name matches one of names (case-insensitive), except
// the caller; returns how many were ended.
int terminateProcessesNamed(const std::vector<std::string>& names, DWORD timeoutMs = defaultTimeoutMs);

// Drives (Wine).

// Makes Wine's mount manager take a drive letter's folder afresh, as a disc change does on
// Windows. Wine reads a volume's label (.windows-label) only when the drive is defined and keeps
// reporting it, even once the folder is gone, until the drive is defined again; this defines it
// again with its present folder and type (Wine's IOCTL_MOUNTMGR_DEFINE_UNIX_DRIVE). With the
// folder missing the drive then reports an empty label, and the free-space calls fail with 3.
// False when the drive is not a Wine drive mapped to a folder.
// A driveType other than DRIVE_UNKNOWN defines the drive as that kind instead (DRIVE_FIXED,
// DRIVE_REMOTE...: Wine's mount manager takes the GetDriveTypeA value and keeps it in its
// registry settings), so that a test can change what kind of drive a letter is.
bool remountDrive(char letter, UINT driveType = DRIVE_UNKNOWN);

// Defines a drive letter afresh on a Unix folder, keeping its kind. With a device (a loop device
// holding a disc image) Wine reads the volume label and file system name from the device, as
// from a disc, whatever the folder holds; without one the letter has no device and its label is
// the folder's .windows-label again. False when the letter is not a Wine drive.
bool defineDrive(char letter, const std::string& unixFolder, const std::string& unixDevice = "");

// Screenshots.

// Captures the screen from inside Wine (an X capture shows owned message boxes black) into a
// 24-bit BMP. With a window, only the rectangle covering it (when visible) and the visible
// windows it owns, their boxes included.
bool saveScreenshot(const std::string& bmpPath, HWND w = nullptr);

// Screens seen on a walk through the dialogs. Once an observer is set, every wait that finds a
// dialog or a message box (and whoever calls noteScreen) hands it what it found, shown and
// initialised: for pictures of each screen (tools/demo). No observer: nothing happens.
using ScreenObserver = std::function<void(HWND)>;
void observeScreens(ScreenObserver observer);
void noteScreen(HWND w);

// Files.

bool fileExists(const std::string& path);
bool directoryExists(const std::string& path);
// The file's bytes into data; false when it cannot be opened.
bool readWholeFile(const std::string& path, std::string& data);
// Lines of a text file without their line ends; empty when it cannot be read.
std::vector<std::string> readLines(const std::string& path);
bool waitFile(const std::string& path, DWORD timeoutMs = defaultTimeoutMs);
// Waits until the file holds a line exactly equal to line.
bool waitFileLine(const std::string& path, const std::string& line,
                  DWORD timeoutMs = defaultTimeoutMs);
// Waits until the file holds at least count lines.
bool waitLineCount(const std::string& path, size_t count, DWORD timeoutMs = defaultTimeoutMs);

// Texts.

// Code page 932 to UTF-8 and back, for messages and command lines.
std::string toUtf8(const std::string& cp932);
std::string fromUtf8(const std::string& utf8);
// "text" as UTF-8 with its bytes in hex, for failure messages.
std::string quote(const std::string& cp932);

// A Unix path as Win32 code sees it through Z: (Z:\ is the Unix root).
std::string unixToWine(const std::string& unixPath);

}  // namespace driver

#endif
