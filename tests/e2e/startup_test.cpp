#include <gtest/gtest.h>

#include "e2e_fixture.h"
#include "resources/resource.h"
#include "setup_texts.h"

namespace {

using e2e::SetupE2E;

const char installDir[] = "D:\\Orbek\\VELKORIN\\";

// Posted messages are handled in order: once a WM_NEXTDLGCTL posted after them has moved the
// focus, everything posted before it has been handled.
::testing::AssertionResult flushPosted(HWND dlg, int focusId)
{
    HWND target = GetDlgItem(dlg, focusId);
    DWORD thread = GetWindowThreadProcessId(dlg, nullptr);
    PostMessageA(dlg, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(target), TRUE);
    bool moved = driver::waitUntil([&] {
        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        return GetGUIThreadInfo(thread, &info) && info.hwndFocus == target;
    }, e2e::waitTimeoutMs);
    if (!moved)
        return ::testing::AssertionFailure() << "the dialog did not take a posted focus change";
    return ::testing::AssertionSuccess();
}

class StartUp : public SetupE2E {
protected:
    void exitFromMenu(HWND menu)
    {
        ASSERT_TRUE(driver::click(menu, IDC_MENU_EXIT));
        EXPECT_EQ("", driver::expectMessage(menu, texts::captionSetup, texts::confirmExit, IDYES));
        DWORD code = 1;
        EXPECT_TRUE(waitSetupExit(e2e::waitTimeoutMs, &code));
        EXPECT_EQ(0u, code);
    }

    // The game stand-in from the demo CD, as an installed game.
    void installGameStandin()
    {
        ASSERT_TRUE(testkit::makeFolders(installDir));
        ASSERT_TRUE(CopyFileA((testkit::demoCdFolder() + "\\VELKORIN.EXE").c_str(),
                              (std::string(installDir) + "VELKORIN.EXE").c_str(), FALSE));
    }
};

}  // namespace

TEST_F(StartUp, WithoutRecordOpensTheTopMostMenu104)
{
    ASSERT_TRUE(startSetup());
    HWND menu;
    ASSERT_TRUE(waitMenu104(&menu));
    EXPECT_TRUE(driver::isTopMost(menu));
    EXPECT_EQ("インストール(&I)", driver::controlText(menu, IDC_MENU_INSTALL));
    exitFromMenu(menu);
}

TEST_F(StartUp, CompleteRecordOpensMenu105)
{
    ASSERT_TRUE(testkit::writeRecord(installDir, 1));
    ASSERT_TRUE(startSetup());
    HWND menu;
    ASSERT_TRUE(waitMenu105(&menu));
    EXPECT_TRUE(driver::isTopMost(menu));
    exitFromMenu(menu);
}

TEST_F(StartUp, RecordWithoutLevelOpensMenu104)
{
    ASSERT_TRUE(testkit::writeRecord(installDir, -1));
    ASSERT_TRUE(startSetup());
    HWND menu;
    ASSERT_TRUE(waitMenu104(&menu));
    exitFromMenu(menu);
}

TEST_F(StartUp, SecondCopyExitsAtOnceWithoutAWindow)
{
    ASSERT_TRUE(startSetup());
    HWND menu;
    ASSERT_TRUE(waitMenu104(&menu));

    driver::Process second;
    ASSERT_TRUE(second.start("Q:\\setup.exe", "", "Q:\\"));
    EXPECT_TRUE(e2e::expectExitWithoutWindow(second));
    EXPECT_TRUE(driver::isVisible(menu));
    exitFromMenu(menu);
}

TEST_F(StartUp, RunningGameMakesItExitSilently)
{
    HWND game;
    ASSERT_TRUE(startGameWindow("/main", &game));
    ASSERT_TRUE(testkit::writeRecord(installDir, 2));
    ASSERT_TRUE(startSetup());
    EXPECT_TRUE(expectExitWithoutWindow());
    EXPECT_TRUE(standinCalls().empty());
}

TEST_F(StartUp, HandOverStartsTheGameFromTheRecordedFolder)
{
    installGameStandin();
    ASSERT_TRUE(testkit::writeRecord(installDir, 2));
    HWND warning;
    ASSERT_TRUE(startGameWindow("/warning", &warning));
    ASSERT_TRUE(startSetup());
    // No menu and no message: the setup only starts the game. (Ending the game's window from
    // another process fails under Wine, so the window itself is not looked at.)
    EXPECT_TRUE(expectExitWithoutWindow());
    EXPECT_TRUE(expectStandinCall(1, "VELKORIN.EXE", "D:\\Orbek\\VELKORIN\\VELKORIN.EXE", "D:\\Orbek\\VELKORIN"));
    EXPECT_EQ(1u, standinCalls().size());
}

TEST_F(StartUp, HandOverReportsTheErrorWhenTheGameIsMissing)
{
    ASSERT_TRUE(testkit::makeFolders(installDir));
    ASSERT_TRUE(testkit::writeRecord(installDir, 1));
    HWND warning;
    ASSERT_TRUE(startGameWindow("/warning", &warning));
    ASSERT_TRUE(startSetup());
    // A null caption shows the system's own, "エラー" on a Japanese system.
    EXPECT_EQ("", driver::expectProcessMessage(setupPid(), "エラー",
                                               "CreateProcess エラー 2\n正常にインストールが終了したかご確認下さい。",
                                               IDOK, e2e::startTimeoutMs));
    DWORD code = 1;
    EXPECT_TRUE(waitSetupExit(e2e::waitTimeoutMs, &code));
    EXPECT_EQ(0u, code);
    EXPECT_TRUE(standinCalls().empty());
}

TEST_F(StartUp, NoDriveWithTheLabelIsFatal)
{
    ASSERT_TRUE(testkit::setDriveLabel('Q', "VELKORI"));
    ASSERT_TRUE(startSetup());
    EXPECT_EQ("", driver::expectProcessMessage(setupPid(), "ERROR", texts::cdMissingExit, IDOK, e2e::startTimeoutMs));
    DWORD code = 1;
    EXPECT_TRUE(waitSetupExit(e2e::waitTimeoutMs, &code));
    EXPECT_EQ(0u, code);
}

TEST_F(StartUp, SetupOnAnotherDiscFindsTheGameCdByItsLabel)
{
    // Started from a copy on P: labelled otherwise, the CD is found in R: by its label; the
    // lower-case label still matches.
    ASSERT_TRUE(testkit::insertDemoDisc('P', "DATA"));
    ASSERT_TRUE(testkit::insertDisc('R', "velkorin_disc1"));
    ASSERT_TRUE(testkit::removeDisc('Q'));
    ASSERT_TRUE(startSetup('P'));
    HWND menu;
    ASSERT_TRUE(waitMenu104(&menu));
    exitFromMenu(menu);
}

TEST_F(StartUp, CodecNoticeComesFirstAndOnlyOkClosesIt)
{
    ASSERT_TRUE(testkit::deleteKeyTree(HKEY_LOCAL_MACHINE, e2e::codecKey));
    ASSERT_TRUE(startSetup());
    HWND notice;
    ASSERT_TRUE(waitSetupDialog(&notice, {IDOK}, e2e::startTimeoutMs, texts::captionSetup,
                                {IDC_MENU_INSTALL, IDC_MENU_EXIT}));
    EXPECT_FALSE(driver::isTopMost(notice));
    EXPECT_EQ(nullptr, driver::findDialog(driver::byIds({IDC_MENU_INSTALL}, setupPid())));

    // The close box and Esc do nothing.
    PostMessageA(notice, WM_CLOSE, 0, 0);
    ASSERT_TRUE(driver::postCommand(notice, IDCANCEL, BN_CLICKED));
    ASSERT_TRUE(flushPosted(notice, IDOK));
    EXPECT_TRUE(driver::isVisible(notice));

    ASSERT_TRUE(driver::click(notice, IDOK));
    HWND menu;
    ASSERT_TRUE(waitMenu104(&menu));
    EXPECT_TRUE(driver::waitGone(notice));
    exitFromMenu(menu);
}
