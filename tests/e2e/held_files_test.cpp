// Files of the installation that cannot go: held open by another process without sharing during
// the rollback of a cancelled upgrade and during a removal, and the player's read-only and hidden
// files. Each is told as the program tells it, nothing is reported done that was not, and every
// other file is still handled.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "e2e_fixture.h"
#include "resources/resource.h"
#include "setup_texts.h"

namespace {

using e2e::SetupE2E;

const char installDir[] = "D:\\Orbek\\VELKORIN\\";

// Another process's handle on a file, opened without any sharing, closed at the end of scope.
class HeldFile {
public:
    explicit HeldFile(const std::string& path)
        : handle_(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr))
    {
    }
    ~HeldFile()
    {
        if (held())
            CloseHandle(handle_);
    }
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;
    bool held() const { return handle_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE handle_;
};

std::map<std::string, std::string> filesBelow(const std::string& dir)
{
    std::map<std::string, std::string> files;
    for (const std::string& name : testkit::listFilesBelow(dir))
        files[name] = testkit::readFile(dir + name);
    return files;
}

class HeldFiles : public SetupE2E {
protected:
    // The level's files (each holding its own name) and extra, the record, and menu 105.
    void openMenuOver(int level, const std::vector<std::string>& extra)
    {
        std::vector<std::string> files = gameFiles(level);
        ASSERT_FALSE(files.empty());
        files.insert(files.end(), extra.begin(), extra.end());
        ASSERT_TRUE(testkit::seedInstallation(installDir, files));
        ASSERT_TRUE(testkit::writeRecord(installDir, level));
        ASSERT_TRUE(startSetup());
        ASSERT_TRUE(waitMenu105(&menu_));
    }

    void exitFrom(HWND menu)
    {
        ASSERT_TRUE(driver::click(menu, IDC_MENU_EXIT));
        EXPECT_EQ("", driver::expectMessage(menu, texts::captionSetup, texts::confirmExit, IDYES));
        EXPECT_TRUE(waitSetupExit());
    }

    HWND menu_ = nullptr;
};

}  // namespace

// The rollback deletes every other file the upgrade copied and tells of the one held open; the
// upgrade is told as failed and the record keeps the old level.
TEST_F(HeldFiles, CancelledUpgradeTellsOfTheHeldCopyAndDeletesEveryOther)
{
    openMenuOver(0, {"SAVE0.DAT"});
    std::map<std::string, std::string> before = filesBelow(installDir);
    ASSERT_TRUE(driver::click(menu_, IDC_MENU_INSTALL));
    HWND choice, upgrade;
    ASSERT_TRUE(waitSetupDialog(&choice, {IDC_LEVEL_STANDARD, IDC_LEVEL_FULL}));
    ASSERT_TRUE(driver::click(choice, IDC_LEVEL_STANDARD));
    ASSERT_TRUE(waitSetupDialog(&upgrade, {IDC_PROGRESS_START, IDC_PROGRESS_BAR}, e2e::waitTimeoutMs,
                                texts::captionSetup, {IDC_INSTALL_DRIVE_LIST}));

    // The close behind Start stops the copy after its first file; from there it goes on one file
    // at a time until the upgrade has copied three.
    ASSERT_TRUE(driver::whileHeld(upgrade, [&] {
        return driver::click(upgrade, IDC_PROGRESS_START) && driver::postClose(upgrade);
    }));
    HWND box = driver::waitMessageBox(upgrade);
    ASSERT_NE(nullptr, box) << driver::describeWindows(setupPid());
    std::vector<std::string> copied;
    for (int files = 1;; ++files) {
        ASSERT_EQ(texts::confirmUpgradeCancel, driver::messageText(box));
        copied.clear();
        for (const auto& file : filesBelow(installDir))
            if (!before.count(file.first))
                copied.push_back(file.first);
        ASSERT_LE(copied.size(), static_cast<size_t>(files));
        if (copied.size() == 3)
            break;
        ASSERT_TRUE(e2e::resumeForOneFile(box, upgrade, &box));
    }
    const std::string held = copied[1];
    {
        // Held only while the rollback runs, so that its contents can be read afterwards.
        HeldFile hold(installDir + held);
        ASSERT_TRUE(hold.held()) << GetLastError();
        ASSERT_TRUE(driver::answer(box, IDYES));
        ASSERT_TRUE(driver::waitGone(box));
        EXPECT_EQ("", driver::expectMessage(upgrade, texts::defaultCaption, installDir + held + " ファイル消去失敗", IDOK));
        EXPECT_EQ("", driver::expectMessage(upgrade, texts::defaultCaption, "D:\\Orbek\\VELKORIN フォルダ消去失敗", IDOK));
        EXPECT_EQ("", driver::expectMessage(upgrade, texts::defaultCaption, "D:\\Orbek フォルダ消去失敗", IDOK));
        EXPECT_EQ("", driver::expectMessage(upgrade, texts::captionSetup, texts::upgradeFailed, IDOK));
    }
    HWND menu;
    ASSERT_TRUE(waitMenu105(&menu));

    std::map<std::string, std::string> expected = before;
    expected[held] = testkit::readFile("Q:\\" + held);
    EXPECT_EQ(expected, filesBelow(installDir));
    EXPECT_EQ(testkit::dwordBytes(0), testkit::readRecordValue("set").data);
    EXPECT_TRUE(standinCalls().empty());
    exitFrom(menu);
}

// A removal of everything: a game file held open in the install folder and one in "voice", the
// player's read-only and hidden files beside them, and a save made read-only. Windows and Wine
// both refuse DeleteFileA on a read-only file (5), so what is asserted holds on both.
TEST_F(HeldFiles, RemovalLeavesHeldReadOnlyAndHiddenFilesAndTheFoldersThatHoldThem)
{
    const std::string dir = installDir;
    const std::vector<std::string> players = {"memo.txt", "notes.txt", "voice\\mine.wav"};
    openMenuOver(2, {"SAVE0.DAT", "SAVE1.DAT", "memo.txt", "notes.txt", "voice\\mine.wav"});
    ASSERT_TRUE(SetFileAttributesA((dir + "memo.txt").c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(SetFileAttributesA((dir + "notes.txt").c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(SetFileAttributesA((dir + "voice\\mine.wav").c_str(),
                                   FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(SetFileAttributesA((dir + "SAVE0.DAT").c_str(), FILE_ATTRIBUTE_READONLY));
    HeldFile holdMain(dir + "SE.DAT");
    HeldFile holdVoice(dir + "voice\\VALL00.DAT");
    ASSERT_TRUE(holdMain.held() && holdVoice.held()) << GetLastError();

    ASSERT_TRUE(driver::click(menu_, IDC_MENU_UNINSTALL));
    HWND dialog;
    ASSERT_TRUE(waitSetupDialog(&dialog, {IDC_UNINSTALL_START, IDC_UNINSTALL_DELETE_ALL}));
    ASSERT_TRUE(driver::click(dialog, IDC_UNINSTALL_START));
    EXPECT_EQ("", driver::expectMessage(dialog, "警告", texts::confirmDeleteSaves, IDYES));
    EXPECT_EQ("", driver::expectMessage(dialog, texts::defaultCaption,
                                        dir + "voice フォルダ消去失敗。ゲーム以外のファイルがあるおそれがあります。",
                                        IDOK));
    EXPECT_EQ("", driver::expectMessage(dialog, texts::defaultCaption, dir + "voice フォルダ消去失敗", IDOK));
    EXPECT_EQ("", driver::expectMessage(dialog, texts::defaultCaption, "D:\\Orbek\\VELKORIN フォルダ消去失敗", IDOK));
    EXPECT_EQ("", driver::expectMessage(dialog, texts::defaultCaption, "D:\\Orbek フォルダ消去失敗", IDOK));
    EXPECT_EQ("", driver::expectMessage(menu_, texts::captionSetup, texts::uninstallDone, IDOK));
    HWND menu;
    ASSERT_TRUE(waitMenu104(&menu));

    EXPECT_EQ(std::vector<std::string>({"SAVE0.DAT", "SE.DAT", "memo.txt", "notes.txt", "voice\\VALL00.DAT",
                                        "voice\\mine.wav"}),
              testkit::listFilesBelow(dir));
    for (const std::string& name : players)
        EXPECT_EQ(name, testkit::readFile(dir + name)) << name;
    EXPECT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_READONLY),
              GetFileAttributesA((dir + "memo.txt").c_str()) & FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN),
              GetFileAttributesA((dir + "notes.txt").c_str()) & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_FALSE(driver::directoryExists(dir + "midi"));
    EXPECT_FALSE(testkit::keyExists(HKEY_CURRENT_USER, testkit::makerKey));
    EXPECT_FALSE(driver::directoryExists(testkit::programsFolder() + "\\Orbek"));
    exitFrom(menu);
}
