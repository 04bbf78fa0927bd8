#include "base/KpUt.h"
#include "platform/rtl/EInvalidOp.h"
#include "platform/rtl/EOverflowError.h"
#include "platform/rtl/ERangeError.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

struct RoundCase
{
    double input;
    int precision;
    double expected;
};

class KpRoundTest : public ::testing::TestWithParam<RoundCase>
{
};

TEST_P(KpRoundTest, RoundsLikeTheLoaderExpects)
{
    const RoundCase c = GetParam();
    EXPECT_DOUBLE_EQ(double(KpUt::KpRound(c.input, c.precision)), c.expected)
        << c.input << " to " << c.precision;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, KpRoundTest,
    ::testing::Values(
        // near-half values are moved off the tie and go away from zero
        RoundCase{2.675, 2, 2.68}, RoundCase{1.005, 2, 1.01}, RoundCase{2.5, 0, 3},
        RoundCase{-2.5, 0, -3}, RoundCase{0.125, 2, 0.13}, RoundCase{-2.675, 2, -2.68},
        RoundCase{0.5, 0, 1}, RoundCase{1.45, 1, 1.5},
        // everything else to the nearest
        RoundCase{2.4, 0, 2}, RoundCase{2.6, 0, 3}, RoundCase{-2.6, 0, -3}, RoundCase{1.234, 2, 1.23},
        RoundCase{99.996, 2, 100}, RoundCase{12.0, 3, 12}, RoundCase{-7.0, 0, -7}, RoundCase{0, 5, 0},
        RoundCase{123456789.125, 2, 123456789.13},
        // tens, hundreds: the whole value counts (25.9 is nearer to 30); exact halves to even
        RoundCase{25.9, -1, 30}, RoundCase{29.9, -1, 30}, RoundCase{25, -1, 20}, RoundCase{35, -1, 40},
        RoundCase{-25.9, -1, -30}, RoundCase{1449, -2, 1400}, RoundCase{1450.5, -2, 1500},
        RoundCase{4.9, -1, 0}));

TEST(KpRoundLimits, PrecisionBeyondTheRangeRaises)
{
    EXPECT_THROW(KpUt::KpRound(1.5, std::numeric_limits<int>::min()), EOverflowError);
    EXPECT_THROW(KpUt::KpRound(1.5, 5000), EOverflowError);
    EXPECT_THROW(KpUt::KpRound(1.5, -5000), EOverflowError);
    EXPECT_THROW(KpUt::KpRound(std::numeric_limits<long double>::infinity(), 2), EOverflowError);
    EXPECT_THROW(KpUt::KpRound(std::nanl(""), 2), EInvalidOp);
    // Large precisions and magnitudes stay exact instead of wrapping through a 64-bit integer.
    EXPECT_DOUBLE_EQ(double(KpUt::KpRound(0.75, 25)), 0.75);
    EXPECT_DOUBLE_EQ(double(KpUt::KpRound(1e30, 2)), 1e30);
    EXPECT_DOUBLE_EQ(double(KpUt::KpRound(1e30, -3)), 1e30);
}

TEST(KpCeilFloor, SnapWithinToleranceElseCeilOrFloor)
{
    EXPECT_EQ(KpUt::KpCeil(2.0000001L, 0.001L), 2);
    EXPECT_EQ(KpUt::KpCeil(2.1L, 0.001L), 3);
    EXPECT_EQ(KpUt::KpFloor(2.9999999L, 0.001L), 3);
    EXPECT_EQ(KpUt::KpFloor(2.9L, 0.001L), 2);
    EXPECT_EQ(KpUt::KpFloor(-2.1L, 0.001L), -3);
    EXPECT_THROW(KpUt::KpCeil(3e9L, 0.1L), ERangeError);
    EXPECT_THROW(KpUt::KpFloor(-3e9L, 0.1L), ERangeError);
    EXPECT_THROW(KpUt::KpCeil(2147483647.5L, 0.0L), ERangeError);
}

} // namespace
