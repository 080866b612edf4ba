#include "support/bench.h"

#include <cstdlib>
#include <cstring>

namespace bench {

MessageWatcher::MessageWatcher(std::vector<int> answers)
    : answers_(std::move(answers)), stopEvent_(CreateEventA(nullptr, TRUE, FALSE, nullptr)),
      thread_([this] { run(); })
{
}

MessageWatcher::~MessageWatcher()
{
    stop();
    CloseHandle(stopEvent_);
}

void MessageWatcher::run()
{
    DWORD self = GetCurrentProcessId();
    for (;;) {
        HWND box = driver::findProcessMessageBox(self);
        if (box) {
            driver::MessageBoxInfo info = driver::readMessageBox(box);
            seen_.push_back({info.caption, info.text, GetWindow(box, GW_OWNER)});
            std::size_t index = seen_.size() - 1;
            int reply = answers_.empty() ? IDOK : answers_[index < answers_.size() ? index : answers_.size() - 1];
            driver::answer(box, reply);
            driver::waitGone(box, 5000);
            continue;
        }
        if (WaitForSingleObject(stopEvent_, 5) == WAIT_OBJECT_0)
            return;
    }
}

std::vector<MessageWatcher::Seen> MessageWatcher::stop()
{
    if (thread_.joinable()) {
        SetEvent(stopEvent_);
        thread_.join();
    }
    return seen_;
}

namespace {

LRESULT CALLBACK ownerProc(HWND w, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(w, msg, wParam, lParam);
}

std::string discFolder(char letter)
{
    std::string folder = drivesFolder() + "\\";
    folder += static_cast<char>(letter - 'A' + 'a');
    return folder + "\\disc";
}

std::string currentLabel(char letter)
{
    char root[] = "?:\\";
    root[0] = letter;
    char label[256];
    if (!GetVolumeInformationA(root, label, sizeof label, nullptr, nullptr, nullptr, nullptr, 0))
        return "<no disc>";
    // With the disc out Wine reports an empty label (Windows fails); free space fails on both.
    ULARGE_INTEGER freeBytes;
    if (!GetDiskFreeSpaceExA(root, &freeBytes, nullptr, nullptr))
        return "<no disc>";
    return label;
}

}  // namespace

OwnerWindow::OwnerWindow()
{
    WNDCLASSA cls = {};
    cls.lpfnWndProc = ownerProc;
    cls.hInstance = GetModuleHandleA(nullptr);
    cls.lpszClassName = "VkTestOwner";
    RegisterClassA(&cls);
    window_ = CreateWindowA("VkTestOwner", "test owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200,
                            100, nullptr, nullptr, cls.hInstance, nullptr);
}

OwnerWindow::~OwnerWindow()
{
    DestroyWindow(window_);
}

std::string drivesFolder()
{
    const char* drives = std::getenv("VK_DRIVES");
    return driver::unixToWine(drives ? drives : "/nonexistent");
}

bool insertDisc(char letter, const std::string& label)
{
    std::string folder = discFolder(letter);
    CreateDirectoryA(folder.c_str(), nullptr);
    std::string labelFile = folder + "\\.windows-label";
    HANDLE file = CreateFileA(labelFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    std::string content = label + "\n";
    DWORD written = 0;
    WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    CloseHandle(file);
    // Wine reads a label only when the drive is defined, as at a disc change.
    if (!driver::remountDrive(letter))
        return false;
    return driver::waitUntil([&] { return currentLabel(letter) == label; }, 10000);
}

bool removeDisc(char letter)
{
    std::string folder = discFolder(letter);
    if (driver::directoryExists(folder)) {
        std::string parked = folder + ".out";
        removeTree(parked);
        if (!MoveFileA(folder.c_str(), parked.c_str()))
            return false;
    }
    if (!driver::remountDrive(letter))
        return false;
    return driver::waitUntil([&] { return currentLabel(letter) == "<no disc>"; }, 10000);
}

void restoreDefaultDiscs()
{
    removeDisc('A');
    removeDisc('P');
    removeDisc('R');
    insertDisc('Q', "VELKORIN");
}

bool removeTree(const std::string& path)
{
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!std::strcmp(entry.cFileName, ".") || !std::strcmp(entry.cFileName, ".."))
                continue;
            std::string child = path + "\\" + entry.cFileName;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                removeTree(child);
            } else {
                SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(child.c_str());
            }
        } while (FindNextFileA(search, &entry));
        FindClose(search);
    }
    RemoveDirectoryA(path.c_str());
    return !driver::directoryExists(path) && !driver::fileExists(path);
}

}  // namespace bench
