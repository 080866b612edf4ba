#include <gtest/gtest.h>

#include "install/size_tables.h"

TEST(SizeTables, FreshInstallNeedsTheLevelsSize)
{
    std::uint32_t bytes = 0;
    ASSERT_TRUE(requiredBytes(0, bytes));
    EXPECT_EQ(1000000u, bytes);
    ASSERT_TRUE(requiredBytes(1, bytes));
    EXPECT_EQ(87000000u, bytes);
    ASSERT_TRUE(requiredBytes(2, bytes));
    EXPECT_EQ(380000000u, bytes);
    bytes = 7;
    EXPECT_FALSE(requiredBytes(3, bytes));
    EXPECT_FALSE(requiredBytes(-1, bytes));
    EXPECT_EQ(7u, bytes);
}

TEST(SizeTables, UpgradeHasOnlyItsThreePairs)
{
    std::uint32_t bytes = 0;
    ASSERT_TRUE(upgradeRequiredBytes(0, 1, bytes));
    EXPECT_EQ(86000000u, bytes);
    ASSERT_TRUE(upgradeRequiredBytes(0, 2, bytes));
    EXPECT_EQ(380000000u, bytes);
    ASSERT_TRUE(upgradeRequiredBytes(1, 2, bytes));
    EXPECT_EQ(293000000u, bytes);
    for (auto [installed, chosen] : {std::pair{0, 0}, {1, 1}, {2, 2}, {1, 0}, {2, 1}, {2, 0}, {-1, 2}, {0, 3}}) {
        SCOPED_TRACE(std::to_string(installed) + "->" + std::to_string(chosen));
        EXPECT_FALSE(upgradeRequiredBytes(installed, chosen, bytes));
    }
}

TEST(SizeTables, MegabytesAreDecimalAndTruncated)
{
    char text[32];
    ASSERT_TRUE(formatMegabytes(text, sizeof text, 380000000));
    EXPECT_STREQ("380 メガバイト", text);
    ASSERT_TRUE(formatMegabytes(text, sizeof text, 999999));
    EXPECT_STREQ("0 メガバイト", text);
    ASSERT_TRUE(formatMegabytes(text, sizeof text, 87999999));
    EXPECT_STREQ("87 メガバイト", text);
    // Beyond 32 bits the quotient is still exact.
    ASSERT_TRUE(formatMegabytes(text, sizeof text, 12345678901234ull));
    EXPECT_STREQ("12345678 メガバイト", text);
    EXPECT_FALSE(formatMegabytes(text, 8, 380000000));
    EXPECT_STREQ("", text);
}

TEST(SizeTables, ClusterCountsAreMultipliedIn64Bits)
{
    // 8 sectors of 512 bytes, 2 million clusters: 8.192 GB, past what 32 bits hold.
    EXPECT_EQ(8192000000ull, clusterFreeBytes(8, 512, 2000000));
    EXPECT_EQ(0xFFFFFFFFull * 0xFFFFFFFFull, clusterFreeBytes(0xFFFFFFFF, 1, 0xFFFFFFFF));
}
