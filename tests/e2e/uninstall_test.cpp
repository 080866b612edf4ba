// Removing a hand-seeded installation from the real program's menu 105.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e_fixture.h"
#include "resources/resource.h"
#include "setup_texts.h"

namespace {

using e2e::SetupE2E;

const char installDir[] = "D:\\Orbek\\VELKORIN\\";

const std::vector<std::string> saveNames = {"SAVE0.DAT", "SAVE1.DAT", "SAVE2.DAT", "SAVE3.DAT",
                                            "SAVE4.DAT", "SAVE5.DAT", "SAVE6.DAT", "SAVE7.DAT",
                                            "SAVE8.DAT", "SAVE9.DAT", "SAVEA.DAT"};

class Uninstall : public SetupE2E {
protected:
    void prepare() override
    {
        shortcut_ = testkit::programsFolder() + "\\Orbek\\Velkorin.lnk";
        // A full installation with its saves, its record and its shortcut.
        std::vector<std::string> files = gameFiles(2);
        ASSERT_FALSE(files.empty());
        files.insert(files.end(), saveNames.begin(), saveNames.end());
        ASSERT_TRUE(testkit::seedInstallation(installDir, files));
        ASSERT_TRUE(testkit::writeRecord(installDir, 2));
        ASSERT_TRUE(testkit::makeFolders(testkit::programsFolder() + "\\Orbek"));
        ASSERT_TRUE(testkit::writeFile(shortcut_, "link"));
        ASSERT_TRUE(startSetup());
        ASSERT_TRUE(waitMenu105(&menu_));
    }

    void openUninstall()
    {
        ASSERT_TRUE(driver::click(menu_, IDC_MENU_UNINSTALL));
        ASSERT_TRUE(waitSetupDialog(&dialog_, {IDC_UNINSTALL_START, IDC_UNINSTALL_CANCEL,
                                               IDC_UNINSTALL_DELETE_ALL, IDC_UNINSTALL_KEEP_SAVES}));
        EXPECT_FALSE(driver::isVisible(menu_));
    }

    void expectMenu104ThenExit()
    {
        HWND menu;
        ASSERT_TRUE(waitMenu104(&menu));
        EXPECT_NE(menu_, menu);
        ASSERT_TRUE(driver::click(menu, IDC_MENU_EXIT));
        EXPECT_EQ("", driver::expectMessage(menu, texts::captionSetup, texts::confirmExit, IDYES));
        EXPECT_TRUE(waitSetupExit());
    }

    HWND menu_ = nullptr;
    HWND dialog_ = nullptr;
    std::string shortcut_;
};

}  // namespace

TEST_F(Uninstall, KeepingSavesLeavesThemAndTheFolderThenMenu104)
{
    openUninstall();
    ASSERT_TRUE(driver::press(dialog_, IDC_UNINSTALL_KEEP_SAVES));
    ASSERT_TRUE(driver::waitUntil(
        [&] { return driver::checkState(dialog_, IDC_UNINSTALL_KEEP_SAVES) == BST_CHECKED; }, e2e::waitTimeoutMs));
    ASSERT_TRUE(driver::click(dialog_, IDC_UNINSTALL_START));
    // The saves keep the install folder, and it keeps the maker's folder: each is told.
    EXPECT_EQ("", driver::expectMessage(dialog_, texts::defaultCaption, "D:\\Orbek\\VELKORIN フォルダ消去失敗", IDOK));
    EXPECT_EQ("", driver::expectMessage(dialog_, texts::defaultCaption, "D:\\Orbek フォルダ消去失敗", IDOK));
    EXPECT_EQ("", driver::expectMessage(menu_, texts::captionSetup, texts::uninstallDone, IDOK));
    expectMenu104ThenExit();

    std::vector<std::string> left = testkit::listFolder(installDir);
    EXPECT_EQ(saveNames.size(), left.size());
    for (const std::string& name : saveNames)
        EXPECT_EQ(name, testkit::readFile(installDir + name)) << name;
    EXPECT_FALSE(testkit::readRecordValue("set").present);
    // Stored without a terminator; Wine's store hands one back, Windows does not.
    EXPECT_STREQ(installDir, testkit::readRecordValue("dir").data.c_str());
    EXPECT_EQ("<missing>", testkit::readFile(shortcut_));
}

TEST_F(Uninstall, DeletingAllLeavesNoTraceThenMenu104)
{
    openUninstall();
    ASSERT_TRUE(driver::click(dialog_, IDC_UNINSTALL_START));
    EXPECT_EQ("", driver::expectMessage(dialog_, "警告", texts::confirmDeleteSaves, IDYES));
    EXPECT_EQ("", driver::expectMessage(menu_, texts::captionSetup, texts::uninstallDone, IDOK));
    expectMenu104ThenExit();

    EXPECT_FALSE(driver::directoryExists("D:\\Orbek"));
    EXPECT_FALSE(driver::directoryExists(testkit::programsFolder() + "\\Orbek"));
    EXPECT_FALSE(testkit::keyExists(HKEY_CURRENT_USER, testkit::makerKey));
}

TEST_F(Uninstall, CancelDeletesNothingAndShowsMenu105Again)
{
    openUninstall();
    ASSERT_TRUE(driver::click(dialog_, IDC_UNINSTALL_CANCEL));
    ASSERT_TRUE(driver::waitUntil([&] { return driver::isVisible(menu_); }, e2e::waitTimeoutMs));
    EXPECT_EQ(nullptr, driver::findProcessMessageBox(setupPid()));
    EXPECT_EQ("SAVE0.DAT", testkit::readFile(std::string(installDir) + "SAVE0.DAT"));
    EXPECT_EQ("VELKORIN.EXE", testkit::readFile(std::string(installDir) + "VELKORIN.EXE"));
    EXPECT_EQ("link", testkit::readFile(shortcut_));
    EXPECT_TRUE(testkit::readRecordValue("set").present);
    ASSERT_TRUE(driver::click(menu_, IDC_MENU_EXIT));
    EXPECT_EQ("", driver::expectMessage(menu_, texts::captionSetup, texts::confirmExit, IDYES));
    EXPECT_TRUE(waitSetupExit());
}

// Records that no install of the setup writes: the removal must never reach outside the
// recorded folder.
using TamperedRecord = SetupE2E;

TEST_F(TamperedRecord, FolderThatIsNoFullPathCountsAsNoInstallation)
{
    // Run from a writable CD whose folder holds names of the game's files.
    const std::string cd = "Q:\\";
    ASSERT_TRUE(testkit::writeFile(cd + "SAVE0.DAT", "the CD's own"));
    for (const char* folder : {"", "VELKORIN\\"}) {
        SCOPED_TRACE(folder);
        ASSERT_TRUE(testkit::writeRecord(folder, 2));
        ASSERT_TRUE(startSetup());
        HWND menu;
        ASSERT_TRUE(waitMenu104(&menu));
        ASSERT_TRUE(driver::click(menu, IDC_MENU_EXIT));
        EXPECT_EQ("", driver::expectMessage(menu, texts::captionSetup, texts::confirmExit, IDYES));
        EXPECT_TRUE(waitSetupExit());
        EXPECT_EQ("the CD's own", testkit::readFile(cd + "SAVE0.DAT"));
        EXPECT_NE("<missing>", testkit::readFile(cd + "SE.DAT"));
        EXPECT_NE("<missing>", testkit::readFile(cd + "VOICE\\VALL00.DAT"));
    }
}

TEST_F(TamperedRecord, FolderWithoutFinalBackslashIsRemovedWithItsChainOnly)
{
    ASSERT_TRUE(testkit::seedInstallation(installDir, gameFiles(2)));
    ASSERT_TRUE(testkit::makeFolders("D:\\Orbek\\Other\\"));
    ASSERT_TRUE(testkit::writeRecord("D:\\Orbek\\VELKORIN", 2));
    HWND menu, dialog;
    startRemovingEverything(&menu, &dialog);
    ASSERT_FALSE(HasFatalFailure());
    // The sibling keeps the maker's folder; it is not swept as if it were the game's.
    EXPECT_EQ("", driver::expectMessage(dialog, texts::defaultCaption, "D:\\Orbek フォルダ消去失敗", IDOK));
    EXPECT_EQ("", driver::expectMessage(menu, texts::captionSetup, texts::uninstallDone, IDOK));
    ASSERT_TRUE(waitMenu104(&menu));
    ASSERT_TRUE(driver::click(menu, IDC_MENU_EXIT));
    EXPECT_EQ("", driver::expectMessage(menu, texts::captionSetup, texts::confirmExit, IDYES));
    EXPECT_TRUE(waitSetupExit());
    EXPECT_FALSE(driver::directoryExists(installDir));
    EXPECT_TRUE(driver::directoryExists("D:\\Orbek\\Other"));
}

TEST_F(TamperedRecord, ValuesOfAnotherTypeOrLevelOpenTheMenuOfWhatTheyStillTell)
{
    // A writable CD whose root a "dir" of bytes spelling Q:\ would hand to the removal.
    const std::string cd = "Q:\\";
    ASSERT_TRUE(testkit::writeFile(cd + "SAVE0.DAT", "the CD's own"));
    const std::string root = std::string("Q:\\") + '\0';
    struct Case {
        DWORD dirType;
        std::string dir;
        DWORD setType;
        std::string set;
        bool installed;
    };
    const Case cases[] = {
        {REG_DWORD, root, REG_DWORD, testkit::dwordBytes(2), false},
        {REG_BINARY, root, REG_DWORD, testkit::dwordBytes(2), false},
        {REG_SZ, installDir, REG_DWORD, testkit::dwordBytes(3), false},
        {REG_SZ, installDir, REG_DWORD, testkit::dwordBytes(0xFFFFFFFF), false},
        {REG_SZ, installDir, REG_SZ, std::string("2") + '\0', false},
        // Read as a signed 16-bit level: 1.
        {REG_SZ, installDir, REG_DWORD, testkit::dwordBytes(65537), true},
    };
    ASSERT_TRUE(testkit::seedInstallation(installDir, gameFiles(1)));
    for (const Case& tampered : cases) {
        SCOPED_TRACE(testing::PrintToString(tampered.dir) + " " + testing::PrintToString(tampered.set));
        ASSERT_TRUE(testkit::writeRecord(installDir, 1));
        ASSERT_TRUE(testkit::writeValue(HKEY_CURRENT_USER, testkit::recordKey, "dir", tampered.dirType, tampered.dir));
        ASSERT_TRUE(testkit::writeValue(HKEY_CURRENT_USER, testkit::recordKey, "set", tampered.setType, tampered.set));
        ASSERT_TRUE(startSetup());
        HWND menu;
        if (tampered.installed) {
            ASSERT_TRUE(waitMenu105(&menu));
            ASSERT_TRUE(driver::click(menu, IDC_MENU_INSTALL));
            HWND choice;
            ASSERT_TRUE(waitSetupDialog(&choice, {IDC_LEVEL_FULL}, e2e::waitTimeoutMs, texts::captionSetup,
                                        {IDC_LEVEL_STANDARD, IDC_UPGRADE_BACK}));
            ASSERT_TRUE(driver::postClose(choice));
            ASSERT_TRUE(driver::waitUntil([&] { return driver::isVisible(menu); }, e2e::waitTimeoutMs));
        } else {
            ASSERT_TRUE(waitMenu104(&menu));
        }
        ASSERT_TRUE(driver::click(menu, IDC_MENU_EXIT));
        EXPECT_EQ("", driver::expectMessage(menu, texts::captionSetup, texts::confirmExit, IDYES));
        EXPECT_TRUE(waitSetupExit());
        EXPECT_EQ("the CD's own", testkit::readFile(cd + "SAVE0.DAT"));
        EXPECT_EQ(tampered.set, testkit::readRecordValue("set").data);
        EXPECT_EQ(gameFiles(1).size(), testkit::listFilesBelow(installDir).size());
    }
}
