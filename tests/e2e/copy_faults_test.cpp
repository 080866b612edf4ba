// Faults during a fresh install with the real program: the CD taken out between two files, the
// disk filled by another process. Neither may leave a partial file behind, and a later install
// into the same folder must end with every file whole.
//
// The copy is paused between two files by the cancel question: a close posted behind Start (or
// behind the answer to the folder question) is met by the copy's pump after its first file, and
// the copy waits there until it is answered.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "e2e_fixture.h"
#include "install/partial_file.h"
#include "resources/resource.h"
#include "setup_texts.h"

namespace {

using e2e::SetupE2E;


const std::vector<int> levelIds = {IDC_LEVEL_MINIMUM, IDC_LEVEL_STANDARD, IDC_LEVEL_FULL};
const std::vector<int> installIds = {IDC_PROGRESS_START, IDC_PROGRESS_CANCEL, IDC_INSTALL_DRIVE_LIST,
                                     IDC_INSTALL_FOLDER_NAME, IDC_PROGRESS_DESTINATION};

class CopyFaults : public SetupE2E {
protected:
    // From a menu 104 to dialog 106 for that level with the drive chosen; the menu stays hidden.
    void openInstall(HWND menu, int levelButton, const std::string& root)
    {
        ASSERT_TRUE(driver::click(menu, IDC_MENU_INSTALL));
        HWND choice;
        ASSERT_TRUE(waitSetupDialog(&choice, levelIds));
        ASSERT_TRUE(driver::click(choice, levelButton));
        ASSERT_TRUE(waitSetupDialog(&install_, installIds));
        EXPECT_FALSE(driver::isVisible(menu));
        int index = driver::comboFind(install_, IDC_INSTALL_DRIVE_LIST, root);
        ASSERT_GE(index, 0) << root << " is not offered";
        ASSERT_TRUE(driver::comboSelect(install_, IDC_INSTALL_DRIVE_LIST, index));
        const std::string dir = root + "Orbek\\VELKORIN\\";
        ASSERT_TRUE(driver::waitUntil(
            [&] { return driver::controlText(install_, IDC_PROGRESS_DESTINATION) == dir; }, e2e::waitTimeoutMs))
            << driver::quote(driver::controlText(install_, IDC_PROGRESS_DESTINATION));
    }

    // Start, with the folder question when the folder is there; the copy then stops at the cancel
    // question after its first file, which is left open.
    void startAndPause(bool folderExists)
    {
        ASSERT_TRUE(driver::whileHeld(install_, [&] {
            return driver::click(install_, IDC_PROGRESS_START) && (folderExists || driver::postClose(install_));
        }));
        if (folderExists) {
            HWND box = driver::waitMessageBox(install_);
            ASSERT_NE(nullptr, box) << driver::describeWindows(setupPid());
            driver::MessageBoxInfo question = driver::readMessageBox(box);
            EXPECT_EQ(texts::captionWarning, question.caption);
            EXPECT_EQ(texts::folderExists, question.text);
            ASSERT_TRUE(e2e::answerThenClose(box, IDYES, install_));
        }
        pause_ = driver::waitMessageBox(install_);
        ASSERT_NE(nullptr, pause_) << driver::describeWindows(setupPid());
        EXPECT_EQ(texts::confirmInstallCancel, driver::messageText(pause_));
    }

    // No to the cancel question: the copy goes on with the next file.
    void resume()
    {
        ASSERT_TRUE(driver::answer(pause_, IDNO));
        EXPECT_TRUE(driver::waitGone(pause_));
    }

    // The copy's error, the failure, and a new menu 104 that answers.
    void expectFailure(const std::string& errorText, HWND* menu)
    {
        EXPECT_EQ("", driver::expectMessage(install_, texts::defaultCaption, errorText, IDOK, e2e::startTimeoutMs));
        EXPECT_EQ("", driver::expectMessage(install_, texts::captionSetup, texts::installFailed, IDOK));
        ASSERT_TRUE(waitMenu104(menu));
        EXPECT_TRUE(driver::waitUntil([&] { return driver::isEnabled(*menu); }, e2e::waitTimeoutMs));
        EXPECT_FALSE(testkit::keyExists(HKEY_CURRENT_USER, testkit::recordKey));
    }

    void expectSuccess()
    {
        HWND offer;
        ASSERT_TRUE(waitSetupDialog(&offer, {IDC_SHORTCUT_YES, IDC_SHORTCUT_NO}, e2e::startTimeoutMs));
        ASSERT_TRUE(driver::click(offer, IDC_SHORTCUT_NO));
        EXPECT_EQ("", driver::expectMessage(install_, texts::captionSetup, texts::installDone, IDOK, e2e::startTimeoutMs));
        EXPECT_TRUE(waitSetupExit());
    }

    // Every file below dir is one the level installs, with the bytes it has on the CD.
    void expectWholeFiles(const std::string& dir, const std::string& cd, int level, bool all)
    {
        std::vector<std::string> files = testkit::listFilesBelow(dir);
        std::vector<std::string> expected = gameFiles(level);
        std::sort(expected.begin(), expected.end());
        if (all) {
            EXPECT_EQ(expected, files);
        } else {
            EXPECT_FALSE(files.empty());
            EXPECT_LT(files.size(), expected.size());
        }
        for (const std::string& name : files) {
            EXPECT_TRUE(std::binary_search(expected.begin(), expected.end(), name)) << name;
            EXPECT_EQ(testkit::readFile(cd + name), testkit::readFile(dir + name)) << name;
        }
    }

    HWND install_ = nullptr;
    HWND pause_ = nullptr;
};

}  // namespace

// Between two files of a standard install the CD goes. Wine fails the next copy, of a file at
// the CD's root, with 2 (the drive's folder is gone); Windows fails it with 21. The code told is
// the copy's.
TEST_F(CopyFaults, CdTakenOutBetweenFilesEndsWithTheCopysCodeAndAReinstallCompletes)
{
    const std::string dir = "D:\\Orbek\\VELKORIN\\";
    // Wine will not rename the folder that is a process's current directory: the setup runs
    // in a folder of the CD, which holds the manifest too.
    ASSERT_TRUE(CopyFileA("Q:\\setup.lst", "Q:\\omake\\setup.lst", FALSE));
    ASSERT_TRUE(startSetupAt("Q:\\setup.exe", "Q:\\omake"));
    HWND menu;
    ASSERT_TRUE(waitMenu104(&menu));
    openInstall(menu, IDC_LEVEL_STANDARD, "D:\\");
    ASSERT_FALSE(HasFatalFailure());
    startAndPause(false);
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(testkit::removeDisc('Q'));
    resume();
    HWND again;
    expectFailure("エラーコード 2", &again);
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_NE(menu, again);
    expectWholeFiles(dir, testkit::demoCdFolder() + "\\", 1, false);

    // The CD back, the same folder: what is there is kept, the rest copied.
    ASSERT_TRUE(testkit::insertDisc('Q'));
    openInstall(again, IDC_LEVEL_STANDARD, "D:\\");
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(driver::click(install_, IDC_PROGRESS_START));
    EXPECT_EQ("", driver::expectMessage(install_, texts::captionWarning, texts::folderExists, IDYES));
    expectSuccess();
    expectWholeFiles(dir, "Q:\\", 1, true);
    EXPECT_EQ(testkit::dwordBytes(1), testkit::readRecordValue("set").data);
}

namespace {

// The minimum level of a CD made for the test: the game, a file in a folder of its own, one
// more beside the game. The two data files are larger than what the full disk leaves free.
const char smallDiskManifest[] =
    "[最小]\n3\n\n\nVELKORIN.EXE\n\\\nDATA\\\ndata\\\nBIG2.DAT\n\\\n\n\nBIG1.DAT\n[END]\n";
const ULONGLONG bigFileBytes = 400 * 1024;
const ULONGLONG leftWhenFull = 64 * 1024;

// The installed names and where each comes from on the CD.
const std::vector<std::pair<std::string, std::string>> smallDiskFiles = {
    {"BIG1.DAT", "BIG1.DAT"}, {"VELKORIN.EXE", "VELKORIN.EXE"}, {"data\\BIG2.DAT", "DATA\\BIG2.DAT"}};

}  // namespace

// E: fills after the game's file: the next copy, the second one of a file whose folder was just
// made, fails with 112; so does a retry's first copy into that folder. Neither leaves a part of
// the file behind, and with the room back the install completes.
TEST_F(CopyFaults, FullDiskEndsWith112WithoutATruncatedFileAndARetryCompletes)
{
    if (!std::getenv("VK_SMALL_DISK"))
        GTEST_SKIP() << "E: is not a small disk of its own on this bench";
    const std::string dir = "E:\\Orbek\\VELKORIN\\";
    const std::string cd = testkit::discFolder('Q') + "\\";
    ASSERT_TRUE(testkit::writeFile(cd + "setup.lst", smallDiskManifest));
    ASSERT_TRUE(testkit::writeFile(cd + "BIG1.DAT", std::string(bigFileBytes, '1')));
    ASSERT_TRUE(testkit::makeFolders(cd + "DATA"));
    ASSERT_TRUE(testkit::writeFile(cd + "DATA\\BIG2.DAT", std::string(bigFileBytes, '2')));

    ASSERT_TRUE(startSetup());
    HWND menu;
    ASSERT_TRUE(waitMenu104(&menu));
    for (bool folderMade : {false, true}) {
        SCOPED_TRACE(folderMade ? "data folder there" : "data folder new");
        openInstall(menu, IDC_LEVEL_MINIMUM, "E:\\");
        ASSERT_FALSE(HasFatalFailure());
        startAndPause(folderMade);
        ASSERT_FALSE(HasFatalFailure());
        ASSERT_EQ(std::vector<std::string>({"VELKORIN.EXE"}), testkit::listFilesBelow(dir));
        // With less room than the next file, that copy must fail.
        ASSERT_TRUE(testkit::leaveFreeOnDrive('E', leftWhenFull)) << "E: cannot be filled";
        resume();
        expectFailure("エラーコード 112", &menu);
        ASSERT_FALSE(HasFatalFailure());
        EXPECT_EQ(std::vector<std::string>({"VELKORIN.EXE"}), testkit::listFilesBelow(dir));
        EXPECT_EQ(testkit::readFile("Q:\\VELKORIN.EXE"), testkit::readFile(dir + "VELKORIN.EXE"));
        // The run's folder stays with the files before the fault: a failed copy undoes nothing.
        EXPECT_TRUE(driver::directoryExists(dir + "data"));
        ASSERT_TRUE(testkit::freeDrive('E'));
    }

    openInstall(menu, IDC_LEVEL_MINIMUM, "E:\\");
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(driver::click(install_, IDC_PROGRESS_START));
    EXPECT_EQ("", driver::expectMessage(install_, texts::captionWarning, texts::folderExists, IDYES));
    expectSuccess();
    std::vector<std::string> names;
    for (const auto& file : smallDiskFiles) {
        names.push_back(file.first);
        EXPECT_EQ(testkit::readFile("Q:\\" + file.second), testkit::readFile(dir + file.first)) << file.first;
    }
    EXPECT_EQ(names, testkit::listFilesBelow(dir));
}

namespace {

struct Fault {
    const char* name;
    const char* rule;        // in tools/faulty-fs's words
    bool onDestination;      // the disk written to fails, not the CD
    const char* errorText;   // what the copy tells; none when the setup is killed
};

// The CD's third file is cut where the fault strikes, past its first mebibyte.
const char faultManifest[] = "[最小]\n3\n\n\nVELKORIN.EXE\nBIG.DAT\nAFTER.DAT\n[END]\n";
const std::vector<std::string> faultFiles = {"AFTER.DAT", "BIG.DAT", "VELKORIN.EXE"};

void PrintTo(const Fault& fault, std::ostream* out) { *out << fault.name; }

std::string patterned(size_t bytes)
{
    std::string data(bytes, '\0');
    for (size_t i = 0; i < bytes; ++i)
        data[i] = static_cast<char>((i * 31 + i / 4099) % 251);
    return data;
}

// The installed file holds the CD's bytes: told by size and first difference, not byte dumps.
::testing::AssertionResult sameFile(const std::string& cdPath, const std::string& installedPath)
{
    std::string cd = testkit::readFile(cdPath);
    std::string installed = testkit::readFile(installedPath);
    if (cd == installed)
        return ::testing::AssertionSuccess();
    size_t at = std::mismatch(cd.begin(), cd.end(), installed.begin(), installed.end()).first - cd.begin();
    return ::testing::AssertionFailure() << installedPath << " has " << installed.size() << " bytes, the CD's "
                                         << cd.size() << "; they differ from byte " << at;
}

class FaultyFileSystem : public CopyFaults, public ::testing::WithParamInterface<Fault> {
protected:
    testkit::FaultyDrive faulty_;
};

}  // namespace

// A read that fails part-way (a scratched disc: Wine's CopyFileA would take it for the file's
// end and report success), a write that fails part-way with another error than a full disk
// (Wine gives 21 for EIO, either way), the setup killed outright part-way through a file. None
// may leave a file under its own name that is not the CD's whole; the player's file stays as it
// was, and once the fault is gone the same folder takes a complete install with nothing of the
// setup's own left over.
TEST_P(FaultyFileSystem, CopyThatStopsPartWayLeavesNoFileCutShortAndAReinstallCompletes)
{
    const Fault& fault = GetParam();
    const std::string dir = "D:\\Orbek\\VELKORIN\\";
    const std::string cd = testkit::discFolder('Q') + "\\";
    ASSERT_TRUE(testkit::writeFile(cd + "setup.lst", faultManifest));
    ASSERT_TRUE(testkit::writeFile(cd + "BIG.DAT", patterned(2 * 1024 * 1024 + 12345)));
    ASSERT_TRUE(testkit::writeFile(cd + "AFTER.DAT", "after"));
    ASSERT_TRUE(testkit::seedInstallation(dir, {"SAVE0.DAT"}));
    const char letter = fault.onDestination ? 'D' : 'Q';
    ASSERT_TRUE(faulty_.serve(letter, testkit::unixDriveFolder(letter), std::string(fault.rule) + "\n"));
    if (!faulty_.unavailable().empty())
        GTEST_SKIP() << "no user-space file system here: " << faulty_.unavailable();

    ASSERT_TRUE(startSetup());
    HWND menu;
    ASSERT_TRUE(waitMenu104(&menu));
    openInstall(menu, IDC_LEVEL_MINIMUM, "D:\\");
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(driver::click(install_, IDC_PROGRESS_START));
    EXPECT_EQ("", driver::expectMessage(install_, texts::captionWarning, texts::folderExists, IDYES));
    if (fault.errorText) {
        expectFailure(fault.errorText, &menu);
    } else {
        ASSERT_TRUE(waitSetupExit(e2e::startTimeoutMs)) << "the setup was not killed";
        EXPECT_FALSE(testkit::keyExists(HKEY_CURRENT_USER, testkit::recordKey));
    }
    ASSERT_FALSE(HasFatalFailure());
    // The file before the fault whole, the player's untouched, nothing cut short under its name;
    // only a killed copy leaves the setup's own partial file, which the next run takes away.
    std::vector<std::string> left = {"SAVE0.DAT", "VELKORIN.EXE"};
    if (!fault.errorText)
        left.push_back(partialFileName);
    EXPECT_EQ(left, testkit::listFilesBelow(dir));
    EXPECT_EQ("SAVE0.DAT", testkit::readFile(dir + "SAVE0.DAT"));
    EXPECT_TRUE(sameFile(cd + "VELKORIN.EXE", dir + "VELKORIN.EXE"));

    ASSERT_TRUE(faulty_.setRules(""));
    if (!fault.errorText) {
        ASSERT_TRUE(startSetup());
        ASSERT_TRUE(waitMenu104(&menu));
    }
    openInstall(menu, IDC_LEVEL_MINIMUM, "D:\\");
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(driver::click(install_, IDC_PROGRESS_START));
    EXPECT_EQ("", driver::expectMessage(install_, texts::captionWarning, texts::folderExists, IDYES));
    expectSuccess();
    EXPECT_EQ(std::vector<std::string>({"AFTER.DAT", "BIG.DAT", "SAVE0.DAT", "VELKORIN.EXE"}),
              testkit::listFilesBelow(dir));
    for (const std::string& name : faultFiles)
        EXPECT_TRUE(sameFile(cd + name, dir + name));
    EXPECT_EQ("SAVE0.DAT", testkit::readFile(dir + "SAVE0.DAT"));
    EXPECT_EQ(testkit::dwordBytes(0), testkit::readRecordValue("set").data);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, FaultyFileSystem,
    ::testing::Values(Fault{"ReadFailsPartWay", "read BIG.DAT 1048576 eio", false, "エラーコード 21"},
                      Fault{"WriteFailsPartWay", "write * 1048576 eio", true, "エラーコード 21"},
                      Fault{"KilledPartWay", "read BIG.DAT 1048576 kill", false, nullptr}),
    [](const ::testing::TestParamInfo<Fault>& param) { return std::string(param.param.name); });
