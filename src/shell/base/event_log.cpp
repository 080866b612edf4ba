#include "shell/base/event_log.h"

#include <string>

#include "shell/base/limits.h"
#include "shell/base/text_format.h"

namespace {

const char defaultLogName[] = "Velkorin-setup.log";
const char textLogUnopened[] = "ログファイルを開けません: ";

HANDLE logFile = INVALID_HANDLE_VALUE;

// The standard output: a handle written as UTF-8 bytes (a pipe, a file, a Unix terminal under
// Wine), or a console written as UTF-16; looked for once.
struct Output {
    bool looked;
    HANDLE handle;
    bool console;
};
Output output = {false, nullptr, false};

void findOutput()
{
    if (output.looked)
        return;
    output.looked = true;
    HANDLE handle = GetStdHandle(STD_OUTPUT_HANDLE);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) {
        // A program of the GUI subsystem started from a console gets no handle of its own.
        if (!AttachConsole(ATTACH_PARENT_PROCESS))
            return;
        handle = CreateFileA("CONOUT$", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, 0, nullptr);
        if (handle == INVALID_HANDLE_VALUE)
            return;
    }
    DWORD mode;
    output.console = GetConsoleMode(handle, &mode) != 0;
    output.handle = handle;
}

std::wstring wide(const char* text)
{
    int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (length <= 0)
        return std::wstring();
    std::wstring out(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, &out[0], length);
    out.resize(static_cast<std::size_t>(length - 1));
    return out;
}

std::string utf8(const std::wstring& text)
{
    int length = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                     nullptr, nullptr);
    std::string out(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
    if (length > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &out[0], length, nullptr,
                            nullptr);
    return out;
}

void writeAll(HANDLE handle, const std::string& bytes)
{
    DWORD written = 0;
    WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

bool toOutput(const std::wstring& line)
{
    findOutput();
    if (!output.handle)
        return false;
    if (output.console) {
        DWORD written = 0;
        WriteConsoleW(output.handle, line.c_str(), static_cast<DWORD>(line.size()), &written, nullptr);
    } else {
        writeAll(output.handle, utf8(line));
    }
    return true;
}

}  // namespace

bool openEventLog(const char* path)
{
    char name[longPathSize];
    if (path[0] != '\0') {
        copyText(name, sizeof name, path);
    } else {
        DWORD length = GetTempPathA(sizeof name, name);
        if (length == 0 || length >= sizeof name || !appendText(name, sizeof name, defaultLogName))
            name[0] = '\0';
    }
    if (name[0] != '\0')
        logFile = CreateFileA(name, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (logFile != INVALID_HANDLE_VALUE)
        return true;
    char reason[longPathSize + sizeof textLogUnopened + 32];
    formatText(reason, sizeof reason, "%s%s (%lu)", textLogUnopened, name[0] ? name : path,
               static_cast<unsigned long>(GetLastError()));
    logEvent(reason);
    return false;
}

void logEvent(const char* text)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    char stamp[32];
    formatText(stamp, sizeof stamp, "%04u-%02u-%02u %02u:%02u:%02u ", now.wYear, now.wMonth, now.wDay, now.wHour,
               now.wMinute, now.wSecond);
    std::wstring line = wide(stamp) + wide(text);
    for (wchar_t& c : line)
        if (c == L'\r' || c == L'\n')
            c = L' ';
    line += L"\n";
    if (logFile != INVALID_HANDLE_VALUE)
        writeAll(logFile, utf8(line));
    toOutput(line);
}

void logEvent(const char* text, const char* more)
{
    std::string joined = std::string(text) + more;
    logEvent(joined.c_str());
}

bool writeStandardOutput(const char* text)
{
    return toOutput(wide(text));
}

void closeEventLog()
{
    if (logFile != INVALID_HANDLE_VALUE)
        CloseHandle(logFile);
    logFile = INVALID_HANDLE_VALUE;
}
