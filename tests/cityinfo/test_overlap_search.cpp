// The next overlap of working hours against cases worked out by hand from the
// zones' rules (each checked against the system's zoneinfo): daylight-saving
// change weeks, half-hour zones, a Sunday-Thursday working week, a night shift,
// an overlap across midnight UTC, and rows that never overlap.

#include "cityinfo/overlap_search.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace chronvale {
namespace {

// "2027-03-15 13:00" as a UTC instant.
std::time_t at(const char* text) {
    std::tm fields{};
    sscanf(text, "%d-%d-%d %d:%d", &fields.tm_year, &fields.tm_mon, &fields.tm_mday,
           &fields.tm_hour, &fields.tm_min);
    fields.tm_year -= 1900;
    fields.tm_mon -= 1;
    return timegm(&fields);
}

// A zone with one period of daylight saving (UTC instants) in the year tested.
UtcOffsetAt zone(int standardMinutes, std::time_t summerFrom = 0, std::time_t summerTo = 0,
                 int summerMinutes = 60) {
    return [=](std::time_t t) {
        return (standardMinutes + (t >= summerFrom && t < summerTo ? summerMinutes : 0)) * 60;
    };
}

// 2027's changes: the United States and Canada on 14 March, Europe on 28 March.
const UtcOffsetAt kLondon = zone(0, at("2027-03-28 01:00"), at("2027-10-31 01:00"));
const UtcOffsetAt kNewYork = zone(-300, at("2027-03-14 07:00"), at("2027-11-07 06:00"));
const UtcOffsetAt kStJohns = zone(-210, at("2027-03-14 05:30"), at("2027-11-07 04:30"));
const UtcOffsetAt kKolkata = zone(330);
const UtcOffsetAt kRiyadh = zone(180);
const UtcOffsetAt kTokyo = zone(540);
const UtcOffsetAt kAuckland = zone(780); // summer time all of January
const UtcOffsetAt kHonolulu = zone(-600);

CompareRow row(const char* label, const UtcOffsetAt& offset, WorkingHours hours = {}) {
    return {label, offset, std::nullopt, hours};
}

struct OverlapCase {
    const char* what;
    std::vector<CompareRow> rows;
    const char* from;
    int minimumMinutes;
    const char* start; // nullptr: none at all
    const char* end;
    bool complete;
    std::vector<std::size_t> sharing;
};

const WorkingHours kNightShift{22 * 60, 6 * 60, kMondayToFriday};
const WorkingHours kSundayToThursdayHours{9 * 60, 17 * 60, kSundayToThursday};

const std::vector<OverlapCase>& cases() {
    static const std::vector<OverlapCase> table = {
        // New York moves to 13-21 UTC on Sunday 14 March; London stays 09-17.
        {"a four-hour overlap appears with the US change",
         {row("London", kLondon), row("New York", kNewYork)},
         "2027-03-08 00:00",
         240,
         "2027-03-15 13:00",
         "2027-03-15 17:00",
         true,
         {0, 1}},
        {"before the US change three hours",
         {row("London", kLondon), row("New York", kNewYork)},
         "2027-03-08 00:00",
         60,
         "2027-03-08 14:00",
         "2027-03-08 17:00",
         true,
         {0, 1}},
        // From 28 March London works 08-16 UTC: three hours with New York only.
        {"the European change takes the four hours away",
         {row("London", kLondon), row("New York", kNewYork)},
         "2027-03-29 00:00",
         240,
         nullptr,
         nullptr,
         false,
         {}},
        {"four hours the week before the European change",
         {row("London", kLondon), row("New York", kNewYork)},
         "2027-03-19 18:00",
         240,
         "2027-03-22 13:00",
         "2027-03-22 17:00",
         true,
         {0, 1}},
        // Kolkata 09-17 is 03:30-11:30 UTC.
        {"a half-hour zone",
         {row("Kolkata", kKolkata), row("London", kLondon)},
         "2027-01-11 00:00",
         60,
         "2027-01-11 09:00",
         "2027-01-11 11:30",
         true,
         {0, 1}},
        // St John's 09-17 is 12:30-20:30 UTC, from 14 March 11:30-19:30 UTC.
        {"a half-hour zone across its change",
         {row("St John's", kStJohns), row("London", kLondon)},
         "2027-03-12 18:00",
         60,
         "2027-03-15 11:30",
         "2027-03-15 17:00",
         true,
         {0, 1}},
        // Riyadh works Sunday to Thursday, 06-14 UTC.
        {"a Sunday-Thursday week meets Monday-Friday on Monday",
         {row("Riyadh", kRiyadh, kSundayToThursdayHours), row("London", kLondon)},
         "2027-01-15 00:00",
         60,
         "2027-01-18 09:00",
         "2027-01-18 14:00",
         true,
         {0, 1}},
        {"a Sunday-Thursday week alone starts on Sunday",
         {row("Riyadh", kRiyadh, kSundayToThursdayHours)},
         "2027-01-15 00:00",
         60,
         "2027-01-17 06:00",
         "2027-01-17 14:00",
         true,
         {0}},
        // Auckland 09-17 is 20:00-04:00 UTC the day before, Honolulu 19:00-03:00 UTC.
        {"an overlap across midnight UTC",
         {row("Auckland", kAuckland), row("Honolulu", kHonolulu)},
         "2027-01-10 00:00",
         60,
         "2027-01-11 20:00",
         "2027-01-12 03:00",
         true,
         {0, 1}},
        // Monday's night shift in London is 22:00-06:00 UTC, Tokyo works 00-08 UTC.
        {"a night shift across midnight",
         {row("London nights", kLondon, kNightShift), row("Tokyo", kTokyo)},
         "2027-01-11 00:00",
         60,
         "2027-01-12 00:00",
         "2027-01-12 06:00",
         true,
         {0, 1}},
        // Tokyo 00-08 UTC never meets London 09-17 or New York 14-22.
        {"no overlap: the best partial is London and New York",
         {row("London", kLondon), row("New York", kNewYork), row("Tokyo", kTokyo)},
         "2027-03-10 12:00",
         60,
         "2027-03-10 14:00",
         "2027-03-10 17:00",
         false,
         {0, 1}},
        {"no overlap at all",
         {row("New York", kNewYork), row("Tokyo", kTokyo)},
         "2027-03-10 12:00",
         60,
         nullptr,
         nullptr,
         false,
         {}},
        {"the earliest of equally good partial overlaps",
         {row("London", kLondon), row("New York", kNewYork), row("Kolkata", kKolkata)},
         "2027-01-11 00:00",
         60,
         "2027-01-11 09:00",
         "2027-01-11 11:30",
         false,
         {0, 2}},
        {"an overlap in progress counts from the start",
         {row("London", kLondon), row("New York", kNewYork)},
         "2027-01-11 15:00",
         60,
         "2027-01-11 15:00",
         "2027-01-11 17:00",
         true,
         {0, 1}},
        {"an overlap in progress too short for the minimum",
         {row("London", kLondon), row("New York", kNewYork)},
         "2027-01-11 15:00",
         180,
         "2027-01-12 14:00",
         "2027-01-12 17:00",
         true,
         {0, 1}},
        {"a row without hours takes no part",
         {row("London", kLondon), {"UTC", zone(0), std::nullopt, std::nullopt}},
         "2027-01-11 00:00",
         60,
         "2027-01-11 09:00",
         "2027-01-11 17:00",
         true,
         {0}},
    };
    return table;
}

class OverlapSearch : public ::testing::TestWithParam<std::size_t> {};

TEST_P(OverlapSearch, FindsTheHandComputedOverlap) {
    const OverlapCase& c = cases()[GetParam()];
    SCOPED_TRACE(c.what);
    const std::optional<Overlap> found =
        findOverlap(c.rows, {at(c.from), c.minimumMinutes * 60, 14 * 86400});
    if (c.start == nullptr) {
        EXPECT_FALSE(found.has_value());
        return;
    }
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->start, at(c.start));
    EXPECT_EQ(found->end, at(c.end));
    EXPECT_EQ(found->complete, c.complete);
    EXPECT_EQ(found->rows, c.sharing);
}

INSTANTIATE_TEST_SUITE_P(Cases, OverlapSearch, ::testing::Range<std::size_t>(0, 16));

TEST(OverlapSearch, TableSizeMatchesTheInstantiation) {
    EXPECT_EQ(cases().size(), 16u);
}

TEST(OverlapSearch, StartsOnlyWithinTheHorizon) {
    // Riyadh alone from Friday: its Sunday shift lies beyond a one-day horizon.
    const std::vector<CompareRow> rows = {row("Riyadh", kRiyadh, kSundayToThursdayHours)};
    EXPECT_FALSE(findOverlap(rows, {at("2027-01-15 00:00"), 3600, 86400}).has_value());
}

// Instants of local clock readings, including the hour London skips and the
// hour it repeats.
struct LocalCase {
    const char* local;
    const UtcOffsetAt* zone;
    const char* instant;
};

TEST(OverlapSearch, InstantsOfLocalReadings) {
    const LocalCase table[] = {
        {"2027-03-15 09:00", &kNewYork, "2027-03-15 13:00"},
        {"2027-03-12 09:00", &kNewYork, "2027-03-12 14:00"},
        {"2027-01-11 09:00", &kKolkata, "2027-01-11 03:30"},
        {"2027-03-28 01:30", &kLondon, "2027-03-28 01:30"}, // skipped: the offset before
        {"2027-10-31 01:30", &kLondon, "2027-10-31 00:30"}, // repeated: the first pass
        {"2027-10-31 02:30", &kLondon, "2027-10-31 02:30"},
    };
    for (const LocalCase& c : table) {
        EXPECT_EQ(instantOfLocal(*c.zone, at(c.local)), at(c.instant)) << c.local;
    }
}

} // namespace
} // namespace chronvale
