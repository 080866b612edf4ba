// A player's whole journey with the real program, one run of the setup after another in one
// prefix: install minimum, start the game, upgrade to standard and then to full, uninstall
// keeping the saves, install again into another folder taking the saves along, uninstall
// everything. Each step is checked on disk and in the registry; nothing of the player's own is
// ever deleted.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "journey.h"

namespace {

using e2e::Journey;

const char firstDir[] = "D:\\Orbek\\VELKORIN\\";
const char secondDir[] = "D:\\Games\\Velkorin\\";
const char saveName[] = "SAVE0.DAT";
const char saveBytes[] = "chapter 3, with the key";
const char playerNote[] = "memo.txt";

}  // namespace

TEST_F(Journey, InstallPlayUpgradeTwiceMoveWithTheSavesAndRemove)
{
    // 1. A minimum install on D:, with the shortcut.
    HWND install;
    freshInstall(IDC_LEVEL_MINIMUM, "Orbek\\VELKORIN\\", &install);
    ASSERT_FALSE(HasFatalFailure());
    finishFreshInstall(install);
    expectFiles(firstDir, 0, {});
    expectRecord(firstDir, 0);
    EXPECT_TRUE(shortcutExists());

    // 2. The game from menu 105, in its folder; it saves, and the player leaves a note there.
    HWND menu;
    startAt105(&menu);
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(driver::click(menu, IDC_MENU_START_GAME));
    EXPECT_TRUE(waitSetupExit());
    ASSERT_TRUE(waitStandinCalls(2));
    e2e::StandinCall game = standinCalls().back();
    EXPECT_EQ("VELKORIN.EXE", game.name);
    EXPECT_EQ(0, lstrcmpiA((std::string(firstDir) + "VELKORIN.EXE").c_str(), game.module.c_str())) << game.module;
    EXPECT_EQ(0, lstrcmpiA(firstDir, (game.directory + "\\").c_str())) << game.directory;
    ASSERT_TRUE(e2e::writeFile(std::string(firstDir) + saveName, saveBytes));
    ASSERT_TRUE(e2e::writeFile(std::string(firstDir) + playerNote, "the player's own"));

    // 3. and 4. Upgrades to standard and to full, in place.
    upgrade(IDC_LEVEL_STANDARD, firstDir);
    ASSERT_FALSE(HasFatalFailure());
    expectFiles(firstDir, 1, {saveName, playerNote});
    expectRecord(firstDir, 1);
    upgrade(IDC_LEVEL_FULL, firstDir);
    ASSERT_FALSE(HasFatalFailure());
    expectFiles(firstDir, 2, {saveName, playerNote});
    expectRecord(firstDir, 2);

    // 5. Uninstall keeping the saves: the record keeps the folder, the shortcut goes.
    uninstall(true, {"D:\\Orbek\\VELKORIN", "D:\\Orbek"});
    ASSERT_FALSE(HasFatalFailure());
    std::vector<std::string> left = {saveName, playerNote};   // sorted
    EXPECT_EQ(left, e2e::listFilesBelow(firstDir));
    EXPECT_EQ(saveBytes, e2e::readFile(std::string(firstDir) + saveName));
    expectRecord(firstDir, -1);
    EXPECT_FALSE(shortcutExists());

    // 6. A standard install into another folder brings the saves along.
    freshInstall(IDC_LEVEL_STANDARD, "Games\\Velkorin\\", &install);
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ("", driver::expectMessage(install, e2e::captionSetup,
                                        "セーブファイルが他のフォルダにあります。コピーしますか？", IDYES,
                                        e2e::startTimeoutMs));
    finishFreshInstall(install);
    expectFiles(secondDir, 1, {saveName});
    EXPECT_EQ(saveBytes, e2e::readFile(std::string(secondDir) + saveName));
    expectRecord(secondDir, 1);
    EXPECT_TRUE(shortcutExists());

    // 7. Uninstall everything: the new folder and its chain go; the old folder is the player's.
    uninstall(false, {});
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_FALSE(driver::directoryExists("D:\\Games"));
    EXPECT_EQ(left, e2e::listFilesBelow(firstDir));
    EXPECT_EQ(saveBytes, e2e::readFile(std::string(firstDir) + saveName));
    EXPECT_FALSE(e2e::keyExists(HKEY_CURRENT_USER, e2e::makerKey));
    EXPECT_FALSE(shortcutExists());
}
