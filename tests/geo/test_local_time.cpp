// The date and time text and a city's local time.

#include "geo/city.h"
#include "geo/dst.h"
#include "geo/local_time.h"
#include "geo/time_zone.h"
#include "support/scratch.h"

#include <gtest/gtest.h>

namespace chronvale {
namespace {

using test::utc;

TEST(FormatUtcDateTime, InstantZeroWritesEveryFieldAsZero) {
    EXPECT_EQ(formatUtcDateTime(0, monthDayYear), "00/00/00 00:00:00");
    EXPECT_EQ(formatUtcDateTime(0, monthDayYear, "."), "00.00.00 00:00:00");
    EXPECT_EQ(formatUtcDateTime(1, monthDayYear), "01/01/70 00:00:01");
}

TEST(FormatUtcDateTime, OrdersAndTwoDigitYears) {
    const std::time_t leapDay = utc(2004, 2, 29, 13, 5, 9);
    EXPECT_EQ(formatUtcDateTime(leapDay, monthDayYear), "02/29/04 13:05:09");
    EXPECT_EQ(formatUtcDateTime(leapDay, dayMonthYear), "29/02/04 13:05:09");
    EXPECT_EQ(formatUtcDateTime(leapDay, yearMonthDay), "04/02/29 13:05:09");
    EXPECT_EQ(formatUtcDateTime(leapDay, 7), "02/29/04 13:05:09"); // unknown: month first
    EXPECT_EQ(formatUtcDateTime(utc(1999, 12, 31, 23, 59, 59), 0), "12/31/99 23:59:59");
    EXPECT_EQ(formatUtcDateTime(utc(2100, 1, 2), 0), "01/02/100 00:00:00");
}

TEST(FormatUtcDateTime, SeparatorDefaultsToSlashAndIsBounded) {
    const std::time_t instant = utc(2024, 6, 5, 7, 8, 9);
    EXPECT_EQ(formatUtcDateTime(instant, 0, "-"), "06-05-24 07:08:09");
    EXPECT_EQ(formatUtcDateTime(instant, 0, ""), "06/05/24 07:08:09");
    EXPECT_EQ(formatUtcDateTime(instant, 0, "<------->"), "06<------05<------24 07:08:09");
    // A cut never splits a UTF-8 character: 3 two-byte characters fit in 7 bytes.
    EXPECT_EQ(formatUtcDateTime(instant, 0, "\u00b7\u00b7\u00b7\u00b7"),
              "06\u00b7\u00b7\u00b705\u00b7\u00b7\u00b724 07:08:09");
}

TEST(LocalTimeText, AddsZoneHoursAndDaylightSavingToNow) {
    ZoneTable zones = parseTimeZoneTable("h\r\nC\t0\t0\tA/Summer\tx\ty\tS\t\r\n");
    DstRuleTable rules = parseDstRules("S\t-\t-1\t1\t1\t1\t\r\nS\t-\t-1\t31\t12\t0\t\r\n");
    CityRecord summer;
    summer.zoneKey = "Summer";
    CityRecord plain;
    plain.zoneKey = "Elsewhere";
    const std::time_t now = utc(2024, 6, 15, 12, 0, 0);
    EXPECT_EQ(localTimeText(plain, 5.75f, zones, rules, now), "06/15/24 17:45:00");
    EXPECT_EQ(localTimeText(plain, -3.5f, zones, rules, now), "06/15/24 08:30:00");
    EXPECT_EQ(localTimeText(summer, 5.75f, zones, rules, now), "06/15/24 18:45:00");
    EXPECT_EQ(localTimeText(plain, 12.75f, zones, rules, now, "."), "06.16.24 00:45:00");
    // Fractions of a second are cut off.
    EXPECT_EQ(localTimeText(plain, 0.00025f, zones, rules, now), "06/15/24 12:00:00");
}

} // namespace
} // namespace chronvale
