// Upgrading a hand-seeded installation in place from the real program's menu 105: the level
// choices 112-114, the room on the installation's drive, and the upgrade dialog 115 through
// success, cancel and a failed copy.

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "e2e_fixture.h"
#include "resources/resource.h"
#include "setup_texts.h"

namespace {

using e2e::SetupE2E;

const char installDir[] = "D:\\Orbek\\VELKORIN\\";
const char smallDiskInstallDir[] = "E:\\Orbek\\VELKORIN\\";

// Files of the player's that no level of the game names.
const std::vector<std::string> playersFiles = {"SAVE0.DAT", "memo.txt"};

// Every file below dir, by its name relative to dir, with its contents.
void collectFiles(const std::string& dir, const std::string& prefix, std::map<std::string, std::string>& out)
{
    for (const std::string& name : testkit::listFolder(dir + prefix)) {
        std::string relative = prefix + name;
        if (driver::directoryExists(dir + relative))
            collectFiles(dir, relative + "\\", out);
        else
            out[relative] = testkit::readFile(dir + relative);
    }
}

std::map<std::string, std::string> snapshot(const std::string& dir)
{
    std::map<std::string, std::string> files;
    collectFiles(dir, "", files);
    return files;
}

std::string folderFailure(const std::string& folder)
{
    return folder + " フォルダ消去失敗";
}

class Upgrade : public SetupE2E {
protected:
    // An installation of level in dir_: the level's game files, each holding its own name (so
    // that a copy from the CD over one would show), the player's files and extra, the record,
    // and menu 105 over it.
    void openMenuOver(int level, const std::vector<std::string>& extra = {})
    {
        std::vector<std::string> files = gameFiles(level);
        ASSERT_FALSE(files.empty());
        files.insert(files.end(), playersFiles.begin(), playersFiles.end());
        files.insert(files.end(), extra.begin(), extra.end());
        ASSERT_TRUE(testkit::seedInstallation(dir_, files));
        ASSERT_TRUE(testkit::writeRecord(dir_, level));
        before_ = snapshot(dir_);
        ASSERT_TRUE(startSetup());
        ASSERT_TRUE(waitMenu105(&menu_));
    }

    // Re-install opens the level choice of level over the hidden menu; the choices are told
    // apart by their buttons.
    void openChoice(HWND menu, int level, HWND* choice)
    {
        std::vector<int> ids, absent;
        switch (level) {
        case 0:
            ids = {IDC_LEVEL_STANDARD, IDC_LEVEL_FULL};
            absent = {IDC_UPGRADE_BACK};
            break;
        case 1:
            ids = {IDC_LEVEL_FULL};
            absent = {IDC_LEVEL_STANDARD, IDC_UPGRADE_BACK};
            break;
        default:
            ids = {IDC_UPGRADE_BACK};
            absent = {IDC_LEVEL_STANDARD, IDC_LEVEL_FULL};
            break;
        }
        ids.push_back(IDC_UPGRADE_INSTALLED_FOLDER);
        ASSERT_TRUE(driver::click(menu, IDC_MENU_INSTALL));
        ASSERT_TRUE(waitSetupDialog(choice, ids, e2e::waitTimeoutMs, texts::captionSetup, absent));
        EXPECT_FALSE(driver::isVisible(menu));
        EXPECT_EQ(dir_, driver::controlText(*choice, IDC_UPGRADE_INSTALLED_FOLDER));
    }

    // A level button opens the upgrade dialog, which ends the level choice when the drive has
    // room; it shows the folder and the requirement of the upgrade.
    void openUpgrade(HWND choice, int button, const std::string& required, HWND* upgrade)
    {
        ASSERT_TRUE(driver::click(choice, button));
        ASSERT_TRUE(waitSetupDialog(upgrade, {IDC_PROGRESS_START, IDC_PROGRESS_CANCEL, IDC_PROGRESS_BAR},
                                    e2e::waitTimeoutMs, texts::captionSetup, {IDC_INSTALL_DRIVE_LIST}));
        EXPECT_TRUE(driver::waitHidden(choice, e2e::waitTimeoutMs));
        EXPECT_FALSE(driver::isVisible(menu_));
        EXPECT_EQ(dir_, driver::controlText(*upgrade, IDC_PROGRESS_DESTINATION));
        EXPECT_EQ(required, driver::controlText(*upgrade, IDC_PROGRESS_REQUIRED));
        EXPECT_EQ("0 %", driver::controlText(*upgrade, IDC_PROGRESS_PERCENT));
        EXPECT_EQ(0, driver::progressPos(*upgrade, IDC_PROGRESS_BAR));
        std::string freeSpace = driver::controlText(*upgrade, IDC_PROGRESS_FREE_SPACE);
        const std::string unit = " メガバイト";
        EXPECT_TRUE(freeSpace.size() > unit.size() &&
                    freeSpace.compare(freeSpace.size() - unit.size(), unit.size(), unit) == 0)
            << driver::quote(freeSpace);
    }

    // The choice closed, gone (so that the next search cannot find it) and the menu back.
    void closeChoice(HWND choice, HWND menu)
    {
        ASSERT_TRUE(driver::postClose(choice));
        EXPECT_TRUE(driver::waitGone(choice, e2e::waitTimeoutMs));
        expectMenuBack(menu);
    }

    // After a failed or cancelled upgrade of a minimum installation: a new menu 105 over the files
    // and the record as they were, nothing started; its choice still offers the upgrade.
    void expectMinimumAsBefore()
    {
        HWND menu;
        ASSERT_TRUE(waitMenu105(&menu));
        EXPECT_NE(menu_, menu);
        EXPECT_EQ(before_, snapshot(dir_));
        expectRecordedLevel(0);
        EXPECT_TRUE(standinCalls().empty());
        menu_ = menu;
        reopenCloseAndLeave(0);
    }

    // The choice over level opened once more and closed, the setup left: the record keeps the
    // level.
    void reopenCloseAndLeave(int level)
    {
        HWND choice;
        openChoice(menu_, level, &choice);
        closeChoice(choice, menu_);
        exitFrom(menu_);
        expectRecordedLevel(level);
    }

    void expectMenuBack(HWND menu)
    {
        EXPECT_TRUE(driver::waitUntil([&] { return driver::isVisible(menu) && driver::isEnabled(menu); },
                                      e2e::waitTimeoutMs))
            << driver::describeWindows(setupPid());
    }

    void expectRecordedLevel(int level)
    {
        EXPECT_EQ(testkit::dwordBytes(static_cast<DWORD>(level)), testkit::readRecordValue("set").data);
        // Stored without a terminator; Wine's store hands one back, Windows does not.
        EXPECT_STREQ(dir_.c_str(), testkit::readRecordValue("dir").data.c_str());
    }

    // The game files of level are all there: those seeded before unchanged, the others copied
    // from the CD (whose folders differ from the installed ones only in case).
    void expectInstalled(int level)
    {
        std::map<std::string, std::string> now = snapshot(dir_);
        for (const std::string& name : gameFiles(level)) {
            auto seeded = before_.find(name);
            std::string expected = seeded != before_.end() ? seeded->second
                                                           : testkit::readFile(testkit::demoCdFolder() + "\\" + name);
            EXPECT_EQ(expected, now[name]) << name;
        }
        for (const auto& file : before_)
            EXPECT_EQ(file.second, now[file.first]) << file.first;
    }

    void expectUpdaterStarted(size_t calls)
    {
        EXPECT_TRUE(expectStandinCall(calls, "UPDATE.EXE", "Q:\\UPDATE.EXE", "Q:\\"));
    }

    void exitFrom(HWND menu)
    {
        ASSERT_TRUE(driver::click(menu, IDC_MENU_EXIT));
        EXPECT_EQ("", driver::expectMessage(menu, texts::captionSetup, texts::confirmExit, IDYES));
        EXPECT_TRUE(waitSetupExit());
    }

    std::string dir_ = installDir;
    std::map<std::string, std::string> before_;
    HWND menu_ = nullptr;
};

}  // namespace

TEST_F(Upgrade, MinimumOffersStandardAndFullAndClosingKeepsTheLevel)
{
    openMenuOver(0);
    HWND choice;
    openChoice(menu_, 0, &choice);
    // Esc becomes IDCANCEL through the dialog manager. It is handled before the level button
    // below, which could not open the upgrade dialog from an ended choice.
    HWND button = GetDlgItem(choice, IDC_LEVEL_STANDARD);
    ASSERT_TRUE(PostMessageA(button, WM_KEYDOWN, VK_ESCAPE, 0x00010001));
    ASSERT_TRUE(PostMessageA(button, WM_KEYUP, VK_ESCAPE, 0xC0010001));

    // A level tried and backed out of before Start leaves the recorded level in force.
    HWND upgrade;
    openUpgrade(choice, IDC_LEVEL_STANDARD, "86 メガバイト", &upgrade);
    ASSERT_TRUE(driver::click(upgrade, IDC_PROGRESS_CANCEL));
    EXPECT_TRUE(driver::waitGone(upgrade, e2e::waitTimeoutMs));
    expectMenuBack(menu_);
    EXPECT_EQ(nullptr, driver::findProcessMessageBox(setupPid()));

    openChoice(menu_, 0, &choice);
    closeChoice(choice, menu_);
    reopenCloseAndLeave(0);
    EXPECT_EQ(before_, snapshot(dir_));
}

TEST_F(Upgrade, StandardOffersOnlyFullAndTheCloseBoxKeepsTheLevel)
{
    openMenuOver(1);
    HWND choice;
    openChoice(menu_, 1, &choice);
    closeChoice(choice, menu_);
    reopenCloseAndLeave(1);
}

TEST_F(Upgrade, FullOffersOnlyBackWhichKeepsTheLevel)
{
    openMenuOver(2);
    HWND choice;
    openChoice(menu_, 2, &choice);
    ASSERT_TRUE(driver::click(choice, IDC_UPGRADE_BACK));
    EXPECT_TRUE(driver::waitGone(choice, e2e::waitTimeoutMs));
    expectMenuBack(menu_);
    openChoice(menu_, 2, &choice);
    ASSERT_TRUE(driver::click(choice, IDC_UPGRADE_BACK));
    expectMenuBack(menu_);
    exitFrom(menu_);
    expectRecordedLevel(2);
}

// The room is asked of the installation's own drive, the 4 MB disk E:, whatever D: has free.
// The exact boundary (free space equal to the requirement is enough, a byte less is not) cannot
// be laid out on a drive: every drive reports its free space in whole 4096-byte blocks, and no
// upgrade requirement is a multiple of 4096. The Win32 tests hold that boundary of the room
// check on E:.
TEST_F(Upgrade, TooLittleRoomOnTheInstallationsDriveKeepsTheLevelChoice)
{
    if (!std::getenv("VK_SMALL_DISK"))
        GTEST_SKIP() << "E: is not a small disk of its own on this bench";
    dir_ = smallDiskInstallDir;
    openMenuOver(0);
    HWND choice;
    openChoice(menu_, 0, &choice);
    for (int button : {IDC_LEVEL_STANDARD, IDC_LEVEL_FULL}) {
        ASSERT_TRUE(driver::click(choice, button));
        // Owned by the upgrade dialog, which never shows.
        EXPECT_EQ("", driver::expectProcessMessage(setupPid(), texts::defaultCaption, texts::noRoom, IDOK));
        // Back at the level choice, with the menu shown behind it (disabled, as the choice's owner).
        EXPECT_TRUE(driver::waitUntil([&] { return driver::isVisible(menu_); }, e2e::waitTimeoutMs));
        EXPECT_TRUE(driver::waitUntil([&] { return driver::isEnabled(choice); }, e2e::waitTimeoutMs));
        EXPECT_TRUE(driver::isVisible(choice));
        EXPECT_EQ(nullptr, driver::findDialog(driver::byIds({IDC_PROGRESS_START}, setupPid())));
    }
    closeChoice(choice, menu_);
    reopenCloseAndLeave(0);
    EXPECT_EQ(before_, snapshot(dir_));
}

// Minimum to standard with the shortcut missing, then standard to full with it there and
// Microsoft Plus! present; the menu serves the new level after each.
TEST_F(Upgrade, MinimumToStandardToFullAddsTheFilesAndKeepsEveryOther)
{
    const std::string shortcut = testkit::programsFolder() + "\\Orbek\\Velkorin.lnk";
    openMenuOver(0);
    HWND choice, upgrade;
    openChoice(menu_, 0, &choice);
    openUpgrade(choice, IDC_LEVEL_STANDARD, "86 メガバイト", &upgrade);
    // A close during the copy asks; No lets the copy go on.
    ASSERT_TRUE(driver::whileHeld(upgrade, [&] {
        return driver::click(upgrade, IDC_PROGRESS_START) && driver::postClose(upgrade);
    }));
    EXPECT_EQ("", driver::expectMessage(upgrade, texts::captionSetup, texts::confirmUpgradeCancel, IDNO));
    HWND offer;
    ASSERT_TRUE(waitSetupDialog(&offer, {IDC_SHORTCUT_YES, IDC_SHORTCUT_NO}, e2e::waitTimeoutMs));
    EXPECT_FALSE(driver::isVisible(upgrade));
    ASSERT_TRUE(driver::click(offer, IDC_SHORTCUT_YES));
    EXPECT_EQ("", driver::expectMessage(upgrade, texts::captionSetup, texts::upgradeDone, IDOK));
    expectUpdaterStarted(1);
    expectMenuBack(menu_);
    EXPECT_TRUE(driver::fileExists(shortcut));
    expectRecordedLevel(1);
    expectInstalled(1);
    EXPECT_FALSE(driver::directoryExists(dir_ + "voice"));

    // The shortcut is there now: no offer, straight to the result.
    ASSERT_TRUE(testkit::ensureKey(HKEY_CURRENT_USER, e2e::plusKey));
    openChoice(menu_, 1, &choice);
    openUpgrade(choice, IDC_LEVEL_FULL, "293 メガバイト", &upgrade);
    ASSERT_TRUE(driver::click(upgrade, IDC_PROGRESS_START));
    EXPECT_EQ("", driver::expectMessage(upgrade, texts::captionSetup, texts::upgradeDone, IDOK));
    HWND plus;
    ASSERT_TRUE(waitSetupDialog(&plus, {IDC_PLUS_OK}, e2e::waitTimeoutMs, texts::captionPlus));
    EXPECT_EQ(upgrade, GetWindow(plus, GW_OWNER));
    EXPECT_EQ(1u, standinCalls().size());
    ASSERT_TRUE(driver::click(plus, IDC_PLUS_OK));
    expectUpdaterStarted(2);
    expectMenuBack(menu_);
    expectRecordedLevel(2);
    expectInstalled(2);

    openChoice(menu_, 2, &choice);
    ASSERT_TRUE(driver::click(choice, IDC_UPGRADE_BACK));
    expectMenuBack(menu_);
    exitFrom(menu_);
}

// Start twice and a close: the second Start comes in through the copy's own message pump and is
// turned away, the close asks, and Yes rolls the upgrade back.
TEST_F(Upgrade, CancelledMinimumToFullLeavesTheMinimumInstallation)
{
    // A file of the full level the player has already: it is present before, so it stays.
    openMenuOver(0, {"KAO.DAT"});
    HWND choice, upgrade;
    openChoice(menu_, 0, &choice);
    openUpgrade(choice, IDC_LEVEL_FULL, "380 メガバイト", &upgrade);
    ASSERT_TRUE(driver::whileHeld(upgrade, [&] {
        return driver::click(upgrade, IDC_PROGRESS_START) &&
               driver::postCommand(upgrade, IDC_PROGRESS_START, BN_CLICKED) && driver::postClose(upgrade);
    }));
    EXPECT_EQ("", driver::expectMessage(upgrade, texts::captionSetup, texts::confirmUpgradeCancel, IDYES));
    // The rollback's removal of emptied folders tells of the folders that hold files still.
    EXPECT_EQ("", driver::expectMessage(upgrade, texts::defaultCaption, folderFailure("D:\\Orbek\\VELKORIN"), IDOK));
    EXPECT_EQ("", driver::expectMessage(upgrade, texts::defaultCaption, folderFailure("D:\\Orbek"), IDOK));
    EXPECT_EQ("", driver::expectMessage(upgrade, texts::captionSetup, texts::upgradeFailed, IDOK));

    expectMinimumAsBefore();
}

// A voice file missing on the CD stops the copy after the root files and the voices before it.
TEST_F(Upgrade, FailedMinimumToFullRemovesWhatItCopied)
{
    ASSERT_TRUE(DeleteFileA((testkit::discFolder('Q') + "\\VOICE\\VALL15.DAT").c_str()));
    openMenuOver(0, {"KAO.DAT"});
    HWND choice, upgrade;
    openChoice(menu_, 0, &choice);
    openUpgrade(choice, IDC_LEVEL_FULL, "380 メガバイト", &upgrade);
    ASSERT_TRUE(driver::click(upgrade, IDC_PROGRESS_START));
    EXPECT_EQ("", driver::expectMessage(upgrade, texts::defaultCaption, "エラーコード 2", IDOK));
    EXPECT_EQ("", driver::expectMessage(upgrade, texts::defaultCaption, folderFailure("D:\\Orbek\\VELKORIN"), IDOK));
    EXPECT_EQ("", driver::expectMessage(upgrade, texts::defaultCaption, folderFailure("D:\\Orbek"), IDOK));
    EXPECT_EQ("", driver::expectMessage(upgrade, texts::captionSetup, texts::upgradeFailed, IDOK));

    EXPECT_FALSE(driver::directoryExists(dir_ + "voice"));
    expectMinimumAsBefore();
}
