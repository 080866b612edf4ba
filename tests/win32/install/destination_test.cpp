// Free space, the folder name field and the creation of the install folder, on the bench's D:
// and E: drives.

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "install/free_space.h"
#include "install/install_dialog.h"
#include "install/install_folder.h"
#include "resources/resource.h"
#include "shell/base/setup_state.h"
#include "support/message_watcher.h"
#include "testkit.h"
#include "setup_texts.h"

namespace {

const char top[] = "D:\\DestTest";

std::string forbidden(char c)
{
    return std::string("インストール出来ない文字 ") + c + " が含まれています。";
}

using Seen = std::vector<testkit::MessageWatcher::Seen>;

std::vector<std::string> warnings(const std::vector<std::string>& texts)
{
    std::vector<std::string> out;
    for (const std::string& text : texts)
        out.push_back(std::string(texts::captionWarning) + "|" + text);
    return out;
}

INT_PTR CALLBACK quietDialogProc(HWND, UINT, WPARAM, LPARAM)
{
    return 0;
}

class Destination : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::memset(&setup, 0, sizeof setup);
        setup.appInstance = GetModuleHandleA(nullptr);
        testkit::deleteTree(top);
        ASSERT_TRUE(CreateDirectoryA(top, nullptr));
        std::strcpy(setup.browsePaths[0], "D:\\");
    }

    void TearDown() override { testkit::deleteTree(top); }

    bool isFolder(const std::string& path) { return driver::directoryExists(path); }

    testkit::OwnerWindow owner_;
};

}  // namespace

TEST_F(Destination, FreeSpaceIsReadFromTheDriveRoot)
{
    std::uint64_t freeBytes = 0;
    ASSERT_EQ(1, queryFreeBytes("D:\\", freeBytes));
    EXPECT_GT(freeBytes, 0u);
    EXPECT_TRUE(hasRoomFor("D:\\", 0));
    EXPECT_FALSE(hasRoomFor("D:\\", UINT64_MAX));

    // A letter with no drive behind it.
    EXPECT_EQ(0, queryFreeBytes("M:\\", freeBytes));
    EXPECT_FALSE(hasRoomFor("M:\\", 0));
}

TEST_F(Destination, RoomIsEnoughWhenFreeSpaceEqualsTheRequirement)
{
    if (!std::getenv("VK_SMALL_DISK"))
        GTEST_SKIP() << "E: is not a small disk of its own on this bench";
    // Nothing else writes to the small disk, so its free space holds still between calls.
    ULARGE_INTEGER available, total;
    ASSERT_TRUE(GetDiskFreeSpaceExA("E:\\", &available, &total, nullptr));
    std::uint64_t freeBytes = 0;
    ASSERT_EQ(1, queryFreeBytes("E:\\", freeBytes));
    EXPECT_EQ(available.QuadPart, freeBytes);
    EXPECT_TRUE(hasRoomFor("E:\\", freeBytes));
    EXPECT_FALSE(hasRoomFor("E:\\", freeBytes + 1));
}

TEST_F(Destination, FolderFieldIsNormalisedAndShownBelowTheBase)
{
    HWND dlg = CreateDialogParamA(setup.appInstance, MAKEINTRESOURCEA(IDD_INSTALL), nullptr, quietDialogProc, 0);
    ASSERT_NE(nullptr, dlg);
    const struct {
        const char* typed;
        const char* field;
        const char* folderName;
    } cases[] = {
        {"\\Games\\Orbek", "Games\\Orbek", "Games\\Orbek\\"},
        {"Games\\Orbek\\", "Games\\Orbek\\", "Games\\Orbek\\"},
        {"x\\\\", "x\\\\", "x\\\\"},
        {"", "", ""},
        // The trail byte 5C of ソ and 表 is no backslash.
        {"ソ", "ソ", "ソ\\"},
        {"表示", "表示", "表示\\"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        SetDlgItemTextA(dlg, IDC_INSTALL_FOLDER_NAME, c.typed);
        SendDlgItemMessageA(dlg, IDC_INSTALL_FOLDER_NAME, EM_SETMODIFY, TRUE, 0);
        normaliseFolderName(dlg);
        EXPECT_STREQ(c.folderName, setup.folderName);
        EXPECT_EQ(c.field, driver::controlText(dlg, IDC_INSTALL_FOLDER_NAME));
        EXPECT_EQ(0, SendDlgItemMessageA(dlg, IDC_INSTALL_FOLDER_NAME, EM_GETMODIFY, 0, 0));
        EXPECT_EQ(std::string("D:\\") + c.folderName, driver::controlText(dlg, IDC_PROGRESS_DESTINATION));
    }

    // A base folder picked in the browser, and a field typed to its 255-character limit.
    std::strcpy(setup.browsePaths[1], "D:\\DestTest\\");
    setup.browseSelection = 1;
    std::string longName(300, 'n');
    SetDlgItemTextA(dlg, IDC_INSTALL_FOLDER_NAME, longName.c_str());
    normaliseFolderName(dlg);
    EXPECT_EQ(std::string(255, 'n') + "\\", setup.folderName);
    EXPECT_EQ(std::string("D:\\DestTest\\") + setup.folderName, driver::controlText(dlg, IDC_PROGRESS_DESTINATION));
    DestroyWindow(dlg);
}

TEST_F(Destination, NameOf239BytesPassesAnd240DoNot)
{
    std::strcpy(setup.folderName, (std::string(238, 'a') + "\\").c_str());
    testkit::MessageWatcher watcher({IDOK});
    EXPECT_TRUE(validateFolderName(owner_.handle()));
    std::strcpy(setup.folderName, (std::string(239, 'a') + "\\").c_str());
    EXPECT_FALSE(validateFolderName(owner_.handle()));
    Seen seen = watcher.stop();
    EXPECT_EQ(warnings({texts::nameTooLong}), testkit::captionsAndTexts(seen));
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ(owner_.handle(), seen[0].owner);
}

TEST_F(Destination, LongNameWithTwoForbiddenCharactersToldThreeTimes)
{
    std::string name = std::string(100, 'a') + "*" + std::string(100, 'b') + "?" + std::string(47, 'c') + "\\";
    ASSERT_EQ(250u, name.size());
    std::strcpy(setup.folderName, name.c_str());
    testkit::MessageWatcher watcher({IDOK});
    EXPECT_FALSE(validateFolderName(owner_.handle()));
    EXPECT_EQ(warnings({texts::nameTooLong, forbidden('*'), forbidden('?')}), testkit::captionsAndTexts(watcher.stop()));
}

TEST_F(Destination, EveryForbiddenCharacterIsToldInTheOrderOfTheName)
{
    std::strcpy(setup.folderName, "a|b?c>d<e:f/g*h\"\\");
    testkit::MessageWatcher watcher({IDOK});
    EXPECT_FALSE(validateFolderName(owner_.handle()));
    EXPECT_EQ(warnings({forbidden('|'), forbidden('?'), forbidden('>'), forbidden('<'), forbidden(':'),
                        forbidden('/'), forbidden('*'), forbidden('"')}),
              testkit::captionsAndTexts(watcher.stop()));
}

TEST_F(Destination, ForbiddenCharactersAreJudgedByByteBackslashesByCharacter)
{
    testkit::MessageWatcher watcher({IDOK});
    std::strcpy(setup.folderName, "ゲームポ\\");
    EXPECT_FALSE(validateFolderName(owner_.handle()));
    // −, 81 7C, is refused like ポ.
    std::strcpy(setup.folderName, "１−２\\");
    EXPECT_FALSE(validateFolderName(owner_.handle()));
    // A trail byte 5C is no backslash: ソ, 表 and 十予 (8F 5C 97 5C) pass with one of their own
    // after them; a second one of its own is still a pair.
    for (const char* name : {"ソ\\", "表\\", "十予\\能\\VK\\"}) {
        std::strcpy(setup.folderName, name);
        EXPECT_TRUE(validateFolderName(owner_.handle())) << name;
    }
    std::strcpy(setup.folderName, "表\\\\");
    EXPECT_FALSE(validateFolderName(owner_.handle()));
    const std::string pair = " \\ マークが連続しています。";
    EXPECT_EQ(warnings({forbidden('|'), forbidden('|'), pair}), testkit::captionsAndTexts(watcher.stop()));
}

TEST_F(Destination, MissingFoldersAreCreatedLevelByLevel)
{
    std::strcpy(setup.browsePaths[1], "D:\\DestTest\\");
    setup.browseSelection = 1;
    std::strcpy(setup.folderName, "Games\\Orbek\\VELKORIN\\");
    testkit::MessageWatcher watcher({IDOK});
    EXPECT_EQ(1, createInstallFolder(owner_.handle()));
    EXPECT_TRUE(testkit::captionsAndTexts(watcher.stop()).empty());
    EXPECT_STREQ("D:\\DestTest\\Games\\Orbek\\VELKORIN\\", setup.targetDir);
    EXPECT_TRUE(isFolder("D:\\DestTest\\Games\\Orbek\\VELKORIN"));
}

TEST_F(Destination, ExistingFolderIsUsedOnlyAfterYes)
{
    std::strcpy(setup.folderName, "DestTest\\");
    testkit::MessageWatcher watcher({IDNO, IDYES});
    EXPECT_EQ(0, createInstallFolder(owner_.handle()));
    EXPECT_EQ(1, createInstallFolder(owner_.handle()));
    EXPECT_STREQ("D:\\DestTest\\", setup.targetDir);
    EXPECT_EQ(warnings({texts::folderExists, texts::folderExists}), testkit::captionsAndTexts(watcher.stop()));
}

TEST_F(Destination, EmptyNameOnTheDriveRootAsksAboutTheRoot)
{
    setup.folderName[0] = '\0';
    testkit::MessageWatcher watcher({IDYES});
    EXPECT_EQ(1, createInstallFolder(owner_.handle()));
    EXPECT_STREQ("D:\\", setup.targetDir);
    EXPECT_EQ(warnings({texts::rootQuestion}), testkit::captionsAndTexts(watcher.stop()));
}

TEST_F(Destination, TargetPast255CharactersIsRefusedBeforeAnythingIsMade)
{
    std::strcpy(setup.browsePaths[1], "D:\\DestTest\\");
    setup.browseSelection = 1;
    // 12 + 242 + 1 = 255 characters: still taken.
    std::string fits = std::string(242, 'f') + "\\";
    std::strcpy(setup.folderName, fits.c_str());
    testkit::MessageWatcher watcher({IDOK});
    EXPECT_EQ(1, createInstallFolder(owner_.handle()));
    EXPECT_EQ(255u, std::strlen(setup.targetDir));
    EXPECT_TRUE(isFolder("D:\\DestTest\\" + std::string(242, 'f')));

    std::string tooLong = "Sub\\" + std::string(239, 'g') + "\\";
    std::strcpy(setup.folderName, tooLong.c_str());
    EXPECT_EQ(0, createInstallFolder(owner_.handle()));
    EXPECT_EQ(warnings({texts::nameTooLong}), testkit::captionsAndTexts(watcher.stop()));
    EXPECT_FALSE(isFolder("D:\\DestTest\\Sub"));

    // A base folder of 250 characters from the browser: a short name still fits, the default
    // one does not.
    std::string base = std::string("D:\\DestTest\\") + std::string(237, 'b') + "\\";
    ASSERT_EQ(250u, base.size());
    ASSERT_TRUE(CreateDirectoryA(base.c_str(), nullptr));
    std::strcpy(setup.browsePaths[1], base.c_str());
    std::strcpy(setup.folderName, "abcd\\");
    testkit::MessageWatcher again({IDOK});
    EXPECT_EQ(1, createInstallFolder(owner_.handle()));
    EXPECT_EQ(base + "abcd\\", setup.targetDir);
    std::strcpy(setup.folderName, "Orbek\\VELKORIN\\");
    EXPECT_EQ(0, createInstallFolder(owner_.handle()));
    EXPECT_EQ(warnings({texts::nameTooLong}), testkit::captionsAndTexts(again.stop()));
    EXPECT_FALSE(isFolder(base + "Orbek"));
}

TEST_F(Destination, FailedCreationTellsItsCodeWithBracketsOnlyInTheChain)
{
    // Z:\sys is the host's /sys, where not even root can make a folder: the system refuses
    // with 5. Tried alone the code is told plainly; inside the level-by-level creation (the
    // first level missing) it is told in brackets.
    std::strcpy(setup.browsePaths[1], "Z:\\sys\\");
    setup.browseSelection = 1;
    testkit::MessageWatcher watcher({IDOK});
    std::strcpy(setup.folderName, "vktest\\");
    EXPECT_EQ(0, createInstallFolder(owner_.handle()));
    std::strcpy(setup.folderName, "vktest\\deeper\\");
    EXPECT_EQ(0, createInstallFolder(owner_.handle()));
    // A level below a file cannot be made: its parent is no folder (3).
    ASSERT_TRUE(testkit::writeFile("D:\\DestTest\\afile", "mine"));
    std::strcpy(setup.browsePaths[1], "D:\\DestTest\\");
    std::strcpy(setup.folderName, "afile\\deeper\\");
    EXPECT_EQ(0, createInstallFolder(owner_.handle()));
    EXPECT_EQ(std::vector<std::string>({"エラー|エラーコード 5", "エラー|エラーコード [5]", "エラー|エラーコード [3]"}),
              testkit::captionsAndTexts(watcher.stop()));
    EXPECT_FALSE(isFolder("Z:\\sys\\vktest"));
}
