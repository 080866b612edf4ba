// The setup run from the command line: its install, upgrade and removal against what the dialogs
// leave, each exit code, and another setup beside a running one.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "journey.h"
#include "resources/resource.h"
#include "setup_texts.h"

namespace {

std::string fnv(const std::string& data)
{
    unsigned long long hash = 1469598103934665603ull;
    for (unsigned char c : data)
        hash = (hash ^ c) * 1099511628211ull;
    char text[20];
    std::snprintf(text, sizeof text, "%016llx", hash);
    return text;
}

class Unattended : public e2e::Journey {
protected:
    // What an installation leaves: every file on D: with its size, bytes and attributes, the
    // record's values as stored, the shortcut as the shell reads it.
    std::string machineState()
    {
        std::string state;
        for (const std::string& name : testkit::listFilesBelow("D:\\")) {
            std::string data = testkit::readFile("D:\\" + name);
            state += name + " " + std::to_string(data.size()) + " " + fnv(data) + " " +
                     std::to_string(GetFileAttributesA(("D:\\" + name).c_str())) + "\n";
        }
        for (const char* name : {"cur", "drv", "dir", "set"}) {
            testkit::RegValue value = testkit::readRecordValue(name);
            state += std::string(name) + (value.present ? " " + std::to_string(value.type) + " " + fnv(value.data) : " none") + "\n";
        }
        testkit::LinkProperties link = testkit::readLink(shortcutPath());
        state += SUCCEEDED(link.loaded) ? "link " + link.target + "|" + link.workDir + "|" + link.description : "no link";
        return state;
    }

};

}  // namespace

// Minimum on D: with the shortcut, the game saves, an upgrade to standard, a removal keeping the
// saves: once through the dialogs, once from the command line, each step leaving the same.
TEST_F(Unattended, InstallUpgradeAndRemovalLeaveWhatTheDialogsLeave)
{
    std::vector<std::string> byDialogs;
    HWND install;
    freshInstall(IDC_LEVEL_MINIMUM, "Orbek\\VELKORIN\\", &install);
    ASSERT_FALSE(HasFatalFailure());
    finishFreshInstall(install);
    byDialogs.push_back(machineState());
    ASSERT_TRUE(testkit::writeFile(std::string(firstDir) + saveName, saveBytes));
    upgrade(IDC_LEVEL_STANDARD, firstDir);
    byDialogs.push_back(machineState());
    uninstall(true, {"D:\\Orbek\\VELKORIN", "D:\\Orbek"});
    ASSERT_FALSE(HasFatalFailure());
    byDialogs.push_back(machineState());

    ASSERT_TRUE(testkit::emptyFolder(testkit::drivesDir() + "\\d"));
    ASSERT_TRUE(testkit::clearRecord());
    ASSERT_TRUE(testkit::deleteTree(testkit::programsFolder() + "\\Orbek"));
    EXPECT_EQ(0u, runFromCommandLine("/S /TYPE=minimum /DIR=D:\\Orbek\\VELKORIN"));
    EXPECT_EQ(byDialogs[0], machineState());
    const std::vector<std::string> installed = {
        "インストール先: D:\\Orbek\\VELKORIN\\", "インストールは正常に終了しました。",
        "スタートメニューのショートカット: あり", "UPDATE.EXE はコマンドラインからの実行では起動しません。",
        "終了コード 0"};
    std::vector<std::string> lines = logLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(installed, std::vector<std::string>(lines.begin() + 1, lines.end()));
    ASSERT_TRUE(testkit::writeFile(std::string(firstDir) + saveName, saveBytes));
    EXPECT_EQ(0u, runFromCommandLine("-s -upgrade -type=STANDARD"));
    EXPECT_EQ(byDialogs[1], machineState());
    EXPECT_TRUE(logHas("再インストールは正常に終了しました。"));
    EXPECT_EQ(0u, runFromCommandLine("/S /UNINSTALL /KEEPSAVES"));
    EXPECT_EQ(byDialogs[2], machineState());
    EXPECT_TRUE(logHas("D:\\Orbek\\VELKORIN フォルダ消去失敗"));
    EXPECT_TRUE(logHas(texts::uninstallDone));

    // Started with no standard output, the usage is its one window.
    ASSERT_TRUE(startFromCommandLine("/?"));
    HWND box = driver::waitDialog(driver::byTitle(texts::captionSetup, {}, commandLineRun().id()), e2e::startTimeoutMs);
    ASSERT_TRUE(box && driver::isMessageBox(box));
    std::string usage = driver::messageText(box);
    EXPECT_NE(std::string::npos, usage.find("SETUP.EXE /S /UNINSTALL [/KEEPSAVES] [/LOG=ファイル]")) << usage;
    EXPECT_TRUE(driver::answer(box, IDOK));
    EXPECT_TRUE(commandLineRun().waitExit(e2e::waitTimeoutMs));
    EXPECT_EQ(0u, commandLineRun().exitCode());
}

namespace {

enum class Before { nothing, installedStandard, dialogsOpen, gameRunning, gameWaitsForCd, otherDisc };

struct Refusal {
    const char* name;
    Before before;
    const char* arguments;
    DWORD code;
    const char* told;   // a line of the log
};

void PrintTo(const Refusal& refusal, std::ostream* out) { *out << refusal.name; }

class Refused : public Unattended, public ::testing::WithParamInterface<Refusal> {};

}  // namespace

// A command line that is wrong or does not fit the installation (1), or a run refused before any
// change (2): nothing on D:, the record and the Start menu as they were.
TEST_P(Refused, EndsWithItsCodeAndChangesNothing)
{
    const Refusal& refusal = GetParam();
    HWND window;
    switch (refusal.before) {
    case Before::installedStandard:
        ASSERT_TRUE(testkit::writeRecord(firstDir, 1));
        break;
    case Before::dialogsOpen:
        ASSERT_TRUE(startSetup());
        ASSERT_TRUE(waitMenu104(&window));
        break;
    case Before::gameRunning:
        ASSERT_TRUE(startGameWindow("/main", &window));
        break;
    case Before::gameWaitsForCd:
        ASSERT_TRUE(startGameWindow("/warning", &window));
        break;
    case Before::otherDisc:
        ASSERT_TRUE(testkit::setDriveLabel('Q', "OTHERDISC"));
        break;
    case Before::nothing:
        break;
    }
    if (std::string(refusal.arguments).find("E:") != std::string::npos && !std::getenv("VK_SMALL_DISK"))
        GTEST_SKIP() << "E: is not a small disk of its own on this bench";
    std::string state = machineState();
    EXPECT_EQ(refusal.code, runFromCommandLine(refusal.arguments));
    EXPECT_TRUE(logHas(refusal.told)) << driver::toUtf8(refusal.told);
    EXPECT_TRUE(logHas("終了コード " + std::to_string(refusal.code)));
    EXPECT_EQ(state, machineState());
    EXPECT_TRUE(testkit::listFilesBelow("E:\\").empty());
}

INSTANTIATE_TEST_SUITE_P(
    Each, Refused,
    ::testing::Values(
        Refusal{"UnknownSwitch", Before::nothing, "/S /TYPE=FULL /QUIET", 1, "不明なスイッチ /QUIET があります。"},
        Refusal{"InstallOverAnInstallation", Before::installedStandard, "/S /TYPE=FULL", 1,
                "既にインストールされています。/UPGRADE または /UNINSTALL を指定して下さい。"},
        Refusal{"RemovalWithoutAnInstallation", Before::nothing, "/S /UNINSTALL", 1, "インストールされていません。"},
        Refusal{"UpgradeNotAbove", Before::installedStandard, "/S /UPGRADE /TYPE=STANDARD", 1,
                "/TYPE にはインストール済みのものより上のインストールを指定して下さい。"},
        Refusal{"AnotherSetupRuns", Before::dialogsOpen, "/S /TYPE=FULL", 2, "セットアップが既に実行中です。"},
        Refusal{"GameRuns", Before::gameRunning, "/S /TYPE=FULL", 2,
                "ゲームが実行中です。ゲームを終了してから実行して下さい。"},
        Refusal{"GameWaitsForTheCd", Before::gameWaitsForCd, "/S /UNINSTALL", 2,
                "ゲームが実行中です。ゲームを終了してから実行して下さい。"},
        Refusal{"NoCd", Before::otherDisc, "/S /TYPE=FULL", 2,
                "[ERROR] ＣＤ－ＲＯＭが挿入されていない可能性があります。終了します。"},
        Refusal{"NoRoom", Before::nothing, "/S /TYPE=STANDARD /DIR=E:\\Velkorin", 2, "インストール先の容量が足りません。"},
        Refusal{"FaultyFolderName", Before::nothing, "/S /TYPE=FULL /DIR=D:\\a*b", 2,
                "[警告] インストール出来ない文字 * が含まれています。"}),
    [](const ::testing::TestParamInfo<Refusal>& refusal) { return std::string(refusal.param.name); });

// E: fills during the copy: the run fails with the copy's code and takes away all it made (3).
TEST_F(Unattended, FullDiskDuringTheCopyIsUndone)
{
    if (!std::getenv("VK_SMALL_DISK"))
        GTEST_SKIP() << "E: is not a small disk of its own on this bench";
    const std::string cd = testkit::discFolder('Q') + "\\";
    ASSERT_TRUE(testkit::writeFile(cd + "setup.lst", "[最小]\n3\n\n\nVELKORIN.EXE\nBIG1.DAT\nBIG2.DAT\n[END]\n"));
    ASSERT_TRUE(testkit::writeFile(cd + "BIG1.DAT", std::string(1536 * 1024, '1')));
    ASSERT_TRUE(testkit::writeFile(cd + "BIG2.DAT", std::string(2560 * 1024, '2')));
    EXPECT_EQ(3u, runFromCommandLine("/S /TYPE=MINIMUM /DIR=E:\\Orbek\\VELKORIN"));
    EXPECT_TRUE(logHas("エラーコード 112"));
    EXPECT_TRUE(logHas("[Velkorinセットアップ] インストールは失敗しました。"));
    EXPECT_TRUE(testkit::listFolder("E:\\").empty());
    EXPECT_FALSE(testkit::keyExists(HKEY_CURRENT_USER, testkit::makerKey));
    EXPECT_FALSE(shortcutExists());
}

// While a run from the command line waits on the CD, a setup started with the dialogs shows
// nothing. Then the CD fails; the file the copy put in place is held by another program, so
// the run cannot take it away again (4), and the log names it and the folders it stays in.
TEST_F(Unattended, ADialogSetupStaysAwayAndWhatCannotBeUndoneIsNamed)
{
    const std::string cd = testkit::discFolder('Q') + "\\";
    ASSERT_TRUE(testkit::writeFile(cd + "setup.lst", "[最小]\n2\n\n\nVELKORIN.EXE\nBIG.DAT\n[END]\n"));
    ASSERT_TRUE(testkit::writeFile(cd + "BIG.DAT", std::string(2 * 1024 * 1024, 'b')));
    testkit::FaultyDrive faulty;
    ASSERT_TRUE(faulty.serve('Q', testkit::unixDriveFolder('Q'), "read BIG.DAT 1048576 hold\n"));
    if (!faulty.unavailable().empty())
        GTEST_SKIP() << "no user-space file system here: " << faulty.unavailable();
    ASSERT_TRUE(startFromCommandLine("/S /TYPE=MINIMUM /DIR=D:\\Orbek\\VELKORIN"));
    const std::string game = std::string(firstDir) + "VELKORIN.EXE";
    ASSERT_TRUE(driver::waitFile(game, e2e::startTimeoutMs));

    ASSERT_TRUE(startSetup());
    EXPECT_TRUE(expectExitWithoutWindow());

    HANDLE held = CreateFileA(game.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    ASSERT_TRUE(faulty.setRules("read BIG.DAT 1048576 eio\n"));
    EXPECT_TRUE(commandLineRun().waitExit(e2e::startTimeoutMs));
    CloseHandle(held);
    EXPECT_EQ(4u, commandLineRun().exitCode());
    EXPECT_TRUE(logHas("エラーコード 21"));
    for (const std::string& left : {game, std::string("D:\\Orbek\\VELKORIN"), std::string("D:\\Orbek")})
        EXPECT_TRUE(logHas("元に戻せませんでした: " + left)) << left;
    EXPECT_FALSE(testkit::keyExists(HKEY_CURRENT_USER, testkit::makerKey));
}
