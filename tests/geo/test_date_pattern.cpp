// Dates in the patterns of the locales' short formats.

#include "geo/date_pattern.h"
#include "support/scratch.h"

#include <gtest/gtest.h>

namespace chronvale {
namespace {

struct PatternCase {
    const char* pattern;
    int year, month, day;
    const char* text;
};

class DatePatternTest : public ::testing::TestWithParam<PatternCase> {};

TEST_P(DatePatternTest, WritesTheFieldsAsThePatternSays) {
    const PatternCase& c = GetParam();
    EXPECT_EQ(formatDatePattern(c.pattern, c.year, c.month, c.day), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Patterns, DatePatternTest,
    ::testing::Values(
        PatternCase{"MM/dd/yy", 2026, 12, 8, "12/08/26"},     // the built-in order
        PatternCase{"M/d/yy", 2026, 12, 8, "12/8/26"},        // en_US
        PatternCase{"dd/MM/yyyy", 2026, 12, 8, "08/12/2026"}, // en_GB
        PatternCase{"dd.MM.yy", 2026, 12, 8, "08.12.26"},     // de_DE
        PatternCase{"yyyy/MM/dd", 2026, 1, 2, "2026/01/02"},  // ja_JP
        PatternCase{"yy. M. d.", 2026, 1, 2, "26. 1. 2."},    // ko_KR
        PatternCase{"d\u200f/M\u200f/yyyy", 2026, 12, 8, "8\u200f/12\u200f/2026"}, // ar
        PatternCase{"dd 'de' MMMM", 2026, 3, 4, "04 de 03"}, // quoted text; names as numbers
        PatternCase{"d''M", 2026, 3, 4, "4'3"},              // a doubled quote is one
        PatternCase{"'unclosed", 2026, 3, 4, "unclosed"}, PatternCase{"yy", 2000, 1, 1, "00"},
        PatternCase{"yyy", 987, 1, 1, "0987"}, PatternCase{"", 2026, 1, 1, ""}));

TEST(DatePattern, AHugePatternIsCutAtItsBound) {
    EXPECT_LE(formatDatePattern(std::string(10000, 'y'), 2026, 1, 1).size(), 256u + 4u);
    EXPECT_LE(formatDatePattern(std::string(10000, '-'), 2026, 1, 1).size(), 256u);
}

TEST(DatePattern, DateAndTimeOfAnInstant) {
    const std::time_t leapDay = test::utc(2004, 2, 29, 13, 5, 9);
    EXPECT_EQ(formatUtcDateTimeIn(leapDay, "dd.MM.yy"), "29.02.04 13:05:09");
    EXPECT_EQ(formatUtcDateTimeIn(leapDay, kMonthFirstDatePattern), "02/29/04 13:05:09");
    EXPECT_EQ(formatUtcDateTimeIn(0, "dd.MM.yy"), "00.00.00 00:00:00"); // no time
}

} // namespace
} // namespace chronvale
