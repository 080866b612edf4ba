// Save files brought over from the folder a keep-saves removal left behind.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "install/save_migration.h"
#include "shell/base/setup_state.h"
#include "support/message_watcher.h"
#include "testkit.h"
#include "setup_texts.h"

namespace {

const char top[] = "D:\\MigTest";
const char oldDir[] = "D:\\MigTest\\old\\";
const char newDir[] = "D:\\MigTest\\new\\";

class SaveMigration : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::memset(&setup, 0, sizeof setup);
        setup.appInstance = GetModuleHandleA(nullptr);
        testkit::deleteTree(top);
        ASSERT_TRUE(testkit::makeFolders(oldDir));
        ASSERT_TRUE(testkit::makeFolders(newDir));
        std::strcpy(setup.previousDir, oldDir);
        std::strcpy(setup.installDir, newDir);
    }
    void TearDown() override { testkit::deleteTree(top); }

    void putOld(const char* name, const std::string& content, DWORD attributes = 0)
    {
        std::string path = std::string(oldDir) + name;
        ASSERT_TRUE(testkit::writeFile(path, content));
        if (attributes) {
            ASSERT_TRUE(SetFileAttributesA(path.c_str(), attributes));
        }
    }

    // Runs the migration, answering its boxes in turn; what they were.
    std::vector<testkit::MessageWatcher::Seen> migrate(std::vector<int> answers)
    {
        testkit::OwnerWindow owner;
        owner_ = owner.handle();
        testkit::MessageWatcher watcher(std::move(answers));
        migrateSaveFiles(owner.handle());
        return watcher.stop();
    }

    std::string inNew(const char* name) { return testkit::readFile(std::string(newDir) + name); }

    HWND owner_ = nullptr;
};

}  // namespace

TEST_F(SaveMigration, AsksOnceThenCopiesEveryCandidateOverwriting)
{
    putOld("SAVE0.DAT", "old 0");
    putOld("SAVE1.DAT", "old 1");
    putOld("SAVEA.DAT", "old A");
    putOld("savegame.txt", "any name that begins with save");
    putOld("OTHER.DAT", "not a save");
    ASSERT_TRUE(testkit::writeFile(std::string(newDir) + "SAVE1.DAT", "new 1"));

    auto seen = migrate({IDYES});
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ(texts::copySaves, seen[0].text);
    EXPECT_EQ(texts::captionSetup, seen[0].caption);
    EXPECT_EQ(owner_, seen[0].owner);
    EXPECT_EQ("old 0", inNew("SAVE0.DAT"));
    EXPECT_EQ("old 1", inNew("SAVE1.DAT"));
    EXPECT_EQ("old A", inNew("SAVEA.DAT"));
    EXPECT_EQ("any name that begins with save", inNew("savegame.txt"));
    EXPECT_EQ("<missing>", inNew("OTHER.DAT"));
}

TEST_F(SaveMigration, NoCopiesNothing)
{
    putOld("SAVE0.DAT", "old 0");
    putOld("SAVE1.DAT", "old 1");
    auto seen = migrate({IDNO});
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ(texts::copySaves, seen[0].text);
    EXPECT_EQ("<missing>", inNew("SAVE0.DAT"));
    EXPECT_EQ("<missing>", inNew("SAVE1.DAT"));
}

TEST_F(SaveMigration, SameFolderInAnotherCaseAsksNothing)
{
    putOld("SAVE0.DAT", "old 0");
    std::strcpy(setup.installDir, "d:\\migtest\\OLD\\");
    EXPECT_TRUE(migrate({IDYES}).empty());
    EXPECT_EQ("old 0", testkit::readFile(std::string(oldDir) + "SAVE0.DAT"));
}

TEST_F(SaveMigration, OnlyPlainFilesAreCandidates)
{
    // Read-only (0x21), hidden (0x22) and folders (0x10) are passed over, on Windows as here.
    putOld("SAVE0.DAT", "read-only", FILE_ATTRIBUTE_READONLY);
    putOld("SAVE1.DAT", "hidden", FILE_ATTRIBUTE_HIDDEN);
    ASSERT_TRUE(testkit::makeFolders(std::string(oldDir) + "SAVEDIR"));
    EXPECT_TRUE(migrate({IDYES}).empty());

    putOld("SAVE2.DAT", "plain");
    auto seen = migrate({IDYES});
    EXPECT_EQ(1u, seen.size());
    EXPECT_EQ("plain", inNew("SAVE2.DAT"));
    EXPECT_EQ("<missing>", inNew("SAVE0.DAT"));
    EXPECT_EQ("<missing>", inNew("SAVE1.DAT"));
    EXPECT_FALSE(driver::directoryExists(std::string(newDir) + "SAVEDIR"));
}

TEST_F(SaveMigration, ACopyErrorIsToldAndStopsTheRun)
{
    putOld("SAVE0.DAT", "old 0");
    putOld("SAVE1.DAT", "old 1");
    std::strcpy(setup.installDir, "D:\\MigTest\\missing\\");
    auto seen = migrate({IDYES, IDOK});
    ASSERT_EQ(2u, seen.size());
    EXPECT_EQ(texts::copySaves, seen[0].text);
    EXPECT_EQ("エラーコード 3", seen[1].text);
    EXPECT_EQ("エラー", seen[1].caption);
    EXPECT_EQ(owner_, seen[1].owner);
}

TEST_F(SaveMigration, NothingToBringAsksNothing)
{
    EXPECT_TRUE(migrate({IDYES}).empty());
    std::strcpy(setup.previousDir, "D:\\MigTest\\gone\\");
    EXPECT_TRUE(migrate({IDYES}).empty());
}
