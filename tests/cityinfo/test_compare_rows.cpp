// The compared rows at an instant (local clock, offset from the reference, date
// change, working or not, day or night at the place), the typed clock times and
// working hours, and the text copied for an invitation.

#include "cityinfo/compare_rows.h"

#include <gtest/gtest.h>

namespace chronvale {
namespace {

// 2027-06-15 06:30 UTC, a Tuesday: 15:30 in Tokyo, 07:30 in London (summer
// time), 02:30 in New York (summer time).
constexpr std::time_t kJune15 = 1813041000;

struct RowCase {
    const char* what;
    int offsetMinutes;
    std::optional<GroundPoint> place;
    WorkingHours hours;
    int referenceMinutes;
    // expected
    int weekday, day, hour, minute, dateShift, fromReferenceMinutes;
    SkyPhase phase;
    bool working;
};

TEST(CompareRows, ReadsEachRowAtTheInstant) {
    const RowCase table[] = {
        {"Tokyo, in the afternoon",
         540,
         GroundPoint{35.68, 139.69},
         {},
         60,
         2,
         15,
         15,
         30,
         0,
         480,
         SkyPhase::Day,
         true},
        {"London before work",
         60,
         GroundPoint{51.51, -0.13},
         {},
         60,
         2,
         15,
         7,
         30,
         0,
         0,
         SkyPhase::Day,
         false},
        {"New York at night",
         -240,
         GroundPoint{40.71, -74.01},
         {},
         60,
         2,
         15,
         2,
         30,
         0,
         -300,
         SkyPhase::Night,
         false},
        {"Honolulu the day before",
         -600,
         GroundPoint{21.31, -157.86},
         {},
         60,
         1,
         14,
         20,
         30,
         -1,
         -660,
         SkyPhase::Night,
         false},
        // The sun stands over 82.5 E at 06:30 UTC: 93 degrees of hour angle
        // before noon on the equator it is 2.7 degrees below the horizon.
        {"on the equator before sunrise",
         0,
         GroundPoint{0.0, -10.5},
         {},
         0,
         2,
         15,
         6,
         30,
         0,
         0,
         SkyPhase::Twilight,
         false},
        {"Kiritimati the same date as Tokyo",
         840,
         std::nullopt,
         {},
         540,
         2,
         15,
         20,
         30,
         0,
         300,
         SkyPhase::Unknown,
         false},
        {"a night shift still running",
         -240,
         std::nullopt,
         {22 * 60, 6 * 60, kMondayToFriday},
         60,
         2,
         15,
         2,
         30,
         0,
         -300,
         SkyPhase::Unknown,
         true},
        {"New York seen from Tokyo: a day behind",
         -240,
         std::nullopt,
         {},
         540,
         2,
         15,
         2,
         30,
         0,
         -780,
         SkyPhase::Unknown,
         false},
        {"Kolkata, a half-hour zone",
         330,
         std::nullopt,
         {},
         0,
         2,
         15,
         12,
         0,
         0,
         330,
         SkyPhase::Unknown,
         true},
    };
    for (const RowCase& c : table) {
        SCOPED_TRACE(c.what);
        const CompareRow row{c.what, fixedUtcOffset(c.offsetMinutes * 60), c.place, c.hours};
        const RowReading r = readRow(row, kJune15, c.referenceMinutes * 60);
        EXPECT_EQ(r.clock.weekday, c.weekday);
        EXPECT_EQ(r.clock.day, c.day);
        EXPECT_EQ(r.clock.month, 6);
        EXPECT_EQ(r.clock.year, 2027);
        EXPECT_EQ(r.clock.hour, c.hour);
        EXPECT_EQ(r.clock.minute, c.minute);
        EXPECT_EQ(r.dateShift, c.dateShift);
        EXPECT_EQ(r.fromReference, c.fromReferenceMinutes * 60);
        EXPECT_EQ(r.phase, c.phase);
        EXPECT_EQ(r.working, c.working);
    }
}

TEST(CompareRows, PhasesOfTheSunsElevation) {
    const std::pair<double, SkyPhase> table[] = {
        {10.0, SkyPhase::Day},      {-0.833, SkyPhase::Day}, {-0.9, SkyPhase::Twilight},
        {-6.0, SkyPhase::Twilight}, {-6.1, SkyPhase::Night}, {-40.0, SkyPhase::Night}};
    for (const auto& [elevation, phase] : table) {
        EXPECT_EQ(phaseOfElevation(elevation), phase) << elevation;
    }
    // Overhead, on the horizon, and straight below.
    EXPECT_NEAR(sunElevation({10, 20}, {10, 20}), 90.0, 1e-5);
    EXPECT_NEAR(sunElevation({0, 0}, {0, 90}), 0.0, 1e-9);
    EXPECT_NEAR(sunElevation({23.0, 0}, {-23.0, 180}), -90.0, 1e-5);
}

TEST(CompareRows, DateShiftAgainstTheReference) {
    // At 06:30 UTC Kiritimati (+14) reads 20:30 on the 15th and Honolulu (-10)
    // 20:30 on the 14th; at 11:30 UTC Kiritimati is at 01:30 on the 16th while
    // Baker Island (-12) is at 23:30 on the 14th.
    const CompareRow honolulu{"Honolulu", fixedUtcOffset(-600 * 60), std::nullopt, std::nullopt};
    EXPECT_EQ(readRow(honolulu, kJune15, 840 * 60).dateShift, -1);
    const CompareRow kiritimati{"Kiritimati", fixedUtcOffset(840 * 60), std::nullopt, std::nullopt};
    EXPECT_EQ(readRow(kiritimati, kJune15 + 5 * 3600, -720 * 60).dateShift, 2);
    EXPECT_EQ(dateShiftText(1), "+1");
    EXPECT_EQ(dateShiftText(-1), "-1");
    EXPECT_EQ(dateShiftText(0), "");
}

TEST(CompareRows, OffsetTexts) {
    const std::pair<int, const char*> table[] = {{0, "+00:00"},
                                                 {19800, "+05:30"},
                                                 {-12600, "-03:30"},
                                                 {45900, "+12:45"},
                                                 {-36000, "-10:00"}};
    for (const auto& [seconds, text] : table) {
        EXPECT_EQ(offsetText(seconds), text);
    }
}

TEST(CompareRows, TypedClockTimes) {
    const std::pair<const char*, std::optional<int>> table[] = {
        {"15:30", 930},           {"9:05", 545},
        {" 00:00 ", 0},           {"23:59", 1439},
        {"24:00", std::nullopt},  {"12:60", std::nullopt},
        {"1530", std::nullopt},   {"15:3", std::nullopt},
        {"", std::nullopt},       {"ab:cd", std::nullopt},
        {"15 :30", std::nullopt}, {"-1:30", std::nullopt},
        {"123:00", std::nullopt},
    };
    for (const auto& [text, minutes] : table) {
        EXPECT_EQ(parseClockTime(text), minutes) << text;
    }
    EXPECT_EQ(clockText(545), "09:05");
    EXPECT_EQ(clockText(-60), "23:00");
}

TEST(CompareRows, WorkingHoursTexts) {
    WorkingHours hours;
    EXPECT_TRUE(parseShift("22:00\xE2\x80\x93"
                           "06:00",
                           hours));
    EXPECT_EQ(hours.startMinute, 22 * 60);
    EXPECT_EQ(hours.endMinute, 6 * 60);
    EXPECT_EQ(shiftMinutes(hours), 8 * 60);
    EXPECT_FALSE(parseShift("9-17", hours));
    EXPECT_EQ(hours.startMinute, 22 * 60); // untouched
    EXPECT_TRUE(parseShift("08:30-08:30", hours));
    EXPECT_EQ(shiftMinutes(hours), 1440);
    EXPECT_EQ(daysText(kSundayToThursday), "1111100");
    EXPECT_EQ(parseDays("0111110"), kMondayToFriday);
    EXPECT_EQ(parseDays("01111102"), std::nullopt);
    EXPECT_EQ(parseDays("0111112"), std::nullopt);
}

TEST(CompareRows, WorkingOnTheWeekdayTheShiftStarted) {
    // 2027-01-15 is a Friday, day 20833 since 1970.
    const std::int64_t friday = 20833LL * 86400;
    const WorkingHours night{22 * 60, 6 * 60, kMondayToFriday};
    EXPECT_TRUE(isWorkingAt(night, friday + 23 * 3600));          // Friday's shift
    EXPECT_TRUE(isWorkingAt(night, friday + 86400 + 5 * 3600));   // runs into Saturday
    EXPECT_FALSE(isWorkingAt(night, friday + 86400 + 6 * 3600));  // ends at 06:00
    EXPECT_FALSE(isWorkingAt(night, friday + 86400 + 23 * 3600)); // none on Saturday
    const WorkingHours week{9 * 60, 17 * 60, kSundayToThursday};
    EXPECT_FALSE(isWorkingAt(week, friday + 10 * 3600));
    EXPECT_TRUE(isWorkingAt(week, friday + 2 * 86400 + 10 * 3600)); // Sunday
}

TEST(CompareRows, CopiedText) {
    const std::vector<CompareRow> rows = {
        {"Tokyo", fixedUtcOffset(9 * 3600), std::nullopt, std::nullopt},
        {"London", fixedUtcOffset(3600), std::nullopt, std::nullopt},
        {"New York", fixedUtcOffset(-4 * 3600), std::nullopt, std::nullopt},
    };
    EXPECT_EQ(instantAsText(rows, kJune15),
              "Tue 15 Jun 15:30 Tokyo = 07:30 London = 02:30 New York");
    // Another date is written out for the row that has it.
    EXPECT_EQ(instantAsText(rows, kJune15 - 7 * 3600),
              "Tue 15 Jun 08:30 Tokyo = 00:30 London = Mon 14 Jun 19:30 New York");
    EXPECT_EQ(instantAsText({}, kJune15), "");
}

} // namespace
} // namespace chronvale
