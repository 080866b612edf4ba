// The end-to-end bench: machine state before each test, the setup process, discs, record.
#include "e2e_fixture.h"

#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "install/manifest_reader.h"
#include "resources/resource.h"
#include "setup_texts.h"

namespace e2e {

namespace {

// The stand-ins, which the setup starts; and the programs that a test may leave running: the
// setup, the stand-ins, the driver's target.
const std::vector<std::string> standinPrograms = {"VELKORIN.EXE", "soundin.exe", "UPDATE.EXE"};
const std::vector<std::string> leftoverPrograms = {"setup.exe", "VELKORIN.EXE", "soundin.exe",
                                                   "UPDATE.EXE", "driver_target.exe"};

std::vector<StandinCall> readStandinLog()
{
    std::vector<StandinCall> calls;
    for (const std::string& line : driver::readLines(testkit::standinLogPath())) {
        size_t a = line.find('\t');
        size_t b = a == std::string::npos ? a : line.find('\t', a + 1);
        if (b == std::string::npos)
            calls.push_back({line, "", ""});
        else
            calls.push_back({line.substr(0, a), line.substr(a + 1, b - a - 1), line.substr(b + 1)});
    }
    return calls;
}

std::string root(char letter) { return std::string(1, letter) + ":\\"; }

// What a screen is called in the pictures, by the controls it carries.
std::string screenName(HWND w)
{
    auto has = [w](int id) { return driver::hasControl(w, id); };
    if (driver::isMessageBox(w))
        return "message";
    if (driver::findChildByClass(w, "SysTreeView32"))
        return "folder-browser-111";
    if (has(IDC_MENU_START_GAME))
        return "menu-105";
    if (has(IDC_MENU_INSTALL))
        return "menu-104";
    if (has(IDC_LEVEL_MINIMUM))
        return "level-choice-108";
    if (has(IDC_UPGRADE_INSTALLED_FOLDER))
        return has(IDC_LEVEL_STANDARD) ? "upgrade-choice-112" : has(IDC_LEVEL_FULL) ? "upgrade-choice-113"
                                                                                     : "upgrade-choice-114";
    if (has(IDC_INSTALL_DRIVE_LIST))
        return "install-106";
    if (has(IDC_PROGRESS_BAR))
        return "upgrade-115";
    if (has(IDC_SHORTCUT_NO))
        return "shortcut-offer-110";
    if (has(IDC_UNINSTALL_START))
        return "uninstall-109";
    if (has(IDC_PLUS_OK))
        return "plus-warning-116";
    return "codec-notice-117";
}

// One picture per screen shown, however often a test waits for it; a message box with the
// dialog that owns it.
void pictureScreen(const std::string& folder, HWND w)
{
    static int count = 0;
    static HWND last = nullptr;
    if (w == last)
        return;
    last = w;
    char file[MAX_PATH * 2];
    std::snprintf(file, sizeof file, "%s\\%03d-%s.bmp", folder.c_str(), ++count, screenName(w).c_str());
    HWND owner = GetWindow(w, GW_OWNER);
    driver::saveScreenshot(file, driver::isMessageBox(w) && owner ? owner : w);
}

}  // namespace

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
    if (commandLine_.id())
        commandLine_.terminateTree();
    for (driver::Process& p : helpers_)
        p.terminateTree();
    helpers_.clear();
    driver::terminateProcessesNamed(leftoverPrograms);
}

void SetupE2E::SetUp()
{
    ASSERT_FALSE(testkit::drivesDir().empty()) << "VK_DRIVES is not set: run the tests through tools/wine-run";
    ASSERT_TRUE(driver::directoryExists(testkit::demoCdFolder()))
        << "no demo CD at " << testkit::demoCdFolder() << ": build the vk_demo_cd target";

    killLeftovers();
    // A setup left over from elsewhere would make ours exit at once.
    HWND stray = driver::findDialog(driver::byTitle(texts::captionSetup));
    ASSERT_EQ(nullptr, stray) << "a setup window is still open:\n" << driver::describeWindow(stray);

    ASSERT_TRUE(testkit::setStartDpi(testkit::benchDpi));
    ASSERT_TRUE(testkit::clearRecord()) << "cannot delete HKCU\\" << testkit::makerKey;
    ASSERT_TRUE(testkit::ensureKey(HKEY_LOCAL_MACHINE, codecKey)) << "cannot create HKLM\\" << codecKey;
    ASSERT_TRUE(testkit::deleteKeyTree(HKEY_CURRENT_USER, plusKey)) << "cannot delete HKCU\\" << plusKey;

    // The bench's fixed disks, through their Unix folders: never what some other prefix maps.
    for (char d : {'d', 'e'}) {
        std::string folder = testkit::drivesDir() + "\\" + d;
        if (!driver::directoryExists(folder))
            continue;
        ASSERT_TRUE(testkit::emptyFolder(folder)) << "cannot empty " << folder << "; " << testkit::listFolder(folder).size()
                                         << " entries left";
    }
    std::string programs = testkit::programsFolder();
    ASSERT_FALSE(programs.empty()) << "no Programs folder";
    ASSERT_TRUE(testkit::deleteTree(programs + "\\Orbek")) << "cannot delete " << driver::toUtf8(programs) << "\\Orbek";

    std::string log = testkit::standinLogPath();
    ASSERT_TRUE(DeleteFileA(log.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND)
        << testkit::lastErrorText("deleting " + log);

    ASSERT_TRUE(testkit::clearDiscs());
    ASSERT_TRUE(testkit::insertDemoDisc('Q'));

    // tools/demo asks for a picture of every screen a test waits for.
    std::string pictures = testkit::envPath("VK_DEMO_SHOTS");
    if (!pictures.empty() && testkit::makeFolders(pictures))
        driver::observeScreens([pictures](HWND w) { pictureScreen(pictures, w); });
    prepare();
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
    EXPECT_TRUE(testkit::restoreDefaultDiscs());
}

void SetupE2E::screenshot(const std::string& name)
{
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string dir = testkit::buildDir() + "\\e2e-shots";
    testkit::makeFolders(dir);
    std::string file = dir + "\\" + (info ? std::string(info->test_suite_name()) + "." + info->name() : "test") +
                       "-" + name + ".bmp";
    if (driver::saveScreenshot(file))
        std::printf("screenshot: %s\n", file.c_str());
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
    if (*dlg) {
        driver::noteScreen(*dlg);
        return ::testing::AssertionSuccess();
    }
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
    return waitSetupDialog(menu, {1029, 1030, 1016}, timeoutMs, texts::captionSetup, {1018, 1015});
}

::testing::AssertionResult SetupE2E::waitMenu105(HWND* menu, DWORD timeoutMs)
{
    return waitSetupDialog(menu, {1018, 1029, 1015, 1030, 1016}, timeoutMs);
}

void SetupE2E::startRemovingEverything(HWND* menu, HWND* dialog)
{
    ASSERT_TRUE(startSetup());
    ASSERT_TRUE(waitMenu105(menu));
    ASSERT_TRUE(driver::click(*menu, IDC_MENU_UNINSTALL));
    ASSERT_TRUE(waitSetupDialog(dialog, {IDC_UNINSTALL_START, IDC_UNINSTALL_KEEP_SAVES}));
    ASSERT_TRUE(driver::click(*dialog, IDC_UNINSTALL_START));
    EXPECT_EQ("", driver::expectMessage(*dialog, texts::captionWarning, texts::confirmDeleteSaves, IDYES));
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

::testing::AssertionResult expectExitWithoutWindow(driver::Process& process, DWORD timeoutMs)
{
    std::string seen;
    bool ended = driver::waitUntil([&] {
        for (HWND w : driver::topLevelWindows(process.id(), true))
            if (seen.empty())
                seen = driver::describeWindow(w);
        return !process.running();
    }, timeoutMs);
    if (!seen.empty())
        return ::testing::AssertionFailure() << "the setup showed a window: " << seen;
    if (!ended)
        return ::testing::AssertionFailure() << "the setup still runs after " << timeoutMs << " ms";
    if (process.exitCode() != 0)
        return ::testing::AssertionFailure() << "the setup ended with code " << process.exitCode();
    return ::testing::AssertionSuccess();
}

namespace {

const char commandLineLog[] = "C:\\vk-command-line.log";

}  // namespace

::testing::AssertionResult SetupE2E::startFromCommandLine(const std::string& arguments)
{
    DeleteFileA(commandLineLog);
    std::string commandLine = "\"Q:\\setup.exe\" " + arguments + " /LOG=" + commandLineLog;
    if (!commandLine_.start("Q:\\setup.exe", commandLine, "Q:\\"))
        return ::testing::AssertionFailure() << "cannot start the setup: error " << commandLine_.lastError();
    return ::testing::AssertionSuccess();
}

DWORD SetupE2E::runFromCommandLine(const std::string& arguments)
{
    ::testing::AssertionResult started = startFromCommandLine(arguments);
    EXPECT_TRUE(started);
    if (!started)
        return ~0u;
    EXPECT_TRUE(commandLine_.waitExit(startTimeoutMs)) << "the setup from the command line still runs";
    std::printf("scripted: setup.exe %s: exit code %lu\n", arguments.c_str(),
                static_cast<unsigned long>(commandLine_.exitCode()));
    for (const std::string& line : logLines())
        std::printf("scripted:     %s\n", line.c_str());
    std::fflush(stdout);
    return commandLine_.exitCode();
}

std::vector<std::string> SetupE2E::logLines() const
{
    // "YYYY-MM-DD HH:MM:SS " before each line.
    const size_t timeLength = 20;
    std::vector<std::string> lines;
    for (const std::string& line : driver::readLines(commandLineLog)) {
        int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, line.c_str(), -1, nullptr, 0);
        std::wstring wide(static_cast<size_t>(length > 0 ? length : 1), L'\0');
        MultiByteToWideChar(CP_UTF8, 0, line.c_str(), -1, &wide[0], length);
        char text[2048] = "";
        WideCharToMultiByte(932, 0, wide.c_str(), -1, text, sizeof text, nullptr, nullptr);
        lines.push_back(length > 0 && std::strlen(text) > timeLength ? text + timeLength
                                                                     : "<not a UTF-8 line with its time>");
    }
    return lines;
}

bool SetupE2E::logHas(const std::string& text) const
{
    std::vector<std::string> lines = logLines();
    return std::find(lines.begin(), lines.end(), text) != lines.end();
}

::testing::AssertionResult SetupE2E::expectExitWithoutWindow(DWORD timeoutMs)
{
    return e2e::expectExitWithoutWindow(setup_, timeoutMs);
}

bool SetupE2E::standinsEnded() const
{
    return driver::waitUntil([&] {
        for (const driver::ProcessEntry& p : driver::listProcesses()) {
            // The game's windows a test starts itself stay open.
            bool helper = std::any_of(helpers_.begin(), helpers_.end(),
                                      [&](const driver::Process& h) { return h.id() == p.id; });
            for (const std::string& name : standinPrograms)
                if (!helper && lstrcmpiA(name.c_str(), p.exeName.c_str()) == 0)
                    return false;
        }
        return true;
    }, waitTimeoutMs);
}

std::vector<StandinCall> SetupE2E::standinCalls() const
{
    // A stand-in writes its line and ends: one still running may not have written it yet.
    if (!standinsEnded())
        ADD_FAILURE() << "a stand-in still runs after " << waitTimeoutMs << " ms";
    return readStandinLog();
}

::testing::AssertionResult SetupE2E::waitStandinCalls(size_t count, DWORD timeoutMs)
{
    if (driver::waitLineCount(testkit::standinLogPath(), count, timeoutMs))
        return ::testing::AssertionSuccess();
    ::testing::AssertionResult r = ::testing::AssertionFailure();
    const std::vector<StandinCall> calls = readStandinLog();
    r << "the stand-in log " << testkit::standinLogPath() << " has " << calls.size() << " lines after " << timeoutMs
      << " ms, expected " << count;
    for (const StandinCall& c : calls)
        r << "\n  " << driver::toUtf8(c.name + " | " + c.module + " | " + c.directory);
    return r;
}

::testing::AssertionResult SetupE2E::expectStandinCall(size_t count, const std::string& name,
                                                      const std::string& module, const std::string& directory)
{
    ::testing::AssertionResult waited = waitStandinCalls(count);
    if (!waited)
        return waited;
    const StandinCall call = standinCalls()[count - 1];
    if (call.name == name && call.module == module && call.directory == directory)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "call " << count << " is " << driver::quote(call.name) << " as "
                                         << driver::quote(call.module) << " in " << driver::quote(call.directory)
                                         << ", expected " << driver::quote(name) << " as " << driver::quote(module)
                                         << " in " << driver::quote(directory);
}

::testing::AssertionResult SetupE2E::startGameWindow(const std::string& argument, HWND* window)
{
    *window = nullptr;
    driver::Process game;
    std::string program = testkit::demoCdFolder() + "\\VELKORIN.EXE";
    if (!game.start(program, "VELKORIN.EXE " + argument, "C:\\"))
        return ::testing::AssertionFailure() << "cannot start " << program << ": error " << game.lastError();
    std::string title = argument == "/warning" ? texts::titleGameWarning : texts::titleGame;
    *window = driver::waitDialog(driver::byTitle(title, {}, game.id()), startTimeoutMs);
    helpers_.push_back(std::move(game));
    if (!*window)
        return ::testing::AssertionFailure() << "the game stand-in showed no window " << driver::quote(title);
    return ::testing::AssertionSuccess();
}

std::vector<std::string> SetupE2E::gameFiles(int level) const
{
    // Read as the setup reads it.
    std::vector<std::string> files;
    std::FILE* manifest = std::fopen((testkit::demoCdFolder() + "\\setup.lst").c_str(), "rb");
    ManifestReader reader{};
    if (!manifest || !findSectionInFile(reader, manifest, level))
        return files;
    SectionHead head{};
    if (readSectionHead(reader, head)) {
        FileEntry entry = firstFileEntry(head);
        while (nextFileEntry(reader, entry))
            files.push_back(std::string(entry.destinationFolder) + entry.fileName);
    }
    closeManifest(reader);
    return files;
}

// Stopping a copy after a given file.

::testing::AssertionResult answerThenClose(HWND box, int answerId, HWND progress)
{
    if (!driver::whileHeld(progress, [&] { return driver::answer(box, answerId) && driver::postClose(progress); }))
        return ::testing::AssertionFailure() << "cannot answer " << answerId << " to " << driver::describeWindow(box)
                                             << " with a close behind";
    if (!driver::waitGone(box))
        return ::testing::AssertionFailure() << "the box is still there: " << driver::describeWindow(box);
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult resumeForOneFile(HWND box, HWND progress, HWND* next)
{
    *next = nullptr;
    if (!driver::whileHeld(progress, [&] {
            return driver::answer(box, IDNO) && PostMessageA(progress, WM_QUIT, 0, 0) && driver::postClose(progress);
        }))
        return ::testing::AssertionFailure() << "cannot answer No to " << driver::describeWindow(box)
                                             << " with a quit and a close behind";
    if (!driver::waitGone(box))
        return ::testing::AssertionFailure() << "the box is still there: " << driver::describeWindow(box);
    *next = driver::waitMessageBox(progress);
    if (!*next)
        return ::testing::AssertionFailure() << "the copy did not stop at the question again; windows:\n"
                                             << driver::describeWindows(driver::processOf(progress));
    return ::testing::AssertionSuccess();
}

}  // namespace e2e
