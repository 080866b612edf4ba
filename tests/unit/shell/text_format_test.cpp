#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "shell/base/text_format.h"

TEST(TextFormat, FormatsWhatFits)
{
    char out[16];
    EXPECT_TRUE(formatText(out, sizeof out, "%s-%d", "ab", 42));
    EXPECT_STREQ("ab-42", out);
}

TEST(TextFormat, ExactFitWithTerminatorIsAccepted)
{
    char out[6];
    EXPECT_TRUE(formatText(out, sizeof out, "%s", "12345"));
    EXPECT_STREQ("12345", out);
}

TEST(TextFormat, TextOneByteTooLongIsRefusedWholeAndLeavesNoPart)
{
    char out[8];
    std::memset(out, 'x', sizeof out);
    EXPECT_FALSE(formatText(out, 5, "%svelkorin.exe", "C:\\"));
    EXPECT_EQ('\0', out[0]);
    // Nothing written past the size given.
    EXPECT_EQ('x', out[5]);
    EXPECT_FALSE(formatText(out, 5, "%s", "12345"));
    EXPECT_EQ('\0', out[0]);
}

TEST(TextFormat, CopyRefusesWhatDoesNotFitAndKeepsNothing)
{
    char out[4] = {'a', 'b', 'c', '\0'};
    EXPECT_FALSE(copyText(out, sizeof out, "Q:\\x"));
    EXPECT_STREQ("", out);
    EXPECT_TRUE(copyText(out, sizeof out, "Q:\\"));
    EXPECT_STREQ("Q:\\", out);
}

TEST(TextFormat, AppendLeavesTheTextUnchangedWhenTheResultWouldNotFit)
{
    char out[8] = "abc";
    EXPECT_TRUE(appendText(out, sizeof out, "defg"));
    EXPECT_STREQ("abcdefg", out);
    EXPECT_FALSE(appendText(out, sizeof out, "h"));
    EXPECT_STREQ("abcdefg", out);
}
