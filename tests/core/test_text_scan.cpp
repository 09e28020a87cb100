// Reading numbers and names the way the data files expect.

#include "core/text_scan.h"

#include <gtest/gtest.h>
#include <limits>
#include <string>

namespace chronvale {
namespace {

struct DecimalCase {
    const char* text;
    double value;
    std::size_t end; // where reading stops
};

TEST(TextScan, ReadDecimalFollowsStrtodForDecimalText) {
    const DecimalCase cases[] = {
        {"12.5\t", 12.5, 4}, {"-33.87x", -33.87, 6}, {"+7", 7.0, 2},    {".5", 0.5, 2},
        {"-.5", -0.5, 3},    {"1.", 1.0, 2},         {"2e3,", 2000, 3}, {"1e", 1.0, 1},
        {"1.5e-1", 0.15, 6}, {"3,5", 3.0, 1},        {"x1", 0.0, 0},    {"", 0.0, 0},
        {"+-1", 0.0, 0},     {".", 0.0, 0},          {"-", 0.0, 0},     {"inf", 0.0, 0},
        {"nan", 0.0, 0},     {"0x10", 0.0, 1},       {"1e999", 0.0, 5},
    };
    for (const DecimalCase& c : cases) {
        std::string text = c.text;
        std::size_t pos = 0;
        EXPECT_DOUBLE_EQ(readDecimal(text, pos), c.value) << '"' << c.text << '"';
        EXPECT_EQ(pos, c.end) << '"' << c.text << '"';
    }
}

TEST(TextScan, ReadFloatGivesZeroBeyondTheFloatRange) {
    std::string text = "1e300";
    std::size_t pos = 0;
    EXPECT_EQ(readFloat(text, pos), 0.0f);
    EXPECT_EQ(pos, 5u);
}

TEST(TextScan, ReadIntegerStopsAtNonDigitsAndSaturates) {
    struct {
        const char* text;
        int value;
        std::size_t end;
    } cases[] = {
        {"42\t", 42, 2},
        {"-7x", -7, 2},
        {"+3", 3, 2},
        {"8.5", 8, 1},
        {"x", 0, 0},
        {"-", 0, 0},
        {"99999999999999999999", std::numeric_limits<int>::max(), 20},
        {"-99999999999", std::numeric_limits<int>::min(), 12},
    };
    for (const auto& c : cases) {
        std::string text = c.text;
        std::size_t pos = 0;
        EXPECT_EQ(readInteger(text, pos), c.value) << c.text;
        EXPECT_EQ(pos, c.end) << c.text;
    }
}

TEST(TextScan, TruncateToIntGoesTowardZeroAndSaturates) {
    EXPECT_EQ(truncateToInt(1.9), 1);
    EXPECT_EQ(truncateToInt(-1.9), -1);
    EXPECT_EQ(truncateToInt(1e30), std::numeric_limits<int>::max());
    EXPECT_EQ(truncateToInt(-1e30), std::numeric_limits<int>::min());
    EXPECT_EQ(truncateToInt(std::numeric_limits<double>::quiet_NaN()), 0);
}

TEST(TextScan, CaselessCompareFoldsAsciiOnly) {
    EXPECT_TRUE(equalsIgnoringCase("Sydney", "sYDNEY"));
    EXPECT_FALSE(equalsIgnoringCase("Sydney", "Sydney "));
    EXPECT_FALSE(equalsIgnoringCase("a[", "A{")); // only letters fold
}

} // namespace
} // namespace chronvale
