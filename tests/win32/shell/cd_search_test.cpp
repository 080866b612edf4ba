#include <gtest/gtest.h>

#include <cstring>

#include "shell/base/setup_state.h"
#include "shell/flow/cd_search.h"
#include "shell/flow/codec_notice.h"
#include "shell/flow/start_up.h"
#include "support/message_watcher.h"
#include "wine_bench.h"

namespace {

class CdSearch : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::memset(&setup, 0, sizeof setup);
        std::strcpy(setup.driveRoot, "A:\\");
        ASSERT_TRUE(testkit::removeDisc('A'));
        ASSERT_TRUE(testkit::removeDisc('P'));
        ASSERT_TRUE(testkit::removeDisc('Q'));
        ASSERT_TRUE(testkit::removeDisc('R'));
    }
    void TearDown() override { testkit::restoreDefaultDiscs(); }
};

}  // namespace

TEST_F(CdSearch, LowerCaseLabelIsFoundAfterRaisingItsLetters)
{
    ASSERT_TRUE(testkit::insertDisc('Q', "velkorin"));
    EXPECT_EQ(1, findGameCd());
    EXPECT_STREQ("Q:", setup.cdDrive);
}

TEST_F(CdSearch, LabelThatBeginsWithThePrefixMatches)
{
    ASSERT_TRUE(testkit::insertDisc('R', "VELKORIN_DISC1"));
    EXPECT_EQ(1, findGameCd());
    EXPECT_STREQ("R:", setup.cdDrive);
}

TEST_F(CdSearch, SevenLetterLabelIsNotTheGameCd)
{
    ASSERT_TRUE(testkit::insertDisc('Q', "VELKORI"));
    std::strcpy(setup.cdDrive, "X:");
    EXPECT_EQ(0, findGameCd());
    EXPECT_STREQ("X:", setup.cdDrive);
}

TEST_F(CdSearch, LowerLetterWinsAmongTwoGameCds)
{
    ASSERT_TRUE(testkit::insertDisc('R', "VELKORIN"));
    ASSERT_TRUE(testkit::insertDisc('P', "VELKORIN"));
    EXPECT_EQ(1, findGameCd());
    EXPECT_STREQ("P:", setup.cdDrive);
}

TEST_F(CdSearch, DriveAIsTriedFirstWhateverItsType)
{
    ASSERT_TRUE(testkit::insertDisc('P', "VELKORIN"));
    ASSERT_TRUE(testkit::insertDisc('A', "VELKORIN"));
    ASSERT_NE(static_cast<UINT>(DRIVE_CDROM), GetDriveTypeA("A:\\"));
    EXPECT_EQ(1, findGameCd());
    EXPECT_STREQ("A:", setup.cdDrive);
}

TEST_F(CdSearch, LabelOnADriveThatIsNoCdRomIsIgnored)
{
    // D: is a fixed disk of the bench; only A: is exempt from the drive-type test.
    std::string label = testkit::drivesDir() + "\\d\\.windows-label";
    HANDLE file = CreateFileA(label.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    DWORD written;
    WriteFile(file, "VELKORIN\n", 9, &written, nullptr);
    CloseHandle(file);
    ASSERT_TRUE(driver::remountDrive('D'));
    char seen[256] = {};
    bool labelled = driver::waitUntil([&] {
        return GetVolumeInformationA("D:\\", seen, sizeof seen, nullptr, nullptr, nullptr, nullptr, 0) &&
               std::strcmp(seen, "VELKORIN") == 0;
    }, 10000);
    DeleteFileA(label.c_str());
    ASSERT_TRUE(labelled) << "D: does not show the label";
    EXPECT_EQ(0, findGameCd());
    driver::remountDrive('D');
}

TEST(CodecCheck, FollowsThePresenceOfTheCodecKey)
{
    const char path[] = "SOFTWARE\\Microsoft\\AudioCompressionManager\\DriverCache\\msacm.imaadpcm";
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, KEY_ALL_ACCESS,
                                             nullptr, &key, nullptr));
    RegCloseKey(key);
    EXPECT_EQ(1, hasAdpcmCodec());
    ASSERT_EQ(ERROR_SUCCESS, RegDeleteKeyA(HKEY_LOCAL_MACHINE, path));
    EXPECT_EQ(0, hasAdpcmCodec());
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, KEY_ALL_ACCESS,
                                             nullptr, &key, nullptr));
    RegCloseKey(key);
}
