#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "install/folder_name.h"

namespace {

// Faults as short words: "long", the forbidden character itself, "\\\\" for a pair.
std::vector<std::string> faultsOf(const std::string& name)
{
    FolderNameFaults faults;
    findFolderNameFaults(name.c_str(), faults);
    std::vector<std::string> words;
    for (std::size_t i = 0; i < faults.count; ++i) {
        switch (faults.list[i].kind) {
        case FolderNameFaultKind::tooLong: words.push_back("long"); break;
        case FolderNameFaultKind::forbiddenCharacter: words.push_back(std::string(1, faults.list[i].character)); break;
        case FolderNameFaultKind::consecutiveBackslashes: words.push_back("\\\\"); break;
        }
    }
    return words;
}

std::string normalised(std::string typed, bool* leadingDropped = nullptr)
{
    char name[longPathSize] = {};
    typed.copy(name, typed.size());
    bool dropped = dropLeadingBackslash(name);
    if (leadingDropped)
        *leadingDropped = dropped;
    EXPECT_TRUE(endWithBackslash(name, sizeof name));
    return name;
}

using Words = std::vector<std::string>;

}  // namespace

TEST(FolderNameRules, LengthLimitCountsTheFinalBackslash)
{
    EXPECT_EQ(Words(), faultsOf(std::string(238, 'a') + "\\"));
    EXPECT_EQ(Words({"long"}), faultsOf(std::string(239, 'a') + "\\"));
}

TEST(FolderNameRules, EveryFaultIsToldInOrder)
{
    std::string name = std::string(100, 'a') + "*" + std::string(100, 'b') + "?" + std::string(47, 'c') + "\\";
    ASSERT_EQ(250u, name.size());
    EXPECT_EQ(Words({"long", "*", "?"}), faultsOf(name));
}

TEST(FolderNameRules, EachForbiddenByteIsToldEachTime)
{
    EXPECT_EQ(Words({"\"", "*", "/", ":", "<", ">", "?", "|", "*"}), faultsOf("\"*/:<>?|x*\\"));
}

TEST(FolderNameRules, ForbiddenCharactersAreJudgedByByteBackslashesByCharacter)
{
    // ポ is 83 7C: its trail byte is |.
    EXPECT_EQ(Words({"|"}), faultsOf("ゲームポ\\"));
    // ソ 83 5C, 十 8F 5C, 予 97 5C, 能 94 5C: a trail byte 5C is no backslash, so no two follow
    // each other here; a backslash of its own after ソ still makes a pair with the next.
    EXPECT_EQ(Words(), faultsOf("ソ\\"));
    EXPECT_EQ(Words(), faultsOf("十予\\能\\VK\\"));
    EXPECT_EQ(Words({"\\\\"}), faultsOf("ソ\\\\"));
    // Bytes from 0x80 upward never match.
    EXPECT_EQ(Words(), faultsOf("\x80\xFC\xE0\xA1\\"));
}

TEST(FolderNameRules, OnlyTheFirstPairOfBackslashesIsTold)
{
    EXPECT_EQ(Words({":", "\\\\"}), faultsOf("a\\\\b\\\\\\c:\\"));
    EXPECT_EQ(Words(), faultsOf("Orbek\\VELKORIN\\"));
    EXPECT_EQ(Words(), faultsOf(""));
}

TEST(FolderNameNormalising, EndsWithOneBackslashUnlessEmpty)
{
    EXPECT_EQ("Orbek\\VELKORIN\\", normalised("Orbek\\VELKORIN"));
    EXPECT_EQ("Orbek\\VELKORIN\\", normalised("Orbek\\VELKORIN\\"));
    EXPECT_EQ("", normalised(""));
    EXPECT_EQ("", normalised("\\"));
    EXPECT_EQ("", normalised("\\\\"));
    // Two at the end stay two, for the check at Start to refuse.
    EXPECT_EQ("x\\\\", normalised("x\\\\"));
    // A trail byte 5C is no backslash: ソ (83 5C) and 表 (95 5C) still get one of their own; a
    // lead byte without its trail byte is dropped.
    EXPECT_EQ("ソ\\", normalised("ソ"));
    EXPECT_EQ("ソ\\", normalised("ソ\\"));
    EXPECT_EQ("表示\\", normalised("表示"));
    EXPECT_EQ("Games\\表\\", normalised("Games\\表"));
    EXPECT_EQ("ab\\", normalised("ab\x83"));
    EXPECT_EQ("", normalised("\x83"));
}

TEST(FolderNameNormalising, DropsOneLeadingBackslash)
{
    bool dropped = false;
    EXPECT_EQ("Games\\", normalised("\\Games", &dropped));
    EXPECT_TRUE(dropped);
    EXPECT_EQ("\\Games\\", normalised("\\\\Games", &dropped));
    EXPECT_TRUE(dropped);
    EXPECT_EQ("Games\\", normalised("Games", &dropped));
    EXPECT_FALSE(dropped);
}

TEST(FolderNameNormalising, RefusesToGrowPastItsBuffer)
{
    char name[4] = "abc";
    EXPECT_FALSE(endWithBackslash(name, sizeof name));
    EXPECT_STREQ("abc", name);
}
