// The two main menus driven on a thread of their own, as the player drives them.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "shell/base/launch.h"
#include "shell/base/setup_state.h"
#include "shell/flow/main_menus.h"
#include "support/background.h"
#include "support/message_watcher.h"
#include "wine_bench.h"
#include "setup_texts.h"

namespace {

const char insertCd[] = "ＣＤを入れて再度実行して下さい。";
const char top[] = "D:\\MenuTest";
const char installDir[] = "D:\\MenuTest\\Orbek\\VELKORIN\\";

const std::vector<int> menu104Ids = {IDC_MENU_INSTALL, IDC_MENU_BONUS_VOICES, IDC_MENU_EXIT};
const std::vector<int> menu105Ids = {IDC_MENU_START_GAME, IDC_MENU_INSTALL, IDC_MENU_UNINSTALL,
                                     IDC_MENU_BONUS_VOICES, IDC_MENU_EXIT};

class MainMenus : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::memset(&setup, 0, sizeof setup);
        setup.appInstance = GetModuleHandleA(nullptr);
        fillLaunchInfo();
        std::strcpy(setup.cdRoot, "Q:\\");
        std::strcpy(setup.cdDrive, "Q:");
        std::strcpy(setup.installDir, installDir);
        testkit::deleteTree(top);
        testkit::clearRecord();
        GetCurrentDirectoryA(sizeof previousDir_, previousDir_);
    }

    void TearDown() override
    {
        ui_.reset();
        SetCurrentDirectoryA(previousDir_);
        testkit::deleteTree(top);
        testkit::clearRecord();
    }

    HWND openMenu(int templateId)
    {
        ui_.reset(new testkit::Background([templateId] { runMainMenu(templateId); }));
        return waitMenu(templateId == IDD_MENU_INSTALLED ? menu105Ids : menu104Ids);
    }

    // A full installation, menu 105 over it and its uninstall dialog.
    void openUninstallOverFull(HWND* menu, HWND* dlg)
    {
        ASSERT_TRUE(testkit::seedCatalogue(installDir));
        testkit::writeRecord(installDir, 2);
        *menu = openMenu(IDD_MENU_INSTALLED);
        ASSERT_NE(nullptr, *menu);
        ASSERT_TRUE(driver::click(*menu, IDC_MENU_UNINSTALL));
        *dlg = driver::waitDialog(driver::byTitle(texts::captionSetup, {IDC_UNINSTALL_START}, GetCurrentProcessId()));
        ASSERT_NE(nullptr, *dlg);
    }

    static HWND waitMenu(const std::vector<int>& ids)
    {
        return driver::waitDialog(driver::byTitle(texts::captionSetup, ids, GetCurrentProcessId()));
    }

    // Without the disc the button of menu templateId warns, and the menu stays and answers.
    void expectCdMissingFor(int templateId, int button)
    {
        takeDiscOut();
        HWND menu = openMenu(templateId);
        ASSERT_NE(nullptr, menu);
        ASSERT_TRUE(driver::click(menu, button));
        EXPECT_EQ("", driver::expectMessage(menu, "警告", texts::cdMissing, IDOK));
        expectMenuAnswers(menu);
        exitMenu(menu);
    }

    // The menu still answers: its exit question comes and goes with No.
    void expectMenuAnswers(HWND menu)
    {
        ASSERT_TRUE(driver::click(menu, IDC_MENU_EXIT));
        EXPECT_EQ("", driver::expectMessage(menu, texts::captionSetup, texts::confirmExit, IDNO));
        EXPECT_TRUE(ui_->running());
        EXPECT_TRUE(driver::isVisible(menu));
    }

    void exitMenu(HWND menu)
    {
        ASSERT_TRUE(driver::click(menu, IDC_MENU_EXIT));
        EXPECT_EQ("", driver::expectMessage(menu, texts::captionSetup, texts::confirmExit, IDYES));
        EXPECT_TRUE(ui_->finished()) << driver::describeWindows(GetCurrentProcessId());
    }

    // The start drive becomes an empty CD drive of the bench; the disc in Q: stays for others.
    static void takeDiscOut() { std::strcpy(setup.cdRoot, "P:\\"); }

    bool menuEnds() { return ui_->finished(); }

    std::unique_ptr<testkit::Background> ui_;
    char previousDir_[MAX_PATH];
};

}  // namespace

TEST_F(MainMenus, InstalledMenuOpensTopMostAsTheMainMenu)
{
    HWND menu = openMenu(IDD_MENU_INSTALLED);
    ASSERT_NE(nullptr, menu);
    EXPECT_EQ(menu, setup.mainMenuWnd);
    EXPECT_TRUE(driver::isTopMost(menu));
    exitMenu(menu);
}

TEST_F(MainMenus, EscapeDoesNothing)
{
    HWND menu = openMenu(IDD_MENU_INSTALLED);
    ASSERT_NE(nullptr, menu);
    ASSERT_TRUE(driver::postCommand(menu, IDCANCEL, BN_CLICKED));
    // Handled in order: had Esc asked or closed, the exit question would not come next.
    expectMenuAnswers(menu);
    exitMenu(menu);
}

TEST_F(MainMenus, ExitAnsweredNoKeepsTheMenuAndTheCloseBoxAsksToo)
{
    HWND menu = openMenu(IDD_MENU_NEW);
    ASSERT_NE(nullptr, menu);
    expectMenuAnswers(menu);
    ASSERT_TRUE(driver::postClose(menu));
    EXPECT_EQ("", driver::expectMessage(menu, texts::captionSetup, texts::confirmExit, IDNO));
    EXPECT_TRUE(ui_->running());
    ASSERT_TRUE(driver::postClose(menu));
    EXPECT_EQ("", driver::expectMessage(menu, texts::captionSetup, texts::confirmExit, IDYES));
    EXPECT_TRUE(menuEnds());
}

TEST_F(MainMenus, StartGameWithoutTheDiscWarnsAndStays)
{
    expectCdMissingFor(IDD_MENU_INSTALLED, IDC_MENU_START_GAME);
}

TEST_F(MainMenus, StartGameEndsTheMenuEvenWhenTheGameIsMissing)
{
    HWND menu = openMenu(IDD_MENU_INSTALLED);
    ASSERT_NE(nullptr, menu);
    ASSERT_TRUE(driver::click(menu, IDC_MENU_START_GAME));
    EXPECT_TRUE(menuEnds()) << driver::describeWindows(GetCurrentProcessId());
}

TEST_F(MainMenus, BonusVoicesWithoutTheDiscWarnsAndStays)
{
    expectCdMissingFor(IDD_MENU_NEW, IDC_MENU_BONUS_VOICES);
}

TEST_F(MainMenus, BonusVoicesFromTheCdRootThatCannotStartAskForTheCd)
{
    // Whatever the bench's CD holds, D: has no bonus installer.
    ASSERT_TRUE(testkit::deleteTree("D:\\omake"));
    std::strcpy(setup.cdDrive, "D:");
    ASSERT_TRUE(SetCurrentDirectoryA("Q:\\"));
    std::strcpy(setup.startDir, "stale");
    HWND menu = openMenu(IDD_MENU_INSTALLED);
    ASSERT_NE(nullptr, menu);
    ASSERT_TRUE(driver::click(menu, IDC_MENU_BONUS_VOICES));
    EXPECT_EQ("", driver::expectMessage(menu, "エラー", insertCd, IDOK));
    EXPECT_STREQ("Q:", setup.startDir);
    expectMenuAnswers(menu);
    exitMenu(menu);
}

TEST_F(MainMenus, ReinstallOpensTheChoiceForTheRecordedLevel)
{
    struct Case {
        int level;
        std::vector<int> ids;
        std::vector<int> absent;
    };
    const Case cases[] = {
        {0, {IDC_LEVEL_STANDARD, IDC_LEVEL_FULL, IDC_UPGRADE_INSTALLED_FOLDER}, {IDC_UPGRADE_BACK}},
        {1, {IDC_LEVEL_FULL, IDC_UPGRADE_INSTALLED_FOLDER}, {IDC_LEVEL_STANDARD, IDC_UPGRADE_BACK}},
        {2, {IDC_UPGRADE_BACK, IDC_UPGRADE_INSTALLED_FOLDER}, {IDC_LEVEL_STANDARD, IDC_LEVEL_FULL}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("level " + std::to_string(c.level));
        setup.chosenType = setup.installedType = c.level;
        HWND menu = openMenu(IDD_MENU_INSTALLED);
        ASSERT_NE(nullptr, menu);
        ASSERT_TRUE(driver::click(menu, IDC_MENU_INSTALL));
        HWND choice = driver::waitDialog(driver::byTitle(texts::captionSetup, c.ids, GetCurrentProcessId()));
        ASSERT_NE(nullptr, choice);
        for (int id : c.absent)
            EXPECT_FALSE(driver::hasControl(choice, id)) << id;
        EXPECT_EQ(menu, GetWindow(choice, GW_OWNER));
        EXPECT_EQ(choice, setup.typeChoiceWnd);
        EXPECT_TRUE(driver::isTopMost(choice));
        EXPECT_FALSE(driver::isVisible(menu));
        EXPECT_EQ(installDir, driver::controlText(choice, IDC_UPGRADE_INSTALLED_FOLDER));

        // Esc does nothing; backing out restores the recorded level and the menu.
        ASSERT_TRUE(driver::postCommand(choice, IDCANCEL, BN_CLICKED));
        setup.chosenType = 9;
        if (c.level == 2)
            ASSERT_TRUE(driver::click(choice, IDC_UPGRADE_BACK));
        else
            ASSERT_TRUE(driver::postClose(choice));
        ASSERT_TRUE(driver::waitGone(choice));
        ASSERT_TRUE(driver::waitUntil([&] { return driver::isVisible(menu); }, 5000));
        EXPECT_EQ(nullptr, setup.typeChoiceWnd);
        EXPECT_EQ(c.level, setup.chosenType);
        exitMenu(menu);
    }
}

TEST_F(MainMenus, ReinstallWithALevelOutOfRangeOpensNothing)
{
    setup.chosenType = setup.installedType = 3;
    HWND menu = openMenu(IDD_MENU_INSTALLED);
    ASSERT_NE(nullptr, menu);
    ASSERT_TRUE(driver::click(menu, IDC_MENU_INSTALL));
    expectMenuAnswers(menu);
    EXPECT_EQ(nullptr, setup.typeChoiceWnd);
    exitMenu(menu);
}

TEST_F(MainMenus, InstallOpensTheLevelChoiceBehindWhichTheMenuHides)
{
    HWND menu = openMenu(IDD_MENU_NEW);
    ASSERT_NE(nullptr, menu);
    ASSERT_TRUE(driver::click(menu, IDC_MENU_INSTALL));
    HWND choice = driver::waitDialog(driver::byTitle(
        texts::captionSetup, {IDC_LEVEL_MINIMUM, IDC_LEVEL_STANDARD, IDC_LEVEL_FULL}, GetCurrentProcessId()));
    ASSERT_NE(nullptr, choice);
    EXPECT_EQ(menu, GetWindow(choice, GW_OWNER));
    EXPECT_EQ(choice, setup.typeChoiceWnd);
    EXPECT_TRUE(driver::isTopMost(choice));
    EXPECT_FALSE(driver::isVisible(menu));
    ASSERT_TRUE(driver::postCommand(choice, IDCANCEL, BN_CLICKED));
    ASSERT_TRUE(driver::postClose(choice));
    ASSERT_TRUE(driver::waitGone(choice));
    ASSERT_TRUE(driver::waitUntil([&] { return driver::isVisible(menu); }, 5000));
    EXPECT_EQ(nullptr, setup.typeChoiceWnd);
    exitMenu(menu);
}

TEST_F(MainMenus, UninstallWithoutTheDiscWarnsAndStays)
{
    expectCdMissingFor(IDD_MENU_INSTALLED, IDC_MENU_UNINSTALL);
}

TEST_F(MainMenus, UninstallCancelledShowsTheSameMenuAgain)
{
    HWND menu, dlg;
    openUninstallOverFull(&menu, &dlg);
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_FALSE(driver::isVisible(menu));
    ASSERT_TRUE(driver::click(dlg, IDC_UNINSTALL_CANCEL));
    ASSERT_TRUE(driver::waitUntil([&] { return driver::isVisible(menu); }, 5000));
    EXPECT_EQ(nullptr, driver::findProcessMessageBox(GetCurrentProcessId()));
    EXPECT_EQ(0, setup.uninstallDone);
    EXPECT_EQ(menu, setup.mainMenuWnd);
    expectMenuAnswers(menu);
    exitMenu(menu);
}

TEST_F(MainMenus, UninstallKeepingSavesGivesWayToTheNewGameMenu)
{
    HWND menu, dlg;
    openUninstallOverFull(&menu, &dlg);
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(menu, GetWindow(dlg, GW_OWNER));
    ASSERT_TRUE(driver::press(dlg, IDC_UNINSTALL_KEEP_SAVES));
    ASSERT_TRUE(driver::waitUntil([&] { return driver::checkState(dlg, IDC_UNINSTALL_KEEP_SAVES) == BST_CHECKED; }, 5000));
    ASSERT_TRUE(driver::click(dlg, IDC_UNINSTALL_START));
    for (const char* folder : {"D:\\MenuTest\\Orbek\\VELKORIN", "D:\\MenuTest\\Orbek", "D:\\MenuTest"})
        EXPECT_EQ("", driver::expectMessage(dlg, "エラー", std::string(folder) + " フォルダ消去失敗", IDOK));
    EXPECT_EQ("", driver::expectMessage(menu, texts::captionSetup, "アンインストール終了しました。", IDOK));

    HWND newMenu = driver::waitDialog(driver::byTitle(texts::captionSetup, menu104Ids, GetCurrentProcessId()));
    ASSERT_NE(nullptr, newMenu);
    EXPECT_FALSE(driver::hasControl(newMenu, IDC_MENU_START_GAME));
    EXPECT_EQ(nullptr, GetWindow(newMenu, GW_OWNER));
    EXPECT_EQ(newMenu, setup.mainMenuWnd);
    EXPECT_FALSE(driver::isVisible(menu));
    // Leaving the new menu unwinds the old one too.
    exitMenu(newMenu);
}
