#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "shell/base/cd_probe.h"
#include "shell/base/code_page.h"
#include "shell/base/dialogs.h"
#include "shell/base/launch.h"
#include "shell/base/path_walker.h"
#include "shell/base/setup_state.h"
#include "support/message_watcher.h"
#include "wine_bench.h"
#include "setup_texts.h"

namespace {


class SharedHelpers : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::memset(&setup, 0, sizeof setup);
        fillLaunchInfo();
    }
    void TearDown() override { testkit::restoreDefaultDiscs(); }
};

}  // namespace

TEST_F(SharedHelpers, PumpReturnsAtOnceOnAnEmptyQueue)
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    EXPECT_EQ(1, pumpMessages());
}

TEST_F(SharedHelpers, PumpDispatchesWhatWaitsAndStopsAtQuit)
{
    testkit::OwnerWindow window;
    PostMessageA(window.handle(), WM_NULL, 0, 0);
    EXPECT_EQ(1, pumpMessages());
    EXPECT_FALSE(GetQueueStatus(QS_POSTMESSAGE) & QS_POSTMESSAGE);
    PostQuitMessage(0);
    EXPECT_EQ(0, pumpMessages());
}

TEST_F(SharedHelpers, LaunchInfoIsTheFixedStartUpRecord)
{
    // 68 bytes in the shipped 32-bit build, 104 in the 64-bit one: the record's own size.
    EXPECT_EQ(sizeof(STARTUPINFOA), setup.launchInfo.cb);
#if !defined(_WIN64)
    EXPECT_EQ(68u, setup.launchInfo.cb);
#endif
    EXPECT_EQ(static_cast<DWORD>(STARTF_USESHOWWINDOW), setup.launchInfo.dwFlags);
    EXPECT_EQ(SW_SHOWDEFAULT, setup.launchInfo.wShowWindow);
    EXPECT_EQ(nullptr, setup.launchInfo.lpDesktop);
    EXPECT_EQ(nullptr, setup.launchInfo.lpTitle);
    EXPECT_EQ(0u, setup.launchInfo.dwX);
    EXPECT_EQ(nullptr, setup.launchInfo.hStdInput);
}

TEST_F(SharedHelpers, ProbeFindsTheDiscInTheStartDrive)
{
    ASSERT_TRUE(testkit::insertDisc('Q', "VELKORIN"));
    std::strcpy(setup.cdRoot, "Q:\\");
    testkit::OwnerWindow owner;
    testkit::MessageWatcher watcher({IDOK});
    EXPECT_TRUE(probeCd(owner.handle()));
    EXPECT_TRUE(watcher.stop().empty());
}

TEST_F(SharedHelpers, ProbeAcceptsAnotherDiscInTheStartDrive)
{
    ASSERT_TRUE(testkit::insertDisc('Q', "MUSIC"));
    std::strcpy(setup.cdRoot, "Q:\\");
    EXPECT_TRUE(probeCd(nullptr));
}

TEST_F(SharedHelpers, ProbeWithoutDiscWarnsOwnedByTheCaller)
{
    ASSERT_TRUE(testkit::removeDisc('Q'));
    std::strcpy(setup.cdRoot, "Q:\\");
    testkit::OwnerWindow owner;
    testkit::MessageWatcher watcher({IDOK});
    EXPECT_FALSE(probeCd(owner.handle()));
    auto seen = watcher.stop();
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ("警告", seen[0].caption);
    EXPECT_EQ(texts::cdMissing, seen[0].text);
    EXPECT_EQ(owner.handle(), seen[0].owner);
}

TEST_F(SharedHelpers, LaunchOfAMissingProgramFailsAndChangesNothing)
{
    static SetupState before;
    before = setup;
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(launchProgram("C:\\no such folder\\velkorin.exe", "C:\\"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), GetLastError());
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(launchProgram("C:\\velkorin-missing.exe", "C:\\"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
    EXPECT_EQ(0, std::memcmp(&before, &setup, sizeof setup));
}

TEST_F(SharedHelpers, GameWhosePathDoesNotFitFailsLikeAMissingProgram)
{
    // A tampered record can hold a folder of 511 bytes; with the program's name it cannot fit.
    std::string folder = "C:\\" + std::string(507, 'f') + "\\";
    std::strcpy(setup.installDir, folder.c_str());
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(launchGame());
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILENAME_EXCED_RANGE), GetLastError());
}

TEST_F(SharedHelpers, PathsAreWalkedInTheCodePageWindowsReports)
{
    // "D:\Игры\" in code page 1251: ы is FB, a lead byte in code page 932, where the backslash
    // after it would be its trail.
    const char path[] = "D:\\\xC8\xE3\xF0\xFB\\";
    auto levels = [&] {
        std::int32_t cursor = 3;
        int count = 0;
        while (nextPathPrefix(path, cursor) == 0)
            ++count;
        return count;
    };
    ASSERT_TRUE(walkPathsIn(1251));
    EXPECT_EQ(1, levels());
    // The setup's manifest names code page 932, which this Wine gives the process.
    ASSERT_TRUE(walkPathsIn(CP_ACP));
    EXPECT_EQ(0, levels());
    EXPECT_FALSE(walkPathsIn(12345));
    EXPECT_EQ(0, levels());
}
