#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/path_walker.h"

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

TEST(PathWalker, TrailByteOfADoubleByteCharacterCountsAsSeparator)
{
    // ソ is 0x83 0x5C in code page 932: the walk stops inside the character.
    const char path[] = "C:\\ソ\\";
    ASSERT_EQ(std::string("\x43\x3A\x5C\x83\x5C\x5C"), std::string(path));
    expectWalk(path, 3, {{0, 5, "C:\\\x83"}, {0, 6, "C:\\\x83\x5C"}, {1, 7, ""}});
}
