// The end-to-end bench: machine state before each test, the setup process, discs, record.
#include "e2e_fixture.h"

#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace e2e {

namespace {

// Programs that a test may leave running: the setup, the stand-ins, the driver's target.
const std::vector<std::string> leftoverPrograms = {"setup.exe", "VELKORIN.EXE", "soundin.exe",
                                                   "UPDATE.EXE", "driver_target.exe"};

const char discLetters[] = {'A', 'P', 'Q', 'R'};

// An environment value; Unix paths (from the bench's shell) are turned into Z: paths.
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

std::string lastErrorText(const std::string& what)
{
    return what + " failed with " + std::to_string(GetLastError());
}

}  // namespace

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

void SetupE2E::killLeftovers()
{
    std::vector<DWORD> leftovers;
    for (const driver::ProcessEntry& p : driver::listProcesses())
        for (const std::string& name : leftoverPrograms)
            if (lstrcmpiA(name.c_str(), p.exeName.c_str()) == 0)
                leftovers.push_back(p.id);
    // Boxes first, so that no owner is left disabled on the desktop by a box that vanished.
    for (HWND w : driver::topLevelWindows(0, true))
        if (driver::isMessageBox(w) &&
            std::find(leftovers.begin(), leftovers.end(), driver::processOf(w)) != leftovers.end())
            driver::postClose(w);
    if (setup_.id())
        setup_.terminateTree();
    for (driver::Process& p : helpers_)
        p.terminateTree();
    helpers_.clear();
    driver::terminateProcessesNamed(leftoverPrograms);
}

void SetupE2E::SetUp()
{
    ASSERT_FALSE(drivesDir().empty()) << "VK_DRIVES is not set: run the tests through tools/wine-run";
    ASSERT_TRUE(driver::directoryExists(demoCdFolder()))
        << "no demo CD at " << demoCdFolder() << ": build the vk_demo_cd target";

    killLeftovers();
    // A setup left over from elsewhere would make ours exit at once.
    HWND stray = driver::findDialog(driver::byTitle(captionSetup));
    ASSERT_EQ(nullptr, stray) << "a setup window is still open:\n" << driver::describeWindow(stray);

    ASSERT_TRUE(clearRecord()) << "cannot delete HKCU\\" << makerKey;
    ASSERT_TRUE(ensureKey(HKEY_LOCAL_MACHINE, codecKey)) << "cannot create HKLM\\" << codecKey;
    ASSERT_TRUE(deleteKeyTree(HKEY_CURRENT_USER, plusKey)) << "cannot delete HKCU\\" << plusKey;

    // The bench's fixed disks, through their Unix folders: never what some other prefix maps.
    for (char d : {'d', 'e'}) {
        std::string folder = drivesDir() + "\\" + d;
        if (!driver::directoryExists(folder))
            continue;
        ASSERT_TRUE(emptyFolder(folder)) << "cannot empty " << folder << "; " << listFolder(folder).size()
                                         << " entries left";
    }
    std::string programs = programsFolder();
    ASSERT_FALSE(programs.empty()) << "no Programs folder";
    ASSERT_TRUE(deleteTree(programs + "\\Orbek")) << "cannot delete " << driver::toUtf8(programs) << "\\Orbek";

    std::string log = standinLogPath();
    ASSERT_TRUE(DeleteFileA(log.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND)
        << lastErrorText("deleting " + log);

    for (char letter : discLetters) {
        ASSERT_TRUE(deleteTree(hiddenFolder(letter))) << "cannot delete " << hiddenFolder(letter);
        ASSERT_TRUE(deleteTree(discFolder(letter))) << "cannot delete " << discFolder(letter);
        // Wine would go on reporting the label of the disc that was there.
        if (letter != 'Q') {
            ASSERT_TRUE(driver::remountDrive(letter)) << "cannot remount " << letter << ":";
        }
    }
    ASSERT_TRUE(insertDemoDisc('Q'));
}

void SetupE2E::TearDown()
{
    if (HasFailure()) {
        screenshot("failure");
        std::string windows = driver::describeWindows(setup_.id() ? setup_.id() : 0);
        std::printf("windows at the failure:\n%s", windows.c_str());
    }
    killLeftovers();
    setup_.release();
    // The other test programs of the bench expect its discs as they were.
    EXPECT_TRUE(restoreDefaultDiscs());
}

void SetupE2E::screenshot(const std::string& name)
{
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string dir = buildDir() + "\\e2e-shots";
    makeFolders(dir);
    std::string file = dir + "\\" + (info ? std::string(info->test_suite_name()) + "." + info->name() : "test") +
                       "-" + name + ".bmp";
    if (driver::saveScreenshot(file))
        std::printf("screenshot: %s\n", file.c_str());
}

::testing::AssertionResult insertDiscInDrive(char letter, const std::string& label)
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

::testing::AssertionResult insertDemoDiscInDrive(char letter, const std::string& label)
{
    std::string disc = discFolder(letter);
    if (!deleteTree(disc) || !deleteTree(hiddenFolder(letter)))
        return ::testing::AssertionFailure() << "cannot clear " << disc;
    if (!copyTree(demoCdFolder(), disc))
        return ::testing::AssertionFailure() << lastErrorText("copying " + demoCdFolder() + " to " + disc);
    return setDriveLabel(letter, label);
}

::testing::AssertionResult removeDiscFromDrive(char letter)
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
        }, waitTimeoutMs))
        return ::testing::AssertionFailure() << letter << ": still answers after the disc was taken out, label "
                                             << driver::quote(label);
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult restoreDefaultDiscs()
{
    for (char letter : discLetters) {
        if (letter == 'Q')
            continue;
        if (driver::directoryExists(discFolder(letter))) {
            ::testing::AssertionResult out = removeDiscFromDrive(letter);
            if (!out)
                return out;
        }
    }
    std::string label;
    if (driver::directoryExists(discFolder('Q')) && volumeLabel('Q', &label) && label == "VELKORIN")
        return ::testing::AssertionSuccess();
    return insertDiscInDrive('Q', "VELKORIN");
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

::testing::AssertionResult SetupE2E::startSetup(char drive)
{
    return startSetupAt(root(drive) + "setup.exe", root(drive));
}

::testing::AssertionResult SetupE2E::startSetupAt(const std::string& program, const std::string& workDir)
{
    if (setup_.running())
        return ::testing::AssertionFailure() << "a setup of this test is still running";
    if (!setup_.start(program, "", workDir))
        return ::testing::AssertionFailure() << "cannot start " << program << " in " << workDir << ": error "
                                             << setup_.lastError();
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult SetupE2E::waitSetupDialog(HWND* dlg, std::vector<int> ids, DWORD timeoutMs,
                                                     const std::string& title, std::vector<int> absentIds)
{
    *dlg = nullptr;
    driver::DialogQuery query = driver::byTitle(title, ids, setup_.id());
    query.absentIds = absentIds;
    auto find = [&] { return driver::findDialog(query); };
    bool exited = false;
    driver::waitUntil([&] {
        *dlg = find();
        exited = !setup_.running();
        return *dlg || exited;
    }, timeoutMs);
    if (*dlg)
        return ::testing::AssertionSuccess();
    std::string want = driver::quote(title) + " with ids";
    for (int id : ids)
        want += " " + std::to_string(id);
    if (!absentIds.empty()) {
        want += " but not";
        for (int id : absentIds)
            want += " " + std::to_string(id);
    }
    if (exited)
        return ::testing::AssertionFailure() << "the setup ended with code " << setup_.exitCode()
                                             << " before showing " << want;
    return ::testing::AssertionFailure() << "no dialog " << want << " within " << timeoutMs
                                         << " ms; the setup's windows:\n" << driver::describeWindows(setup_.id());
}

::testing::AssertionResult SetupE2E::waitMenu104(HWND* menu, DWORD timeoutMs)
{
    // Menu 105 has the ids of 104 and more.
    return waitSetupDialog(menu, {1029, 1030, 1016}, timeoutMs, captionSetup, {1018, 1015});
}

::testing::AssertionResult SetupE2E::waitMenu105(HWND* menu, DWORD timeoutMs)
{
    return waitSetupDialog(menu, {1018, 1029, 1015, 1030, 1016}, timeoutMs);
}

::testing::AssertionResult SetupE2E::waitSetupExit(DWORD timeoutMs, DWORD* code)
{
    if (!setup_.waitExit(timeoutMs))
        return ::testing::AssertionFailure() << "the setup still runs after " << timeoutMs << " ms; its windows:\n"
                                             << driver::describeWindows(setup_.id());
    if (code)
        *code = setup_.exitCode();
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult SetupE2E::expectExitWithoutWindow(DWORD timeoutMs)
{
    std::string seen;
    bool ended = driver::waitUntil([&] {
        for (HWND w : driver::topLevelWindows(setup_.id(), true))
            if (seen.empty())
                seen = driver::describeWindow(w);
        return !setup_.running();
    }, timeoutMs);
    if (!seen.empty())
        return ::testing::AssertionFailure() << "the setup showed a window: " << seen;
    if (!ended)
        return ::testing::AssertionFailure() << "the setup still runs after " << timeoutMs << " ms";
    return ::testing::AssertionSuccess();
}

std::vector<StandinCall> SetupE2E::standinCalls() const
{
    std::vector<StandinCall> calls;
    for (const std::string& line : driver::readLines(standinLogPath())) {
        size_t a = line.find('\t');
        size_t b = a == std::string::npos ? a : line.find('\t', a + 1);
        if (b == std::string::npos)
            calls.push_back({line, "", ""});
        else
            calls.push_back({line.substr(0, a), line.substr(a + 1, b - a - 1), line.substr(b + 1)});
    }
    return calls;
}

::testing::AssertionResult SetupE2E::waitStandinCalls(size_t count, DWORD timeoutMs)
{
    if (driver::waitLineCount(standinLogPath(), count, timeoutMs))
        return ::testing::AssertionSuccess();
    ::testing::AssertionResult r = ::testing::AssertionFailure();
    r << "the stand-in log " << standinLogPath() << " has " << standinCalls().size() << " lines after "
      << timeoutMs << " ms, expected " << count;
    for (const StandinCall& c : standinCalls())
        r << "\n  " << driver::toUtf8(c.name + " | " + c.module + " | " + c.directory);
    return r;
}

::testing::AssertionResult SetupE2E::startGameWindow(const std::string& argument, HWND* window)
{
    *window = nullptr;
    driver::Process game;
    std::string program = demoCdFolder() + "\\VELKORIN.EXE";
    if (!game.start(program, "VELKORIN.EXE " + argument, "C:\\"))
        return ::testing::AssertionFailure() << "cannot start " << program << ": error " << game.lastError();
    std::string title = argument == "/warning" ? titleGameWarning : titleGame;
    *window = driver::waitDialog(driver::byTitle(title, {}, game.id()), startTimeoutMs);
    helpers_.push_back(std::move(game));
    if (!*window)
        return ::testing::AssertionFailure() << "the game stand-in showed no window " << driver::quote(title);
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult SetupE2E::seedInstallation(const std::string& dir, const std::vector<std::string>& files)
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

std::vector<std::string> SetupE2E::gameFiles(int level) const
{
    static const char* const headers[] = {"[最小]", "[標準]", "[最大]"};
    std::vector<std::string> files;
    if (level < 0 || level > 2)
        return files;
    std::string manifest = readFile(demoCdFolder() + "\\setup.lst");
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < manifest.size()) {
        size_t end = manifest.find('\n', start);
        std::string line = manifest.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    size_t i = 0;
    while (i < lines.size() && lines[i] != headers[level])
        ++i;
    // Header, count, source folder, destination folder, then files and four-line groups.
    if (i + 3 >= lines.size())
        return files;
    std::string dest = lines[i + 3];
    for (i += 4; i < lines.size() && lines[i].compare(0, 5, "[END]") != 0; ++i) {
        if (lines[i].compare(0, 1, "\\") == 0 && i + 3 < lines.size()) {
            dest = lines[i + 2];
            i += 3;
        }
        files.push_back(dest + lines[i]);
    }
    return files;
}

// Stopping a copy after a given file.

::testing::AssertionResult answerThenClose(HWND box, int answerId, HWND progress)
{
    if (!driver::answer(box, answerId))
        return ::testing::AssertionFailure() << "cannot answer " << answerId << " to " << driver::describeWindow(box);
    if (!driver::postClose(progress))
        return ::testing::AssertionFailure() << lastErrorText("posting a close to " + driver::describeWindow(progress));
    if (!driver::waitGone(box))
        return ::testing::AssertionFailure() << "the box is still there: " << driver::describeWindow(box);
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult resumeForOneFile(HWND box, HWND progress, HWND* next)
{
    *next = nullptr;
    if (!driver::answer(box, IDNO))
        return ::testing::AssertionFailure() << "no No button on " << driver::describeWindow(box);
    if (!PostMessageA(progress, WM_QUIT, 0, 0) || !driver::postClose(progress))
        return ::testing::AssertionFailure() << lastErrorText("posting to " + driver::describeWindow(progress));
    if (!driver::waitGone(box))
        return ::testing::AssertionFailure() << "the box is still there: " << driver::describeWindow(box);
    *next = driver::waitMessageBox(progress);
    if (!*next)
        return ::testing::AssertionFailure() << "the copy did not stop at the question again; windows:\n"
                                             << driver::describeWindows(driver::processOf(progress));
    return ::testing::AssertionSuccess();
}

// Drive kinds and installed trees, for the fresh-install tests.

::testing::AssertionResult setDriveKind(char letter, UINT driveType)
{
    if (!driver::remountDrive(letter, driveType))
        return ::testing::AssertionFailure() << "cannot define " << letter << ": as type " << driveType;
    UINT got = DRIVE_UNKNOWN;
    if (driver::waitUntil([&] { return (got = GetDriveTypeA(root(letter).c_str())) == driveType; }, waitTimeoutMs))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << letter << ": has the type " << got << ", expected " << driveType;
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

// Faults from outside: a drive filled by another process.

namespace {

std::string fillerPath(char letter) { return root(letter) + "vk-filler"; }

}  // namespace

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

}  // namespace e2e
