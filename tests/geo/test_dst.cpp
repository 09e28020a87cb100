// Daylight-saving rules: reading them, placing the switches, and the offset in force.

#include "core/load_errors.h"
#include "core/packed_file.h"
#include "geo/city.h"
#include "geo/dst.h"
#include "geo/time_zone.h"
#include "support/environment.h"
#include "support/scratch.h"

#include <gtest/gtest.h>

namespace chronvale {
namespace {

using test::utc;

TEST(DstRules, ReadsStartAndEndLinesAndTruncatesTheOffset) {
    DstRuleTable rules = parseDstRules("StartName\tx\t0\t0\t3\t1.5\tnote\r\n"
                                       "EU\tx\t0\t0\t10\t-0.5\tnote\r\n"
                                       "US\t-\t0\t8\t3\t0.5\t\r\n"
                                       "US\t-\t0\t1\t11\t1\t\r\n");
    ASSERT_EQ(rules.size(), 2u);
    const DstRule& eu = rules[0];
    EXPECT_EQ(eu.ruleName, "EU"); // the end line's name wins
    EXPECT_EQ(eu.start.weekday, 0);
    EXPECT_EQ(eu.start.day, 0);
    EXPECT_EQ(eu.start.month, 3);
    EXPECT_EQ(eu.start.offsetMinutes, 60); // 1.5 hours: whole hours only
    EXPECT_EQ(eu.end.month, 10);
    EXPECT_EQ(eu.end.offsetMinutes, 0); // -0.5 truncates toward zero
    EXPECT_EQ(rules[1].start.day, 8);
    EXPECT_EQ(rules[1].start.offsetMinutes, 0); // 0.5 gives nothing
    EXPECT_EQ(rules[1].end.offsetMinutes, 60);
}

TEST(DstRules, TrailingLineEndsAddNothingAndStopsKeepThePartialRule) {
    EXPECT_EQ(parseDstRules("A\t-\t0\t0\t3\t1\t\r\nA\t-\t0\t0\t10\t1\t\r\n\r\n \r\n").size(), 1u);

    // The offset of the end line has no TAB after it.
    DstRuleTable rules = parseDstRules("A\t-\t0\t0\t3\t1\t\r\nB\t-\t6\t5\t10\t2\r\n");
    ASSERT_EQ(rules.size(), 1u);
    EXPECT_EQ(rules[0].ruleName, "B");
    EXPECT_EQ(rules[0].end.weekday, 6);
    EXPECT_EQ(rules[0].end.month, 10);
    EXPECT_EQ(rules[0].end.offsetMinutes, 120);

    // A start line alone keeps its own name.
    rules = parseDstRules("Lone\t-\t0\t0\t3\t1\t\r\n");
    ASSERT_EQ(rules.size(), 1u);
    EXPECT_EQ(rules[0].ruleName, "Lone");
    EXPECT_EQ(rules[0].start.month, 3);
    EXPECT_EQ(rules[0].end.month, 0);

    // Missing columns take the following line's and then run out.
    rules = parseDstRules("C\t-\t0\r\n");
    ASSERT_EQ(rules.size(), 1u);
    EXPECT_EQ(rules[0].start.day, 0);
}

TEST(DstRules, LoadFailureNamesTheBareFile) {
    test::ScratchDir dir;
    RecordingLoadErrorSink errors;
    EXPECT_TRUE(loadDstRules(dir.file("tz_dst.dat"), errors).empty());
    EXPECT_EQ(errors.files, std::vector<std::string>{"tz_dst.dat"});
}

TEST(DstSwitchTime, DayZeroIsTheLastSuchWeekdayOfTheMonth) {
    // 1 May 2022 is a Sunday; the last Sunday of April is the 24th.
    EXPECT_EQ(dstSwitchTime(0, 0, 4, 2022), utc(2022, 4, 24));
    // 31 March 2024 is itself the last Sunday.
    EXPECT_EQ(dstSwitchTime(0, 0, 3, 2024), utc(2024, 3, 31));
    EXPECT_EQ(dstSwitchTime(0, 0, 10, 2024), utc(2024, 10, 27));
    EXPECT_EQ(dstSwitchTime(5, 0, 2, 2024), utc(2024, 2, 23)); // leap February, Friday
    // No valid weekday: the last day of the month.
    EXPECT_EQ(dstSwitchTime(-1, 0, 2, 2023), utc(2023, 2, 28));
}

TEST(DstSwitchTime, WeekdayWithADayMeansTheFirstOnOrAfterIt) {
    EXPECT_EQ(dstSwitchTime(0, 8, 3, 2024), utc(2024, 3, 10));  // second Sunday of March
    EXPECT_EQ(dstSwitchTime(0, 10, 3, 2024), utc(2024, 3, 10)); // the day itself
    EXPECT_EQ(dstSwitchTime(0, 1, 11, 2024), utc(2024, 11, 3)); // first Sunday of November
    EXPECT_EQ(dstSwitchTime(1, 25, 12, 2024), utc(2024, 12, 30));
    EXPECT_EQ(dstSwitchTime(2, 30, 12, 2024), utc(2024, 12, 31));
    EXPECT_EQ(dstSwitchTime(4, 30, 12, 2024), utc(2025, 1, 2)); // runs into the next month
}

TEST(DstSwitchTime, WeekdayOutsideTheWeekKeepsTheFixedDay) {
    EXPECT_EQ(dstSwitchTime(-1, 15, 3, 2024), utc(2024, 3, 15));
    EXPECT_EQ(dstSwitchTime(7, 15, 3, 2024), utc(2024, 3, 15));
    EXPECT_EQ(dstSwitchTime(-1, 31, 4, 2024), utc(2024, 5, 1)); // 31 April is 1 May
}

TEST(DstSwitchTime, NonsenseFieldsGiveNone) {
    EXPECT_FALSE(dstSwitchTime(0, 1, 0, 2024));
    EXPECT_FALSE(dstSwitchTime(0, 1, 13, 2024));
    EXPECT_FALSE(dstSwitchTime(0, -1, 3, 2024));
    EXPECT_FALSE(dstSwitchTime(0, 32, 3, 2024));
}

TEST(DstSwitchTime, IsMidnightStandardTimeOfTheLocalZone) {
    test::LocalTimeZone zone("America/New_York");
    // 00:00 EST is 05:00 UTC.
    EXPECT_EQ(dstSwitchTime(0, 8, 3, 2024), utc(2024, 3, 10, 5));
    // Daylight saving is in force at 00:00 on 3 November, yet the switch is read
    // as standard time: still 05:00 UTC, not 04:00.
    EXPECT_EQ(dstSwitchTime(0, 1, 11, 2024), utc(2024, 11, 3, 5));
}

class DstOffset : public ::testing::Test {
protected:
    DstOffset() {
        zones = parseTimeZoneTable("h\r\n"
                                   "North\t0\t0\tEurope/North\tx\ty\tEU\t\r\n"
                                   "South\t0\t0\tAustralia/South\tx\ty\tAN\t\r\n"
                                   "Plain\t0\t0\tAsia/Plain\tx\ty\t\t\r\n"
                                   "Cased\t0\t0\tAsia/Cased\tx\ty\teu\t\r\n");
        rules = parseDstRules(
            // last Sunday of March to last Sunday of October
            "EU\t-\t0\t0\t3\t1\t\r\nEU\t-\t0\t0\t10\t0\t\r\n"
            // first Sunday of October to the first Sunday of April
            "AN\t-\t0\t1\t10\t1\t\r\nAN\t-\t0\t1\t4\t0\t\r\n"
            // a later rule of the same name is never found
            "EU\t-\t0\t1\t1\t5\t\r\nEU\t-\t0\t0\t12\t0\t\r\n");
        north.zoneKey = "north";
        south.zoneKey = "SOUTH";
        plain.zoneKey = "Plain";
        cased.zoneKey = "Cased";
    }
    int offset(const CityRecord& city, std::time_t now) const {
        return dstOffsetMinutes(city, zones, rules, now);
    }
    ZoneTable zones;
    DstRuleTable rules;
    CityRecord north, south, plain, cased;
};

TEST_F(DstOffset, NorthernRuleAppliesBetweenItsSwitches) {
    ASSERT_EQ(rules.size(), 3u);
    EXPECT_EQ(dstRuleOfCity(north, zones, rules), &rules[0]);
    EXPECT_EQ(offset(north, utc(2024, 6, 15, 12)), 60);
    EXPECT_EQ(offset(north, utc(2024, 1, 15, 12)), 0);
    EXPECT_EQ(offset(north, utc(2024, 11, 15, 12)), 0);
    // The start switch is inside the period, the end switch is not.
    EXPECT_EQ(offset(north, utc(2024, 3, 31)), 60);
    EXPECT_EQ(offset(north, utc(2024, 3, 31) - 1), 0);
    EXPECT_EQ(offset(north, utc(2024, 10, 27)), 0);
    EXPECT_EQ(offset(north, utc(2024, 10, 27) - 1), 60);
}

TEST_F(DstOffset, RuleSpanningTheNewYearAppliesInBothHalves) {
    // Switches in 2024: start 6 October, end 7 April.
    EXPECT_EQ(offset(south, utc(2024, 1, 15, 12)), 60);  // from the new year to the end
    EXPECT_EQ(offset(south, utc(2024, 11, 15, 12)), 60); // from the start to the year's end
    EXPECT_EQ(offset(south, utc(2024, 12, 31, 23, 59, 59)), 60);
    EXPECT_EQ(offset(south, utc(2024, 4, 15, 12)), 0);
    EXPECT_EQ(offset(south, utc(2024, 7, 1)), 0);
    EXPECT_EQ(offset(south, utc(2024, 4, 7) - 1), 60);
    EXPECT_EQ(offset(south, utc(2024, 4, 7)), 0);
    EXPECT_EQ(offset(south, utc(2024, 10, 6) - 1), 0);
    EXPECT_EQ(offset(south, utc(2024, 10, 6)), 60);
}

TEST_F(DstOffset, NoZoneNoRuleNameOrNoSuchRuleGivesZero) {
    CityRecord unknown;
    unknown.zoneKey = "Atlantis";
    const std::time_t summer = utc(2024, 6, 15, 12);
    EXPECT_EQ(offset(unknown, summer), 0);
    EXPECT_EQ(offset(plain, summer), 0);
    EXPECT_EQ(dstRuleOfCity(plain, zones, rules), nullptr);
    // Rule names compare with case: "eu" is not "EU".
    EXPECT_EQ(dstRuleOfCity(cased, zones, rules), nullptr);
    EXPECT_EQ(offset(cased, summer), 0);
    EXPECT_EQ(dstOffsetMinutes(north, zones, DstRuleTable{}, summer), 0);
}

} // namespace
} // namespace chronvale
