// Processes, Wine drives and files for the tests.
#include "driver/driver_internal.h"

#include <tlhelp32.h>
#include <winioctl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <set>

namespace driver {

using namespace detail;

Process::~Process() { release(); }

Process::Process(Process&& other) noexcept
    : handle_(other.handle_), pid_(other.pid_), error_(other.error_)
{
    other.handle_ = nullptr;
    other.pid_ = 0;
}

Process& Process::operator=(Process&& other) noexcept
{
    if (this != &other) {
        release();
        handle_ = other.handle_;
        pid_ = other.pid_;
        error_ = other.error_;
        other.handle_ = nullptr;
        other.pid_ = 0;
    }
    return *this;
}

bool Process::start(const std::string& program, const std::string& commandLine,
                    const std::string& workDir)
{
    release();
    STARTUPINFOA si{};
    si.cb = sizeof si;
    // Without this Wine hands the child our Unix stdin and stdout, and a shell's $(...) or
    // CTest reading our output would wait for the child to end.
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = si.hStdOutput = si.hStdError = INVALID_HANDLE_VALUE;
    PROCESS_INFORMATION pi{};
    std::vector<char> cmd(commandLine.begin(), commandLine.end());
    cmd.push_back('\0');
    auto create = [&] {
        return CreateProcessA(program.empty() ? nullptr : program.c_str(), commandLine.empty() ? nullptr : cmd.data(),
                              nullptr, nullptr, FALSE, 0, nullptr, workDir.empty() ? nullptr : workDir.c_str(), &si,
                              &pi);
    };
    // Wine answers ERROR_INTERNAL_ERROR when the new process's loader died before the process
    // was set up, so before any of the program's own code ran (seen once in some thousands of
    // starts, on a loaded machine): that start is Wine's failure, not the program's.
    bool started = create();
    if (!started && GetLastError() == ERROR_INTERNAL_ERROR) {
        fprintf(stderr, "driver: Wine could not set up a process of %s (error 1359); starting it once more\n",
                program.empty() ? commandLine.c_str() : program.c_str());
        started = create();
    }
    if (!started) {
        error_ = GetLastError();
        return false;
    }
    CloseHandle(pi.hThread);
    handle_ = pi.hProcess;
    pid_ = pi.dwProcessId;
    error_ = 0;
    return true;
}

bool Process::attach(DWORD processId)
{
    release();
    handle_ = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_INFORMATION, FALSE, processId);
    if (!handle_) {
        error_ = GetLastError();
        return false;
    }
    pid_ = processId;
    return true;
}

bool Process::running() const
{
    return handle_ && WaitForSingleObject(handle_, 0) == WAIT_TIMEOUT;
}

bool Process::waitExit(DWORD timeoutMs)
{
    if (!handle_)
        return true;
    return waitUntil([&] { return WaitForSingleObject(handle_, 0) == WAIT_OBJECT_0; }, timeoutMs);
}

DWORD Process::exitCode() const
{
    DWORD code = ~0u;
    if (!handle_ || !GetExitCodeProcess(handle_, &code))
        return ~0u;
    return code;
}

void Process::terminateTree()
{
    if (pid_)
        terminateProcessTree(pid_);
}

void Process::release()
{
    if (handle_)
        CloseHandle(handle_);
    handle_ = nullptr;
    pid_ = 0;
}

std::vector<ProcessEntry> listProcesses()
{
    std::vector<ProcessEntry> out;
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snap == INVALID_HANDLE_VALUE)
        return out;
    PROCESSENTRY32 pe{};
    pe.dwSize = sizeof pe;
    for (BOOL ok = Process32First(snap, &pe); ok; ok = Process32Next(snap, &pe))
        out.push_back({pe.th32ProcessID, pe.th32ParentProcessID, pe.szExeFile});
    CloseHandle(snap);
    return out;
}

namespace {

void terminateAndWait(const std::vector<DWORD>& ids, DWORD timeoutMs)
{
    std::vector<HANDLE> handles;
    for (DWORD id : ids) {
        if (id == GetCurrentProcessId())
            continue;
        HANDLE h = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id);
        if (!h)
            continue;
        TerminateProcess(h, 1);
        handles.push_back(h);
    }
    for (HANDLE h : handles) {
        waitUntil([&] { return WaitForSingleObject(h, 0) == WAIT_OBJECT_0; }, timeoutMs);
        CloseHandle(h);
    }
}

// When the process was created; 0 when it cannot be asked.
ULONGLONG creationTime(DWORD id)
{
    HANDLE h = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, id);
    if (!h)
        return 0;
    FILETIME created{}, exited{}, kernel{}, user{};
    ULONGLONG time = 0;
    if (GetProcessTimes(h, &created, &exited, &kernel, &user))
        time = (static_cast<ULONGLONG>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
    CloseHandle(h);
    return time;
}

}  // namespace

void terminateProcessTree(DWORD processId, DWORD timeoutMs)
{
    std::vector<ProcessEntry> all = listProcesses();
    // Breadth-first from the root, then ended in reverse: children before their parents. A
    // parent id is only a number: once a process has ended, the system gives its number to a
    // new one, and the programs the old one started (Wine's own services among them) would look
    // like the new one's children. A child is younger than its parent.
    std::vector<DWORD> order{processId};
    std::vector<ULONGLONG> born{creationTime(processId)};
    std::set<DWORD> seen{processId};
    for (size_t i = 0; i < order.size(); ++i) {
        if (born[i] == 0)
            continue;
        for (const ProcessEntry& p : all) {
            if (p.parentId != order[i] || seen.count(p.id))
                continue;
            ULONGLONG time = creationTime(p.id);
            if (time < born[i])
                continue;
            seen.insert(p.id);
            order.push_back(p.id);
            born.push_back(time);
        }
    }
    std::reverse(order.begin(), order.end());
    terminateAndWait(order, timeoutMs);
}

int terminateProcessesNamed(const std::vector<std::string>& names, DWORD timeoutMs)
{
    std::vector<DWORD> ids;
    for (const ProcessEntry& p : listProcesses()) {
        if (p.id == GetCurrentProcessId())
            continue;
        for (const std::string& name : names)
            if (lstrcmpiA(p.exeName.c_str(), name.c_str()) == 0) {
                ids.push_back(p.id);
                break;
            }
    }
    terminateAndWait(ids, timeoutMs);
    return static_cast<int>(ids.size());
}

namespace {

// Wine's extension of the mount manager (include/ddk/mountmgr.h of Wine).
struct MountmgrUnixDrive {
    ULONG size;
    ULONG type;
    ULONG fsType;
    DWORD serial;
    ULONGLONG unixDev;
    WCHAR letter;
    USHORT mountPointOffset;
    USHORT deviceOffset;
    USHORT labelOffset;
};

constexpr DWORD mountmgrDefineUnixDrive = CTL_CODE('m', 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);
constexpr DWORD mountmgrQueryUnixDrive = CTL_CODE('m', 33, METHOD_BUFFERED, FILE_READ_ACCESS);

}  // namespace

namespace {

// Defines letter afresh on folder (empty: the folder it has) with device (empty: none), as
// driveType (DRIVE_UNKNOWN: the kind it is).
bool redefineDrive(char letter, UINT driveType, std::string folder, const std::string& device)
{
    HANDLE mm = CreateFileW(L"\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (mm == INVALID_HANDLE_VALUE)
        return false;
    char query[2048] = {};
    auto* q = reinterpret_cast<MountmgrUnixDrive*>(query);
    q->letter = static_cast<WCHAR>(letter | 0x20);
    DWORD got = 0;
    bool ok = DeviceIoControl(mm, mountmgrQueryUnixDrive, q, sizeof *q, query, sizeof query - 1, &got, nullptr) &&
              (!folder.empty() || (q->mountPointOffset != 0 && q->mountPointOffset < sizeof query));
    if (ok) {
        if (folder.empty())
            folder = query + q->mountPointOffset;
        std::vector<char> define(sizeof(MountmgrUnixDrive) + folder.size() + 1 + device.size() + 1, '\0');
        auto* d = reinterpret_cast<MountmgrUnixDrive*>(define.data());
        d->size = static_cast<ULONG>(define.size());
        d->type = driveType == DRIVE_UNKNOWN ? q->type : driveType;
        d->letter = static_cast<WCHAR>(letter | 0x20);
        d->mountPointOffset = sizeof *d;
        std::memcpy(define.data() + d->mountPointOffset, folder.c_str(), folder.size() + 1);
        if (!device.empty()) {
            d->deviceOffset = static_cast<USHORT>(d->mountPointOffset + folder.size() + 1);
            std::memcpy(define.data() + d->deviceOffset, device.c_str(), device.size() + 1);
        }
        ok = DeviceIoControl(mm, mountmgrDefineUnixDrive, define.data(), d->size, nullptr, 0, &got, nullptr) != 0;
    }
    CloseHandle(mm);
    return ok;
}

}  // namespace

bool remountDrive(char letter, UINT driveType)
{
    return redefineDrive(letter, driveType, "", "");
}

bool defineDrive(char letter, const std::string& unixFolder, const std::string& unixDevice)
{
    return redefineDrive(letter, DRIVE_UNKNOWN, unixFolder, unixDevice);
}

bool fileExists(const std::string& path)
{
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool directoryExists(const std::string& path)
{
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool readWholeFile(const std::string& path, std::string& data)
{
    // Shared access: the writer may hold the file open while we read.
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return false;
    data.clear();
    char buf[4096];
    DWORD got = 0;
    while (ReadFile(f, buf, sizeof buf, &got, nullptr) && got > 0)
        data.append(buf, got);
    CloseHandle(f);
    return true;
}

std::vector<std::string> readLines(const std::string& path)
{
    std::vector<std::string> lines;
    std::string data;
    if (!readWholeFile(path, data))
        return lines;
    size_t start = 0;
    while (start < data.size()) {
        size_t end = data.find('\n', start);
        // A last line without its line end may still be being written: leave it out.
        if (end == std::string::npos)
            break;
        std::string line = data.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

bool waitFile(const std::string& path, DWORD timeoutMs)
{
    return waitUntil([&] { return fileExists(path); }, timeoutMs);
}

bool waitFileLine(const std::string& path, const std::string& line, DWORD timeoutMs)
{
    return waitUntil([&] {
        std::vector<std::string> lines = readLines(path);
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }, timeoutMs);
}

bool waitLineCount(const std::string& path, size_t count, DWORD timeoutMs)
{
    return waitUntil([&] { return readLines(path).size() >= count; }, timeoutMs);
}

}  // namespace driver
