// The demo CD as a pressed disc in Q:: an ISO 9660 image whose files Wine reads from a user-space
// mount and whose label it reads from the image's own volume descriptor, through the loop device
// the image is attached to. CTest's <arch>.disc_images.insert (tools/disc-image) brings the images
// within reach first and writes how that went into <bench>/discs/status; only where this host
// cannot (not root, no /dev/fuse, no free loop device) are the tests skipped, with that reason.
// A missing status fails them, and so does a disc that went away before the test ended.

#include <gtest/gtest.h>

#include <string>

#include "journey.h"
#include "setup_texts.h"

namespace {


// The folder tools/disc-image keeps the images' mounts in, as a Unix path (for Wine's mount
// manager) or, through Z:, as a Win32 one.
std::string unixDiscsFolder()
{
    char buf[MAX_PATH * 2];
    DWORD n = GetEnvironmentVariableA("VK_WINE_DIR", buf, sizeof buf);
    if (n == 0 || n >= sizeof buf)
        return std::string();
    return std::string(buf, n) + "/discs";
}

class DiscImage : public e2e::Journey {
protected:
    void prepare() override
    {
        std::string discs = unixDiscsFolder();
        ASSERT_FALSE(discs.empty()) << "VK_WINE_DIR is not set: run the tests through tools/wine-run";
        std::string status = testkit::readFile(driver::unixToWine(discs + "/status"));
        if (status.compare(0, 13, "unavailable: ") == 0)
            GTEST_SKIP() << "disc images cannot be mounted here: " << status.substr(13);
        ASSERT_EQ("ready\n", status) << "no disc images within reach: tools/disc-image insert (CTest's "
                                        "disc_images.insert) puts them there";
    }

    void TearDown() override
    {
        // A disc taken away during the test would have made the setup's "no CD" a pass.
        if (!inserted_.empty()) {
            std::string disc = driver::unixToWine(unixDiscsFolder() + "/" + inserted_);
            EXPECT_TRUE(driver::fileExists(disc + "\\files\\setup.lst")) << inserted_ << ".iso went away during the test";
        }
        Journey::TearDown();
        // Q: back on the bench's folder, as the other tests expect it.
        if (!inserted_.empty()) {
            EXPECT_TRUE(testkit::setDriveLabel('Q', "VELKORIN"));
        }
    }

    // Puts the image NAME.iso into the drive and waits until Wine reports its label.
    ::testing::AssertionResult insertImage(char letter, const std::string& name, const std::string& label)
    {
        std::string disc = unixDiscsFolder() + "/" + name;
        if (!driver::defineDrive(letter, disc + "/files", disc + "/device"))
            return ::testing::AssertionFailure() << "cannot define " << letter << ": on " << disc;
        inserted_ = name;
        return testkit::waitDriveLabel(letter, label);
    }

private:
    std::string inserted_;
};

}  // namespace

TEST_F(DiscImage, TheWholeJourneyFromTheDiscLeavesPlainCopiesOfItsReadOnlyFiles)
{
    ASSERT_TRUE(insertImage('Q', "demo-cd", "VELKORIN"));
    // What only a disc shows: its files are read-only (the bench's CD folder holds plain files).
    DWORD attributes = GetFileAttributesA("Q:\\VELKORIN.EXE");
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, attributes);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_READONLY) << "attributes 0x" << std::hex << attributes;
    // Every step checks the installed copies, byte for byte and as plain files.
    walk();
}

TEST_F(DiscImage, ADiscLabelledOtherwiseIsFatal)
{
    // The demo CD pressed with the label VELKORI: the label comes from the disc, and no drive
    // carries the game's.
    ASSERT_TRUE(insertImage('Q', "demo-cd-velkori", "VELKORI"));
    ASSERT_TRUE(startSetup());
    EXPECT_EQ("", driver::expectProcessMessage(setupPid(), "ERROR", texts::cdMissingExit, IDOK, e2e::startTimeoutMs));
    DWORD code = 1;
    EXPECT_TRUE(waitSetupExit(e2e::waitTimeoutMs, &code));
    EXPECT_EQ(0u, code);
}

// A script in the disc's folder installs, upgrades and removes with no window: the copies plain
// files as the dialogs leave them, nothing left after the removal.
TEST_F(DiscImage, FromTheCommandLineInstallUpgradeAndRemoval)
{
    ASSERT_TRUE(insertImage('Q', "demo-cd", "VELKORIN"));
    EXPECT_EQ(0u, runFromCommandLine("/S /TYPE=MINIMUM /DIR=D:\\Orbek\\VELKORIN"));
    expectFiles(firstDir, 0, {});
    expectRecord(firstDir, 0);
    EXPECT_EQ(0u, runFromCommandLine("/S /UPGRADE /TYPE=FULL"));
    expectFiles(firstDir, 2, {});
    expectRecord(firstDir, 2);
    EXPECT_TRUE(shortcutExists());
    EXPECT_EQ(0u, runFromCommandLine("/S /UNINSTALL"));
    EXPECT_TRUE(testkit::listFolder("D:\\").empty());
    EXPECT_FALSE(testkit::keyExists(HKEY_CURRENT_USER, testkit::makerKey));
    EXPECT_FALSE(shortcutExists());
}
