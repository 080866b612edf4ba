#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "install/progress.h"

namespace {

// The labels shown after each of files file lines, and where the bar then stands (each step
// moves it by one from 0).
struct ProgressRun {
    std::vector<std::string> labels;
    std::int32_t bar = 0;
};

ProgressRun runFiles(std::int32_t count, int files)
{
    ProgressRun run;
    CopyProgress progress{count, 0};
    for (int i = 0; i < files; ++i) {
        ProgressAdvance advance = advanceProgress(progress);
        EXPECT_GE(advance.steps, 0);
        run.bar += advance.steps;
        char label[16];
        EXPECT_TRUE(formatPercent(label, sizeof label, advance.percent));
        run.labels.push_back(label);
    }
    return run;
}

using Labels = std::vector<std::string>;

}  // namespace

TEST(CopyProgress, OneFileFillsTheBar)
{
    ProgressRun run = runFiles(1, 1);
    EXPECT_EQ(Labels({"100 %"}), run.labels);
    EXPECT_EQ(100, run.bar);
}

TEST(CopyProgress, ThreeFilesStopAtNinetyNine)
{
    ProgressRun run = runFiles(3, 3);
    EXPECT_EQ(Labels({"33 %", "66 %", "99 %"}), run.labels);
    EXPECT_EQ(99, run.bar);
}

TEST(CopyProgress, SevenFilesStopAtNinetyNine)
{
    ProgressRun run = runFiles(7, 7);
    EXPECT_EQ(Labels({"14 %", "28 %", "42 %", "57 %", "71 %", "85 %", "99 %"}), run.labels);
    EXPECT_EQ(99, run.bar);
}

TEST(CopyProgress, TwoHundredFilesMoveOnePercentEverySecondFile)
{
    ProgressRun run = runFiles(200, 200);
    ASSERT_EQ(200u, run.labels.size());
    for (int i = 0; i < 200; ++i)
        EXPECT_EQ(std::to_string((i + 1) / 2) + " %", run.labels[static_cast<std::size_t>(i)]) << i;
    EXPECT_EQ(100, run.bar);
}

TEST(CopyProgress, TwentyThousandFilesNeverMoveTheBar)
{
    ProgressRun run = runFiles(20000, 20000);
    EXPECT_EQ(Labels(20000, "0 %"), run.labels);
    EXPECT_EQ(0, run.bar);
}

TEST(CopyProgress, MoreFilesThanCountedGoBeyondAHundred)
{
    ProgressRun run = runFiles(2, 5);
    EXPECT_EQ(Labels({"50 %", "100 %", "150 %", "200 %", "250 %"}), run.labels);
    EXPECT_EQ(250, run.bar);
}

TEST(CopyProgress, TotalStopsAtTheLargestValueInsteadOfOverflowing)
{
    CopyProgress progress{1, INT32_MAX - 50};
    ProgressAdvance advance = advanceProgress(progress);
    EXPECT_EQ(INT32_MAX, progress.total);
    EXPECT_EQ(INT32_MAX / 100, advance.percent);
    EXPECT_EQ(1, advance.steps);
    advance = advanceProgress(progress);
    EXPECT_EQ(INT32_MAX, progress.total);
    EXPECT_EQ(INT32_MAX / 100, advance.percent);
    EXPECT_EQ(0, advance.steps);
}

TEST(DisplayThrottle, RepaintsOnceTheIntervalHasPassed)
{
    DisplayThrottle throttle{1000};
    EXPECT_FALSE(displayDue(throttle, 1000));
    EXPECT_FALSE(displayDue(throttle, 1000 + displayInterval - 1));
    EXPECT_TRUE(displayDue(throttle, 1000 + displayInterval));
    EXPECT_TRUE(displayDue(throttle, 5000));
}

TEST(DisplayThrottle, CountsAcrossTheWrapOfTheTick)
{
    DisplayThrottle throttle{UINT32_MAX - 5};
    EXPECT_FALSE(displayDue(throttle, UINT32_MAX));
    EXPECT_FALSE(displayDue(throttle, displayInterval - 7));
    EXPECT_TRUE(displayDue(throttle, displayInterval - 6));
}
