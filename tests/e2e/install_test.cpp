// A fresh install with the real program from menu 104: level choice, install dialog, folder
// browser, the copy with its cancel, and the Plus! warning.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "e2e_fixture.h"
#include "resources/resource.h"
#include "setup_texts.h"

namespace {

using e2e::SetupE2E;

const char defaultFolder[] = "Orbek\\VELKORIN\\";

// The bench's fixed disks beside the small E:: the prefix's C:, D: and the Unix root Z:.
const char largeDisks[] = {'C', 'D', 'Z'};

const std::vector<int> levelIds = {IDC_LEVEL_MINIMUM, IDC_LEVEL_STANDARD, IDC_LEVEL_FULL};
const std::vector<int> installIds = {IDC_PROGRESS_START, IDC_PROGRESS_CANCEL, IDC_INSTALL_DRIVE_LIST,
                                     IDC_INSTALL_FOLDER_NAME, IDC_INSTALL_BROWSE, IDC_PROGRESS_DESTINATION};

class FreshInstall : public SetupE2E {
protected:
    void prepare() override
    {
        ASSERT_TRUE(restoreFixedDrives());
        // The first fixed drive is the prefix's C:, where the default install goes.
        ASSERT_TRUE(testkit::deleteTree("C:\\Orbek"));
    }

    void TearDown() override
    {
        SetupE2E::TearDown();
        EXPECT_TRUE(restoreFixedDrives());
        EXPECT_TRUE(putDiskDBack());
        testkit::deleteTree("C:\\Orbek");
    }

    // D:'s folder moved aside: the letter dangles, and its free space can no longer be read.
    static ::testing::AssertionResult takeDiskDAway()
    {
        std::string folder = testkit::drivesDir() + "\\d";
        if (!MoveFileA(folder.c_str(), (folder + ".out").c_str()) || !driver::remountDrive('D'))
            return ::testing::AssertionFailure() << "cannot take " << folder << " away: " << GetLastError();
        return ::testing::AssertionSuccess();
    }

    static ::testing::AssertionResult putDiskDBack()
    {
        std::string folder = testkit::drivesDir() + "\\d";
        if (!driver::directoryExists(folder + ".out"))
            return ::testing::AssertionSuccess();
        if (!MoveFileA((folder + ".out").c_str(), folder.c_str()) || !driver::remountDrive('D'))
            return ::testing::AssertionFailure() << "cannot put " << folder << " back: " << GetLastError();
        return ::testing::AssertionSuccess();
    }

    static ::testing::AssertionResult restoreFixedDrives()
    {
        for (char letter : largeDisks) {
            if (GetDriveTypeA((std::string(1, letter) + ":\\").c_str()) == DRIVE_FIXED)
                continue;
            ::testing::AssertionResult done = testkit::setDriveKind(letter, DRIVE_FIXED);
            if (!done)
                return done;
        }
        return ::testing::AssertionSuccess();
    }

    void openLevelChoice()
    {
        ASSERT_TRUE(startSetup());
        ASSERT_TRUE(waitMenu104(&menu_));
        ASSERT_TRUE(driver::click(menu_, IDC_MENU_INSTALL));
        ASSERT_TRUE(waitSetupDialog(&choice_, levelIds));
        EXPECT_FALSE(driver::isVisible(menu_));
    }

    // Dialog 106 from a level button; the level choice has gone behind it.
    void chooseLevel(int button)
    {
        ASSERT_TRUE(driver::click(choice_, button));
        ASSERT_TRUE(waitSetupDialog(&install_, installIds));
        EXPECT_EQ(choice_, GetWindow(install_, GW_OWNER));
        EXPECT_TRUE(driver::waitHidden(choice_));
    }

    // The level's button finds no drive: the message, dialog 106 gone, the level choice open
    // again over the menu, which shows again.
    void expectNoDrive(int button)
    {
        ASSERT_TRUE(driver::click(choice_, button));
        HWND box = driver::waitProcessMessageBox(setupPid(), e2e::startTimeoutMs);
        ASSERT_NE(nullptr, box) << driver::describeWindows(setupPid());
        HWND refused = GetWindow(box, GW_OWNER);
        EXPECT_NE(choice_, refused);
        EXPECT_EQ("", driver::expectMessage(refused, texts::defaultCaption, texts::noDrive, IDOK));
        EXPECT_TRUE(driver::waitGone(refused));
        EXPECT_TRUE(driver::waitUntil([&] { return driver::isVisible(menu_); }, e2e::waitTimeoutMs));
        EXPECT_TRUE(driver::waitUntil([&] { return driver::isEnabled(choice_); }, e2e::waitTimeoutMs));
        EXPECT_TRUE(driver::isVisible(choice_));
    }

    void openInstallDialog(int button)
    {
        openLevelChoice();
        if (HasFatalFailure())
            return;
        chooseLevel(button);
    }

    // Dialog 106 with drive D: chosen.
    void openInstallDialogOnD(int button)
    {
        openInstallDialog(button);
        if (HasFatalFailure())
            return;
        selectDrive("D:\\");
    }

    // Picks a drive in the list; the polling step takes it over into 1050.
    void selectDrive(const std::string& root)
    {
        int index = driver::comboFind(install_, IDC_INSTALL_DRIVE_LIST, root);
        ASSERT_GE(index, 0) << root << " is not listed";
        ASSERT_TRUE(driver::comboSelect(install_, IDC_INSTALL_DRIVE_LIST, index));
        expectDestination(root + driver::controlText(install_, IDC_INSTALL_FOLDER_NAME));
    }

    void expectDestination(const std::string& folder)
    {
        EXPECT_TRUE(driver::waitUntil(
            [&] { return driver::controlText(install_, IDC_PROGRESS_DESTINATION) == folder; }, e2e::waitTimeoutMs))
            << "1050 shows " << driver::quote(driver::controlText(install_, IDC_PROGRESS_DESTINATION)) << ", expected "
            << driver::quote(folder);
    }

    void typeFolderName(const std::string& text)
    {
        ASSERT_TRUE(driver::setEditText(install_, IDC_INSTALL_FOLDER_NAME, text));
    }

    // Shortcut offer declined, the success told: the record is complete, so the updater on the
    // CD takes over in the CD's folder and the setup ends.
    void expectSuccessAndHandOver()
    {
        HWND offer;
        ASSERT_TRUE(waitSetupDialog(&offer, {IDC_SHORTCUT_YES, IDC_SHORTCUT_NO}, e2e::startTimeoutMs));
        ASSERT_TRUE(driver::click(offer, IDC_SHORTCUT_NO));
        EXPECT_EQ("", driver::expectMessage(install_, texts::captionSetup, texts::installDone, IDOK, e2e::startTimeoutMs));
        EXPECT_TRUE(waitSetupExit());
        EXPECT_TRUE(expectStandinCall(1, "UPDATE.EXE", "Q:\\UPDATE.EXE", "Q:\\"));
        EXPECT_EQ(1u, standinCalls().size());
    }

    // Exactly the level's files, each with the CD's bytes and the archive attribute alone.
    void expectInstalledFiles(const std::string& dir, int level)
    {
        std::vector<std::string> expected = gameFiles(level);
        ASSERT_FALSE(expected.empty());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(expected, testkit::listFilesBelow(dir));
        for (const std::string& name : expected) {
            EXPECT_EQ(testkit::readFile("Q:\\" + name), testkit::readFile(dir + name)) << name;
            EXPECT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE), GetFileAttributesA((dir + name).c_str())) << name;
        }
    }

    void expectRecord(const std::string& dir, int level)
    {
        testkit::RegValue cur = testkit::readRecordValue("cur");
        testkit::RegValue drv = testkit::readRecordValue("drv");
        testkit::RegValue installed = testkit::readRecordValue("dir");
        testkit::RegValue set = testkit::readRecordValue("set");
        EXPECT_EQ(static_cast<DWORD>(REG_SZ), cur.type);
        // Stored without a terminator; Wine's store hands one back, Windows does not.
        EXPECT_STREQ("Q:", cur.data.c_str());
        EXPECT_EQ(static_cast<DWORD>(REG_BINARY), drv.type);
        EXPECT_EQ(std::string("Q:\0", 3), drv.data);
        EXPECT_EQ(static_cast<DWORD>(REG_SZ), installed.type);
        EXPECT_STREQ(dir.c_str(), installed.data.c_str());
        EXPECT_EQ(static_cast<DWORD>(REG_DWORD), set.type);
        EXPECT_EQ(testkit::dwordBytes(static_cast<DWORD>(level)), set.data);
    }

    void exitFromMenu(HWND menu)
    {
        ASSERT_TRUE(driver::click(menu, IDC_MENU_EXIT));
        EXPECT_EQ("", driver::expectMessage(menu, texts::captionSetup, texts::confirmExit, IDYES));
        EXPECT_TRUE(waitSetupExit());
    }

    HWND menu_ = nullptr;
    HWND choice_ = nullptr;
    HWND install_ = nullptr;
};

struct Level {
    int button;
    int level;
};

void PrintTo(const Level& level, std::ostream* out)
{
    *out << "level " << level.level;
}

class EachLevel : public FreshInstall, public ::testing::WithParamInterface<Level> {};

}  // namespace

TEST_P(EachLevel, InstallsIntoTheDefaultFolderOnTheFirstDriveAndHandsOver)
{
    // A removable disk and a second CD with room of their own are never offered.
    ASSERT_TRUE(testkit::insertDisc('A', "FLOPPY"));
    ASSERT_TRUE(testkit::insertDisc('P', "DATA"));
    ASSERT_EQ(static_cast<UINT>(DRIVE_REMOVABLE), GetDriveTypeA("A:\\"));
    openInstallDialog(GetParam().button);
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_TRUE(driver::isTopMost(install_));
    EXPECT_FALSE(driver::isVisible(menu_));
    // Fixed drives only, in letter order, the first one chosen.
    std::vector<std::string> drives = driver::comboItems(install_, IDC_INSTALL_DRIVE_LIST);
    ASSERT_FALSE(drives.empty());
    EXPECT_TRUE(std::is_sorted(drives.begin(), drives.end()));
    for (const std::string& drive : drives)
        EXPECT_EQ(static_cast<UINT>(DRIVE_FIXED), GetDriveTypeA(drive.c_str())) << drive;
    EXPECT_EQ(0, driver::comboSelection(install_, IDC_INSTALL_DRIVE_LIST));
    EXPECT_EQ(defaultFolder, driver::controlText(install_, IDC_INSTALL_FOLDER_NAME));
    const std::string dir = drives[0] + defaultFolder;
    EXPECT_EQ(dir, driver::controlText(install_, IDC_PROGRESS_DESTINATION));
    EXPECT_EQ("0 %", driver::controlText(install_, IDC_PROGRESS_PERCENT));
    int low = -1, high = -1;
    ASSERT_TRUE(driver::progressRange(install_, IDC_PROGRESS_BAR, &low, &high));
    EXPECT_EQ(0, low);
    EXPECT_EQ(100, high);
    EXPECT_EQ(0, driver::progressPos(install_, IDC_PROGRESS_BAR));

    ASSERT_TRUE(driver::click(install_, IDC_PROGRESS_START));
    expectSuccessAndHandOver();
    expectInstalledFiles(dir, GetParam().level);
    expectRecord(dir, GetParam().level);
}

INSTANTIATE_TEST_SUITE_P(Levels, EachLevel,
                         ::testing::Values(Level{IDC_LEVEL_MINIMUM, 0}, Level{IDC_LEVEL_STANDARD, 1},
                                           Level{IDC_LEVEL_FULL, 2}),
                         [](const ::testing::TestParamInfo<Level>& level) {
                             return "Level" + std::to_string(level.param.level);
                         });

TEST_F(FreshInstall, WithoutADriveWithRoomTheLevelChoiceStaysAndASmallerLevelFitsTheSmallDisk)
{
    if (!std::getenv("VK_SMALL_DISK"))
        GTEST_SKIP() << "E: is not a small disk of its own on this bench";
    // The large disks become network drives: only the 4 MB E: is left as a fixed disk.
    for (char letter : largeDisks)
        ASSERT_TRUE(testkit::setDriveKind(letter, DRIVE_REMOTE));
    openLevelChoice();
    ASSERT_FALSE(HasFatalFailure());

    expectNoDrive(IDC_LEVEL_FULL);
    // One page either side of the minimum level's million bytes: tmpfs counts whole pages.
    ASSERT_TRUE(testkit::leaveFreeOnDrive('E', 999424));
    expectNoDrive(IDC_LEVEL_MINIMUM);
    ASSERT_TRUE(testkit::leaveFreeOnDrive('E', 1003520));

    chooseLevel(IDC_LEVEL_MINIMUM);
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(std::vector<std::string>({"E:\\"}), driver::comboItems(install_, IDC_INSTALL_DRIVE_LIST));
    ASSERT_TRUE(driver::click(install_, IDC_PROGRESS_START));
    expectSuccessAndHandOver();
    expectInstalledFiles("E:\\Orbek\\VELKORIN\\", 0);
}

TEST_F(FreshInstall, StartAndBrowseDuringTheCopyDoNothingAndNoToTheCancelLetsItRunOn)
{
    openInstallDialogOnD(IDC_LEVEL_STANDARD);
    ASSERT_FALSE(HasFatalFailure());
    // All four wait in the queue when the copy pumps after its first file: the second Start
    // and Browse find the copy running, the cancel asks.
    ASSERT_TRUE(driver::whileHeld(install_, [&] {
        for (int button : {IDC_PROGRESS_START, IDC_PROGRESS_START, IDC_INSTALL_BROWSE, IDC_PROGRESS_CANCEL})
            if (!driver::click(install_, button))
                return false;
        return true;
    }));
    EXPECT_EQ("", driver::expectMessage(install_, texts::captionSetup, texts::confirmInstallCancel, IDNO));
    EXPECT_TRUE(driver::isVisible(install_));
    // A browser or a second run would stand between the copy and the shortcut offer.
    expectSuccessAndHandOver();
    expectInstalledFiles("D:\\Orbek\\VELKORIN\\", 1);
}

TEST_F(FreshInstall, YesToTheCancelRemovesEverythingTheRunMadeAndOpensMenu104)
{
    openInstallDialogOnD(IDC_LEVEL_FULL);
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(driver::whileHeld(install_, [&] {
        return driver::click(install_, IDC_PROGRESS_START) && driver::click(install_, IDC_PROGRESS_CANCEL);
    }));
    EXPECT_EQ("", driver::expectMessage(install_, texts::captionSetup, texts::confirmInstallCancel, IDYES));
    EXPECT_EQ("", driver::expectMessage(install_, texts::captionSetup, texts::installFailed, IDOK));
    HWND menu;
    ASSERT_TRUE(waitMenu104(&menu));
    EXPECT_NE(menu_, menu);
    EXPECT_EQ(std::vector<std::string>(), testkit::listFolder("D:\\"));
    EXPECT_FALSE(testkit::keyExists(HKEY_CURRENT_USER, testkit::recordKey));
    exitFromMenu(menu);
    EXPECT_TRUE(standinCalls().empty());
}

TEST_F(FreshInstall, CancelInAnEarlierInstallationsFolderLeavesWhatWasThere)
{
    // The folder of an installation whose record is gone: saves and an older game file.
    const std::string dir = "D:\\Orbek\\VELKORIN\\";
    ASSERT_TRUE(testkit::makeFolders(dir));
    ASSERT_TRUE(testkit::writeFile(dir + "SAVE0.DAT", "my save"));
    ASSERT_TRUE(testkit::writeFile(dir + "KAO.DAT", "older game file"));
    openInstallDialogOnD(IDC_LEVEL_STANDARD);
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(driver::click(install_, IDC_PROGRESS_START));
    HWND box = driver::waitMessageBox(install_);
    ASSERT_NE(nullptr, box);
    driver::MessageBoxInfo question = driver::readMessageBox(box);
    EXPECT_EQ(texts::captionWarning, question.caption);
    EXPECT_EQ(texts::folderExists, question.text);
    // The cancel is queued behind the answer, so the copy meets it after its first file.
    ASSERT_TRUE(driver::answer(box, IDYES));
    ASSERT_TRUE(driver::postCommand(install_, IDC_PROGRESS_CANCEL, BN_CLICKED));
    ASSERT_TRUE(driver::waitGone(box));
    EXPECT_EQ("", driver::expectMessage(install_, texts::captionSetup, texts::confirmInstallCancel, IDYES));
    EXPECT_EQ("", driver::expectMessage(install_, texts::captionSetup, texts::installFailed, IDOK));
    HWND menu;
    ASSERT_TRUE(waitMenu104(&menu));

    EXPECT_EQ(std::vector<std::string>({"KAO.DAT", "SAVE0.DAT"}), testkit::listFilesBelow(dir));
    EXPECT_EQ("my save", testkit::readFile(dir + "SAVE0.DAT"));
    EXPECT_EQ("older game file", testkit::readFile(dir + "KAO.DAT"));
    exitFromMenu(menu);
}

TEST_F(FreshInstall, FolderFieldIsNormalisedAndAnEmptyOneInstallsIntoTheDriveRoot)
{
    openInstallDialog(IDC_LEVEL_MINIMUM);
    ASSERT_FALSE(HasFatalFailure());
    // A drive whose free space cannot be read shows none, not the last drive's.
    ASSERT_NE("", driver::controlText(install_, IDC_PROGRESS_FREE_SPACE));
    ASSERT_TRUE(takeDiskDAway());
    selectDrive("D:\\");
    EXPECT_EQ("", driver::controlText(install_, IDC_PROGRESS_FREE_SPACE));
    ASSERT_TRUE(putDiskDBack());
    selectDrive(driver::comboItem(install_, IDC_INSTALL_DRIVE_LIST, 0));
    selectDrive("D:\\");
    EXPECT_NE("", driver::controlText(install_, IDC_PROGRESS_FREE_SPACE));
    typeFolderName("\\Games\\Velkorin");
    EXPECT_TRUE(driver::waitUntil(
        [&] { return driver::controlText(install_, IDC_INSTALL_FOLDER_NAME) == "Games\\Velkorin"; }, e2e::waitTimeoutMs));
    expectDestination("D:\\Games\\Velkorin\\");
    typeFolderName("Games\\Velkorin\\");
    expectDestination("D:\\Games\\Velkorin\\");
    EXPECT_EQ("Games\\Velkorin\\", driver::controlText(install_, IDC_INSTALL_FOLDER_NAME));
    typeFolderName("");
    expectDestination("D:\\");

    ASSERT_TRUE(driver::click(install_, IDC_PROGRESS_START));
    EXPECT_EQ("", driver::expectMessage(install_, texts::captionWarning, texts::rootQuestion, IDYES));
    expectSuccessAndHandOver();
    EXPECT_EQ(testkit::readFile("Q:\\VELKORIN.EXE"), testkit::readFile("D:\\VELKORIN.EXE"));
    expectRecord("D:\\", 0);
}

TEST_F(FreshInstall, NameWithSeveralFaultsWarnsForEachThenReopensWithTheDefaults)
{
    openInstallDialogOnD(IDC_LEVEL_MINIMUM);
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_NE(0, driver::comboSelection(install_, IDC_INSTALL_DRIVE_LIST));
    typeFolderName("Orbek\\a*b?c");
    expectDestination("D:\\Orbek\\a*b?c\\");
    ASSERT_TRUE(driver::click(install_, IDC_PROGRESS_START));
    EXPECT_EQ("", driver::expectMessage(install_, texts::captionWarning, "インストール出来ない文字 * が含まれています。", IDOK));
    EXPECT_EQ("", driver::expectMessage(install_, texts::captionWarning, "インストール出来ない文字 ? が含まれています。", IDOK));

    HWND first = install_;
    driver::DialogQuery query = driver::byTitle(texts::captionSetup, installIds, setupPid());
    query.owner = first;
    install_ = driver::waitDialog(query);
    ASSERT_NE(nullptr, install_) << driver::describeWindows(setupPid());
    EXPECT_FALSE(driver::isVisible(first));
    EXPECT_EQ(0, driver::comboSelection(install_, IDC_INSTALL_DRIVE_LIST));
    EXPECT_EQ(defaultFolder, driver::controlText(install_, IDC_INSTALL_FOLDER_NAME));
    EXPECT_EQ(driver::comboItem(install_, IDC_INSTALL_DRIVE_LIST, 0) + defaultFolder,
              driver::controlText(install_, IDC_PROGRESS_DESTINATION));
    EXPECT_FALSE(driver::directoryExists("D:\\Orbek"));

    // ソ ends in the byte 5C, which is no backslash (the name "ソ" alone installs into "ソ\"):
    // the two typed after it are a pair, refused before anything is made.
    const std::string root = driver::comboItem(install_, IDC_INSTALL_DRIVE_LIST, 0);
    typeFolderName("ソ\\\\");
    expectDestination(root + "ソ\\\\");
    ASSERT_TRUE(driver::click(install_, IDC_PROGRESS_START));
    EXPECT_EQ("", driver::expectMessage(install_, texts::captionWarning, " \\ マークが連続しています。", IDOK));
    query.owner = install_;
    install_ = driver::waitDialog(query);
    ASSERT_NE(nullptr, install_) << driver::describeWindows(setupPid());
    EXPECT_EQ(defaultFolder, driver::controlText(install_, IDC_INSTALL_FOLDER_NAME));
    EXPECT_FALSE(driver::directoryExists(root + "ソ"));
    EXPECT_FALSE(driver::fileExists(root + "ソVELKORIN.EXE"));

    // Leaving it brings back the menu; the level choice ended when the first dialog opened.
    ASSERT_TRUE(driver::click(install_, IDC_PROGRESS_CANCEL));
    ASSERT_TRUE(driver::waitUntil([&] { return driver::isVisible(menu_); }, e2e::waitTimeoutMs));
    EXPECT_FALSE(IsWindow(choice_) && driver::isVisible(choice_));
    exitFromMenu(menu_);
}

namespace {

// A folder name whose characters end in the byte 5C, as the player types it, level by level:
// ソ 83 5C, 表 95 5C, 十 8F 5C, 予 97 5C, 能 94 5C. The install ends in a removal or a cancel.
struct TrailByteName {
    const char* label;
    std::vector<std::string> levels;
    bool cancel;
};

void PrintTo(const TrailByteName& name, std::ostream* out)
{
    *out << name.label;
}

class TrailByteNames : public FreshInstall, public ::testing::WithParamInterface<TrailByteName> {
protected:
    // Menu 105's removal of everything, told as done with no folder left to tell of.
    void removeAll()
    {
        HWND menu, dialog;
        startRemovingEverything(&menu, &dialog);
        ASSERT_FALSE(HasFatalFailure());
        EXPECT_EQ("", driver::expectMessage(menu, texts::captionSetup, "アンインストール終了しました。", IDOK));
        ASSERT_TRUE(waitMenu104(&menu));
        exitFromMenu(menu);
    }
};

}  // namespace

TEST_P(TrailByteNames, MakeAndRemoveExactlyTheLevelsTheNameHas)
{
    const TrailByteName& name = GetParam();
    std::string typed;
    for (const std::string& level : name.levels)
        typed += (typed.empty() ? "" : "\\") + level;
    const std::string dir = "D:\\" + typed + "\\";
    openInstallDialogOnD(IDC_LEVEL_MINIMUM);
    ASSERT_FALSE(HasFatalFailure());
    typeFolderName(typed);
    expectDestination(dir);
    ASSERT_TRUE(driver::whileHeld(install_, [&] {
        return driver::click(install_, IDC_PROGRESS_START) &&
               (!name.cancel || driver::click(install_, IDC_PROGRESS_CANCEL));
    }));
    if (name.cancel) {
        EXPECT_EQ("", driver::expectMessage(install_, texts::captionSetup, texts::confirmInstallCancel, IDYES));
        EXPECT_EQ("", driver::expectMessage(install_, texts::captionSetup, texts::installFailed, IDOK));
        HWND menu;
        ASSERT_TRUE(waitMenu104(&menu));
        EXPECT_EQ(std::vector<std::string>(), testkit::listFolder("D:\\"));
        exitFromMenu(menu);
        return;
    }

    expectSuccessAndHandOver();
    // Each level holds the next one alone: nothing made of half a character beside it.
    std::string parent = "D:\\";
    for (const std::string& level : name.levels) {
        EXPECT_EQ(std::vector<std::string>({level}), testkit::listFolder(parent)) << parent;
        parent += level + "\\";
    }
    expectInstalledFiles(dir, 0);
    expectRecord(dir, 0);
    removeAll();
    EXPECT_EQ(std::vector<std::string>(), testkit::listFolder("D:\\"));
}

INSTANTIATE_TEST_SUITE_P(Names, TrailByteNames,
                         ::testing::Values(TrailByteName{"SofutoHyoujiRemoved", {"ソフト", "表示", "VK"}, false},
                                           TrailByteName{"JuuyoNouCancelled", {"十予", "能", "VK"}, true},
                                           TrailByteName{"SoAloneRemoved", {"ソ"}, false}),
                         [](const ::testing::TestParamInfo<TrailByteName>& name) { return name.param.label; });

namespace {

class Browser : public FreshInstall {
protected:
    // A tree whose paths pass MAX_PATH through Z:, where the bench empties D:, goes through D:.
    void TearDown() override
    {
        FreshInstall::TearDown();
        if (!longTop_.empty()) {
            EXPECT_TRUE(testkit::deleteTree(longTop_));
        }
    }

    // Opens dialog 111 over the install dialog and finds its tree.
    void openBrowser()
    {
        ASSERT_TRUE(driver::click(install_, IDC_INSTALL_BROWSE));
        driver::DialogQuery query = driver::byTitle(texts::captionSetup, {IDOK, IDCANCEL}, setupPid());
        query.owner = install_;
        browser_ = driver::waitDialog(query, e2e::startTimeoutMs);
        ASSERT_NE(nullptr, browser_) << driver::describeWindows(setupPid());
        tree_ = driver::findChildByClass(browser_, "SysTreeView32");
        ASSERT_NE(nullptr, tree_);
    }

    void pick(const std::vector<std::string>& path)
    {
        HTREEITEM item = driver::treeFind(tree_, path);
        ASSERT_NE(nullptr, item) << driver::toUtf8(driver::treeDump(tree_));
        ASSERT_TRUE(driver::treeSelect(tree_, item));
    }

    void closeBrowserWith(int button)
    {
        if (button == 0)
            ASSERT_TRUE(driver::postClose(browser_));
        else
            ASSERT_TRUE(driver::click(browser_, button));
        ASSERT_TRUE(driver::waitGone(browser_));
    }

    // Opens the browser, picks path, closes it with button (0: the close box) and finds the
    // destination folder shown.
    void browseTo(const std::vector<std::string>& path, int button, const std::string& destination)
    {
        openBrowser();
        ASSERT_FALSE(HasFatalFailure());
        pick(path);
        closeBrowserWith(button);
        expectDestination(destination);
    }

    std::string rootItem()
    {
        char label[256] = "";
        GetVolumeInformationA("D:\\", label, sizeof label, nullptr, nullptr, nullptr, nullptr, 0);
        return std::string(label) + "(D:\\)";
    }

    HWND browser_ = nullptr;
    HWND tree_ = nullptr;
    std::string longTop_;
};

}  // namespace

TEST_F(Browser, ShowsPlainFoldersOnlyAndItsChoiceIsWhereTheGameGoes)
{
    ASSERT_TRUE(testkit::makeFolders("D:\\Plain\\Child"));
    ASSERT_TRUE(testkit::makeFolders("D:\\Hidden\\Inner"));
    ASSERT_TRUE(testkit::makeFolders("D:\\System\\Inner"));
    ASSERT_TRUE(SetFileAttributesA("D:\\Hidden", FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(SetFileAttributesA("D:\\System", FILE_ATTRIBUTE_SYSTEM));
    ASSERT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN), GetFileAttributesA("D:\\Hidden"));
    ASSERT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_SYSTEM), GetFileAttributesA("D:\\System"));
    openInstallDialogOnD(IDC_LEVEL_MINIMUM);
    ASSERT_FALSE(HasFatalFailure());

    openBrowser();
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(rootItem() + "\n  Plain\n    Child\n", driver::treeDump(tree_));
    // At 96 dpi the tree stands at 7, 7 and leaves 96 and 12 pixels of the client area.
    RECT client, tree;
    GetClientRect(browser_, &client);
    GetWindowRect(tree_, &tree);
    MapWindowPoints(nullptr, browser_, reinterpret_cast<POINT*>(&tree), 2);
    EXPECT_EQ(std::vector<LONG>({7, 7, 7 + client.right - 96, 7 + client.bottom - 12}),
              std::vector<LONG>({tree.left, tree.top, tree.right, tree.bottom}));
    pick({rootItem(), "Plain", "Child"});
    closeBrowserWith(IDOK);
    expectDestination("D:\\Plain\\Child\\Orbek\\VELKORIN\\");

    // Cancel brings back the choice made before the browser opened.
    browseTo({rootItem(), "Plain"}, IDCANCEL, "D:\\Plain\\Child\\Orbek\\VELKORIN\\");

    // The root item is the bare drive root; the close box keeps the choice.
    browseTo({rootItem()}, 0, "D:\\Orbek\\VELKORIN\\");

    // Another drive takes its own root as the base, even after a pick in the browser.
    browseTo({rootItem(), "Plain"}, IDOK, "D:\\Plain\\Orbek\\VELKORIN\\");
    const std::string other = driver::comboItem(install_, IDC_INSTALL_DRIVE_LIST, 0);
    ASSERT_NE("D:\\", other);
    selectDrive(other);
    selectDrive("D:\\");
    expectDestination("D:\\Orbek\\VELKORIN\\");

    browseTo({rootItem(), "Plain"}, IDOK, "D:\\Plain\\Orbek\\VELKORIN\\");
    ASSERT_TRUE(driver::click(install_, IDC_PROGRESS_START));
    expectSuccessAndHandOver();
    expectInstalledFiles("D:\\Plain\\Orbek\\VELKORIN\\", 0);
}

TEST_F(Browser, PathsPast255CharactersAreLeftOutWithTheirSubFolders)
{
    // D:\ and a folder of 120 characters below which one of 130 characters ends at 255 with its
    // backslash, and one of 131 would end at 256.
    const std::string top = "D:\\" + std::string(120, 'A');
    longTop_ = top;
    const std::string fits(130, 'B');
    const std::string tooLong(131, 'C');
    ASSERT_TRUE(testkit::makeFolders(top + "\\" + fits + "\\X"));
    ASSERT_TRUE(testkit::makeFolders(top + "\\" + tooLong + "\\Y"));
    openInstallDialogOnD(IDC_LEVEL_MINIMUM);
    ASSERT_FALSE(HasFatalFailure());
    openBrowser();
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(rootItem() + "\n  " + top.substr(3) + "\n    " + fits + "\n", driver::treeDump(tree_));
    pick({rootItem(), top.substr(3), fits});
    closeBrowserWith(IDOK);
    expectDestination(top + "\\" + fits + "\\" + defaultFolder);
}

TEST_F(Browser, MoreFoldersThanTheTablesHoldShowsTheUpperLevelsThatFit)
{
    // 2,600 folders at the root, one more level below the first: the root and 2,559 of them fill
    // the 2,560 entries, and nothing of the level below is reached.
    for (int i = 0; i < 2600; ++i)
        ASSERT_TRUE(CreateDirectoryA(("D:\\F" + std::to_string(10000 + i)).c_str(), nullptr)) << i;
    ASSERT_TRUE(CreateDirectoryA("D:\\F10000\\Below", nullptr));
    openInstallDialogOnD(IDC_LEVEL_MINIMUM);
    ASSERT_FALSE(HasFatalFailure());
    openBrowser();
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(2560, driver::treeCount(tree_));
    HTREEITEM root = driver::treeRoot(tree_);
    EXPECT_EQ(2559u, driver::treeChildren(tree_, root).size());
    for (HTREEITEM item : driver::treeChildren(tree_, root))
        EXPECT_TRUE(driver::treeChildren(tree_, item).empty()) << driver::treeItemText(tree_, item);
    // The last folder of the tables is a choice like any other.
    HTREEITEM last = driver::treeChildren(tree_, root).back();
    std::string name = driver::treeItemText(tree_, last);
    ASSERT_TRUE(driver::treeSelect(tree_, last));
    closeBrowserWith(IDOK);
    expectDestination("D:\\" + name + "\\" + defaultFolder);
}

TEST_F(FreshInstall, PlusKeyShowsTheWarningWhoseOkNeedsTheCdAndWhoseCloseBoxDoesNot)
{
    ASSERT_TRUE(testkit::ensureKey(HKEY_CURRENT_USER, e2e::plusKey));
    // Started from a second copy of the CD in P:, which can be taken out; the game CD stays in Q:.
    ASSERT_TRUE(testkit::insertDemoDisc('P', "DATA"));
    // The manifest is read from the current directory.
    ASSERT_TRUE(CopyFileA("P:\\setup.lst", "P:\\omake\\setup.lst", FALSE));
    ASSERT_TRUE(startSetupAt("P:\\setup.exe", "P:\\omake"));
    ASSERT_TRUE(waitMenu104(&menu_));
    ASSERT_TRUE(driver::click(menu_, IDC_MENU_INSTALL));
    ASSERT_TRUE(waitSetupDialog(&choice_, levelIds));
    chooseLevel(IDC_LEVEL_MINIMUM);
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(driver::click(install_, IDC_PROGRESS_START));
    HWND offer;
    ASSERT_TRUE(waitSetupDialog(&offer, {IDC_SHORTCUT_YES, IDC_SHORTCUT_NO}, e2e::startTimeoutMs));
    ASSERT_TRUE(driver::click(offer, IDC_SHORTCUT_NO));
    EXPECT_EQ("", driver::expectMessage(install_, texts::captionSetup, texts::installDone, IDOK, e2e::startTimeoutMs));

    HWND warning;
    ASSERT_TRUE(waitSetupDialog(&warning, {IDC_PLUS_OK}, e2e::waitTimeoutMs, texts::captionPlus));
    EXPECT_EQ(install_, GetWindow(warning, GW_OWNER));
    ASSERT_TRUE(testkit::removeDisc('P'));
    ASSERT_TRUE(driver::click(warning, IDC_PLUS_OK));
    EXPECT_EQ("", driver::expectMessage(warning, texts::captionWarning, texts::cdMissing, IDOK));
    EXPECT_TRUE(driver::isVisible(warning));
    ASSERT_TRUE(driver::postClose(warning));
    EXPECT_TRUE(driver::waitGone(warning));
    // The record is complete: the updater is started from the setup's folder, where there is none.
    EXPECT_TRUE(waitSetupExit());
    EXPECT_TRUE(standinCalls().empty());
}

namespace {

// A manifest that breaks the reading rules, and what an install of the minimum level from it
// does: the messages in their order, and the files the install folder then holds.
struct BrokenManifest {
    std::string name;
    std::string content;
    std::vector<std::string> told;
    std::vector<std::string> installed;
};

void PrintTo(const BrokenManifest& manifest, std::ostream* out)
{
    *out << manifest.name;
}

const char headerMinimum[] = "[最小]\r\n";

std::string sectionOf(const std::string& count, const std::string& files)
{
    return headerMinimum + count + "\r\n\r\n\r\n" + files;
}

std::string garbage()
{
    std::string bytes;
    unsigned state = 12345;
    for (int i = 0; i < 4096; ++i) {
        state = state * 1103515245u + 12345u;
        char c = static_cast<char>(state >> 16);
        // No header can start by chance.
        bytes += c == '[' ? ']' : c;
    }
    return bytes;
}

std::string manyGroups(std::vector<std::string>* installed)
{
    std::string groups;
    for (int i = 0; i < 2000; ++i) {
        char folder[16];
        std::snprintf(folder, sizeof folder, "g%04d\\", i);
        groups += std::string("\\\r\n\r\n") + folder + "\r\ntiny.dat\r\n";
        installed->push_back(std::string(folder) + "tiny.dat");
    }
    return sectionOf("2000", "VELKORIN.EXE\r\n" + groups + "[END]\r\n");
}

std::vector<BrokenManifest> brokenManifests()
{
    std::vector<std::string> groupFiles = {"VELKORIN.EXE"};
    std::string groups = manyGroups(&groupFiles);
    return {
        {"CountZero", sectionOf("0", "VELKORIN.EXE\r\n[END]\r\n"), {texts::installFailed}, {}},
        {"CountNegative", sectionOf("-3", "VELKORIN.EXE\r\n[END]\r\n"), {texts::installFailed}, {}},
        {"CountNoNumber", sectionOf("abc", "VELKORIN.EXE\r\n[END]\r\n"), {texts::installFailed}, {}},
        {"NoEnd", sectionOf("1", "VELKORIN.EXE\r\n"), {texts::installDone}, {"VELKORIN.EXE"}},
        {"HeaderOnly", headerMinimum, {texts::installFailed}, {}},
        // Read as a piece of 254 characters, whose path from the CD root is past 255.
        {"LineOf300", sectionOf("1", std::string(300, 'A') + "\r\nVELKORIN.EXE\r\n[END]\r\n"),
         {"エラーコード 206", texts::installFailed}, {}},
        {"Garbage", garbage(), {texts::installFailed}, {}},
        // The name ends at the NUL byte as the file system takes it.
        {"NulByte", sectionOf("1", std::string("VELKORIN.EXE\0junk\r\n", 19) + "[END]\r\n"), {texts::installDone},
         {"VELKORIN.EXE"}},
        {"LoneCtrlZ", "\x1A", {texts::installFailed}, {}},
        {"TwoThousandGroups", groups, {texts::installDone}, groupFiles},
    };
}

class BrokenManifestOnTheCd : public FreshInstall, public ::testing::WithParamInterface<BrokenManifest> {};

}  // namespace

TEST_P(BrokenManifestOnTheCd, EndsAsTheReadingRulesSayAndWritesOnlyIntoTheInstallFolder)
{
    const BrokenManifest& manifest = GetParam();
    ASSERT_TRUE(testkit::writeFile("Q:\\setup.lst", manifest.content));
    ASSERT_TRUE(testkit::writeFile("Q:\\tiny.dat", "tiny"));
    const std::vector<std::string> cdBefore = testkit::listFilesBelow("Q:\\");
    const std::vector<std::string> rootBefore = testkit::listFolder("C:\\");
    openInstallDialog(IDC_LEVEL_MINIMUM);
    ASSERT_FALSE(HasFatalFailure());
    const std::string dir = "C:\\" + std::string(defaultFolder);
    ASSERT_EQ(dir, driver::controlText(install_, IDC_PROGRESS_DESTINATION));
    ASSERT_TRUE(driver::click(install_, IDC_PROGRESS_START));

    // Every message is answered as it comes; the run ends in a new menu 104 or, complete, in
    // the hand-over to the updater.
    std::vector<std::string> told;
    HWND menu = nullptr;
    ASSERT_TRUE(driver::waitUntil(
        [&] {
            if (HWND box = driver::findProcessMessageBox(setupPid())) {
                told.push_back(driver::messageText(box));
                driver::answer(box, IDOK);
                driver::waitGone(box);
                return false;
            }
            if (HWND offer = driver::findDialog(driver::byIds({IDC_SHORTCUT_YES, IDC_SHORTCUT_NO}, setupPid()))) {
                driver::click(offer, IDC_SHORTCUT_NO);
                driver::waitGone(offer);
                return false;
            }
            menu = driver::findDialog(driver::byIds({IDC_MENU_INSTALL, IDC_MENU_EXIT}, setupPid()));
            if (menu == menu_)
                menu = nullptr;
            return menu != nullptr || !setupProcess().running();
        },
        3 * e2e::startTimeoutMs))
        << driver::describeWindows(setupPid());
    std::vector<std::string> toldUtf8, expectedUtf8;
    for (const std::string& text : told)
        toldUtf8.push_back(driver::toUtf8(text));
    for (const std::string& text : manifest.told)
        expectedUtf8.push_back(driver::toUtf8(text));
    EXPECT_EQ(expectedUtf8, toldUtf8);
    if (manifest.told.back() == texts::installFailed) {
        ASSERT_NE(nullptr, menu);
        exitFromMenu(menu);
    } else {
        EXPECT_TRUE(waitSetupExit());
        expectRecord(dir, 0);
    }

    std::vector<std::string> expected = manifest.installed;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(expected, testkit::listFilesBelow(dir));
    // New at the top of C: only the install folder's chain, and the stand-ins' log of the hand-over.
    for (const std::string& name : testkit::listFolder("C:\\")) {
        if (std::find(rootBefore.begin(), rootBefore.end(), name) == rootBefore.end()) {
            EXPECT_TRUE(name == "Orbek" || "C:\\" + name == testkit::standinLogPath()) << name;
        }
    }
    for (const std::string& name : testkit::listFolder("C:\\Orbek"))
        EXPECT_EQ("VELKORIN", name);
    EXPECT_EQ(cdBefore, testkit::listFilesBelow("Q:\\"));
}

INSTANTIATE_TEST_SUITE_P(Corpus, BrokenManifestOnTheCd, ::testing::ValuesIn(brokenManifests()),
                         [](const ::testing::TestParamInfo<BrokenManifest>& manifest) { return manifest.param.name; });
