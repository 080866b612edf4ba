// The Start-menu shortcut through the real shell: the link as written, the maker folder, the
// failures, and COM left as it was found.

#include <gtest/gtest.h>

#include <objbase.h>
#include <shlobj.h>

#include <cstring>
#include <memory>
#include <string>

#include "record/shortcut.h"
#include "record/shortcut_dialog.h"
#include "resources/resource.h"
#include "shell/base/dialogs.h"
#include "shell/base/setup_state.h"
#include "support/background.h"
#include "support/message_watcher.h"
#include "testkit.h"
#include "setup_texts.h"

namespace {

using testkit::LinkProperties;
using testkit::readLink;


// Whether COM is initialised on this thread, without changing that.
bool comInitialised()
{
    HRESULT init = CoInitialize(nullptr);
    if (SUCCEEDED(init))
        CoUninitialize();
    return init == S_FALSE;
}

class Shortcut : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::memset(&setup, 0, sizeof setup);
        setup.appInstance = GetModuleHandleA(nullptr);
        std::strcpy(setup.installDir, "D:\\GAMES\\VELKORIN\\");
        programs_ = testkit::programsFolder();
        makerFolder_ = programs_ + "\\Orbek";
        link_ = makerFolder_ + "\\Velkorin.lnk";
        testkit::deleteTree(makerFolder_);
    }
    void TearDown() override { testkit::deleteTree(makerFolder_); }

    // createShortcut with a window of its own as owner; the boxes it showed.
    std::vector<testkit::MessageWatcher::Seen> create()
    {
        testkit::OwnerWindow owner;
        owner_ = owner.handle();
        testkit::MessageWatcher watcher({IDOK});
        createShortcut(owner.handle());
        return watcher.stop();
    }

    std::string programs_, makerFolder_, link_;
    HWND owner_ = nullptr;
};

}  // namespace

TEST_F(Shortcut, LinkNamesTheGameWithItsFolderAsWorkingDirectory)
{
    EXPECT_TRUE(create().empty());
    LinkProperties link = readLink(link_);
    EXPECT_EQ(S_OK, link.loaded);
    EXPECT_EQ("D:\\GAMES\\VELKORIN\\velkorin.exe", link.target);
    EXPECT_EQ("D:\\GAMES\\VELKORIN\\velkorin.exe", link.description);
    EXPECT_EQ("D:\\GAMES\\VELKORIN\\", link.workDir);
    EXPECT_EQ(1, shortcutExists());
}

TEST_F(Shortcut, JapaneseFolderNamesReadBackExactly)
{
    std::strcpy(setup.installDir, "D:\\ゲーム\\表示\\");
    EXPECT_TRUE(create().empty());
    LinkProperties link = readLink(link_);
    EXPECT_EQ("D:\\ゲーム\\表示\\velkorin.exe", link.target);
    EXPECT_EQ("D:\\ゲーム\\表示\\", link.workDir);
}

TEST_F(Shortcut, AnExistingLinkIsOverwritten)
{
    ASSERT_TRUE(testkit::makeFolders(makerFolder_));
    ASSERT_TRUE(testkit::writeFile(link_, "not a link"));
    ASSERT_TRUE(testkit::writeFile(makerFolder_ + "\\Other.lnk", "another game"));
    EXPECT_TRUE(create().empty());
    EXPECT_EQ("D:\\GAMES\\VELKORIN\\velkorin.exe", readLink(link_).target);

    std::strcpy(setup.installDir, "E:\\V\\");
    EXPECT_TRUE(create().empty());
    EXPECT_EQ("E:\\V\\velkorin.exe", readLink(link_).target);
    // The maker's folder was there already: no error, and nothing else in it is touched.
    EXPECT_EQ("another game", testkit::readFile(makerFolder_ + "\\Other.lnk"));
}

TEST_F(Shortcut, ANameTakenByAFolderCannotBeSaved)
{
    ASSERT_TRUE(testkit::makeFolders(link_));
    auto seen = create();
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ("Save FALSE", seen[0].text);
    EXPECT_EQ(texts::captionShortcut, seen[0].caption);
    EXPECT_EQ(owner_, seen[0].owner);
    // An entry of that name counts, whatever it is.
    EXPECT_EQ(1, shortcutExists());
}

TEST_F(Shortcut, ComIsLeftAsItWasFound)
{
    ASSERT_FALSE(comInitialised());
    EXPECT_TRUE(create().empty());
    EXPECT_FALSE(comInitialised());

    // Already initialised by someone else: still initialised afterwards, exactly once.
    ASSERT_EQ(S_OK, CoInitialize(nullptr));
    EXPECT_TRUE(create().empty());
    EXPECT_TRUE(comInitialised());
    CoUninitialize();
    EXPECT_FALSE(comInitialised());

    // In the multithreaded apartment the setup's own initialisation fails: the link is still
    // made, and the apartment is not torn down under its owner.
    ASSERT_EQ(S_OK, CoInitializeEx(nullptr, COINIT_MULTITHREADED));
    EXPECT_TRUE(create().empty());
    EXPECT_EQ(S_FALSE, CoInitializeEx(nullptr, COINIT_MULTITHREADED));
    CoUninitialize();
    CoUninitialize();
    EXPECT_FALSE(comInitialised());

    // The same on a path that ends early.
    testkit::deleteTree(makerFolder_);
    ASSERT_TRUE(testkit::makeFolders(link_));
    EXPECT_EQ(1u, create().size());
    EXPECT_FALSE(comInitialised());
}

TEST_F(Shortcut, ExistsOnlyWithAnEntryOfTheLinksName)
{
    EXPECT_EQ(0, shortcutExists());
    ASSERT_TRUE(testkit::makeFolders(makerFolder_));
    EXPECT_EQ(0, shortcutExists());
    ASSERT_TRUE(testkit::writeFile(link_, "points elsewhere"));
    EXPECT_EQ(1, shortcutExists());
}

namespace {

class ShortcutDialog : public Shortcut {
protected:
    void open()
    {
        ui_.reset(new testkit::Background(
            [] { openDialog(IDD_SHORTCUT, nullptr, shortcutDialogProc); }));
        dlg_ = driver::waitDialog(driver::byTitle(texts::captionSetup, {IDC_SHORTCUT_YES, IDC_SHORTCUT_NO},
                                                  GetCurrentProcessId()));
    }
    std::unique_ptr<testkit::Background> ui_;
    HWND dlg_ = nullptr;
};

}  // namespace

TEST_F(ShortcutDialog, YesCreatesTheLinkAndCloses)
{
    open();
    ASSERT_NE(nullptr, dlg_);
    EXPECT_TRUE(driver::isTopMost(dlg_));
    ASSERT_TRUE(driver::click(dlg_, IDC_SHORTCUT_YES));
    EXPECT_TRUE(ui_->finished()) << driver::describeWindows(GetCurrentProcessId());
    EXPECT_EQ("D:\\GAMES\\VELKORIN\\velkorin.exe", readLink(link_).target);
}

TEST_F(ShortcutDialog, AFailureIsToldOwnedByTheDialogWhichThenCloses)
{
    ASSERT_TRUE(testkit::makeFolders(link_));
    open();
    ASSERT_NE(nullptr, dlg_);
    ASSERT_TRUE(driver::click(dlg_, IDC_SHORTCUT_YES));
    EXPECT_EQ("", driver::expectMessage(dlg_, texts::captionShortcut, "Save FALSE", IDOK));
    EXPECT_TRUE(ui_->finished()) << driver::describeWindows(GetCurrentProcessId());
}

TEST_F(ShortcutDialog, NoAndTheCloseBoxTouchNothing)
{
    for (bool closeBox : {false, true}) {
        SCOPED_TRACE(closeBox ? "close box" : "no");
        open();
        ASSERT_NE(nullptr, dlg_);
        if (closeBox)
            ASSERT_TRUE(driver::postClose(dlg_));
        else
            ASSERT_TRUE(driver::click(dlg_, IDC_SHORTCUT_NO));
        EXPECT_TRUE(ui_->finished()) << driver::describeWindows(GetCurrentProcessId());
        EXPECT_FALSE(driver::directoryExists(makerFolder_));
    }
}

namespace {

class ShortcutElsewhere : public Shortcut {
protected:
    void SetUp() override
    {
        Shortcut::SetUp();
        testkit::deleteTree(top_);
        ASSERT_TRUE(testkit::makeFolders(top_));
    }
    void TearDown() override
    {
        testkit::deleteTree(top_);
        Shortcut::TearDown();
    }
    const std::string top_ = "D:\\LinkTest";
};

}  // namespace

TEST_F(ShortcutElsewhere, WithoutAProgramsFolderNothingIsMadeAndItIsTold)
{
    testkit::ProgramsRedirect redirect(top_ + "\\missing");
    auto seen = create();
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ("フォルダ作成", seen[0].text);
    EXPECT_EQ(texts::captionShortcut, seen[0].caption);
    EXPECT_EQ(0, shortcutExists());
    EXPECT_FALSE(driver::directoryExists(top_ + "\\missing"));
}

TEST_F(ShortcutElsewhere, AMakerFolderThatCannotBeMadeIsTold)
{
    // Linux refuses new folders in /sys, Z:\sys to Win32 code.
    ASSERT_TRUE(driver::directoryExists("Z:\\sys"));
    testkit::ProgramsRedirect redirect("Z:\\sys");
    auto seen = create();
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ("フォルダ作成", seen[0].text);
    EXPECT_EQ(texts::captionShortcut, seen[0].caption);
}

TEST_F(ShortcutElsewhere, ALinkPathBeyondTwoHundredSixtyCharactersIsNotSaved)
{
    // 241 characters of Programs folder: "\Orbek" still makes a folder, "\Orbek\Velkorin.lnk"
    // makes 260 characters, one more than the wide buffer holds with its terminator.
    std::string programs = top_ + "\\" + std::string(240 - top_.size(), 'p');
    ASSERT_EQ(241u, programs.size());
    ASSERT_TRUE(testkit::makeFolders(programs));
    testkit::ProgramsRedirect redirect(programs);
    auto seen = create();
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ("Save FALSE", seen[0].text);
    EXPECT_EQ(texts::captionShortcut, seen[0].caption);
    EXPECT_TRUE(driver::directoryExists(programs + "\\Orbek"));
    EXPECT_EQ(0, shortcutExists());
}

TEST_F(ShortcutElsewhere, ALinkPathOfTwoHundredFiftyNineCharactersIsSaved)
{
    std::string programs = top_ + "\\" + std::string(239 - top_.size(), 'p');
    ASSERT_EQ(240u, programs.size());
    ASSERT_TRUE(testkit::makeFolders(programs));
    testkit::ProgramsRedirect redirect(programs);
    EXPECT_TRUE(create().empty());
    EXPECT_EQ(1, shortcutExists());
    EXPECT_EQ("D:\\GAMES\\VELKORIN\\velkorin.exe", readLink(programs + "\\Orbek\\Velkorin.lnk").target);
}
