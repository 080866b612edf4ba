// A player's journey with the real program, one run of the setup each: a fresh install from menu
// 104, an upgrade and a removal from menu 105, and what each leaves on disk, in the registry and
// in the Start menu. The journey tests of every system and disc share the steps; walk() is the
// whole journey from the CD in Q:, whichever disc the test put there.
#ifndef VK_E2E_JOURNEY_H
#define VK_E2E_JOURNEY_H

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "e2e_fixture.h"
#include "resources/resource.h"

namespace e2e {

class Journey : public SetupE2E {
protected:
    static constexpr const char firstDir[] = "D:\\Orbek\\VELKORIN\\";
    static constexpr const char secondDir[] = "D:\\Games\\Velkorin\\";
    static constexpr const char saveName[] = "SAVE0.DAT";
    static constexpr const char saveBytes[] = "chapter 3, with the key";
    static constexpr const char playerNote[] = "memo.txt";

    // The whole journey, from the CD in Q:.
    void walk()
    {
        // 1. A minimum install on D:, with the shortcut.
        HWND install;
        freshInstall(IDC_LEVEL_MINIMUM, "Orbek\\VELKORIN\\", &install);
        ASSERT_FALSE(HasFatalFailure());
        finishFreshInstall(install);
        expectFiles(firstDir, 0, {});
        expectRecord(firstDir, 0);
        EXPECT_TRUE(shortcutExists());
        noteState("1. minimum installed");

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
        ASSERT_TRUE(testkit::writeFile(std::string(firstDir) + saveName, saveBytes));
        ASSERT_TRUE(testkit::writeFile(std::string(firstDir) + playerNote, "the player's own"));
        noteState("2. game started, one save, a note");

        // 3. and 4. Upgrades to standard and to full, in place.
        upgrade(IDC_LEVEL_STANDARD, firstDir);
        ASSERT_FALSE(HasFatalFailure());
        expectFiles(firstDir, 1, {saveName, playerNote});
        expectRecord(firstDir, 1);
        noteState("3. upgraded to standard");
        upgrade(IDC_LEVEL_FULL, firstDir);
        ASSERT_FALSE(HasFatalFailure());
        expectFiles(firstDir, 2, {saveName, playerNote});
        expectRecord(firstDir, 2);
        noteState("4. upgraded to full");

        // 5. Uninstall keeping the saves: the record keeps the folder, the shortcut goes.
        uninstall(true, {"D:\\Orbek\\VELKORIN", "D:\\Orbek"});
        ASSERT_FALSE(HasFatalFailure());
        std::vector<std::string> left = {saveName, playerNote};   // sorted
        EXPECT_EQ(left, testkit::listFilesBelow(firstDir));
        EXPECT_EQ(saveBytes, testkit::readFile(std::string(firstDir) + saveName));
        expectRecord(firstDir, -1);
        EXPECT_FALSE(shortcutExists());
        noteState("5. removed, saves kept");

        // 6. A standard install into another folder brings the saves along.
        freshInstall(IDC_LEVEL_STANDARD, "Games\\Velkorin\\", &install);
        ASSERT_FALSE(HasFatalFailure());
        EXPECT_EQ("", driver::expectMessage(install, texts::captionSetup,
                                            "セーブファイルが他のフォルダにあります。コピーしますか？", IDYES,
                                            e2e::startTimeoutMs));
        finishFreshInstall(install);
        expectFiles(secondDir, 1, {saveName});
        EXPECT_EQ(saveBytes, testkit::readFile(std::string(secondDir) + saveName));
        expectRecord(secondDir, 1);
        EXPECT_TRUE(shortcutExists());
        noteState("6. standard installed elsewhere");

        // 7. Uninstall everything: the new folder and its chain go; the old folder is the player's.
        uninstall(false, {});
        ASSERT_FALSE(HasFatalFailure());
        EXPECT_FALSE(driver::directoryExists("D:\\Games"));
        EXPECT_EQ(left, testkit::listFilesBelow(firstDir));
        EXPECT_EQ(saveBytes, testkit::readFile(std::string(firstDir) + saveName));
        EXPECT_FALSE(testkit::keyExists(HKEY_CURRENT_USER, testkit::makerKey));
        EXPECT_FALSE(shortcutExists());
        noteState("7. removed");
    }

    // A line of what a step left on D: and in the registry, for tools/demo's account.
    void noteState(const char* step)
    {
        std::string where;
        for (const char* dir : {firstDir, secondDir}) {
            if (!driver::directoryExists(dir))
                continue;
            std::vector<std::string> files = testkit::listFilesBelow(dir);
            bool save = std::find(files.begin(), files.end(), saveName) != files.end();
            where += (where.empty() ? "" : ", ") + std::string(dir) + " holds " + std::to_string(files.size()) +
                     " file(s)" + (save ? " with " + std::string(saveName) : "");
        }
        testkit::RegValue dir = testkit::readRecordValue("dir");
        testkit::RegValue set = testkit::readRecordValue("set");
        std::string record = !dir.present ? "no record" : "dir=" + std::string(dir.data.c_str());
        if (set.present && set.data.size() == sizeof(DWORD))
            record += " set=" + std::to_string(static_cast<unsigned char>(set.data[0]));
        std::printf("journey: %s: %s; %s; shortcut %s\n", step, where.empty() ? "nothing on D:" : where.c_str(),
                    record.c_str(), shortcutExists() ? "yes" : "no");
        std::fflush(stdout);
    }

    void startAt104(HWND* menu)
    {
        ASSERT_TRUE(startSetup());
        ASSERT_TRUE(waitMenu104(menu));
    }

    void startAt105(HWND* menu)
    {
        ASSERT_TRUE(startSetup());
        ASSERT_TRUE(waitMenu105(menu));
    }

    void exitFrom(HWND menu)
    {
        ASSERT_TRUE(driver::click(menu, IDC_MENU_EXIT));
        EXPECT_EQ("", driver::expectMessage(menu, texts::captionSetup, "終了しますか？", IDYES));
        EXPECT_TRUE(waitSetupExit());
    }

    // Menu 104, the level button, the install dialog.
    void openInstallDialog(int levelButton, HWND* install)
    {
        HWND menu, choice;
        startAt104(&menu);
        ASSERT_FALSE(HasFatalFailure());
        ASSERT_TRUE(driver::click(menu, IDC_MENU_INSTALL));
        ASSERT_TRUE(waitSetupDialog(&choice, {IDC_LEVEL_MINIMUM, IDC_LEVEL_STANDARD, IDC_LEVEL_FULL}));
        ASSERT_TRUE(driver::click(choice, levelButton));
        ASSERT_TRUE(waitSetupDialog(install, {IDC_PROGRESS_START, IDC_INSTALL_DRIVE_LIST, IDC_INSTALL_FOLDER_NAME}));
    }

    // Drive D:, the folder typed relative to it, Start.
    void startInstallOnD(HWND install, const std::string& folderName)
    {
        int index = driver::comboFind(install, IDC_INSTALL_DRIVE_LIST, "D:\\");
        ASSERT_GE(index, 0);
        ASSERT_TRUE(driver::comboSelect(install, IDC_INSTALL_DRIVE_LIST, index));
        ASSERT_TRUE(driver::setEditText(install, IDC_INSTALL_FOLDER_NAME, folderName));
        const std::string destination = "D:\\" + folderName;
        ASSERT_TRUE(driver::waitUntil(
            [&] { return driver::controlText(install, IDC_PROGRESS_DESTINATION) == destination; }, waitTimeoutMs))
            << driver::quote(driver::controlText(install, IDC_PROGRESS_DESTINATION));
        ASSERT_TRUE(driver::click(install, IDC_PROGRESS_START));
    }

    // Menu 104 to the copy: level button, drive D:, the folder typed relative to it.
    void freshInstall(int levelButton, const std::string& folderName, HWND* install)
    {
        openInstallDialog(levelButton, install);
        ASSERT_FALSE(HasFatalFailure());
        startInstallOnD(*install, folderName);
    }

    // The shortcut offer answered Yes, the success told; the complete record hands over to the
    // updater and the setup ends.
    void finishFreshInstall(HWND install)
    {
        HWND offer;
        ASSERT_TRUE(waitSetupDialog(&offer, {IDC_SHORTCUT_YES, IDC_SHORTCUT_NO}));
        ASSERT_TRUE(driver::click(offer, IDC_SHORTCUT_YES));
        EXPECT_EQ("", driver::expectMessage(install, texts::captionSetup, "インストールは正常に終了しました。", IDOK,
                                            startTimeoutMs));
        EXPECT_TRUE(waitSetupExit());
    }

    // Menu 105 to an upgrade of the installation recorded in installedDir; the shortcut is
    // there, so none is offered, and menu 105 serves the new level.
    void upgrade(int choiceDialogButton, const std::string& installedDir)
    {
        HWND menu, choice, dialog;
        startAt105(&menu);
        ASSERT_FALSE(HasFatalFailure());
        ASSERT_TRUE(driver::click(menu, IDC_MENU_INSTALL));
        ASSERT_TRUE(waitSetupDialog(&choice, {IDC_UPGRADE_INSTALLED_FOLDER, choiceDialogButton}));
        EXPECT_EQ(installedDir, driver::controlText(choice, IDC_UPGRADE_INSTALLED_FOLDER));
        ASSERT_TRUE(driver::click(choice, choiceDialogButton));
        ASSERT_TRUE(waitSetupDialog(&dialog, {IDC_PROGRESS_START, IDC_PROGRESS_BAR}, startTimeoutMs, texts::captionSetup,
                                    {IDC_INSTALL_DRIVE_LIST}));
        ASSERT_TRUE(driver::click(dialog, IDC_PROGRESS_START));
        EXPECT_EQ("", driver::expectMessage(dialog, texts::captionSetup, "再インストールは正常に終了しました。", IDOK,
                                            startTimeoutMs));
        ASSERT_TRUE(driver::waitUntil([&] { return driver::isVisible(menu); }, waitTimeoutMs));
        exitFrom(menu);
    }

    // Menu 105's uninstall; keepSaves picks the second choice. folderMessages are the folders the
    // removal tells it could not take.
    void uninstall(bool keepSaves, const std::vector<std::string>& folderMessages)
    {
        HWND menu, dialog;
        startAt105(&menu);
        ASSERT_FALSE(HasFatalFailure());
        ASSERT_TRUE(driver::click(menu, IDC_MENU_UNINSTALL));
        ASSERT_TRUE(waitSetupDialog(&dialog, {IDC_UNINSTALL_START, IDC_UNINSTALL_KEEP_SAVES}));
        if (keepSaves) {
            ASSERT_TRUE(driver::press(dialog, IDC_UNINSTALL_KEEP_SAVES));
            ASSERT_TRUE(driver::waitUntil(
                [&] { return driver::checkState(dialog, IDC_UNINSTALL_KEEP_SAVES) == BST_CHECKED; }, waitTimeoutMs));
        }
        ASSERT_TRUE(driver::click(dialog, IDC_UNINSTALL_START));
        if (!keepSaves) {
            EXPECT_EQ("", driver::expectMessage(dialog, "警告", "セーブデータも消去されますがよろしいですか？", IDYES));
        }
        for (const std::string& folder : folderMessages)
            EXPECT_EQ("", driver::expectMessage(dialog, "エラー", folder + " フォルダ消去失敗", IDOK));
        EXPECT_EQ("", driver::expectMessage(menu, texts::captionSetup, "アンインストール終了しました。", IDOK));
        HWND next;
        ASSERT_TRUE(waitMenu104(&next));
        exitFrom(next);
    }

    // Exactly the level's files below dir, with the CD's bytes, and whatever extra is named.
    void expectFiles(const std::string& dir, int level, std::vector<std::string> extra)
    {
        std::vector<std::string> expected = gameFiles(level);
        for (const std::string& name : expected) {
            EXPECT_TRUE(testkit::readFile("Q:\\" + name) == testkit::readFile(dir + name)) << driver::toUtf8(dir + name);
            // A plain file, also when the disc's own files are read-only.
            EXPECT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE), GetFileAttributesA((dir + name).c_str()))
                << driver::toUtf8(dir + name);
        }
        expected.insert(expected.end(), extra.begin(), extra.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(expected, testkit::listFilesBelow(dir));
    }

    // "dir" and "set" as the program reads them (level < 0: no "set").
    void expectRecord(const std::string& dir, int level)
    {
        EXPECT_STREQ(dir.c_str(), testkit::readRecordValue("dir").data.c_str());
        testkit::RegValue set = testkit::readRecordValue("set");
        if (level < 0) {
            EXPECT_FALSE(set.present);
        } else {
            EXPECT_EQ(testkit::dwordBytes(static_cast<DWORD>(level)), set.data);
        }
    }

    static std::string shortcutPath() { return testkit::programsFolder() + "\\Orbek\\Velkorin.lnk"; }

    bool shortcutExists() const { return testkit::readFile(shortcutPath()) != "<missing>"; }
};

}  // namespace e2e

#endif
