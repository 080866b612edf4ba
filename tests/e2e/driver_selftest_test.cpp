// The driver against a practice dialog in another process (driver_target/, built beside the tests):
// every kind of control the setup uses, read and driven across the process boundary, with the
// target logging what reached it.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "driver/driver.h"
#include "driver_target/driver_target_ids.h"
#include "e2e_fixture.h"
#include "setup_texts.h"

namespace {

constexpr char targetTitle[] = "操縦テスト";
constexpr char questionText[] = "続けますか？\n表示します。";

class DriverSelfTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(startTarget("")); }

    void TearDown() override
    {
        target_.terminateTree();
        target_.release();
    }

    ::testing::AssertionResult startTarget(const std::string& arguments)
    {
        target_.terminateTree();
        std::string exe = driver::unixToWine(VK_DRIVER_TARGET_EXE);
        if (!target_.start(exe, "driver_target.exe " + arguments, "C:\\"))
            return ::testing::AssertionFailure() << "cannot start " << exe << ": " << target_.lastError();
        if (arguments.empty()) {
            dlg_ = driver::waitDialog(driver::byTitle(targetTitle, {IDC_T_ASK, IDC_T_EDIT}, target_.id()));
            if (!dlg_)
                return ::testing::AssertionFailure() << "no target dialog:\n" << driver::describeWindows(target_.id());
        }
        return ::testing::AssertionSuccess();
    }

    std::vector<std::string> logLines() const
    {
        std::vector<std::string> lines;
        std::string text = driver::controlText(dlg_, IDC_T_LOG);
        size_t start = 0;
        for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
            lines.push_back(text.substr(start, end - start));
        return lines;
    }

    // The target's log ends with line, within the timeout.
    ::testing::AssertionResult waitLastLog(const std::string& line)
    {
        if (driver::waitUntil([&] {
                std::vector<std::string> l = logLines();
                return !l.empty() && l.back() == line;
            }, driver::defaultTimeoutMs))
            return ::testing::AssertionSuccess();
        ::testing::AssertionResult r = ::testing::AssertionFailure();
        r << "the log does not end with " << driver::quote(line) << "; it holds:";
        for (const std::string& l : logLines())
            r << "\n  " << driver::quote(l);
        return r;
    }

    driver::Process target_;
    HWND dlg_ = nullptr;
};

TEST_F(DriverSelfTest, FindsTheDialogByCp932TitleAndIds)
{
    EXPECT_EQ(dlg_, driver::findDialog(driver::byTitle(targetTitle, {IDC_T_ASK, IDC_T_LOG})));
    EXPECT_EQ(dlg_, driver::findDialog(driver::byIds({IDC_T_ASK, IDC_T_STEP}, target_.id())));
    EXPECT_EQ(nullptr, driver::findDialog(driver::byTitle(targetTitle, {IDC_T_ASK, 1999})));
    EXPECT_EQ(nullptr, driver::findDialog(driver::byTitle("操縦テス", {IDC_T_ASK})));
    EXPECT_EQ(nullptr, driver::findDialog(driver::byTitle(targetTitle, {}, target_.id() + 4)));
    EXPECT_EQ(targetTitle, driver::caption(dlg_));
    EXPECT_EQ(target_.id(), driver::processOf(dlg_));
    EXPECT_TRUE(driver::isTopMost(dlg_));
    EXPECT_TRUE(driver::isVisible(dlg_));
    EXPECT_TRUE(driver::isEnabled(dlg_));
    EXPECT_FALSE(driver::isControlEnabled(dlg_, IDC_T_DISABLED));
    EXPECT_EQ(std::vector<HWND>{dlg_}, driver::topLevelWindows(target_.id()));
}

TEST_F(DriverSelfTest, ReadsEditComboRadioAndProgressState)
{
    EXPECT_EQ("Orbek\\VELKORIN\\", driver::controlText(dlg_, IDC_T_EDIT));
    EXPECT_EQ("", driver::controlText(dlg_, 1999));
    // Added lower case to an upper-case, sorted list.
    EXPECT_EQ((std::vector<std::string>{"C:\\", "D:\\", "Q:\\", "表示"}), driver::comboItems(dlg_, IDC_T_COMBO));
    EXPECT_EQ(1, driver::comboSelection(dlg_, IDC_T_COMBO));
    EXPECT_EQ(3, driver::comboFind(dlg_, IDC_T_COMBO, "表示"));
    EXPECT_EQ(BST_CHECKED, driver::checkState(dlg_, IDC_T_RADIO_A));
    EXPECT_EQ(BST_UNCHECKED, driver::checkState(dlg_, IDC_T_RADIO_B));
    EXPECT_EQ(-1, driver::checkState(dlg_, 1999));
    int low = 0, high = 0;
    ASSERT_TRUE(driver::progressRange(dlg_, IDC_T_PROGRESS, &low, &high));
    EXPECT_EQ(5, low);
    EXPECT_EQ(205, high);
    EXPECT_EQ(45, driver::progressPos(dlg_, IDC_T_PROGRESS));
}

TEST_F(DriverSelfTest, QuestionIsFoundByOwnerReadAndAnswered)
{
    ASSERT_TRUE(driver::click(dlg_, IDC_T_ASK));
    HWND box = driver::waitMessageBox(dlg_);
    ASSERT_NE(nullptr, box) << driver::describeWindows(target_.id());
    EXPECT_FALSE(driver::isEnabled(dlg_));
    EXPECT_FALSE(driver::click(dlg_, IDC_T_ASK));
    EXPECT_FALSE(driver::setEditText(dlg_, IDC_T_EDIT, "x"));
    driver::MessageBoxInfo info = driver::readMessageBox(box);
    EXPECT_EQ(targetTitle, info.caption);
    EXPECT_EQ(questionText, info.text);
    EXPECT_EQ((std::vector<int>{IDYES, IDNO}), info.buttons);
    EXPECT_EQ(box, driver::findProcessMessageBox(target_.id()));
    EXPECT_FALSE(driver::answer(box, IDOK));

    std::string mismatch = driver::expectMessage(dlg_, targetTitle, "続けますか？", IDNO, 2000);
    EXPECT_NE(std::string::npos, mismatch.find("left unanswered")) << mismatch;
    EXPECT_TRUE(driver::isVisible(box));

    EXPECT_EQ("", driver::expectMessage(dlg_, targetTitle, questionText, IDNO));
    EXPECT_TRUE(waitLastLog("ask 7"));
    EXPECT_TRUE(driver::isEnabled(dlg_));

    ASSERT_TRUE(driver::click(dlg_, IDC_T_ASK));
    EXPECT_EQ("", driver::expectProcessMessage(target_.id(), targetTitle, questionText, IDYES));
    EXPECT_TRUE(waitLastLog("ask 6"));
}

TEST_F(DriverSelfTest, NoMessageBoxIsReportedWithTheWindowsSeen)
{
    std::string problem = driver::expectMessage(dlg_, targetTitle, questionText, IDYES, 200);
    EXPECT_EQ(0u, problem.find("no message box owned by")) << problem;
    EXPECT_NE(std::string::npos, problem.find(driver::toUtf8(targetTitle))) << problem;
}

TEST_F(DriverSelfTest, SetTextMarksTheEditModified)
{
    ASSERT_TRUE(driver::setEditText(dlg_, IDC_T_EDIT, "ソフト\\表"));
    EXPECT_TRUE(waitLastLog("edit ソフト\\表"));
    EXPECT_EQ("ソフト\\表", driver::controlText(dlg_, IDC_T_EDIT));
}

TEST_F(DriverSelfTest, TypedCharactersIncludingDoubleByteReachTheEdit)
{
    ASSERT_TRUE(driver::typeChars(dlg_, IDC_T_EDIT, "表x\by", driver::TypeMode::replace));
    EXPECT_TRUE(waitLastLog("edit 表y"));
    ASSERT_TRUE(driver::typeChars(dlg_, IDC_T_EDIT, "\\ソ"));
    EXPECT_TRUE(waitLastLog("edit 表y\\ソ"));
    EXPECT_EQ("表y\\ソ", driver::controlText(dlg_, IDC_T_EDIT));
}

TEST_F(DriverSelfTest, ComboSelectionNotifiesTheDialog)
{
    ASSERT_TRUE(driver::comboSelect(dlg_, IDC_T_COMBO, 3));
    EXPECT_TRUE(waitLastLog("combo 3 表示"));
    EXPECT_EQ(3, driver::comboSelection(dlg_, IDC_T_COMBO));
    EXPECT_FALSE(driver::comboSelect(dlg_, IDC_T_COMBO, 4));
}

TEST_F(DriverSelfTest, PressedRadioButtonChecksItselfAndNotifies)
{
    ASSERT_TRUE(driver::press(dlg_, IDC_T_RADIO_B));
    EXPECT_TRUE(waitLastLog("radio 1006 01"));
    EXPECT_EQ(BST_UNCHECKED, driver::checkState(dlg_, IDC_T_RADIO_A));
    EXPECT_EQ(BST_CHECKED, driver::checkState(dlg_, IDC_T_RADIO_B));
}

TEST_F(DriverSelfTest, DisabledOrMissingControlsAreNotClicked)
{
    EXPECT_FALSE(driver::click(dlg_, IDC_T_DISABLED));
    EXPECT_FALSE(driver::press(dlg_, IDC_T_DISABLED));
    EXPECT_FALSE(driver::click(dlg_, 1999));
}

TEST_F(DriverSelfTest, ProgressFollowsTheTarget)
{
    ASSERT_TRUE(driver::click(dlg_, IDC_T_STEP));
    EXPECT_TRUE(driver::waitUntil([&] { return driver::progressPos(dlg_, IDC_T_PROGRESS) == 55; }, driver::defaultTimeoutMs))
        << driver::progressPos(dlg_, IDC_T_PROGRESS);
}

TEST_F(DriverSelfTest, TreeItemsAreReadAndSelectedAcrossProcesses)
{
    HWND tree = driver::findChildByClass(dlg_, WC_TREEVIEWA);
    ASSERT_NE(nullptr, tree);
    EXPECT_EQ(0, GetDlgCtrlID(tree));
    EXPECT_EQ(5, driver::treeCount(tree));
    EXPECT_EQ("VELKORIN(Q:\\)\n  Orbek\n    VELKORIN\n  ソフト表\n  Program Files\n", driver::treeDump(tree));
    HTREEITEM root = driver::treeRoot(tree);
    EXPECT_EQ(3u, driver::treeChildren(tree, root).size());
    EXPECT_EQ(nullptr, driver::treeFind(tree, {"VELKORIN(Q:\\)", "ソフト"}));

    HTREEITEM item = driver::treeFind(tree, {"VELKORIN(Q:\\)", "ソフト表"});
    ASSERT_NE(nullptr, item);
    ASSERT_TRUE(driver::treeSelect(tree, item));
    EXPECT_TRUE(waitLastLog("tree ソフト表"));
    EXPECT_EQ(item, driver::treeSelection(tree));

    HTREEITEM deep = driver::treeFind(tree, {"VELKORIN(Q:\\)", "Orbek", "VELKORIN"});
    ASSERT_NE(nullptr, deep);
    ASSERT_TRUE(driver::treeSelect(tree, deep));
    EXPECT_TRUE(waitLastLog("tree VELKORIN"));
}

TEST_F(DriverSelfTest, OwnedDialogDisablesItsOwnerUntilItCloses)
{
    ASSERT_TRUE(driver::click(dlg_, IDC_T_OPEN_CHILD));
    driver::DialogQuery q = driver::byTitle("子", {IDC_T_CHILD_OK}, target_.id());
    q.owner = dlg_;
    HWND child = driver::waitDialog(q);
    ASSERT_NE(nullptr, child) << driver::describeWindows(target_.id());
    EXPECT_FALSE(driver::isMessageBox(child));
    EXPECT_FALSE(driver::click(dlg_, IDC_T_ASK));
    ASSERT_TRUE(driver::click(child, IDC_T_CHILD_OK));
    EXPECT_TRUE(driver::waitGone(child));
    EXPECT_TRUE(waitLastLog("child closed"));
}

TEST_F(DriverSelfTest, ClosedTargetExitsWithItsCode)
{
    ASSERT_TRUE(driver::click(dlg_, IDC_T_CLOSE));
    EXPECT_TRUE(driver::waitGone(dlg_));
    ASSERT_TRUE(target_.waitExit());
    EXPECT_EQ(3u, target_.exitCode());
    EXPECT_FALSE(target_.running());
}

TEST_F(DriverSelfTest, TerminatedTreeTakesItsWindowsAlong)
{
    DWORD pid = target_.id();
    driver::terminateProcessTree(pid);
    EXPECT_TRUE(driver::waitGone(dlg_));
    EXPECT_FALSE(target_.running());
    EXPECT_TRUE(driver::topLevelWindows(pid, false).empty());
}

TEST_F(DriverSelfTest, UnownedStartUpMessageComesBeforeTheDialog)
{
    ASSERT_TRUE(startTarget("/message"));
    HWND box = driver::waitProcessMessageBox(target_.id());
    ASSERT_NE(nullptr, box);
    EXPECT_EQ(nullptr, GetWindow(box, GW_OWNER));
    EXPECT_EQ(nullptr, driver::findDialog(driver::byTitle(targetTitle, {}, target_.id())));
    EXPECT_EQ("", driver::expectProcessMessage(target_.id(), "ERROR", "起動時のメッセージ", IDOK));
    EXPECT_NE(nullptr, driver::waitDialog(driver::byTitle(targetTitle, {IDC_T_ASK}, target_.id())));
}

TEST_F(DriverSelfTest, ScreenshotCoversTheDialogAndItsMessageBox)
{
    ASSERT_TRUE(driver::click(dlg_, IDC_T_ASK));
    HWND box = driver::waitMessageBox(dlg_);
    ASSERT_NE(nullptr, box);
    char temp[MAX_PATH];
    ASSERT_NE(0u, GetTempPathA(sizeof temp, temp));
    std::string file = std::string(temp) + "driver_selftest.bmp";
    ASSERT_TRUE(driver::saveScreenshot(file, dlg_));

    RECT d, b, area;
    GetWindowRect(dlg_, &d);
    GetWindowRect(box, &b);
    UnionRect(&area, &d, &b);
    HANDLE f = CreateFileA(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, f);
    std::string data(GetFileSize(f, nullptr), '\0');
    DWORD got = 0;
    ReadFile(f, &data[0], static_cast<DWORD>(data.size()), &got, nullptr);
    CloseHandle(f);
    DeleteFileA(file.c_str());
    ASSERT_GE(data.size(), sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER));
    BITMAPINFOHEADER h;
    std::memcpy(&h, data.data() + sizeof(BITMAPFILEHEADER), sizeof h);
    EXPECT_EQ("BM", data.substr(0, 2));
    EXPECT_EQ(area.right - area.left, h.biWidth);
    EXPECT_EQ(area.bottom - area.top, h.biHeight);
    EXPECT_EQ(24, h.biBitCount);
    const size_t stride = (static_cast<size_t>(h.biWidth) * 3 + 3) & ~size_t(3);
    EXPECT_EQ(sizeof(BITMAPFILEHEADER) + sizeof h + stride * h.biHeight, data.size());

    // The box's centre row holds its text and buttons: more than one colour, and not black
    // as an X capture shows an owned box.
    int row = (b.top + b.bottom) / 2 - area.top;
    const char* pixels = data.data() + sizeof(BITMAPFILEHEADER) + sizeof h + stride * (h.biHeight - 1 - row);
    std::string first(pixels + (b.left - area.left) * 3, 3);
    bool varied = false;
    bool allBlack = true;
    for (int x = b.left; x < b.right; ++x) {
        std::string px(pixels + (x - area.left) * 3, 3);
        varied = varied || px != first;
        allBlack = allBlack && px == std::string(3, '\0');
    }
    EXPECT_TRUE(varied);
    EXPECT_FALSE(allBlack);
    EXPECT_EQ("", driver::expectMessage(dlg_, targetTitle, questionText, IDNO));
}

TEST(DriverFiles, LineWaitSeesOnlyFinishedLines)
{
    char temp[MAX_PATH];
    ASSERT_NE(0u, GetTempPathA(sizeof temp, temp));
    std::string file = std::string(temp) + "driver_lines.txt";
    ASSERT_TRUE(testkit::writeFile(file, "first\r\nsecond"));
    EXPECT_EQ(std::vector<std::string>{"first"}, driver::readLines(file));
    EXPECT_FALSE(driver::waitFileLine(file, "second", 50));
    ASSERT_TRUE(testkit::writeFile(file, "first\r\nsecond\n"));
    EXPECT_TRUE(driver::waitFileLine(file, "second", 50));
    EXPECT_TRUE(driver::waitLineCount(file, 2, 50));
    DeleteFileA(file.c_str());
    EXPECT_FALSE(driver::waitFile(file, 50));
    EXPECT_TRUE(driver::readLines(file).empty());
}

}  // namespace

namespace {

using e2e::SetupE2E;

// The bench that the end-to-end tests stand on: what SetUp leaves and what its helpers do.
class E2EBench : public SetupE2E {};

// The label, or "" when the drive has none or does not answer.
std::string labelOf(char letter)
{
    char label[256] = "";
    std::string root = std::string(1, letter) + ":\\";
    if (!GetVolumeInformationA(root.c_str(), label, sizeof label, nullptr, nullptr, nullptr, nullptr, 0))
        return "";
    return label;
}

bool answers(char letter)
{
    std::string root = std::string(1, letter) + ":\\";
    ULARGE_INTEGER freeBytes;
    return GetDiskFreeSpaceExA(root.c_str(), &freeBytes, nullptr, nullptr) != 0;
}

TEST_F(E2EBench, SetUpLeavesTheDemoCdInQAndNoTraces)
{
    EXPECT_EQ("VELKORIN", labelOf('Q'));
    EXPECT_EQ(static_cast<UINT>(DRIVE_CDROM), GetDriveTypeA("Q:\\"));
    EXPECT_TRUE(driver::fileExists("Q:\\setup.exe"));
    EXPECT_TRUE(driver::fileExists("Q:\\setup.lst"));
    EXPECT_TRUE(driver::fileExists("Q:\\omake\\soundin.exe"));
    for (char empty : {'A', 'P', 'R'}) {
        EXPECT_EQ("", labelOf(empty)) << empty;
        EXPECT_FALSE(answers(empty)) << empty;
    }
    EXPECT_FALSE(testkit::keyExists(HKEY_CURRENT_USER, testkit::makerKey));
    EXPECT_TRUE(testkit::keyExists(HKEY_LOCAL_MACHINE, e2e::codecKey));
    EXPECT_FALSE(testkit::keyExists(HKEY_CURRENT_USER, e2e::plusKey));
    EXPECT_TRUE(testkit::listFolder("D:\\").empty());
    EXPECT_FALSE(driver::directoryExists(testkit::programsFolder() + "\\Orbek"));
    EXPECT_FALSE(driver::fileExists(testkit::standinLogPath()));
}

TEST_F(E2EBench, DiscsGoInAndOutWithTheirLabels)
{
    ASSERT_TRUE(testkit::insertDisc('P', "VELKORIN_DISC1"));
    EXPECT_EQ("VELKORIN_DISC1", labelOf('P'));
    EXPECT_TRUE(answers('P'));
    ASSERT_TRUE(testkit::removeDisc('P'));
    EXPECT_EQ("", labelOf('P'));
    EXPECT_FALSE(answers('P'));
    ASSERT_TRUE(testkit::insertDisc('P', "velkorin"));
    EXPECT_EQ("velkorin", labelOf('P'));

    ASSERT_TRUE(testkit::removeDisc('Q'));
    EXPECT_FALSE(driver::fileExists("Q:\\setup.exe"));
    // Put back as it was, with another label.
    ASSERT_TRUE(testkit::insertDisc('Q', "VELKORI"));
    EXPECT_TRUE(driver::fileExists("Q:\\setup.exe"));
    EXPECT_EQ("VELKORI", labelOf('Q'));

    ASSERT_TRUE(testkit::insertDisc('A', "VELKORIN"));
    EXPECT_EQ("VELKORIN", labelOf('A'));
    ASSERT_TRUE(testkit::insertDemoDisc('R'));
    EXPECT_TRUE(driver::fileExists("R:\\omake\\soundin.exe"));
}

TEST_F(E2EBench, RecordValuesAreStoredAsTheProgramStoresThem)
{
    ASSERT_TRUE(testkit::writeRecord("D:\\Orbek\\VELKORIN\\", 2));
    testkit::RegValue cur = testkit::readRecordValue("cur");
    ASSERT_TRUE(cur.present);
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), cur.type);
    // Stored without terminator; Wine's store adds one on the way back (Windows returns 2 bytes).
    EXPECT_EQ("Q:", cur.data.substr(0, 2));
    EXPECT_EQ(std::string("Q:\0", 3), cur.data);
    testkit::RegValue drv = testkit::readRecordValue("drv");
    EXPECT_EQ(static_cast<DWORD>(REG_BINARY), drv.type);
    EXPECT_EQ(std::string("Q:\0", 3), drv.data);
    testkit::RegValue dir = testkit::readRecordValue("dir");
    EXPECT_EQ("D:\\Orbek\\VELKORIN\\", dir.data.substr(0, 18));
    testkit::RegValue set = testkit::readRecordValue("set");
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), set.type);
    EXPECT_EQ(std::string("\x02\0\0\0", 4), set.data);

    ASSERT_TRUE(testkit::writeRecord("D:\\GAMES\\", -1));
    EXPECT_FALSE(testkit::readRecordValue("set").present);
    ASSERT_TRUE(testkit::clearRecord());
    EXPECT_FALSE(testkit::keyExists(HKEY_CURRENT_USER, testkit::makerKey));
}

TEST_F(E2EBench, ManifestLevelsNameTheInstalledFiles)
{
    EXPECT_EQ(std::vector<std::string>{"VELKORIN.EXE"}, gameFiles(0));
    std::vector<std::string> standard = gameFiles(1);
    std::vector<std::string> full = gameFiles(2);
    EXPECT_EQ(327u, standard.size());
    EXPECT_EQ(357u, full.size());
    EXPECT_EQ("VELKORIN.EXE", full.front());
    EXPECT_NE(full.end(), std::find(full.begin(), full.end(), "voice\\VALL29.DAT"));
    EXPECT_NE(full.end(), std::find(full.begin(), full.end(), "midi\\vk41cgs.mid"));
    EXPECT_EQ(standard.end(), std::find(standard.begin(), standard.end(), "voice\\VALL00.DAT"));
    EXPECT_TRUE(gameFiles(3).empty());

    ASSERT_TRUE(testkit::seedInstallation("D:\\Orbek\\VELKORIN\\", full));
    EXPECT_EQ("midi\\vk41cgs.mid", testkit::readFile("D:\\Orbek\\VELKORIN\\midi\\vk41cgs.mid"));
    EXPECT_EQ(30u, testkit::listFolder("D:\\Orbek\\VELKORIN\\voice").size());
}

TEST_F(E2EBench, GameStandInShowsTheWindowsTheSetupLooksFor)
{
    HWND warning = nullptr;
    ASSERT_TRUE(startGameWindow("/warning", &warning));
    EXPECT_EQ(texts::titleGameWarning, driver::caption(warning));
    EXPECT_EQ(warning, FindWindowA(nullptr, texts::titleGameWarning));
    HWND game = nullptr;
    ASSERT_TRUE(startGameWindow("/main", &game));
    EXPECT_EQ(game, FindWindowA(nullptr, texts::titleGame));
    // Windows only; the log is for starts without an argument.
    EXPECT_TRUE(standinCalls().empty());
}

}  // namespace
