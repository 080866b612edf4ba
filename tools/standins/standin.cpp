// Stand-ins for the maker's programs that the setup starts: the game, the bonus voice installer
// and the updater. Each notes in a log where it was started from, so that a test can tell which
// copy was started and with which working directory. The game also plays its two windows that the
// setup looks for by title.

#include <windows.h>

#include <cstdio>
#include <cstring>

#ifndef STANDIN_NAME
#error "STANDIN_NAME names the program"
#endif

namespace {

const char defaultLogPath[] = "C:\\standins.log";

// One line, "name<TAB>module path<TAB>current directory" and CR LF, written with one append so
// that programs started one after another never mix their lines.
bool appendLogLine()
{
    char logPath[MAX_PATH];
    DWORD n = GetEnvironmentVariableA("VK_STANDIN_LOG", logPath, sizeof logPath);
    if (n == 0 || n >= sizeof logPath)
        std::strcpy(logPath, defaultLogPath);

    char module[MAX_PATH];
    char current[MAX_PATH];
    DWORD moduleLength = GetModuleFileNameA(nullptr, module, sizeof module);
    DWORD currentLength = GetCurrentDirectoryA(sizeof current, current);
    if (moduleLength == 0 || moduleLength >= sizeof module || currentLength == 0 ||
        currentLength >= sizeof current)
        return false;

    char line[3 * MAX_PATH + 8];
    int length = std::snprintf(line, sizeof line, "%s\t%s\t%s\r\n", STANDIN_NAME, module, current);
    if (length < 0 || static_cast<size_t>(length) >= sizeof line)
        return false;

    HANDLE log = CreateFileA(logPath, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (log == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = WriteFile(log, line, static_cast<DWORD>(length), &written, nullptr);
    CloseHandle(log);
    return ok && written == static_cast<DWORD>(length);
}

#ifdef STANDIN_GAME

const char warningTitle[] = "Velkorin　警告";
const char mainTitle[] = "Velkorin";

// An in-memory dialog template: no resource script needed. The caption is set from code, as
// template strings are UTF-16 and the title is a code page 932 literal.
struct alignas(4) WindowTemplate {
    DLGTEMPLATE head;
    WORD menu, windowClass, title;
    DLGITEMTEMPLATE okButton;  // DWORD-aligned: head is 18 bytes, the three words make 24
    WORD buttonClassMarker, buttonClass;
    WCHAR buttonText[3];
    WORD creationData;
};

INT_PTR CALLBACK windowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_INITDIALOG:
        SetWindowTextA(window, reinterpret_cast<const char*>(lParam));
        break;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK)
            PostMessageA(window, WM_CLOSE, 0, 0);
        break;
    case WM_CLOSE:
        EndDialog(window, 1);
        break;
    }
    return 0;
}

void showWindow(const char* title)
{
    WindowTemplate t;
    std::memset(&t, 0, sizeof t);
    t.head.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE | DS_MODALFRAME | DS_CENTER;
    t.head.cdit = 1;
    t.head.cx = 160;
    t.head.cy = 60;
    t.okButton.style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON;
    t.okButton.x = 55;
    t.okButton.y = 36;
    t.okButton.cx = 50;
    t.okButton.cy = 14;
    t.okButton.id = IDOK;
    t.buttonClassMarker = 0xFFFF;
    t.buttonClass = 0x0080;
    t.buttonText[0] = L'O';
    t.buttonText[1] = L'K';
    DialogBoxIndirectParamA(GetModuleHandleA(nullptr), &t.head, nullptr, windowProc,
                            reinterpret_cast<LPARAM>(title));
}

#endif

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int)
{
#ifdef STANDIN_GAME
    // The game asks for its CD with the warning window; the main window stands for a game in play.
    if (std::strcmp(commandLine, "/warning") == 0) {
        showWindow(warningTitle);
        return 0;
    }
    if (std::strcmp(commandLine, "/main") == 0) {
        showWindow(mainTitle);
        return 0;
    }
#else
    (void)commandLine;
#endif
    return appendLogLine() ? 0 : 1;
}
