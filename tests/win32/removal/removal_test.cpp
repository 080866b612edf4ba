// The removal on installations made by hand: what goes, what stays and what the user is told.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "install/partial_file.h"
#include "removal/removal.h"
#include "removal/uninstall_dialog.h"
#include "resources/resource.h"
#include "shell/base/dialogs.h"
#include "shell/base/setup_state.h"
#include "support/background.h"
#include "support/message_watcher.h"
#include "wine_bench.h"
#include "setup_texts.h"

namespace {

const char top[] = "D:\\RmTest";
const char installDir[] = "D:\\RmTest\\Orbek\\VELKORIN\\";

std::string folderFailed(const std::string& folder)
{
    return folder + " フォルダ消去失敗";
}

std::string gameFolderFailed(const std::string& name)
{
    return std::string(installDir) + name + " フォルダ消去失敗。ゲーム以外のファイルがあるおそれがあります。";
}

std::vector<std::string> missingOf(const std::vector<std::string>& paths)
{
    std::vector<std::string> missing;
    for (const std::string& path : paths)
        if (!driver::fileExists(path))
            missing.push_back(path);
    return missing;
}

std::vector<std::string> presentOf(const std::vector<std::string>& paths)
{
    std::vector<std::string> present;
    for (const std::string& path : paths)
        if (driver::fileExists(path))
            present.push_back(path);
    return present;
}

class Removal : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::memset(&setup, 0, sizeof setup);
        setup.appInstance = GetModuleHandleA(nullptr);
        testkit::deleteTree(top);
        testkit::clearRecord();
        std::strcpy(setup.installDir, installDir);
        programs_ = testkit::programsFolder();
        makerFolder_ = programs_ + "\\Orbek";
        shortcut_ = makerFolder_ + "\\Velkorin.lnk";
        testkit::deleteTree(makerFolder_);
    }

    void TearDown() override
    {
        testkit::deleteTree(top);
        testkit::deleteTree(makerFolder_);
        testkit::clearRecord();
    }

    // A finished full install: every catalogue file, the record at level 2 and the shortcut.
    void seedFullInstall()
    {
        ASSERT_TRUE(testkit::seedCatalogue(installDir));
        testkit::writeRecord(installDir, 2);
        ASSERT_TRUE(testkit::makeFolders(makerFolder_));
        ASSERT_TRUE(testkit::writeFile(shortcut_, "link"));
    }

    // Opens dialog 109 on a thread of its own behind a stand-in menu window of that thread.
    void openUninstallDialog()
    {
        ui_.reset(new testkit::Background([this] {
            testkit::OwnerWindow menu;
            menuWnd_ = menu.handle();
            setup.mainMenuWnd = menu.handle();
            openDialog(IDD_UNINSTALL, menu.handle(), uninstallDialogProc);
        }));
        dlg_ = driver::waitDialog(driver::byTitle(texts::captionSetup,
                                                  {IDC_UNINSTALL_START, IDC_UNINSTALL_CANCEL,
                                                   IDC_UNINSTALL_DELETE_ALL, IDC_UNINSTALL_KEEP_SAVES},
                                                  GetCurrentProcessId()));
    }

    // Each text in turn as a box owned by the dialog, with the caption a null caption shows.
    void expectFolderMessages(const std::vector<std::string>& texts)
    {
        for (const std::string& text : texts)
            EXPECT_EQ("", driver::expectMessage(dlg_, texts::defaultCaption, text, IDOK)) << text;
    }

    void expectDialogEnds()
    {
        EXPECT_TRUE(ui_->finished()) << driver::describeWindows(GetCurrentProcessId());
    }

    std::string programs_, makerFolder_, shortcut_;
    std::unique_ptr<testkit::Background> ui_;
    HWND dlg_ = nullptr;
    HWND menuWnd_ = nullptr;
};

}  // namespace

TEST_F(Removal, DialogOpensWithDeleteAllCheckedAndHidesTheMenu)
{
    seedFullInstall();
    setup.uninstallDone = 7;
    openUninstallDialog();
    ASSERT_NE(nullptr, dlg_);
    EXPECT_EQ(BST_CHECKED, driver::checkState(dlg_, IDC_UNINSTALL_DELETE_ALL));
    EXPECT_EQ(BST_UNCHECKED, driver::checkState(dlg_, IDC_UNINSTALL_KEEP_SAVES));
    EXPECT_TRUE(driver::isTopMost(dlg_));
    EXPECT_FALSE(IsWindowVisible(menuWnd_));
    EXPECT_EQ(0, setup.uninstallDone);
    ASSERT_TRUE(driver::click(dlg_, IDC_UNINSTALL_CANCEL));
    expectDialogEnds();
}

TEST_F(Removal, KeepSavesLeavesSavesFolderAndRecordFolder)
{
    seedFullInstall();
    openUninstallDialog();
    ASSERT_NE(nullptr, dlg_);
    ASSERT_TRUE(driver::press(dlg_, IDC_UNINSTALL_KEEP_SAVES));
    ASSERT_TRUE(driver::waitUntil([&] { return driver::checkState(dlg_, IDC_UNINSTALL_KEEP_SAVES) == BST_CHECKED; }, 5000));
    ASSERT_TRUE(driver::click(dlg_, IDC_UNINSTALL_START));
    // The saves keep the install folder; every folder above it is still tried and told.
    expectFolderMessages({folderFailed("D:\\RmTest\\Orbek\\VELKORIN"), folderFailed("D:\\RmTest\\Orbek"),
                          folderFailed("D:\\RmTest")});
    expectDialogEnds();

    EXPECT_EQ(1, setup.uninstallDone);
    EXPECT_EQ(std::vector<std::string>(), missingOf(testkit::saveFilePaths(installDir)));
    EXPECT_EQ(std::vector<std::string>(), presentOf(testkit::catalogueFilePaths(installDir, false)));
    EXPECT_FALSE(driver::directoryExists(std::string(installDir) + "voice"));
    EXPECT_FALSE(driver::directoryExists(std::string(installDir) + "midi"));
    EXPECT_TRUE(driver::directoryExists(installDir));
    EXPECT_FALSE(testkit::recordValueExists("set"));
    EXPECT_TRUE(testkit::recordValueExists("dir"));
    EXPECT_TRUE(testkit::recordValueExists("cur"));
    EXPECT_TRUE(testkit::recordValueExists("drv"));
    EXPECT_FALSE(driver::fileExists(shortcut_));
    EXPECT_FALSE(driver::directoryExists(makerFolder_));
}

TEST_F(Removal, DeleteAllOfCatalogueFilesLeavesNothing)
{
    seedFullInstall();
    // What copies killed part-way left: the one in voice read-only, as the CD's file it copied.
    for (const std::string& folder : {std::string(installDir), std::string(installDir) + "voice\\"}) {
        std::string partial = folder + partialFileName;
        ASSERT_TRUE(testkit::writeFile(partial, "cut short"));
        ASSERT_TRUE(folder == installDir || SetFileAttributesA(partial.c_str(), FILE_ATTRIBUTE_READONLY));
    }
    openUninstallDialog();
    ASSERT_NE(nullptr, dlg_);
    ASSERT_TRUE(driver::click(dlg_, IDC_UNINSTALL_START));
    EXPECT_EQ("", driver::expectMessage(dlg_, "警告", texts::confirmDeleteSaves, IDYES));
    expectDialogEnds();

    EXPECT_EQ(1, setup.uninstallDone);
    EXPECT_EQ(std::vector<std::string>(), presentOf(testkit::catalogueFilePaths(installDir, true)));
    EXPECT_FALSE(driver::directoryExists(top));
    EXPECT_FALSE(driver::fileExists(shortcut_));
    EXPECT_FALSE(driver::directoryExists(makerFolder_));
    EXPECT_TRUE(driver::directoryExists(programs_));
    EXPECT_FALSE(testkit::keyExists(HKEY_CURRENT_USER, testkit::gameKey));
    EXPECT_FALSE(testkit::keyExists(HKEY_CURRENT_USER, testkit::makerKey));
}

TEST_F(Removal, UsersFileInVoiceKeepsItsFoldersAndIsTold)
{
    seedFullInstall();
    std::string usersFile = std::string(installDir) + "voice\\mine.wav";
    ASSERT_TRUE(testkit::writeFile(usersFile, "mine"));
    openUninstallDialog();
    ASSERT_NE(nullptr, dlg_);
    ASSERT_TRUE(driver::click(dlg_, IDC_UNINSTALL_START));
    EXPECT_EQ("", driver::expectMessage(dlg_, "警告", texts::confirmDeleteSaves, IDYES));
    expectFolderMessages({gameFolderFailed("voice"), folderFailed("D:\\RmTest\\Orbek\\VELKORIN\\voice"),
                          folderFailed("D:\\RmTest\\Orbek\\VELKORIN"), folderFailed("D:\\RmTest\\Orbek"),
                          folderFailed("D:\\RmTest")});
    expectDialogEnds();

    EXPECT_EQ("mine", testkit::readFile(usersFile));
    EXPECT_EQ(std::vector<std::string>(), presentOf(testkit::catalogueFilePaths(installDir, true)));
    EXPECT_FALSE(driver::directoryExists(std::string(installDir) + "midi"));
    EXPECT_FALSE(testkit::keyExists(HKEY_CURRENT_USER, testkit::gameKey));
}

TEST_F(Removal, AnotherGamesFolderBesideStaysWithTheMakersFolder)
{
    seedFullInstall();
    ASSERT_TRUE(testkit::makeFolders("D:\\RmTest\\Orbek\\OTHER"));
    ASSERT_TRUE(testkit::writeFile("D:\\RmTest\\Orbek\\OTHER\\SAVE0.DAT", "other game"));
    ASSERT_TRUE(testkit::makeFolders("D:\\RmTest\\Orbek\\EMPTY"));
    ASSERT_TRUE(testkit::writeFile(makerFolder_ + "\\Other.lnk", "other link"));
    openUninstallDialog();
    ASSERT_NE(nullptr, dlg_);
    ASSERT_TRUE(driver::click(dlg_, IDC_UNINSTALL_START));
    EXPECT_EQ("", driver::expectMessage(dlg_, "警告", texts::confirmDeleteSaves, IDYES));
    expectFolderMessages({folderFailed("D:\\RmTest\\Orbek"), folderFailed("D:\\RmTest")});
    expectDialogEnds();

    EXPECT_FALSE(driver::directoryExists(installDir));
    EXPECT_EQ("other game", testkit::readFile("D:\\RmTest\\Orbek\\OTHER\\SAVE0.DAT"));
    // Beside the install folder, not in it: not swept.
    EXPECT_TRUE(driver::directoryExists("D:\\RmTest\\Orbek\\EMPTY"));
    EXPECT_FALSE(driver::fileExists(shortcut_));
    EXPECT_EQ("other link", testkit::readFile(makerFolder_ + "\\Other.lnk"));
}

TEST_F(Removal, DeleteAllAnsweredNoDeletesNothingAndStays)
{
    seedFullInstall();
    openUninstallDialog();
    ASSERT_NE(nullptr, dlg_);
    ASSERT_TRUE(driver::click(dlg_, IDC_UNINSTALL_START));
    EXPECT_EQ("", driver::expectMessage(dlg_, "警告", texts::confirmDeleteSaves, IDNO));
    // The dialog answers again, with the same choice.
    ASSERT_TRUE(driver::waitUntil([&] { return driver::isEnabled(dlg_); }, 5000));
    EXPECT_TRUE(driver::isVisible(dlg_));
    EXPECT_EQ(BST_CHECKED, driver::checkState(dlg_, IDC_UNINSTALL_DELETE_ALL));
    EXPECT_TRUE(ui_->running());
    EXPECT_EQ(std::vector<std::string>(), missingOf(testkit::catalogueFilePaths(installDir, true)));
    EXPECT_TRUE(driver::fileExists(shortcut_));
    EXPECT_TRUE(testkit::recordValueExists("set"));

    ASSERT_TRUE(driver::click(dlg_, IDC_UNINSTALL_CANCEL));
    expectDialogEnds();
    EXPECT_EQ(0, setup.uninstallDone);
}

TEST_F(Removal, CancelAndCloseBoxDeleteNothing)
{
    seedFullInstall();
    for (bool closeBox : {false, true}) {
        SCOPED_TRACE(closeBox ? "close box" : "cancel");
        openUninstallDialog();
        ASSERT_NE(nullptr, dlg_);
        if (closeBox)
            ASSERT_TRUE(driver::postClose(dlg_));
        else
            ASSERT_TRUE(driver::click(dlg_, IDC_UNINSTALL_CANCEL));
        expectDialogEnds();
        EXPECT_EQ(0, setup.uninstallDone);
        EXPECT_EQ(std::vector<std::string>(), missingOf(testkit::catalogueFilePaths(installDir, true)));
        EXPECT_TRUE(driver::fileExists(shortcut_));
        EXPECT_TRUE(testkit::recordValueExists("set"));
    }
}

// A standard install has no voice folder: the missing folder is told as the removal of any
// folder that is not there with an error other than 3 (Windows gives 2 for it, as Wine does).
TEST_F(Removal, StandardInstallWithoutVoiceFolderIsRemovedWithoutMessage)
{
    testkit::Seed standard;
    standard.voice = false;
    ASSERT_TRUE(testkit::seedCatalogue(installDir, standard));
    testkit::writeRecord(installDir, 1);
    testkit::MessageWatcher watcher({IDOK});
    removeInstallation(nullptr, 0);
    auto seen = watcher.stop();
    EXPECT_TRUE(seen.empty()) << (seen.empty() ? "" : seen[0].text);
    EXPECT_FALSE(driver::directoryExists(top));
}

TEST_F(Removal, InstallFolderAtADriveRootLeavesTheRootsFolders)
{
    const char root[] = "D:\\";
    std::strcpy(setup.installDir, root);
    ASSERT_TRUE(testkit::seedCatalogue(root));
    ASSERT_TRUE(testkit::makeFolders("D:\\RmTest\\empty"));
    testkit::MessageWatcher watcher({IDOK});
    removeInstallation(nullptr, 0);
    auto seen = watcher.stop();
    EXPECT_TRUE(seen.empty()) << (seen.empty() ? "" : seen[0].text);
    EXPECT_EQ(std::vector<std::string>(), presentOf(testkit::catalogueFilePaths(root, true)));
    EXPECT_FALSE(driver::directoryExists("D:\\voice"));
    EXPECT_FALSE(driver::directoryExists("D:\\midi"));
    EXPECT_TRUE(driver::directoryExists("D:\\RmTest\\empty"));
}

TEST_F(Removal, InstallFolderWithoutBackslashRemovesNoFolder)
{
    // The relative names then point into the current folder; nothing of its folders goes.
    ASSERT_TRUE(testkit::makeFolders("D:\\RmTest\\cwd\\empty"));
    char previous[MAX_PATH];
    GetCurrentDirectoryA(sizeof previous, previous);
    ASSERT_TRUE(SetCurrentDirectoryA("D:\\RmTest\\cwd"));
    for (const char* dir : {"", "VELKORIN"}) {
        SCOPED_TRACE(dir);
        std::strcpy(setup.installDir, dir);
        testkit::MessageWatcher watcher({IDOK});
        removeInstallFolders(nullptr);
        EXPECT_TRUE(watcher.stop().empty());
        EXPECT_EQ(0, setup.folderChainCount);
        EXPECT_TRUE(driver::directoryExists("D:\\RmTest\\cwd\\empty"));
    }
    SetCurrentDirectoryA(previous);
}

TEST_F(Removal, ChainCutShortAtALongEntrySweepsNothing)
{
    // The third entry would pass 255 characters: the chain holds D: and D:\RmTest only.
    std::strcpy(setup.installDir, ("D:\\RmTest\\" + std::string(250, 'a') + "\\").c_str());
    ASSERT_TRUE(testkit::makeFolders("D:\\RmTest\\empty"));
    testkit::MessageWatcher watcher({IDOK});
    removeInstallFolders(nullptr);
    auto seen = watcher.stop();
    EXPECT_EQ(2, setup.folderChainCount);
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ(folderFailed("D:\\RmTest"), seen[0].text);
    EXPECT_TRUE(driver::directoryExists("D:\\RmTest\\empty"));
}

TEST_F(Removal, FolderCleanUpTakesOnlyEmptiedFolders)
{
    ASSERT_TRUE(testkit::makeFolders(std::string(installDir) + "voice"));
    ASSERT_TRUE(testkit::makeFolders(std::string(installDir) + "midi"));
    testkit::writeRecord(installDir, 0);
    ASSERT_TRUE(testkit::makeFolders(makerFolder_));
    ASSERT_TRUE(testkit::writeFile(shortcut_, "link"));
    testkit::MessageWatcher watcher({IDOK});
    removeInstallFolders(nullptr);
    EXPECT_TRUE(watcher.stop().empty());
    EXPECT_FALSE(driver::directoryExists(top));
    // The record and the shortcut are not the clean-up's.
    EXPECT_TRUE(testkit::recordValueExists("set"));
    EXPECT_TRUE(driver::fileExists(shortcut_));
}

TEST_F(Removal, FolderCleanUpDeletesNoFileAndTellsOnlyTheChain)
{
    ASSERT_TRUE(testkit::seedCatalogue(installDir));
    testkit::MessageWatcher watcher({IDOK});
    removeInstallFolders(nullptr);
    auto seen = watcher.stop();
    std::vector<std::string> texts;
    for (const auto& box : seen)
        texts.push_back(box.text);
    // "voice" and "midi" are not told themselves, only when the sweep finds them, in the order
    // the file system lists them.
    ASSERT_EQ(5u, texts.size());
    std::sort(texts.begin(), texts.begin() + 2);
    EXPECT_EQ((std::vector<std::string>{folderFailed("D:\\RmTest\\Orbek\\VELKORIN\\midi"),
                                        folderFailed("D:\\RmTest\\Orbek\\VELKORIN\\voice"),
                                        folderFailed("D:\\RmTest\\Orbek\\VELKORIN"),
                                        folderFailed("D:\\RmTest\\Orbek"), folderFailed("D:\\RmTest")}),
              texts);
    EXPECT_EQ(std::vector<std::string>(), missingOf(testkit::catalogueFilePaths(installDir, true)));
}

TEST_F(Removal, WithoutAProgramsFolderTheShortcutIsLeftAlone)
{
    ASSERT_TRUE(testkit::seedCatalogue(installDir));
    ASSERT_TRUE(testkit::makeFolders(makerFolder_));
    ASSERT_TRUE(testkit::writeFile(shortcut_, "link"));
    testkit::ProgramsRedirect redirect("D:\\RmTest\\missing");
    testkit::MessageWatcher watcher({IDOK});
    removeInstallation(nullptr, 0);
    EXPECT_TRUE(watcher.stop().empty());
    EXPECT_FALSE(driver::directoryExists(top));
    EXPECT_EQ("link", testkit::readFile(shortcut_));
}
