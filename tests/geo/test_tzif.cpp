// The reader of compiled zones, against zones zic compiles in the test and
// against the C library reading the same files.

#include "geo/system_zones.h"
#include "geo/tzif.h"
#include "support/environment.h"
#include "support/scratch.h"
#include "support/zic_folder.h"

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace chronvale {
namespace {

using test::compileZones;
using test::kTestTzdata;
using test::ScratchDir;
using test::utc;

class CompiledZones : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        ASSERT_TRUE(compileZones(scratch_, kTestTzdata, GetParam())) << "zic failed";
    }
    std::string folder() const { return scratch_.file("zoneinfo"); }

    ScratchDir scratch_;
};

struct UnusualCase {
    const char* zone;
    std::time_t instant;
    int offset;
    bool isDst;
    int saving;
    const char* abbreviation;
    bool real; // a real abbreviation, not a numeric one
};

TEST_P(CompiledZones, GiveTheUnusualRulesTheirOwnOffsets) {
    const std::vector<UnusualCase> cases = {
        // Half- and three-quarter-hour offsets without saving.
        {"Asia/Kathmandu", utc(2027, 1, 15, 12), 20700, false, 0, "+0545", false},
        {"Asia/Kolkata", utc(2027, 7, 15, 12), 19800, false, 0, "IST", true},
        // No saving at all.
        {"Asia/Tokyo", utc(2027, 7, 15, 12), 32400, false, 0, "JST", true},
        {"Etc/UTC", utc(2027, 7, 15, 12), 0, false, 0, "UTC", true},
        // Negative saving: Irish standard time is summer time, winter saves -1 h.
        {"Europe/Dublin", utc(2027, 1, 15, 12), 0, true, -3600, "GMT", true},
        {"Europe/Dublin", utc(2027, 7, 15, 12), 3600, false, 0, "IST", true},
        // Lord Howe saves 30 minutes.
        {"Australia/Lord_Howe", utc(2027, 1, 15, 12), 39600, true, 1800, "+11", false},
        {"Australia/Lord_Howe", utc(2027, 7, 15, 12), 37800, false, 0, "+1030", false},
        // Half-hour standard offset with a whole hour of saving.
        {"America/St_Johns", utc(2027, 7, 15, 12), -9000, true, 3600, "NDT", true},
        {"America/St_Johns", utc(2027, 1, 15, 12), -12600, false, 0, "NST", true},
        {"Pacific/Chatham", utc(2027, 1, 15, 12), 49500, true, 3600, "+1345", false},
        {"Pacific/Chatham", utc(2027, 7, 15, 12), 45900, false, 0, "+1245", false},
        // The switch itself: 01:00 UTC on the last Sunday of March.
        {"Europe/London", utc(2027, 3, 28, 0, 59, 59), 0, false, 0, "GMT", true},
        {"Europe/London", utc(2027, 3, 28, 1), 3600, true, 3600, "BST", true},
        // Far beyond the table: the footer's rule.
        {"Europe/London", utc(2090, 7, 1), 3600, true, 3600, "BST", true},
    };
    SystemZones zones(folder());
    for (const UnusualCase& c : cases) {
        SCOPED_TRACE(std::string(c.zone) + " at " + std::to_string(c.instant));
        const TzifZone* zone = zones.zone(c.zone);
        ASSERT_NE(zone, nullptr);
        const ZoneTime t = zoneTimeAt(*zone, c.instant);
        EXPECT_EQ(t.type.utcOffset, c.offset);
        EXPECT_EQ(t.type.isDst, c.isDst);
        EXPECT_EQ(t.savingSeconds, c.saving);
        EXPECT_EQ(t.type.abbreviation, c.abbreviation);
        EXPECT_EQ(isRealAbbreviation(t.type.abbreviation), c.real);
    }
}

// The C library reads the same files through TZDIR: every zone, every few hours
// of four decades, must agree in offset, saving flag and abbreviation.
TEST_P(CompiledZones, AgreeWithTheCLibraryAcrossDecades) {
    const test::ScopedVariable tzdir("TZDIR", folder());
    SystemZones zones(folder());
    for (const char* name : {"Europe/London", "Europe/Dublin", "Australia/Lord_Howe",
                             "Pacific/Chatham", "America/St_Johns", "Asia/Kathmandu"}) {
        const test::LocalTimeZone tz(name);
        const TzifZone* zone = zones.zone(name);
        ASSERT_NE(zone, nullptr) << name;
        int mismatches = 0;
        for (std::time_t t = utc(2006, 1, 1); t < utc(2046, 1, 1) && mismatches < 3;
             t += 5 * 3600 + 17) {
            std::tm local{};
            ASSERT_NE(localtime_r(&t, &local), nullptr);
            const ZoneTime ours = zoneTimeAt(*zone, t);
            if (ours.type.utcOffset != local.tm_gmtoff || ours.type.isDst != (local.tm_isdst > 0) ||
                ours.type.abbreviation != local.tm_zone) {
                ++mismatches;
                ADD_FAILURE() << name << " at " << t << ": ours " << ours.type.utcOffset << " "
                              << ours.type.abbreviation << ", C library " << local.tm_gmtoff << " "
                              << local.tm_zone;
            }
        }
    }
}

struct PeriodCase {
    const char* zone;
    std::time_t instant;
    std::optional<std::time_t> start;
    std::time_t end;
    int before;
    int inside;
};

TEST_P(CompiledZones, FindTheSavingPeriodInForceOrOfTheYear) {
    const std::vector<PeriodCase> cases = {
        // In force.
        {"Europe/London", utc(2027, 7, 15), utc(2027, 3, 28, 1), utc(2027, 10, 31, 1), 0, 3600},
        // Not in force: this year's, before and after it.
        {"Europe/London", utc(2027, 1, 15), utc(2027, 3, 28, 1), utc(2027, 10, 31, 1), 0, 3600},
        {"Europe/London", utc(2027, 12, 15), utc(2027, 3, 28, 1), utc(2027, 10, 31, 1), 0, 3600},
        // Spanning the new year, with a half-hour saving.
        {"Australia/Lord_Howe", utc(2027, 1, 15), utc(2026, 10, 3, 15, 30), utc(2027, 4, 3, 15),
         37800, 39600},
        // Dublin's saving is its winter.
        {"Europe/Dublin", utc(2027, 1, 15), utc(2026, 10, 25, 1), utc(2027, 3, 28, 1), 3600, 0},
        // No saving.
        {"Asia/Tokyo", utc(2027, 7, 15), std::nullopt, 0, 0, 0},
    };
    SystemZones zones(folder());
    for (const PeriodCase& c : cases) {
        SCOPED_TRACE(std::string(c.zone) + " at " + std::to_string(c.instant));
        const TzifZone* zone = zones.zone(c.zone);
        ASSERT_NE(zone, nullptr);
        const std::optional<SavingPeriod> period = savingPeriodAt(*zone, c.instant);
        ASSERT_EQ(period.has_value(), c.start.has_value());
        if (period) {
            EXPECT_EQ(period->start, *c.start);
            EXPECT_EQ(period->end, c.end);
            EXPECT_EQ(period->offsetBefore, c.before);
            EXPECT_EQ(period->offsetInside, c.inside);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(SlimAndFat, CompiledZones, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "fat" : "slim"; });

TEST(SystemZones, FollowAChangedRuleOfTheFolderTzdirNames) {
    ScratchDir before;
    ScratchDir after;
    ASSERT_TRUE(compileZones(before, std::string(kTestTzdata) + test::kVancouverBefore));
    ASSERT_TRUE(compileZones(after, std::string(kTestTzdata) + test::kVancouverChanged));
    const std::time_t winter = utc(2026, 12, 15, 20);
    for (const auto& [folder, offset, abbreviation] :
         {std::tuple{before.file("zoneinfo"), -8 * 3600, "PST"},
          std::tuple{after.file("zoneinfo"), -7 * 3600, "MST"}}) {
        const test::ScopedVariable tzdir("TZDIR", folder);
        EXPECT_EQ(systemZoneinfoFolder(), folder);
        SystemZones zones;
        const TzifZone* zone = zones.zone("America/Vancouver");
        ASSERT_NE(zone, nullptr);
        EXPECT_EQ(zoneTimeAt(*zone, winter).type.utcOffset, offset);
        EXPECT_EQ(zoneTimeAt(*zone, winter).type.abbreviation, abbreviation);
        EXPECT_EQ(zones.version(), "2099z");
        EXPECT_TRUE(zones.available());
        // Missing zones are answered (and remembered) as missing.
        EXPECT_EQ(zones.zone("America/Nowhere"), nullptr);
        EXPECT_EQ(zones.zone("America/Nowhere"), nullptr);
    }
}

TEST(SystemZones, TakeTheCLibrarysDefaultFolderWithoutTzdir) {
    const test::ScopedVariable tzdir("TZDIR", "");
    EXPECT_EQ(systemZoneinfoFolder(), "/usr/share/zoneinfo");
    SystemZones empty("/nonexistent-zoneinfo");
    EXPECT_FALSE(empty.available());
    EXPECT_EQ(empty.version(), std::nullopt);
}

TEST(SystemZones, RefuseNamesOutsideTheFolder) {
    for (const char* bad : {"", "/etc/passwd", "../zoneinfo/UTC", "Europe/../UTC", "Europe//Paris",
                            "Europe/", "./UTC", "Europe/Paris\n", "Europe/Par is"}) {
        EXPECT_FALSE(isSafeZoneName(bad)) << bad;
    }
    for (const char* good : {"UTC", "Europe/Paris", "Etc/GMT+5", "America/Port-au-Prince",
                             "America/Argentina/Buenos_Aires"}) {
        EXPECT_TRUE(isSafeZoneName(good)) << good;
    }
    EXPECT_FALSE(isSafeZoneName(std::string(256, 'a')));
}

TEST(SystemZones, ReadTheVersionLineOfTzdataZi) {
    EXPECT_EQ(tzdataVersionOf("# version 2026f\n# ddeps\n"), "2026f");
    EXPECT_EQ(tzdataVersionOf("# version 2026f\r\n"), "2026f");
    EXPECT_EQ(tzdataVersionOf("R US 2007 ma - Mar Su>=8 2 1 D\n"), std::nullopt);
    EXPECT_EQ(tzdataVersionOf("# version \n"), std::nullopt);
    EXPECT_EQ(tzdataVersionOf(""), std::nullopt);
}

TEST(PosixRule, ParsesTheFootersTheDatabaseWrites) {
    struct Case {
        const char* text;
        bool ok;
        int standard;
        std::optional<int> daylight;
    };
    const std::vector<Case> cases = {
        {"EST5EDT,M3.2.0,M11.1.0", true, -18000, -14400},
        {"GMT0BST,M3.5.0/1,M10.5.0", true, 0, 3600},
        {"IST-1GMT0,M10.5.0,M3.5.0/1", true, 3600, 0},
        {"<+1030>-10:30<+11>-11,M10.1.0,M4.1.0", true, 37800, 39600},
        {"<-03>3<-02>,M3.5.0/-2,M10.5.0/-1", true, -10800, -7200},
        {"<+0545>-5:45", true, 20700, std::nullopt},
        {"EST5EDT,0/0,J365/25", true, -18000, -14400},
        {"JST-9", true, 32400, std::nullopt},
        {"", false, 0, std::nullopt},
        {"E5", false, 0, std::nullopt},  // names of three letters at least
        {"EST", false, 0, std::nullopt}, // an offset is needed
        {"EST5EDT,M13.1.0,M11.1.0", false, 0, std::nullopt},
        {"EST5EDT,M3.6.0,M11.1.0", false, 0, std::nullopt},
        {"EST5EDT,M3.2.0", false, 0, std::nullopt},
        {"EST5EDT,M3.2.0/168,M11.1.0", false, 0, std::nullopt},
        {"<+05", false, 0, std::nullopt},
        {"EST5EDT,M3.2.0,M11.1.0 ", false, 0, std::nullopt},
        {"EST99", false, 0, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const std::optional<PosixRule> rule = parsePosixRule(c.text);
        ASSERT_EQ(rule.has_value(), c.ok);
        if (rule) {
            EXPECT_EQ(rule->standard.utcOffset, c.standard);
            ASSERT_EQ(rule->daylight.has_value(), c.daylight.has_value());
            if (rule->daylight) {
                EXPECT_EQ(rule->daylight->utcOffset, *c.daylight);
            }
        }
    }
}

TEST(Tzif, RejectsEveryTruncationAndDamagedCounts) {
    ScratchDir scratch;
    ASSERT_TRUE(compileZones(scratch, kTestTzdata));
    std::ifstream in(scratch.file("zoneinfo/Europe/London"), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_TRUE(parseTzif(bytes).has_value());
    // Cut anywhere before the footer's closing newline: no zone, and no read past the end.
    for (std::size_t n = 0; n + 1 < bytes.size(); ++n) {
        EXPECT_FALSE(parseTzif(std::string_view(bytes).substr(0, n)).has_value()) << n;
    }
    const auto damaged = [&](std::size_t at, char value) {
        std::string copy = bytes;
        copy[at] = value;
        return parseTzif(copy).has_value();
    };
    EXPECT_FALSE(damaged(0, 'X'));                // magic
    EXPECT_FALSE(damaged(4, '9'));                // version
    EXPECT_FALSE(damaged(32, '\x7f'));            // transition count of the first header
    EXPECT_FALSE(damaged(36, '\x7f'));            // type count
    EXPECT_FALSE(damaged(bytes.size() - 2, '!')); // the footer's rule
    EXPECT_FALSE(parseTzif(std::string(maxTzifBytes + 1, 'T')).has_value());
}

} // namespace
} // namespace chronvale
