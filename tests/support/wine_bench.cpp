// The Wine bench as the tests find and change it: its locations, its drives and discs, fillers
// that leave a drive full, and installations seeded by hand.
#include "wine_bench.h"

#include <algorithm>

#include "driver/driver.h"

namespace testkit {

namespace {

const char discLetters[] = {'A', 'P', 'Q', 'R'};


// The disc folder of a drive as Wine's mount manager takes it: a Unix path.
std::string unixDiscFolder(char letter)
{
    char buf[MAX_PATH * 2];
    DWORD n = GetEnvironmentVariableA("VK_DRIVES", buf, sizeof buf);
    if (n == 0 || n >= sizeof buf)
        return std::string();
    return std::string(buf, n) + "/" + static_cast<char>(letter | 0x20) + "/disc";
}

std::string hiddenFolder(char letter)
{
    return drivesDir() + "\\" + static_cast<char>(letter | 0x20) + "\\disc.out";
}

std::string root(char letter) { return std::string(1, letter) + ":\\"; }

bool volumeLabel(char letter, std::string* label)
{
    char buf[256] = "";
    if (!GetVolumeInformationA(root(letter).c_str(), buf, sizeof buf, nullptr, nullptr, nullptr, nullptr, 0))
        return false;
    *label = buf;
    return true;
}


std::string fillerPath(char letter) { return root(letter) + "vk-filler"; }

}  // namespace

std::string envPath(const char* name)
{
    char buf[MAX_PATH * 2];
    DWORD n = GetEnvironmentVariableA(name, buf, sizeof buf);
    if (n == 0 || n >= sizeof buf)
        return std::string();
    std::string value(buf, n);
    if (value[0] == '/')
        value = driver::unixToWine(value);
    while (value.size() > 3 && (value.back() == '\\' || value.back() == '/'))
        value.pop_back();
    return value;
}

std::string buildDir()
{
    std::string dir = envPath("VK_BUILD_DIR");
    return dir.empty() ? driver::unixToWine(VK_DEFAULT_BUILD_DIR) : dir;
}

std::string drivesDir() { return envPath("VK_DRIVES"); }

std::string discFolder(char letter)
{
    return drivesDir() + "\\" + static_cast<char>(letter | 0x20) + "\\disc";
}

std::string demoCdFolder() { return buildDir() + "\\demo-cd"; }

std::string standinLogPath()
{
    std::string path = envPath("VK_STANDIN_LOG");
    return path.empty() ? "C:\\standins.log" : path;
}

::testing::AssertionResult insertDisc(char letter, const std::string& label)
{
    std::string disc = discFolder(letter);
    if (!driver::directoryExists(disc)) {
        if (driver::directoryExists(hiddenFolder(letter))) {
            if (!MoveFileA(hiddenFolder(letter).c_str(), disc.c_str()))
                return ::testing::AssertionFailure() << lastErrorText("putting back " + disc);
        } else if (!makeFolders(disc)) {
            return ::testing::AssertionFailure() << lastErrorText("creating " + disc);
        }
    }
    return setDriveLabel(letter, label);
}

::testing::AssertionResult insertDemoDisc(char letter, const std::string& label)
{
    std::string disc = discFolder(letter);
    if (!deleteTree(disc) || !deleteTree(hiddenFolder(letter)))
        return ::testing::AssertionFailure() << "cannot clear " << disc;
    if (!copyTree(demoCdFolder(), disc))
        return ::testing::AssertionFailure() << lastErrorText("copying " + demoCdFolder() + " to " + disc);
    return setDriveLabel(letter, label);
}

::testing::AssertionResult removeDisc(char letter)
{
    std::string disc = discFolder(letter);
    // A drive without a disc stays empty.
    if (driver::directoryExists(disc)) {
        if (!deleteTree(hiddenFolder(letter)))
            return ::testing::AssertionFailure() << "cannot clear " << hiddenFolder(letter);
        if (!MoveFileA(disc.c_str(), hiddenFolder(letter).c_str()))
            return ::testing::AssertionFailure() << lastErrorText("taking out " + disc);
    }
    if (!driver::defineDrive(letter, unixDiscFolder(letter)))
        return ::testing::AssertionFailure() << "cannot define " << letter << ": on " << unixDiscFolder(letter);
    // Wine then reports an empty label (Windows: no label at all) and no free space.
    std::string label;
    ULARGE_INTEGER freeBytes;
    if (!driver::waitUntil([&] {
            return !GetDiskFreeSpaceExA(root(letter).c_str(), &freeBytes, nullptr, nullptr) &&
                   (!volumeLabel(letter, &label) || label.empty());
        }, driver::defaultTimeoutMs))
        return ::testing::AssertionFailure() << letter << ": still answers after the disc was taken out, label "
                                             << driver::quote(label);
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult clearDiscs()
{
    for (char letter : discLetters) {
        if (!deleteTree(hiddenFolder(letter)) || !deleteTree(discFolder(letter)))
            return ::testing::AssertionFailure() << "cannot delete the disc of " << letter << ":";
        // Wine would go on reporting the label of the disc that was there.
        if (!driver::defineDrive(letter, unixDiscFolder(letter)))
            return ::testing::AssertionFailure() << "cannot define " << letter << ": on " << unixDiscFolder(letter);
    }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult restoreDefaultDiscs()
{
    for (char letter : discLetters) {
        if (letter == 'Q')
            continue;
        if (driver::directoryExists(discFolder(letter))) {
            ::testing::AssertionResult out = removeDisc(letter);
            if (!out)
                return out;
        }
    }
    std::string label;
    if (driver::directoryExists(discFolder('Q')) && volumeLabel('Q', &label) && label == "VELKORIN")
        return ::testing::AssertionSuccess();
    return insertDisc('Q', "VELKORIN");
}

::testing::AssertionResult setDriveLabel(char letter, const std::string& label)
{
    if (!writeFile(discFolder(letter) + "\\.windows-label", label + "\n"))
        return ::testing::AssertionFailure() << lastErrorText("writing the label of " + discFolder(letter));
    // Wine reads the label only when the drive is defined: a disc change. Defined on its folder,
    // the drive also gives up a disc image that an interrupted test left in it.
    if (!driver::defineDrive(letter, unixDiscFolder(letter)))
        return ::testing::AssertionFailure() << "cannot define " << letter << ": on " << unixDiscFolder(letter);
    return waitDriveLabel(letter, label);
}

::testing::AssertionResult waitDriveLabel(char letter, const std::string& label, DWORD timeoutMs)
{
    std::string got = "<unreadable>";
    if (driver::waitUntil([&] { return volumeLabel(letter, &got) && got == label; }, timeoutMs))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << letter << ": reports the label " << driver::quote(got) << " after "
                                         << timeoutMs << " ms, expected " << driver::quote(label);
}

::testing::AssertionResult seedInstallation(const std::string& dir, const std::vector<std::string>& files)
{
    if (!makeFolders(dir))
        return ::testing::AssertionFailure() << lastErrorText("creating " + dir);
    for (const std::string& name : files) {
        std::string path = withSlash(dir) + name;
        size_t slash = path.rfind('\\');
        if (!makeFolders(path.substr(0, slash + 1)) || !writeFile(path, name))
            return ::testing::AssertionFailure() << lastErrorText("writing " + path);
    }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult seedCatalogue(const std::string& dir, const Seed& seed)
{
    return seedInstallation(dir, catalogueFiles(seed));
}

::testing::AssertionResult setDriveKind(char letter, UINT driveType)
{
    if (!driver::remountDrive(letter, driveType))
        return ::testing::AssertionFailure() << "cannot define " << letter << ": as type " << driveType;
    UINT got = DRIVE_UNKNOWN;
    if (driver::waitUntil([&] { return (got = GetDriveTypeA(root(letter).c_str())) == driveType; }, driver::defaultTimeoutMs))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << letter << ": has the type " << got << ", expected " << driveType;
}

::testing::AssertionResult setStartDpi(DWORD dpi)
{
    if (writeValue(HKEY_CURRENT_USER, "Control Panel\\Desktop", "LogPixels", REG_DWORD, dwordBytes(dpi)))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << lastErrorText("setting LogPixels to " + std::to_string(dpi));
}

std::vector<std::string> listFilesBelow(const std::string& dir)
{
    std::vector<std::string> files;
    for (const std::string& name : listFolder(dir)) {
        std::string path = withSlash(dir) + name;
        if (driver::directoryExists(path)) {
            for (const std::string& inner : listFilesBelow(path))
                files.push_back(name + "\\" + inner);
        } else {
            files.push_back(name);
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

::testing::AssertionResult leaveFreeOnDrive(char letter, ULONGLONG wanted)
{
    const std::string path = fillerPath(letter);
    HANDLE filler = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (filler == INVALID_HANDLE_VALUE)
        return ::testing::AssertionFailure() << lastErrorText("opening " + path);
    ULARGE_INTEGER available = {};
    GetDiskFreeSpaceExA(root(letter).c_str(), &available, nullptr, nullptr);
    LARGE_INTEGER size = {};
    GetFileSizeEx(filler, &size);
    if (available.QuadPart > wanted) {
        std::string zeros(static_cast<size_t>(available.QuadPart - wanted), '\0');
        DWORD done = 0;
        SetFilePointer(filler, 0, nullptr, FILE_END);
        WriteFile(filler, zeros.data(), static_cast<DWORD>(zeros.size()), &done, nullptr);
    } else {
        LARGE_INTEGER end;
        end.QuadPart = size.QuadPart - static_cast<LONGLONG>(wanted - available.QuadPart);
        SetFilePointerEx(filler, end, nullptr, FILE_BEGIN);
        SetEndOfFile(filler);
    }
    CloseHandle(filler);
    GetDiskFreeSpaceExA(root(letter).c_str(), &available, nullptr, nullptr);
    if (available.QuadPart != wanted)
        return ::testing::AssertionFailure() << letter << ": has " << available.QuadPart << " bytes free, not "
                                             << wanted;
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult freeDrive(char letter)
{
    const std::string path = fillerPath(letter);
    if (DeleteFileA(path.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << lastErrorText("deleting " + path);
}

FaultyDrive::~FaultyDrive()
{
    EXPECT_TRUE(release());
}

::testing::AssertionResult FaultyDrive::serve(char letter, const std::string& unixFolder, const std::string& rules)
{
    letter_ = letter;
    folder_ = unixFolder;
    base_ = envPath("VK_WINE_DIR");
    if (base_.empty())
        return ::testing::AssertionFailure() << "VK_WINE_DIR is not set: run the tests through tools/wine-run";
    base_ += "\\faulty-fs\\" + std::string(1, static_cast<char>(letter | 0x20));
    if (!makeFolders(base_) || !setRules(rules))
        return ::testing::AssertionFailure() << lastErrorText("preparing " + base_);
    ::testing::AssertionResult mounted = run({"mount", folder_, unixPath("mnt"), unixPath("rules")}, "ready");
    if (!mounted || !unavailable_.empty())
        return mounted;
    if (!driver::defineDrive(letter, unixPath("mnt")))
        return ::testing::AssertionFailure() << "cannot define " << letter << ": on " << unixPath("mnt");
    defined_ = true;
    return ::testing::AssertionSuccess();
}

bool FaultyDrive::setRules(const std::string& rules)
{
    return writeFile(base_ + "\\rules", rules);
}

::testing::AssertionResult FaultyDrive::release()
{
    if (defined_ && !driver::defineDrive(letter_, folder_))
        return ::testing::AssertionFailure() << "cannot define " << letter_ << ": on " << folder_;
    defined_ = false;
    if (!mounted_)
        return ::testing::AssertionSuccess();
    mounted_ = false;
    return run({"unmount", unixPath("mnt")}, "unmounted");
}

std::string FaultyDrive::unixPath(const std::string& name) const
{
    std::string path = base_.substr(2) + "\\" + name;   // past "Z:"
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

// Runs tools/faulty-fs and waits for the line it leaves in its status file. Wine starts a Unix
// program by its Z: path and gives back no handle of it.
::testing::AssertionResult FaultyDrive::run(const std::vector<std::string>& arguments, const std::string& done)
{
    std::string status = base_ + "\\status";
    DeleteFileA(status.c_str());
    std::string commandLine = "faulty-fs";
    for (const std::string& argument : arguments)
        commandLine += " \"" + argument + "\"";
    commandLine += " \"" + unixPath("status") + "\"";
    driver::Process tool;
    std::string program = driver::unixToWine(VK_FAULTY_FS);
    std::replace(program.begin(), program.end(), '/', '\\');
    if (!tool.start(program, commandLine, ""))
        return ::testing::AssertionFailure() << "cannot start " << program << ": error " << tool.lastError();
    std::string line;
    driver::waitUntil([&] {
        std::vector<std::string> lines = driver::readLines(status);
        line = lines.empty() ? "" : lines[0];
        return !line.empty();
    }, 20000);
    if (arguments[0] == "mount")
        mounted_ = line == "ready";
    if (line.compare(0, 13, "unavailable: ") == 0) {
        unavailable_ = line.substr(13);
        return ::testing::AssertionSuccess();
    }
    if (line != done)
        return ::testing::AssertionFailure() << "faulty-fs " << arguments[0] << ": "
                                             << (line.empty() ? "no status within 20 s" : line);
    return ::testing::AssertionSuccess();
}

std::string unixDriveFolder(char letter)
{
    std::string drives = envPath("VK_DRIVES").substr(2);
    std::replace(drives.begin(), drives.end(), '\\', '/');
    char lower = static_cast<char>(letter | 0x20);
    return lower == 'd' || lower == 'e' ? drives + "/" + lower : unixDiscFolder(letter);
}

}  // namespace testkit
