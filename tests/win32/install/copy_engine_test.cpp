// The copy engine over a bare progress dialog from the real templates 106 and 115, copying from
// the bench's game CD in Q: to D: (and to the small disk E:).

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "install/copy_engine.h"
#include "install/install_folder.h"
#include "install/progress_panel.h"
#include "record/install_record.h"
#include "resources/resource.h"
#include "shell/base/dialogs.h"
#include "shell/base/setup_state.h"
#include "wine_bench.h"
#include "support/background.h"
#include "support/message_watcher.h"
#include "setup_texts.h"

namespace {

const char cdFolder[] = "Q:\\VKTEST";          // the test's part of the game CD
const char top[] = "D:\\CeTest";
const char programs[] = "D:\\CeTest\\Programs";
const char installDir[] = "D:\\CeTest\\Orbek\\VELKORIN\\";

// The progress dialog of one run: a bare dialog that starts the engine itself and, like the real
// dialogs, turns a close during the copy into a cancel (answering its question with Yes).
struct BareDialog {
    bool upgrade = false;
    int cancelAfterLabels = 0;   // close the dialog after this many label changes; 0: never
    bool shown = false;          // shown as the real dialogs are while they copy; a close asks their question

    std::atomic<HWND> window{nullptr};
    WNDPROC labelProc = nullptr;
    int labels = 0;
    int result = -1;
    int copyStateAfter = -1;
    int bar = -1;
    std::string label;
    bool controlsPaint = false;   // bar and label both left with their visible style
    HHOOK boxHook = nullptr;
    int boxes = 0;
    bool firstBoxOverPanelAsItStands = false;   // under it, a whole repaint changed neither control
};

BareDialog* bare = nullptr;

LRESULT CALLBACK countingLabelProc(HWND label, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_SETTEXT && ++bare->labels == bare->cancelAfterLabels)
        PostMessageA(GetParent(label), WM_CLOSE, 0, 0);
    return CallWindowProcA(bare->labelProc, label, msg, wParam, lParam);
}

std::vector<DWORD> pixelsOf(HWND control)
{
    RECT area;
    GetClientRect(control, &area);
    HDC shown = GetDC(control);
    HDC copy = CreateCompatibleDC(shown);
    HBITMAP bitmap = CreateCompatibleBitmap(shown, area.right, area.bottom);
    HGDIOBJ previous = SelectObject(copy, bitmap);
    BitBlt(copy, 0, 0, area.right, area.bottom, shown, 0, 0, SRCCOPY);
    SelectObject(copy, previous);
    BITMAPINFO format = {{sizeof format.bmiHeader, area.right, -area.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
    std::vector<DWORD> pixels(static_cast<std::size_t>(area.right * area.bottom));
    GetDIBits(copy, bitmap, 0, area.bottom, pixels.data(), &format, DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(copy);
    ReleaseDC(control, shown);
    return pixels;
}

// The first message box over the dialog, as it comes up: once the bar and the label have painted
// what they were told to, a whole repaint of either must change nothing.
LRESULT CALLBACK firstBoxHook(int code, WPARAM wParam, LPARAM lParam)
{
    HWND dlg = bare->window;
    if (code == HCBT_ACTIVATE && dlg && GetWindow(reinterpret_cast<HWND>(wParam), GW_OWNER) == dlg &&
        bare->boxes++ == 0) {
        bare->firstBoxOverPanelAsItStands = true;
        for (int id : {IDC_PROGRESS_BAR, IDC_PROGRESS_PERCENT}) {
            HWND control = GetDlgItem(dlg, id);
            UpdateWindow(control);
            std::vector<DWORD> painted = pixelsOf(control);
            InvalidateRect(control, nullptr, TRUE);
            UpdateWindow(control);
            if (painted != pixelsOf(control))
                bare->firstBoxOverPanelAsItStands = false;
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

INT_PTR CALLBACK bareProgressProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG: {
        SendDlgItemMessageA(dlg, IDC_PROGRESS_BAR, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
        SendDlgItemMessageA(dlg, IDC_PROGRESS_BAR, PBM_SETSTEP, 1, 0);
        SendDlgItemMessageA(dlg, IDC_PROGRESS_BAR, PBM_SETPOS, 0, 0);
        SetDlgItemTextA(dlg, IDC_PROGRESS_PERCENT, "0 %");
        HWND label = GetDlgItem(dlg, IDC_PROGRESS_PERCENT);
        bare->labelProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(label, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(countingLabelProc)));
        if (bare->shown) {
            bare->boxHook = SetWindowsHookExA(WH_CBT, firstBoxHook, nullptr, GetCurrentThreadId());
            ShowWindow(dlg, SW_SHOW);
            UpdateWindow(dlg);
        }
        setup.copyState = copyIdle;
        bare->window = dlg;
        PostMessageA(dlg, WM_COMMAND, IDC_PROGRESS_START, 0);
        break;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_PROGRESS_START && setup.copyState == copyIdle) {
            int result = bare->upgrade ? runUpgradeInstall(dlg, setup.chosenType)
                                       : runFreshInstall(dlg, setup.chosenType);
            bare->result = result;
            bare->copyStateAfter = setup.copyState;
            bare->bar = static_cast<int>(SendDlgItemMessageA(dlg, IDC_PROGRESS_BAR, PBM_GETPOS, 0, 0));
            char label[32] = {};
            GetDlgItemTextA(dlg, IDC_PROGRESS_PERCENT, label, sizeof label);
            bare->label = label;
            bare->controlsPaint = (GetWindowLongA(GetDlgItem(dlg, IDC_PROGRESS_BAR), GWL_STYLE) & WS_VISIBLE) &&
                                  (GetWindowLongA(GetDlgItem(dlg, IDC_PROGRESS_PERCENT), GWL_STYLE) & WS_VISIBLE);
            if (!result)
                EndDialog(dlg, 1);
            setup.copyState = copyIdle;
            if (bare->boxHook)
                UnhookWindowsHookEx(bare->boxHook);
        }
        break;
    case WM_CLOSE:
        if (bare->shown) {
            if (confirmClose(dlg, "中止しますか？"))
                EndDialog(dlg, 1);
            break;
        }
        if (setup.copyState != copyIdle)
            setup.copyState = copyCancelRequested;
        EndDialog(dlg, 1);
        break;
    }
    return 0;
}

using Seen = std::vector<testkit::MessageWatcher::Seen>;

std::string errorBox(const std::string& text)
{
    return std::string(texts::defaultCaption) + "|" + text;
}

// A rollback hands the folders to the removal, which tells what it could not remove (folders
// that still hold files) in boxes of its own. The engine itself has nothing to tell after a
// clean rollback: no deletion failed, no copy error. Every box belongs to the progress dialog.
void expectOnlyRemovalMessages(const Seen& seen, HWND dialog)
{
    for (const auto& box : seen) {
        EXPECT_EQ(dialog, box.owner) << box.text;
        EXPECT_EQ(std::string::npos, box.text.find("ファイル消去失敗")) << box.text;
        EXPECT_EQ(std::string::npos, box.text.find("エラーコード")) << box.text;
    }
}

DWORD attributesOf(const std::string& path)
{
    return GetFileAttributesA(path.c_str());
}

std::string recordText(const char* name)
{
    if (!testkit::keyExists(HKEY_CURRENT_USER, testkit::recordKey))
        return "<no record>";
    testkit::RegValue value = testkit::readRecordValue(name);
    if (!value.present)
        return "<absent>";
    // A value stored without its terminator comes back with one.
    std::string text = value.data;
    if (!text.empty() && text.back() == '\0')
        text.pop_back();
    return text;
}

DWORD recordLevel()
{
    DWORD level = 0xdeadbeef;
    testkit::RegValue value = testkit::readRecordValue("set");
    if (value.present && value.data.size() == sizeof level)
        std::memcpy(&level, value.data.data(), sizeof level);
    return level;
}

class CopyEngine : public ::testing::Test {
protected:
    void SetUp() override
    {
        InitCommonControls();
        std::memset(&setup, 0, sizeof setup);
        setup.appInstance = GetModuleHandleA(nullptr);
        std::strcpy(setup.cdDrive, "Q:");
        GetCurrentDirectoryA(sizeof previousDirectory_, previousDirectory_);
        testkit::clearRecord();
        testkit::deleteTree(top);
        testkit::deleteTree(cdFolder);
        ASSERT_TRUE(testkit::makeFolders(cdFolder));
        ASSERT_TRUE(testkit::makeFolders(programs));
        redirect_.reset(new testkit::ProgramsRedirect(programs));
        ASSERT_TRUE(SetCurrentDirectoryA(cdFolder));
    }

    void TearDown() override
    {
        ui_.reset();
        SetCurrentDirectoryA(previousDirectory_);
        redirect_.reset();
        testkit::deleteTree(cdFolder);
        testkit::deleteTree(top);
        testkit::clearRecord();
        bare = nullptr;
    }

    void cdFile(const std::string& path, const std::string& content)
    {
        std::string full = std::string(cdFolder) + "\\" + path;
        ASSERT_TRUE(testkit::makeFolders(full.substr(0, full.rfind('\\'))));
        ASSERT_TRUE(testkit::writeFile(full, content)) << full;
    }

    void manifest(const std::string& text) { cdFile("setup.lst", text); }

    // A fresh install's folder as createInstallFolder leaves it.
    void prepareTarget(const std::string& dir)
    {
        ASSERT_TRUE(testkit::makeFolders(dir));
        std::strcpy(setup.targetDir, dir.c_str());
    }

    void startRun(bool upgrade, int cancelAfterLabels = 0, bool shown = false)
    {
        dialog_.upgrade = upgrade;
        dialog_.cancelAfterLabels = cancelAfterLabels;
        dialog_.shown = shown;
        dialog_.window = nullptr;
        dialog_.labels = 0;
        dialog_.result = dialog_.copyStateAfter = dialog_.bar = -1;
        dialog_.label.clear();
        dialog_.controlsPaint = false;
        dialog_.boxHook = nullptr;
        dialog_.boxes = 0;
        dialog_.firstBoxOverPanelAsItStands = false;
        bare = &dialog_;
        ui_.reset(new testkit::Background([upgrade] {
            openDialog(upgrade ? IDD_UPGRADE : IDD_INSTALL, nullptr, bareProgressProc);
        }));
        ASSERT_TRUE(driver::waitUntil([this] { return dialog_.window.load() != nullptr; }, 10000));
    }

    // Dialog 110, offered owned by the progress dialog: declined.
    void declineShortcutOffer()
    {
        driver::DialogQuery query = driver::byIds({IDC_SHORTCUT_YES, IDC_SHORTCUT_NO}, GetCurrentProcessId());
        query.owner = dialog_.window;
        HWND offer = driver::waitDialog(query);
        ASSERT_NE(nullptr, offer) << driver::describeWindows(GetCurrentProcessId());
        ASSERT_TRUE(driver::click(offer, IDC_SHORTCUT_NO));
    }

    // A fresh run that fails, telling text alone, over the bar and the label as they stand, and
    // returning 0.
    void expectFreshRunToFailWith(const std::string& text)
    {
        testkit::MessageWatcher watcher({IDOK});
        startRun(false, 0, true);
        expectRunEnds();
        EXPECT_EQ(0, dialog_.result);
        EXPECT_TRUE(dialog_.firstBoxOverPanelAsItStands);
        EXPECT_EQ(std::vector<std::string>({errorBox(text)}), testkit::captionsAndTexts(watcher.stop()));
    }

    void expectRunEnds()
    {
        ASSERT_TRUE(ui_->finished(30000)) << driver::describeWindows(GetCurrentProcessId());
    }

    std::string content(const std::string& path) { return testkit::readFile(path); }

    char previousDirectory_[MAX_PATH] = {};
    BareDialog dialog_;
    std::unique_ptr<testkit::Background> ui_;
    std::unique_ptr<testkit::ProgramsRedirect> redirect_;
};

// A section of three files in three folders of the CD, the last into a sub-folder that does
// not exist yet.
const char threeFolders[] =
    "[最小]\n1\n\n\nNOTHING\n[END]\n"
    "[最大]\n3\nVKTEST\\\n\nVELKORIN.EXE\n\\\nVKTEST\\DATA\\\n\nKAO.DAT\n"
    "\\\nVKTEST\\VOICE\\\nvoice\\\nVALL00.DAT\n[END]\n";

}  // namespace

TEST_F(CopyEngine, FreshInstallCompletesRecordsAndOffersTheShortcut)
{
    manifest(threeFolders);
    cdFile("VELKORIN.EXE", "exe");
    cdFile("DATA\\KAO.DAT", "kao");
    cdFile("VOICE\\VALL00.DAT", "voice");
    ASSERT_TRUE(SetFileAttributesA("Q:\\VKTEST\\DATA\\KAO.DAT", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    prepareTarget(installDir);
    // The folder of an earlier installation, whose saves come over.
    ASSERT_TRUE(testkit::makeFolders("D:\\CeTest\\Old"));
    ASSERT_TRUE(testkit::writeFile("D:\\CeTest\\Old\\SAVE0.DAT", "old save"));
    std::strcpy(setup.previousDir, "D:\\CeTest\\Old\\");
    setup.chosenType = 2;

    testkit::MessageWatcher watcher({IDYES});
    startRun(false);
    declineShortcutOffer();
    expectRunEnds();
    Seen seen = watcher.stop();

    EXPECT_EQ(1, dialog_.result);
    EXPECT_EQ(std::vector<std::string>({std::string(texts::captionSetup) + "|" + texts::copySaves}), testkit::captionsAndTexts(seen));
    EXPECT_EQ(99, dialog_.bar);
    EXPECT_EQ("100 %", dialog_.label);
    EXPECT_TRUE(dialog_.controlsPaint);
    EXPECT_STREQ(installDir, setup.installDir);
    EXPECT_STREQ("D:\\", setup.installDrive);
    EXPECT_EQ(2, setup.installedType);
    EXPECT_EQ("Q:", recordText("cur"));
    EXPECT_EQ(installDir, recordText("dir"));
    EXPECT_EQ(2u, recordLevel());

    const std::string dir = installDir;
    EXPECT_EQ("exe", content(dir + "VELKORIN.EXE"));
    EXPECT_EQ("kao", content(dir + "KAO.DAT"));
    EXPECT_EQ("voice", content(dir + "voice\\VALL00.DAT"));
    EXPECT_EQ("old save", content(dir + "SAVE0.DAT"));
    for (const char* name : {"VELKORIN.EXE", "KAO.DAT", "voice\\VALL00.DAT"})
        EXPECT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE), attributesOf(dir + name)) << name;
}

TEST_F(CopyEngine, FreshInstallRecordsTheFirstDestinationFolder)
{
    manifest("[最小]\n1\nVKTEST\\\nGAME\\\nVELKORIN.EXE\n[END]\n");
    cdFile("VELKORIN.EXE", "exe");
    prepareTarget(installDir);
    setup.chosenType = 0;

    startRun(false);
    declineShortcutOffer();
    expectRunEnds();

    EXPECT_EQ(1, dialog_.result);
    const std::string game = std::string(installDir) + "GAME\\";
    EXPECT_EQ(game, setup.installDir);
    EXPECT_EQ(game, recordText("dir"));
    EXPECT_EQ(0u, recordLevel());
    EXPECT_EQ("exe", content(game + "VELKORIN.EXE"));
    EXPECT_EQ(100, dialog_.bar);
}

TEST_F(CopyEngine, SourceThatDoesNotOpenEndsWithItsCodeAndKeepsWhatWasThere)
{
    manifest("[最大]\n3\nVKTEST\\\n\nA.DAT\nB.DAT\nC.DAT\n[END]\n");
    cdFile("A.DAT", "a");
    cdFile("C.DAT", "c");
    prepareTarget(installDir);
    // A file of the name missing on the CD is already in the folder: it is not the run's to remove.
    ASSERT_TRUE(testkit::writeFile(std::string(installDir) + "B.DAT", "mine"));
    setup.chosenType = 2;

    testkit::MessageWatcher watcher({IDOK});
    startRun(false);
    expectRunEnds();
    Seen seen = watcher.stop();

    EXPECT_EQ(0, dialog_.result);
    EXPECT_EQ(copyRunning, dialog_.copyStateAfter);
    EXPECT_TRUE(dialog_.controlsPaint);
    EXPECT_EQ(std::vector<std::string>({errorBox("エラーコード 2")}), testkit::captionsAndTexts(seen));
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ(dialog_.window.load(), seen[0].owner);
    EXPECT_EQ("a", content(std::string(installDir) + "A.DAT"));
    EXPECT_EQ("mine", content(std::string(installDir) + "B.DAT"));
    EXPECT_FALSE(driver::fileExists(std::string(installDir) + "C.DAT"));
    EXPECT_FALSE(testkit::recordValueExists("dir"));
}

TEST_F(CopyEngine, DestinationTwoLevelsDeepEndsWithPathNotFound)
{
    manifest("[最大]\n2\nVKTEST\\\n\nA.DAT\n\\\nVKTEST\\\nsub\\deeper\\\nB.DAT\n[END]\n");
    cdFile("A.DAT", "a");
    cdFile("B.DAT", "b");
    prepareTarget(installDir);
    setup.chosenType = 2;

    expectFreshRunToFailWith("エラーコード 3");
    EXPECT_EQ("a", content(std::string(installDir) + "A.DAT"));
    EXPECT_FALSE(driver::directoryExists(std::string(installDir) + "sub"));
}

TEST_F(CopyEngine, FreshInstallIntoAFolderHoldingEveryFileOverwritesNone)
{
    manifest(threeFolders);
    cdFile("VELKORIN.EXE", "exe");
    cdFile("DATA\\KAO.DAT", "kao");
    cdFile("VOICE\\VALL00.DAT", "voice");
    prepareTarget(installDir);
    const std::string dir = installDir;
    ASSERT_TRUE(testkit::makeFolders(dir + "voice"));
    for (const char* name : {"VELKORIN.EXE", "KAO.DAT", "voice\\VALL00.DAT"}) {
        ASSERT_TRUE(testkit::writeFile(dir + name, "mine"));
        ASSERT_TRUE(SetFileAttributesA((dir + name).c_str(), FILE_ATTRIBUTE_HIDDEN));
    }
    setup.chosenType = 1;

    startRun(false);
    declineShortcutOffer();
    expectRunEnds();

    EXPECT_EQ(1, dialog_.result);
    EXPECT_EQ(99, dialog_.bar);
    EXPECT_EQ("100 %", dialog_.label);
    for (const char* name : {"VELKORIN.EXE", "KAO.DAT", "voice\\VALL00.DAT"}) {
        EXPECT_EQ("mine", content(dir + name)) << name;
        EXPECT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE), attributesOf(dir + name)) << name;
    }
}

TEST_F(CopyEngine, CountDoesNotLimitTheFilesCopied)
{
    // The last group names a file twice in a folder the run makes: the second is the first's.
    manifest("[最大]\n2\nVKTEST\\\n\nA.DAT\nB.DAT\nC.DAT\nD.DAT\nE.DAT\n\\\nVKTEST\\\nsub\\\nB.DAT\nB.DAT\n[END]\n");
    for (const char* name : {"A.DAT", "B.DAT", "C.DAT", "D.DAT", "E.DAT"})
        cdFile(name, name);
    prepareTarget(installDir);
    setup.chosenType = 2;

    startRun(false);
    declineShortcutOffer();
    expectRunEnds();

    EXPECT_EQ(1, dialog_.result);
    for (const char* name : {"A.DAT", "B.DAT", "C.DAT", "D.DAT", "E.DAT"})
        EXPECT_EQ(name, content(std::string(installDir) + name));
    EXPECT_EQ(std::vector<std::string>({"B.DAT"}), testkit::listFolder(std::string(installDir) + "sub"));
    EXPECT_EQ("100 %", dialog_.label);
}

TEST_F(CopyEngine, ManifestWithoutAUsableHeadCopiesNothingAndTellsNothing)
{
    prepareTarget(installDir);
    setup.chosenType = 2;
    cdFile("A.DAT", "a");
    for (const char* text : {"[最大]\n0\nVKTEST\\\n\nA.DAT\n[END]\n", "[最大]\n-1\nVKTEST\\\n\nA.DAT\n[END]\n",
                             "[最大]\nmany\nVKTEST\\\n\nA.DAT\n[END]\n", "[最大]\n1\nVKTEST\\\n[END]\n",
                             "[最小]\n1\nVKTEST\\\n\nA.DAT\n[END]\n", ""}) {
        SCOPED_TRACE(text);
        if (*text)
            manifest(text);
        else
            ASSERT_TRUE(DeleteFileA("Q:\\VKTEST\\setup.lst"));
        startRun(false);
        expectRunEnds();
        EXPECT_EQ(0, dialog_.result);
        EXPECT_EQ(copyIdle, dialog_.copyStateAfter);
        EXPECT_EQ("0 %", dialog_.label);
        EXPECT_FALSE(driver::fileExists(std::string(installDir) + "A.DAT"));
    }
}

TEST_F(CopyEngine, PathPast255CharactersEndsWithFilenameExcedRange)
{
    // Q:\VKTEST\ and the name make 250 characters; D:\CeTest\Orbek\VELKORIN\ and the name 264.
    const std::string longName(240, 'L');
    manifest("[最大]\n2\nVKTEST\\\n\nA.DAT\n" + longName + "\n[END]\n");
    cdFile("A.DAT", "a");
    cdFile(longName, "long");
    prepareTarget(installDir);
    setup.chosenType = 2;

    expectFreshRunToFailWith("エラーコード 206");
    EXPECT_EQ("a", content(std::string(installDir) + "A.DAT"));
}

TEST_F(CopyEngine, CancelAfterAKeepSavesRemovalKeepsSavesInTheNewFolderOnly)
{
    // A removal that kept the saves left D:\CeTest\Old\ in the record, without a level.
    const std::string oldDir = "D:\\CeTest\\Old\\";
    ASSERT_TRUE(testkit::makeFolders(oldDir));
    ASSERT_TRUE(testkit::writeFile(oldDir + "SAVE0.DAT", "old save"));
    testkit::writeRecord(oldDir, 1);
    ASSERT_EQ(1, deleteInstallRecord(1));
    std::strcpy(setup.previousDir, oldDir.c_str());

    const std::string newDir = "D:\\CeTest\\New\\Orbek\\VELKORIN\\";
    prepareTarget(newDir);
    ASSERT_TRUE(testkit::writeFile(newDir + "SAVE1.DAT", "new save"));
    // A game file of an earlier installation there: not the run's to remove.
    ASSERT_TRUE(testkit::writeFile(newDir + "KAO.DAT", "old kao"));
    manifest("[最大]\n3\nVKTEST\\\n\nVELKORIN.EXE\nKAO.DAT\nOPN.DAT\n[END]\n");
    for (const char* name : {"VELKORIN.EXE", "KAO.DAT", "OPN.DAT"})
        cdFile(name, name);
    setup.installedType = 0;
    setup.chosenType = 2;

    testkit::MessageWatcher watcher({IDOK});
    startRun(false, 2);
    expectRunEnds();
    Seen seen = watcher.stop();

    EXPECT_EQ(0, dialog_.result);
    EXPECT_EQ(0, setup.chosenType);
    EXPECT_STREQ(newDir.c_str(), setup.installDir);
    EXPECT_FALSE(driver::fileExists(newDir + "VELKORIN.EXE"));
    EXPECT_EQ("old kao", content(newDir + "KAO.DAT"));
    EXPECT_FALSE(driver::fileExists(newDir + "OPN.DAT"));
    EXPECT_EQ("new save", content(newDir + "SAVE1.DAT"));
    EXPECT_EQ("old save", content(oldDir + "SAVE0.DAT"));
    EXPECT_EQ(oldDir, recordText("dir"));
    EXPECT_FALSE(testkit::recordValueExists("set"));
    expectOnlyRemovalMessages(seen, dialog_.window);
}

TEST_F(CopyEngine, CancelOfAFreshInstallRemovesTheFilesAndFoldersItMadeOnly)
{
    manifest(threeFolders);
    cdFile("VELKORIN.EXE", "exe");
    cdFile("DATA\\KAO.DAT", "kao");
    cdFile("VOICE\\VALL00.DAT", "voice");
    prepareTarget(installDir);
    setup.chosenType = 2;

    testkit::MessageWatcher watcher({IDOK});
    startRun(false, 3);
    expectRunEnds();
    Seen seen = watcher.stop();

    EXPECT_EQ(0, dialog_.result);
    EXPECT_EQ(3, dialog_.labels);
    // The voice folder was the run's; the install folder was there before it.
    EXPECT_TRUE(testkit::captionsAndTexts(seen).empty());
    EXPECT_FALSE(driver::directoryExists(std::string(installDir) + "voice"));
    EXPECT_TRUE(driver::directoryExists(installDir));
    EXPECT_TRUE(testkit::listFolder(installDir).empty());
}

TEST_F(CopyEngine, FullDiskLeavesNoPartialFile)
{
    if (!std::getenv("VK_SMALL_DISK"))
        GTEST_SKIP() << "E: is not a small disk of its own on this bench";
    const std::string dir = "E:\\FullTest\\";
    testkit::deleteTree("E:\\FullTest");
    manifest("[最大]\n3\nVKTEST\\\n\nSMALL.DAT\nBIG.DAT\nAFTER.DAT\n[END]\n");
    cdFile("SMALL.DAT", "small");
    cdFile("BIG.DAT", std::string(8 * 1024 * 1024, 'B'));
    cdFile("AFTER.DAT", "after");
    prepareTarget(dir);
    setup.chosenType = 2;

    testkit::MessageWatcher watcher({IDOK});
    startRun(false);
    expectRunEnds();
    std::vector<std::string> texts = testkit::captionsAndTexts(watcher.stop());

    EXPECT_EQ(0, dialog_.result);
    EXPECT_EQ(std::vector<std::string>({errorBox("エラーコード 112")}), texts);
    EXPECT_EQ("small", content(dir + "SMALL.DAT"));
    EXPECT_FALSE(driver::fileExists(dir + "BIG.DAT"));
    EXPECT_FALSE(driver::fileExists(dir + "AFTER.DAT"));
    testkit::deleteTree("E:\\FullTest");
}

namespace {

// An installation at the minimum level with two files of its own, upgraded by a section of five
// files: KAO.DAT (new), VELKORIN.EXE (present), voice\VALL00.DAT (new, in a new folder),
// OPN.DAT (present), SE.DAT (new).
class Upgrade : public CopyEngine {
protected:
    void SetUp() override
    {
        CopyEngine::SetUp();
        manifest("[標準]\n5\nVKTEST\\\n\nKAO.DAT\nVELKORIN.EXE\n\\\nVKTEST\\VOICE\\\nvoice\\\nVALL00.DAT\n"
                 "\\\nVKTEST\\\n\nOPN.DAT\nSE.DAT\n[END]\n");
        for (const char* name : {"KAO.DAT", "VELKORIN.EXE", "OPN.DAT", "SE.DAT"})
            cdFile(name, "new");
        cdFile("VOICE\\VALL00.DAT", "new");
        ASSERT_TRUE(testkit::makeFolders(dir_));
        for (const char* name : {"VELKORIN.EXE", "OPN.DAT"})
            ASSERT_TRUE(testkit::writeFile(dir_ + name, "mine"));
        ASSERT_TRUE(SetFileAttributesA((dir_ + "VELKORIN.EXE").c_str(), FILE_ATTRIBUTE_HIDDEN));
        std::strcpy(setup.installDir, dir_.c_str());
        std::strcpy(setup.installDrive, "D:\\");
        testkit::writeRecord(dir_, 0);
        setup.installedType = 0;
        setup.chosenType = 1;
    }

    void expectPresentFilesUntouched()
    {
        EXPECT_EQ("mine", content(dir_ + "VELKORIN.EXE"));
        EXPECT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN), attributesOf(dir_ + "VELKORIN.EXE"));
        EXPECT_EQ("mine", content(dir_ + "OPN.DAT"));
    }

    const std::string dir_ = installDir;
};

struct CancelPoint {
    int afterFiles;
};

void PrintTo(const CancelPoint& point, std::ostream* out)
{
    *out << "cancel after file " << point.afterFiles;
}

class UpgradeCancel : public Upgrade, public ::testing::WithParamInterface<CancelPoint> {};

}  // namespace

TEST_P(UpgradeCancel, DeletesExactlyTheFilesItCreated)
{
    const CancelPoint& point = GetParam();
    testkit::MessageWatcher watcher({IDYES, IDOK});
    startRun(true, point.afterFiles, true);
    expectRunEnds();
    Seen seen = watcher.stop();

    EXPECT_EQ(0, dialog_.result);
    // The run got as far as the file it was cancelled after, and no further; its question came
    // up over the bar and the label painted as they stood.
    EXPECT_EQ(point.afterFiles, dialog_.labels);
    EXPECT_TRUE(dialog_.firstBoxOverPanelAsItStands);
    EXPECT_TRUE(dialog_.controlsPaint);
    EXPECT_EQ(0, setup.chosenType);
    for (const char* name : {"KAO.DAT", "voice\\VALL00.DAT", "SE.DAT"})
        EXPECT_FALSE(driver::fileExists(dir_ + name)) << name;
    EXPECT_FALSE(driver::directoryExists(dir_ + "voice"));
    expectPresentFilesUntouched();
    EXPECT_EQ(0u, recordLevel());
    expectOnlyRemovalMessages(seen, dialog_.window);
}

INSTANTIATE_TEST_SUITE_P(FirstMiddleLast, UpgradeCancel,
                         ::testing::Values(CancelPoint{1}, CancelPoint{3}, CancelPoint{5}),
                         [](const ::testing::TestParamInfo<CancelPoint>& point) {
                             return "AfterFile" + std::to_string(point.param.afterFiles);
                         });

TEST_F(Upgrade, CompletesAndOffersTheShortcutOnlyWhenItIsMissing)
{
    const std::string shortcut = std::string(programs) + "\\Orbek\\Velkorin.lnk";
    ASSERT_TRUE(testkit::makeFolders(std::string(programs) + "\\Orbek"));
    ASSERT_TRUE(testkit::writeFile(shortcut, "link"));

    startRun(true);
    expectRunEnds();
    EXPECT_EQ(1, dialog_.result);
    EXPECT_EQ(1, setup.installedType);
    EXPECT_EQ(1u, recordLevel());
    EXPECT_EQ(dir_, recordText("dir"));
    EXPECT_EQ("100 %", dialog_.label);
    for (const char* name : {"KAO.DAT", "voice\\VALL00.DAT", "SE.DAT"}) {
        EXPECT_EQ("new", content(dir_ + name)) << name;
        EXPECT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE), attributesOf(dir_ + name)) << name;
    }
    expectPresentFilesUntouched();

    // Again with every file in place and the shortcut gone: nothing copied, the offer made.
    ASSERT_TRUE(DeleteFileA(shortcut.c_str()));
    startRun(true);
    declineShortcutOffer();
    expectRunEnds();
    EXPECT_EQ(1, dialog_.result);
    expectPresentFilesUntouched();
}

TEST_F(Upgrade, CancelDeletesFilesBeyondTheRecordTable)
{
    // 520 new files, more than copiedFiles holds; a count of 100 moves the label on every file.
    const int files = 520;
    std::string text = "[標準]\n100\nVKTEST\\MANY\\\nmany\\\n";
    for (int i = 0; i < files; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "F%03d.DAT", i);
        text += name;
        text += "\n";
        cdFile(std::string("MANY\\") + name, name);
    }
    manifest(text + "[END]\n");

    testkit::MessageWatcher watcher({IDOK});
    startRun(true, files);
    expectRunEnds();
    Seen seen = watcher.stop();

    EXPECT_EQ(0, dialog_.result);
    EXPECT_EQ(files, dialog_.labels);
    EXPECT_FALSE(driver::directoryExists(dir_ + "many"));
    expectPresentFilesUntouched();
    expectOnlyRemovalMessages(seen, dialog_.window);
}
