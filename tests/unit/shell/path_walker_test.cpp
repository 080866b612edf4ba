#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "shell/base/path_walker.h"

namespace {

struct Step {
    int result;
    std::int32_t cursor;
    std::string prefix;  // the first cursor-1 bytes after a 0
};

void expectWalk(const char* path, std::int32_t start, const std::vector<Step>& steps)
{
    std::int32_t cursor = start;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        SCOPED_TRACE("step " + std::to_string(i));
        int result = nextPathPrefix(path, cursor);
        EXPECT_EQ(steps[i].result, result);
        EXPECT_EQ(steps[i].cursor, cursor);
        if (result == 0) {
            EXPECT_EQ(steps[i].prefix, std::string(path, static_cast<std::size_t>(cursor - 1)));
        }
    }
}

}  // namespace

TEST(PathWalker, SkipsTheDriveRootFromThree)
{
    expectWalk("C:\\Orbek\\VELKORIN\\", 3,
               {{0, 9, "C:\\Orbek"}, {0, 18, "C:\\Orbek\\VELKORIN"}, {1, 19, ""}});
}

TEST(PathWalker, VisitsEveryBackslashFromZero)
{
    expectWalk("C:\\A\\", 0, {{0, 3, "C:"}, {0, 5, "C:\\A"}, {1, 6, ""}});
}

TEST(PathWalker, PathWithoutTrailingBackslashEndsAtTheTerminator)
{
    expectWalk("D:\\Games\\X", 3, {{0, 9, "D:\\Games"}, {1, 11, ""}});
}

TEST(PathWalker, TrailByte5CIsPartOfItsCharacter)
{
    // ソ 83 5C, 表 95 5C, 十 8F 5C, 予 97 5C, 能 94 5C: a level ends only at a backslash of its own.
    const char path[] = "C:\\ソフト\\表示\\";
    ASSERT_EQ(std::string("C:\\\x83\x5C\x83\x74\x83\x67\\\x95\x5C\x8E\xA6\\"), std::string(path));
    expectWalk(path, 3, {{0, 10, "C:\\ソフト"}, {0, 15, "C:\\ソフト\\表示"}, {1, 16, ""}});
    expectWalk("D:\\十予\\能\\VK", 0,
               {{0, 3, "D:"}, {0, 8, "D:\\十予"}, {0, 11, "D:\\十予\\能"}, {1, 14, ""}});
    // A byte after a lead byte is its trail, a lead byte's range included: the 5C after 83 83
    // begins a character of its own and is a backslash.
    expectWalk("C:\\\x83\x83\\x", 3, {{0, 6, "C:\\\x83\x83"}, {1, 8, ""}});
}

TEST(PathWalker, LeadByteBeforeTheTerminatorEndsTheWalkThere)
{
    // The lone lead byte is a character of its own: the walk stops one past the terminator.
    expectWalk("C:\\a\\\x83", 3, {{0, 5, "C:\\a"}, {1, 7, ""}});
    expectWalk("\x95", 0, {{1, 2, ""}});
}

TEST(PathSeparators, LastCharacterDecidesNotLastByte)
{
    for (const char* text : {"\\", "D:\\", "D:\\ソフト\\", "\x83\x83\\"})
        EXPECT_TRUE(endsWithSeparator(text, std::strlen(text))) << text;
    for (const char* text : {"", "ソ", "D:\\表", "D:\\a\x83"})
        EXPECT_FALSE(endsWithSeparator(text, std::strlen(text))) << text;
    // Only a final backslash of its own goes.
    char dir[] = "Q:\\ソ\\";
    EXPECT_TRUE(dropFinalSeparator(dir));
    EXPECT_STREQ("Q:\\ソ", dir);
    EXPECT_FALSE(dropFinalSeparator(dir));
    EXPECT_STREQ("Q:\\ソ", dir);
}

TEST(PathWalker, SingleByteCodePagesHaveNoLeadBytes)
{
    // Code pages 1251 and 1252 as Windows describes them: no lead-byte range. "Игры" ends in ы (FB)
    // and "Café" in é (E9), both lead bytes in code page 932.
    const unsigned char none[12] = {};
    setLeadByteRanges(none, sizeof none);
    expectWalk("D:\\\xC8\xE3\xF0\xFB\\Velkorin\\", 3,
               {{0, 8, "D:\\\xC8\xE3\xF0\xFB"}, {0, 17, "D:\\\xC8\xE3\xF0\xFB\\Velkorin"}, {1, 18, ""}});
    char cafe[] = "D:\\Caf\xE9\\";
    EXPECT_TRUE(dropFinalSeparator(cafe));
    EXPECT_STREQ("D:\\Caf\xE9", cafe);
    EXPECT_FALSE(endsWithLoneLeadByte(cafe, std::strlen(cafe)));

    const unsigned char codePage932[12] = {0x81, 0x9F, 0xE0, 0xFC};
    setLeadByteRanges(codePage932, sizeof codePage932);
    EXPECT_TRUE(endsWithLoneLeadByte(cafe, std::strlen(cafe)));
    expectWalk("C:\\ソフト\\", 3, {{0, 10, "C:\\ソフト"}, {1, 11, ""}});
}
