#include "text/numbers.h"

#include <gtest/gtest.h>

#include <limits>

namespace veltrik {
namespace {

struct FormatCase {
    double value;
    const char *written;
};

class FormatNumber : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatNumber, WritesAtMostFifteenDigitsWithoutExponent)
{
    EXPECT_EQ(formatNumber(GetParam().value).toStdString(), GetParam().written);
}

INSTANTIATE_TEST_SUITE_P(
    Values, FormatNumber,
    ::testing::Values(FormatCase{0, "0"}, FormatCase{-0.0, "0"}, FormatCase{12.5, "12.5"}, FormatCase{0.29 * 100, "29"},
                      FormatCase{32, "32"}, FormatCase{16, "16"}, FormatCase{-3.25, "-3.25"},
                      FormatCase{0.1 + 0.2, "0.3"}, FormatCase{1.0 / 3, "0.333333333333333"},
                      FormatCase{2.0 / 3, "0.666666666666667"}, FormatCase{1e20, "100000000000000000000"},
                      FormatCase{123456789012345678.0, "123456789012346000"}, FormatCase{1e-7, "0.0000001"},
                      FormatCase{999999999999999.9, "1000000000000000"}, FormatCase{1234.5678, "1234.5678"}));

struct RoundCase {
    double value;
    int decimals;
    double rounded;
};

class RoundHalfEven : public ::testing::TestWithParam<RoundCase> {};

TEST_P(RoundHalfEven, SendsExactHalvesToTheEvenNeighbour)
{
    EXPECT_EQ(roundHalfEven(GetParam().value, GetParam().decimals), GetParam().rounded);
}

INSTANTIATE_TEST_SUITE_P(Values, RoundHalfEven,
                         ::testing::Values(RoundCase{0.125, 2, 0.12}, RoundCase{0.375, 2, 0.38},
                                           RoundCase{1.115, 2, 1.11}, // stored just below the half
                                           RoundCase{0.3229, 2, 0.32}, RoundCase{412.0 / 1276, 2, 0.32},
                                           RoundCase{2.5, 0, 2}, RoundCase{3.5, 0, 4}, RoundCase{-2.5, 0, -2},
                                           RoundCase{0.005, 2, 0.01}, // 0.005 is stored just above the half
                                           RoundCase{16, 2, 16}, RoundCase{0, 2, 0}, RoundCase{57.0 / 100, 2, 0.57}));

TEST(RoundHalfEvenSpecial, KeepsNonFiniteValues)
{
    EXPECT_TRUE(std::isnan(roundHalfEven(std::numeric_limits<double>::quiet_NaN(), 2)));
    EXPECT_EQ(roundHalfEven(std::numeric_limits<double>::infinity(), 2), std::numeric_limits<double>::infinity());
}

} // namespace
} // namespace veltrik
