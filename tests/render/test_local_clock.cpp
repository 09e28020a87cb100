// The one entry for local times: a city's own zone, a pixel's zone from the
// raster, and the shipped tables where the system database cannot answer.

#include "geo/zone_colours.h"
#include "render/local_clock.h"
#include "render/map_view.h"
#include "render_test_images.h"
#include "support/scratch.h"
#include "support/zic_folder.h"

#include <cmath>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace chronvale {
namespace {

using test::utc;

// A colour of the time-zone image and its offset.
ZoneColour colourOf(float hours) {
    for (const ZoneColour& z : zoneColourTable()) {
        if (z.hours == hours && zoneOffsetForColour(z.red, z.green, z.blue) == hours) {
            return z;
        }
    }
    return {};
}

Point pixelOf(const CityRecord& city) {
    const MapView unpanned;
    return unpanned.mapToPane(city.longitude, city.latitude);
}

class LocalClockTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(test::compileZones(scratch_, test::kTestTzdata));
        system_ = std::make_unique<SystemZones>(scratch_.file("zoneinfo"));
        // Raxaul (India) and Birgunj (Nepal) face each other across the border
        // and share a pixel, on Nepal's side. Dhaka's zone is not in the folder.
        tables_.cities.resize(3);
        tables_.cities[0] = {"", "Raxaul", std::nullopt, 84.85f, 26.98f, false, false, {}};
        tables_.cities[1] = {"", "Birgunj", std::nullopt, 84.88f, 27.01f, false, false, {}};
        tables_.cities[2] = {"", "Dhaka", std::nullopt, 90.41f, 23.81f, false, false, {}};
        files_.cities = &tables_.cities;
        files_.cityZones = {"Asia/Kolkata", "Asia/Kathmandu", "Asia/Dhaka"};
        files_.raster.width = kMapWidth;
        files_.raster.height = kMapHeight;
        files_.raster.names = {"Asia/Kolkata", "Asia/Kathmandu"};
        files_.raster.cells.assign(static_cast<std::size_t>(kMapWidth) * kMapHeight, 0);
        const Point nepal = pixelOf(tables_.cities[0]);
        files_.raster.cells[static_cast<std::size_t>(nepal.y) * kMapWidth + nepal.x] = 1;
        // The tables' image: +6 hours everywhere.
        const ZoneColour six = colourOf(6.0f);
        image_ = test::solidImage(kMapWidth, kMapHeight, six.red, six.green, six.blue);
        clock_.setZoneImage(image_.get());
    }

    test::ScratchDir scratch_;
    std::unique_ptr<SystemZones> system_;
    GeoTables tables_;
    ZoneFiles files_;
    ImagePtr image_;
    LocalClock clock_{&tables_, &files_, nullptr};
};

TEST_F(LocalClockTest, BorderTownsKeepTheirOwnZonesTimeWhereThePixelLiesAcross) {
    LocalClock clock(&tables_, &files_, system_.get());
    clock.setZoneImage(image_.get());
    const std::time_t t = utc(2027, 1, 15, 12);
    struct Case {
        std::size_t city;
        const char* ownZone;
        int offset;
        const char* pixelZone;
    };
    for (const Case& c : {Case{0, "Asia/Kolkata", 19800, "Asia/Kathmandu"},
                          Case{1, "Asia/Kathmandu", 20700, "Asia/Kathmandu"}}) {
        const CityRecord& city = tables_.cities[c.city];
        SCOPED_TRACE(city.name);
        const LocalTime own = clock.cityTime(city, t);
        EXPECT_TRUE(own.fromSystem);
        EXPECT_EQ(own.zoneName, c.ownZone);
        EXPECT_EQ(own.offsetSeconds, c.offset);
        const Point p = pixelOf(city);
        const LocalTime there = clock.pixelTime(p.x, p.y, t);
        EXPECT_EQ(there.zoneName, c.pixelZone);
        EXPECT_EQ(there.offsetSeconds == own.offsetSeconds, c.pixelZone == std::string(c.ownZone));
    }
    EXPECT_EQ(clock.pixelTime(100, 100, t).zoneName, "Asia/Kolkata") << "away from the border";
    EXPECT_EQ(clock.source(), ClockSource::System);
}

TEST_F(LocalClockTest, FallsBackToTheTablesWhereTheSystemCannotAnswer) {
    const std::time_t t = utc(2027, 1, 15, 12);
    struct Case {
        const char* what;
        bool useSystem;
        SystemZones* system;
        std::size_t city;
        bool fromSystem;
        std::int64_t offset;
        ClockSource source;
    };
    SystemZones none("/nonexistent-zoneinfo");
    const std::vector<Case> cases = {
        {"zone missing from the system", true, system_.get(), 2, false, 6 * 3600,
         ClockSource::System},
        {"switched off", false, system_.get(), 1, false, 6 * 3600, ClockSource::SwitchedOff},
        {"no database", true, &none, 1, false, 6 * 3600, ClockSource::NoDatabase},
        {"from the system", true, system_.get(), 1, true, 20700, ClockSource::System},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LocalClock clock(&tables_, &files_, c.system);
        clock.setZoneImage(image_.get());
        clock.setUseSystemDatabase(c.useSystem);
        const LocalTime local = clock.cityTime(tables_.cities[c.city], t);
        EXPECT_EQ(local.fromSystem, c.fromSystem);
        EXPECT_EQ(local.offsetSeconds, c.offset);
        EXPECT_EQ(local.zoneName.empty(), !c.fromSystem);
        EXPECT_EQ(clock.source(), c.source);
        // The tables' offset at a given point wins on the fall-back only.
        EXPECT_EQ(clock.cityTime(tables_.cities[c.city], t, 3.0f).offsetSeconds,
                  c.fromSystem ? c.offset : 3 * 3600);
    }
    // Zone files that did not load.
    files_.errors.push_back("Unable to load file 'zone_map.dat'");
    LocalClock clock(&tables_, &files_, system_.get());
    EXPECT_EQ(clock.source(), ClockSource::NoZoneFiles);
}

TEST_F(LocalClockTest, TextsOfTheTimeAndTheOffset) {
    LocalClock clock(&tables_, &files_, system_.get());
    const LocalTime kathmandu = clock.cityTime(tables_.cities[1], utc(2027, 1, 15, 12));
    EXPECT_EQ(kathmandu.text(), "01/15/27 17:45:00");
    EXPECT_EQ(kathmandu.offsetText(), "UTC+05:45");
    EXPECT_EQ(kathmandu.abbreviation, "") << "a numeric abbreviation is none";
    LocalTime west;
    west.offsetSeconds = -(3 * 3600 + 30 * 60);
    EXPECT_EQ(west.offsetText(), "UTC-03:30");
}

} // namespace
} // namespace chronvale
