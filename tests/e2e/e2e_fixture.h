// The end-to-end bench: the real setup.exe started from a mapped CD drive of the Wine bench and
// driven from this process. SetUp puts the machine into a known state; TearDown ends whatever
// the test left running.
//
// Paths are Win32 paths as this process sees them; the bench's Unix folders are reached
// through Z:. Every wait has a timeout and reports what it found instead when it fails:
//     HWND menu;
//     ASSERT_TRUE(waitMenu104(&menu));
//     EXPECT_EQ("", driver::expectMessage(menu, texts::captionSetup, "終了しますか？", IDYES));
#ifndef VK_E2E_FIXTURE_H
#define VK_E2E_FIXTURE_H

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver/driver.h"
#include "wine_bench.h"
#include "setup_texts.h"

namespace e2e {

// Texts the tests share with the program; the program keeps its own copies.

constexpr const char codecKey[] = "SOFTWARE\\Microsoft\\AudioCompressionManager\\DriverCache\\msacm.imaadpcm";
constexpr const char plusKey[] = "Software\\Microsoft\\Plus!";

// Waits of the end-to-end tests: long enough for a cold Wine process under load.
constexpr DWORD startTimeoutMs = 20000;
constexpr DWORD waitTimeoutMs = 10000;

// One line of the stand-ins' log: which program ran, from where, in which folder.
struct StandinCall {
    std::string name;        // "VELKORIN.EXE", "soundin.exe", "UPDATE.EXE"
    std::string module;      // full path of the started program
    std::string directory;   // its current directory
};

class SetupE2E : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // What a suite adds to the bench's known state; SetUp calls it last, unless it failed.
    virtual void prepare() {}

    // The setup process.
    // Starts <root>setup.exe with the root as current directory, as auto-run does.
    ::testing::AssertionResult startSetup(char drive = 'Q');
    // Starts program with workDir as current directory.
    ::testing::AssertionResult startSetupAt(const std::string& program, const std::string& workDir);
    DWORD setupPid() const { return setup_.id(); }
    driver::Process& setupProcess() { return setup_; }

    // A visible dialog of the setup with that caption and all the ids; fails early when the
    // setup exits first.
    ::testing::AssertionResult waitSetupDialog(HWND* dlg, std::vector<int> ids,
                                               DWORD timeoutMs = startTimeoutMs,
                                               const std::string& title = texts::captionSetup,
                                               std::vector<int> absentIds = {});
    // Menu 104 (install, bonus voices, exit) and 105 (start, re-install, uninstall, ...).
    ::testing::AssertionResult waitMenu104(HWND* menu, DWORD timeoutMs = startTimeoutMs);
    ::testing::AssertionResult waitMenu105(HWND* menu, DWORD timeoutMs = startTimeoutMs);
    // The setup started over a recorded installation: menu 105's Uninstall, Start, and Yes to
    // deleting the saves too; the menu and the uninstall dialog in *menu and *dialog.
    void startRemovingEverything(HWND* menu, HWND* dialog);
    // The setup's process has ended; exit code into *code when given.
    ::testing::AssertionResult waitSetupExit(DWORD timeoutMs = waitTimeoutMs, DWORD* code = nullptr);
    // The setup ends with code 0 without ever showing a window while we watch.
    ::testing::AssertionResult expectExitWithoutWindow(DWORD timeoutMs = startTimeoutMs);

    // The setup from the command line, in a process of its own beside the one above: Q:\setup.exe
    // with arguments and a fresh log, from Q:\ as a script in the CD's folder starts it. run...
    // waits for its end and gives its exit code; each run is also printed with the log's lines,
    // for tools/demo's account.
    DWORD runFromCommandLine(const std::string& arguments);
    ::testing::AssertionResult startFromCommandLine(const std::string& arguments);
    driver::Process& commandLineRun() { return commandLine_; }
    // The lines of its log in code page 932, without their times; whether one of them is text.
    std::vector<std::string> logLines() const;
    bool logHas(const std::string& text) const;

    // The stand-ins.
    // The log, read once every stand-in the setup started has ended (and so written its line).
    std::vector<StandinCall> standinCalls() const;
    ::testing::AssertionResult waitStandinCalls(size_t count, DWORD timeoutMs = waitTimeoutMs);
    // The log holds at least count calls, and call number count is of name started as module
    // in directory.
    ::testing::AssertionResult expectStandinCall(size_t count, const std::string& name, const std::string& module,
                                                 const std::string& directory);
    // Starts the game stand-in from the demo CD with "/warning" or "/main" and waits for its
    // window; *window gets it.
    ::testing::AssertionResult startGameWindow(const std::string& argument, HWND* window);

    // Installations.
    // The demo CD's files of a level as the manifest installs them: 0 "VELKORIN.EXE" only,
    // 1 adds the root data and "midi\...", 2 adds "voice\...". Relative install names.
    std::vector<std::string> gameFiles(int level) const;

    // Writes a screenshot of the screen into <build>\e2e-shots\<test>-<name>.bmp (for looking at
    // a failure; not an assertion).
    void screenshot(const std::string& name);

private:
    void killLeftovers();
    bool standinsEnded() const;
    driver::Process setup_;
    driver::Process commandLine_;
    std::vector<driver::Process> helpers_;
};

// The process ends with code 0 without ever showing a window while we watch.
::testing::AssertionResult expectExitWithoutWindow(driver::Process& process, DWORD timeoutMs = startTimeoutMs);

// Stopping a copy after a given file. The copy looks at its queue after every file and takes all
// that waits there; a close it finds asks the cancel question, whose box holds the copy until it
// is answered. Posting a close at the right moment from outside would be a race: these post it
// so that the copy meets it at a known look, with the dialog's thread held (driver::whileHeld)
// until the answer and what follows it are all in its queue.

// Answers the box and posts a close to the progress dialog behind the answer. The box's loop
// ends on the answer and leaves the close waiting for the copy: after a question that Start asks
// before copying (the folder that exists), the copy meets the close after its first file.
::testing::AssertionResult answerThenClose(HWND box, int answerId, HWND progress);

// No to the cancel question, and the question again after exactly one more file: behind the
// answer come a quit message and the close. The copy's pump, back from the box, stops at the
// quit message (a quit ends a pump, and the copy goes on whatever the pump says), so the close
// waits until the copy looks again, after its next file. The new box in *next.
::testing::AssertionResult resumeForOneFile(HWND box, HWND progress, HWND* next);

}  // namespace e2e

#endif
