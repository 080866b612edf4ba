#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "removal/folder_chain.h"

namespace {

// A table with a guard entry behind it, to see that nothing is written past the capacity.
struct Chain {
    static constexpr int capacity = 4;
    char entries[capacity + 1][pathSize];
    std::int32_t cursor = -7;
    std::int32_t count = -7;

    Chain() { std::memset(entries, 'x', sizeof entries); }

    bool build(const char* dir, int limit = capacity)
    {
        return buildFolderChain(dir, entries, limit, cursor, count);
    }

    std::vector<std::string> list() const
    {
        std::vector<std::string> out;
        for (int k = 0; k < count; ++k)
            out.emplace_back(entries[k]);
        return out;
    }

    bool untouched(int k) const
    {
        for (std::size_t i = 0; i < pathSize; ++i)
            if (entries[k][i] != 'x')
                return false;
        return true;
    }
};

using Entries = std::vector<std::string>;

}  // namespace

TEST(FolderChain, HoldsTheDriveEachFolderAndTheInstallFolder)
{
    Chain chain;
    EXPECT_TRUE(chain.build("C:\\Orbek\\VELKORIN\\"));
    EXPECT_EQ((Entries{"C:", "C:\\Orbek", "C:\\Orbek\\VELKORIN"}), chain.list());
    EXPECT_EQ(19, chain.cursor);  // the walker ran to one past the terminator
    EXPECT_TRUE(chain.untouched(3));
}

TEST(FolderChain, ARebuildStartsAgainFromTheBeginning)
{
    Chain chain;
    chain.build("C:\\Orbek\\VELKORIN\\");
    EXPECT_TRUE(chain.build("D:\\G\\"));
    EXPECT_EQ((Entries{"D:", "D:\\G"}), chain.list());
}

TEST(FolderChain, FolderWithoutBackslashGivesAnEmptyChain)
{
    Chain chain;
    EXPECT_TRUE(chain.build(""));
    EXPECT_EQ(0, chain.count);
    EXPECT_TRUE(chain.build("VELKORIN"));
    EXPECT_EQ(0, chain.count);
    EXPECT_TRUE(chain.untouched(0));
}

TEST(FolderChain, DriveRootGivesTheDriveAlone)
{
    Chain chain;
    EXPECT_TRUE(chain.build("D:\\"));
    EXPECT_EQ((Entries{"D:"}), chain.list());
}

TEST(FolderChain, EntryOfTwoHundredFiftyFiveCharactersFits)
{
    std::string folder = "D:\\" + std::string(252, 'a');  // 255 characters
    Chain chain;
    EXPECT_TRUE(chain.build((folder + "\\").c_str()));
    EXPECT_EQ((Entries{"D:", folder}), chain.list());
}

TEST(FolderChain, StopsBeforeAnEntryThatWouldNotFit)
{
    std::string folder = "D:\\" + std::string(253, 'a');  // 256 characters
    Chain chain;
    EXPECT_FALSE(chain.build((folder + "\\b\\").c_str()));
    EXPECT_EQ((Entries{"D:"}), chain.list());
    EXPECT_TRUE(chain.untouched(1));
}

TEST(FolderChain, StopsAtAFullTable)
{
    Chain chain;
    EXPECT_FALSE(chain.build("C:\\a\\b\\c\\d\\e\\"));
    EXPECT_EQ((Entries{"C:", "C:\\a", "C:\\a\\b", "C:\\a\\b\\c"}), chain.list());
    EXPECT_TRUE(chain.untouched(4));
}

TEST(FolderChain, TrailByte5CEndsNoEntry)
{
    // ソ 83 5C, 表 95 5C: the chain names exactly the levels of the folder.
    Chain chain;
    EXPECT_TRUE(chain.build("C:\\ソフト\\表\\"));
    EXPECT_EQ((Entries{"C:", "C:\\ソフト", "C:\\ソフト\\表"}), chain.list());
    EXPECT_STREQ("表", chainFolderName(chain.entries, 2));
}

TEST(FolderChain, FolderNameIsWhatFollowsTheEntryAbove)
{
    Chain chain;
    chain.build("C:\\Orbek\\VELKORIN\\");
    EXPECT_STREQ("Orbek", chainFolderName(chain.entries, 1));
    EXPECT_STREQ("VELKORIN", chainFolderName(chain.entries, 2));
    chain.build("C:\\Orbek\\\\X\\");
    EXPECT_STREQ("", chainFolderName(chain.entries, 2));
    EXPECT_STREQ("X", chainFolderName(chain.entries, 3));
}

TEST(FolderChain, DriveLevelEntries)
{
    EXPECT_TRUE(isDriveLevel("C:"));
    EXPECT_TRUE(isDriveLevel("C:\\"));
    EXPECT_TRUE(isDriveLevel("C:\\\\"));
    EXPECT_TRUE(isDriveLevel(""));
    EXPECT_FALSE(isDriveLevel("C:\\Orbek"));
    EXPECT_FALSE(isDriveLevel("C:\\Orbek\\"));
}
