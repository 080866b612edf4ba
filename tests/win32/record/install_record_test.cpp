#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "testkit.h"
#include "record/install_record.h"
#include "shell/base/setup_state.h"

namespace {

using testkit::gameKey;
using testkit::makerKey;
using testkit::recordKey;

void deleteTree(const char* path)
{
    testkit::deleteKeyTree(HKEY_CURRENT_USER, path);
}

bool keyExists(const char* path)
{
    return testkit::keyExists(HKEY_CURRENT_USER, path);
}

bool valueExists(const char* path, const char* name)
{
    return testkit::valueExists(HKEY_CURRENT_USER, path, name);
}

void setValue(const char* path, const char* name, DWORD type, const void* data, DWORD size)
{
    ASSERT_TRUE(testkit::writeValue(HKEY_CURRENT_USER, path, name, type,
                                    std::string(static_cast<const char*>(data), size)));
}

void setText(const char* path, const char* name, const std::string& text)
{
    setValue(path, name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size()));
}

void setLevel(DWORD level)
{
    setValue(recordKey, "set", REG_DWORD, &level, sizeof level);
}

struct RawValue {
    LONG result = 0;
    DWORD type = 0;
    std::vector<unsigned char> bytes;
};

RawValue queryRaw(const char* name)
{
    testkit::RegValue stored = testkit::readRecordValue(name);
    RawValue value;
    value.result = stored.present ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
    value.type = stored.type;
    value.bytes.assign(stored.data.begin(), stored.data.end());
    return value;
}

// Fills every field the read may touch with a mark, so a test can tell what changed.
void markRecordFields()
{
    std::memset(setup.installDir, 'i', sizeof setup.installDir - 1);
    setup.installDir[sizeof setup.installDir - 1] = '\0';
    std::memset(setup.previousDir, 'p', sizeof setup.previousDir - 1);
    setup.previousDir[sizeof setup.previousDir - 1] = '\0';
    std::strcpy(setup.installDrive, "X:\\");
    setup.chosenType = 7;
    setup.installedType = 8;
}

}  // namespace

class RecordTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::memset(&setup, 0, sizeof setup);
        deleteTree(makerKey);
    }
    void TearDown() override { deleteTree(makerKey); }

    void writeRecord(const char* cd, const char* folder, std::int32_t level)
    {
        std::strcpy(setup.cdDrive, cd);
        std::strcpy(setup.installDir, folder);
        setup.chosenType = level;
        EXPECT_EQ(1, writeInstallRecord());
    }
};

TEST_F(RecordTest, WriteStoresTheFourValuesWithExactTypesAndBytes)
{
    writeRecord("Q:", "C:\\Orbek\\VELKORIN\\", 2);

    RawValue cur = queryRaw("cur");
    ASSERT_EQ(ERROR_SUCCESS, cur.result);
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), cur.type);
    // Handed over without a terminator: Windows gives back 2 bytes, Wine's store adds a terminator.
    ASSERT_GE(cur.bytes.size(), 2u);
    EXPECT_EQ("Q:", std::string(cur.bytes.begin(), cur.bytes.begin() + 2));
    if (cur.bytes.size() == 3) {
        EXPECT_EQ(0, cur.bytes[2]);
    } else {
        EXPECT_EQ(2u, cur.bytes.size());
    }

    RawValue drv = queryRaw("drv");
    ASSERT_EQ(ERROR_SUCCESS, drv.result);
    EXPECT_EQ(static_cast<DWORD>(REG_BINARY), drv.type);
    EXPECT_EQ((std::vector<unsigned char>{0x51, 0x3A, 0x00}), drv.bytes);

    RawValue dir = queryRaw("dir");
    ASSERT_EQ(ERROR_SUCCESS, dir.result);
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), dir.type);
    std::string folder = "C:\\Orbek\\VELKORIN\\";
    ASSERT_GE(dir.bytes.size(), folder.size());
    EXPECT_EQ(folder, std::string(dir.bytes.begin(), dir.bytes.begin() + folder.size()));
    EXPECT_LE(dir.bytes.size(), folder.size() + 1);

    RawValue level = queryRaw("set");
    ASSERT_EQ(ERROR_SUCCESS, level.result);
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), level.type);
    EXPECT_EQ((std::vector<unsigned char>{2, 0, 0, 0}), level.bytes);
}

TEST_F(RecordTest, NewKeyIsCreatedWithTheClassVelkorin)
{
    writeRecord("Q:", "C:\\G\\", 0);
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, recordKey, 0, KEY_READ, &key));
    char className[64] = {};
    DWORD length = sizeof className;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryInfoKeyA(key, className, &length, nullptr, nullptr, nullptr,
                                              nullptr, nullptr, nullptr, nullptr, nullptr, nullptr));
    RegCloseKey(key);
    EXPECT_STREQ("velkorin", className);
}

TEST_F(RecordTest, WriteOverAnExistingRecordReplacesEveryValue)
{
    writeRecord("Q:", "C:\\Orbek\\VELKORIN\\", 0);
    writeRecord("R:", "D:\\G\\", 1);
    EXPECT_EQ((std::vector<unsigned char>{0x52, 0x3A, 0x00}), queryRaw("drv").bytes);
    EXPECT_EQ((std::vector<unsigned char>{1, 0, 0, 0}), queryRaw("set").bytes);
    std::memset(&setup, 0, sizeof setup);
    EXPECT_EQ(recordComplete, readInstallRecord());
    EXPECT_STREQ("D:\\G\\", setup.installDir);
}

TEST_F(RecordTest, WriteThenReadGivesBackFolderDriveAndLevel)
{
    writeRecord("Q:", "C:\\Orbek\\VELKORIN\\", 2);
    std::memset(&setup, 0, sizeof setup);
    EXPECT_EQ(recordComplete, readInstallRecord());
    EXPECT_STREQ("C:\\Orbek\\VELKORIN\\", setup.installDir);
    EXPECT_STREQ("C:\\Orbek\\VELKORIN\\", setup.previousDir);
    EXPECT_STREQ("C:\\", setup.installDrive);
    EXPECT_EQ(2, setup.chosenType);
    EXPECT_EQ(2, setup.installedType);
}

TEST_F(RecordTest, LevelTravelsAsSigned16Bits)
{
    writeRecord("Q:", "C:\\G\\", 0x10001);
    EXPECT_EQ((std::vector<unsigned char>{1, 0, 0, 0}), queryRaw("set").bytes);
    setLevel(0x10001);
    EXPECT_EQ(recordComplete, readInstallRecord());
    EXPECT_EQ(1, setup.chosenType);
    EXPECT_EQ(1, setup.installedType);
    writeRecord("Q:", "C:\\G\\", -2);
    EXPECT_EQ((std::vector<unsigned char>{0xFE, 0xFF, 0xFF, 0xFF}), queryRaw("set").bytes);
}

TEST_F(RecordTest, ReadWithoutKeyReturnsZeroAndChangesNothing)
{
    markRecordFields();
    static SetupState before;
    before = setup;
    EXPECT_EQ(recordAbsent, readInstallRecord());
    EXPECT_EQ(0, std::memcmp(&before, &setup, sizeof setup));
}

TEST_F(RecordTest, ReadOfKeyWithoutDirReturnsZeroAndChangesNothing)
{
    setLevel(1);
    setText(recordKey, "cur", "Q:");
    markRecordFields();
    static SetupState before;
    before = setup;
    EXPECT_EQ(recordAbsent, readInstallRecord());
    EXPECT_EQ(0, std::memcmp(&before, &setup, sizeof setup));
}

TEST_F(RecordTest, DirThatIsNoFullPathOrNoTextIsNoRecordAndChangesNothing)
{
    // A removal over such a folder would delete the game's names in the current directory; the
    // number and the bytes spell a drive root, which it would sweep.
    const std::string root("Q:\\", 4);
    const struct {
        DWORD type;
        std::string folder;
    } cases[] = {
        {REG_SZ, ""}, {REG_SZ, "VELKORIN\\"}, {REG_SZ, "\\Orbek\\VELKORIN\\"}, {REG_SZ, "D:Orbek\\"},
        {REG_SZ, "1:\\x\\"}, {REG_DWORD, root}, {REG_BINARY, root},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folder);
        setValue(recordKey, "dir", c.type, c.folder.data(), static_cast<DWORD>(c.folder.size()));
        setLevel(2);
        markRecordFields();
        static SetupState before;
        before = setup;
        EXPECT_EQ(recordAbsent, readInstallRecord());
        EXPECT_EQ(0, std::memcmp(&before, &setup, sizeof setup));
    }
}

TEST_F(RecordTest, SetOutsideTheLevelsOrStoredAsTextIsNoLevel)
{
    setText(recordKey, "dir", "D:\\Games\\VELKORIN\\");
    struct Case {
        DWORD type;
        std::vector<unsigned char> bytes;
    };
    const Case cases[] = {
        {REG_DWORD, {3, 0, 0, 0}},
        {REG_DWORD, {0xFF, 0xFF, 0xFF, 0xFF}},
        {REG_DWORD, {0xFF, 0xFF, 0, 0}},
        {REG_SZ, {'2', 0}},
        {REG_SZ, {'1', '2', '3', '4', '5', 0}},
        {REG_BINARY, {1, 0, 0, 0}},
        {REG_DWORD, {1, 0}},
    };
    for (const Case& tampered : cases) {
        SCOPED_TRACE(testing::PrintToString(tampered.bytes));
        setValue(recordKey, "set", tampered.type, tampered.bytes.data(),
                 static_cast<DWORD>(tampered.bytes.size()));
        markRecordFields();
        StoredRecord stored{};
        stored.level = 9;
        EXPECT_EQ(recordWithoutLevel, readStoredRecord(stored));
        EXPECT_EQ(9, stored.level);
        EXPECT_EQ(recordWithoutLevel, readInstallRecord());
        EXPECT_STREQ("D:\\Games\\VELKORIN\\", setup.installDir);
        EXPECT_EQ(7, setup.chosenType);
        EXPECT_EQ(8, setup.installedType);
    }
}

TEST_F(RecordTest, DirWithoutItsFinalBackslashGetsOne)
{
    // ソ ends in the byte 5C, which is no backslash of its own.
    for (const std::string folder : {"D:\\Users\\me\\Velkorin", "D:\\ソ"}) {
        setText(recordKey, "dir", folder);
        setLevel(1);
        EXPECT_EQ(recordComplete, readInstallRecord());
        EXPECT_EQ(folder + "\\", std::string(setup.installDir));
        EXPECT_EQ(folder + "\\", std::string(setup.previousDir));
    }
    // The text ends at its first NUL, and so does the folder after the backslash.
    setText(recordKey, "dir", std::string("D:\\V\0XYZ", 8));
    EXPECT_EQ(recordComplete, readInstallRecord());
    EXPECT_STREQ("D:\\V\\", setup.installDir);
    // 511 bytes leave no room for it.
    setText(recordKey, "dir", "D:\\" + std::string(508, 'f'));
    EXPECT_EQ(recordAbsent, readInstallRecord());
}

TEST_F(RecordTest, DirWithoutSetFillsTheFolderFieldsAndLeavesTheLevels)
{
    setText(recordKey, "dir", "D:\\Games\\VELKORIN\\");
    markRecordFields();
    EXPECT_EQ(recordWithoutLevel, readInstallRecord());
    EXPECT_STREQ("D:\\Games\\VELKORIN\\", setup.installDir);
    EXPECT_STREQ("D:\\Games\\VELKORIN\\", setup.previousDir);
    EXPECT_STREQ("D:\\", setup.installDrive);
    EXPECT_EQ(7, setup.chosenType);
    EXPECT_EQ(8, setup.installedType);
}

TEST_F(RecordTest, ShorterFolderAfterALongerOneLeavesNoTrace)
{
    setText(recordKey, "dir", "D:\\A very long folder name indeed\\VELKORIN\\");
    setLevel(0);
    ASSERT_EQ(recordComplete, readInstallRecord());
    setText(recordKey, "dir", "E:\\V\\");
    ASSERT_EQ(recordComplete, readInstallRecord());
    EXPECT_STREQ("E:\\V\\", setup.installDir);
    EXPECT_STREQ("E:\\V\\", setup.previousDir);
    for (std::size_t i = 5; i < sizeof setup.installDir; ++i) {
        ASSERT_EQ('\0', setup.installDir[i]) << "installDir byte " << i;
        ASSERT_EQ('\0', setup.previousDir[i]) << "previousDir byte " << i;
    }
}

TEST_F(RecordTest, FolderOf511BytesIsReadWhole)
{
    std::string folder = "D:\\" + std::string(507, 'f') + "\\";
    ASSERT_EQ(511u, folder.size());
    setText(recordKey, "dir", folder);
    setLevel(1);
    EXPECT_EQ(recordComplete, readInstallRecord());
    EXPECT_EQ(folder, std::string(setup.installDir));
}

TEST_F(RecordTest, FolderThatFillsTheWholeBufferIsRefusedLikeALongerOne)
{
    // 512 bytes leave no room for the terminator; 600 do not fit at all.
    for (std::size_t length : {512u, 600u}) {
        SCOPED_TRACE(length);
        std::string folder = "D:\\" + std::string(length - 4, 'f') + "\\";
        setText(recordKey, "dir", folder);
        setLevel(1);
        markRecordFields();
        static SetupState before;
        before = setup;
        EXPECT_EQ(recordAbsent, readInstallRecord());
        EXPECT_EQ(0, std::memcmp(&before, &setup, sizeof setup));
    }
}

TEST_F(RecordTest, KeepSavesDeleteRemovesTheLevelAndTheGameKeysOwnValues)
{
    writeRecord("Q:", "C:\\Orbek\\VELKORIN\\", 1);
    setText(gameKey, "first", "1");
    setText(gameKey, "second", "2");
    setText("Software\\Orbek\\Velkorin\\other", "kept", "3");

    EXPECT_EQ(1, deleteInstallRecord(1));

    EXPECT_FALSE(valueExists(recordKey, "set"));
    EXPECT_TRUE(valueExists(recordKey, "cur"));
    EXPECT_TRUE(valueExists(recordKey, "drv"));
    EXPECT_TRUE(valueExists(recordKey, "dir"));
    EXPECT_FALSE(valueExists(gameKey, "first"));
    EXPECT_FALSE(valueExists(gameKey, "second"));
    EXPECT_TRUE(valueExists("Software\\Orbek\\Velkorin\\other", "kept"));
    std::memset(&setup, 0, sizeof setup);
    EXPECT_EQ(recordWithoutLevel, readInstallRecord());
}

TEST_F(RecordTest, KeepSavesDeleteWithoutRecordReturnsZero)
{
    setText(gameKey, "first", "1");
    EXPECT_EQ(0, deleteInstallRecord(1));
    EXPECT_TRUE(valueExists(gameKey, "first"));
}

TEST_F(RecordTest, DeleteAllRemovesTheMakersKeyWhenNothingElseIsInIt)
{
    writeRecord("Q:", "C:\\Orbek\\VELKORIN\\", 2);
    EXPECT_EQ(1, deleteInstallRecord(0));
    EXPECT_FALSE(keyExists(makerKey));
    EXPECT_TRUE(keyExists("Software"));
}

TEST_F(RecordTest, DeleteAllKeepsTheMakersKeyForAnotherProduct)
{
    writeRecord("Q:", "C:\\Orbek\\VELKORIN\\", 2);
    setText("Software\\Orbek\\OtherGame", "dir", "C:\\Orbek\\OTHER\\");
    EXPECT_EQ(1, deleteInstallRecord(0));
    EXPECT_FALSE(keyExists(gameKey));
    EXPECT_TRUE(keyExists(makerKey));
    EXPECT_TRUE(valueExists("Software\\Orbek\\OtherGame", "dir"));
}

TEST_F(RecordTest, DeleteAllWithoutRecordReturnsZeroAndChangesNothing)
{
    setText("Software\\Orbek\\OtherGame", "dir", "x");
    setText(gameKey, "first", "1");
    EXPECT_EQ(0, deleteInstallRecord(0));
    EXPECT_TRUE(valueExists(gameKey, "first"));
    EXPECT_TRUE(valueExists("Software\\Orbek\\OtherGame", "dir"));
}

TEST_F(RecordTest, DeleteAllStopsAtAGameKeyWithFurtherSubkeys)
{
    writeRecord("Q:", "C:\\Orbek\\VELKORIN\\", 2);
    setText("Software\\Orbek\\Velkorin\\patch", "v", "1");
    // The system refuses to delete a key that still has subkeys.
    EXPECT_EQ(0, deleteInstallRecord(0));
    EXPECT_FALSE(keyExists(recordKey));
    EXPECT_TRUE(keyExists("Software\\Orbek\\Velkorin\\patch"));
    EXPECT_TRUE(keyExists(makerKey));
}
