// The shipped zone files with the system's time-zone database: the border towns
// whose map pixel the time-zone image gives to the town across the border show
// their own zone's time, and the zone raster names both sides of a border.

#include "core/load_errors.h"
#include "geo/geo_tables.h"
#include "geo/zone_files.h"
#include "render/compositor.h"
#include "render/earth_image.h"
#include "render/local_clock.h"
#include "render/map_view.h"
#include "support/environment.h"
#include "support/scratch.h"

#include <ctime>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace chronvale {
namespace {

const std::string kData = std::string(CHRONVALE_SOURCE_DIR) + "/data";

class BorderTowns : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        RecordingLoadErrorSink errors;
        tables_ = new GeoTables(loadGeoTables(kData, errors));
        files_ = new ZoneFiles(loadZoneFiles(kData, tables_->cities));
        image_ = loadImage(kData + "/" + kTimeZoneImageName).release();
    }
    static void TearDownTestSuite() {
        delete image_;
        delete files_;
        delete tables_;
    }

    // The city of that name at that map pixel.
    static const CityRecord* city(const std::string& name, int x, int y) {
        const MapView unpanned;
        for (const CityRecord& c : tables_->cities) {
            const Point p = unpanned.mapToPane(c.longitude, c.latitude);
            if (p.x == x && p.y == y && c.name.rfind(name, 0) == 0) {
                return &c;
            }
        }
        return nullptr;
    }

    static GeoTables* tables_;
    static ZoneFiles* files_;
    static EarthImage* image_;
};

GeoTables* BorderTowns::tables_ = nullptr;
ZoneFiles* BorderTowns::files_ = nullptr;
EarthImage* BorderTowns::image_ = nullptr;

// The nine towns whose pixel in the time-zone image is held by a larger town
// across the border that keeps another time (the generator names them), and the
// town there.
struct Town {
    const char* name;
    const char* zone;
    const char* across;
    int x, y; // the shared pixel
};
const std::vector<Town> kTowns = {
    {"Sinŭiju", "Asia/Pyongyang", "Dandong", 865, 142},
    {"Pedro Juan Caballero", "America/Asuncion", "Ponta Porã", 353, 321},
    {"Heihe", "Asia/Shanghai", "Blagoveshchensk", 874, 114},
    {"Satun", "Asia/Bangkok", "Kangar", 796, 238},
    {"Pingxiang", "Asia/Shanghai", "Lạng Sơn", 815, 194},
    {"Guasdualito", "America/Caracas", "Arauca", 310, 236},
    {"Corriverton", "America/Guyana", "Nieuw Nickerie", 349, 240},
    {"Corozal", "America/Belize", "Chetumal", 260, 204},
    {"Dilolo", "Africa/Lubumbashi", "Luau", 575, 287},
};

TEST_F(BorderTowns, ShowTheirOwnZonesTimeNotTheTownsAcross) {
    ASSERT_TRUE(files_->errors.empty()) << files_->errors.front();
    ASSERT_NE(image_, nullptr);
    SystemZones system;
    LocalClock clock(tables_, files_, &system);
    clock.setZoneImage(image_);
    LocalClock tables(tables_, files_, &system);
    tables.setZoneImage(image_);
    tables.setUseSystemDatabase(false);
    for (const std::time_t t : {test::utc(2027, 1, 15, 12), test::utc(2027, 7, 15, 12)}) {
        for (const Town& town : kTowns) {
            SCOPED_TRACE(town.name);
            const CityRecord* own = city(town.name, town.x, town.y);
            const CityRecord* across = city(town.across, town.x, town.y);
            ASSERT_NE(own, nullptr);
            ASSERT_NE(across, nullptr);
            const Point pixel{town.x, town.y};

            const LocalTime mine = clock.cityTime(*own, t);
            const LocalTime theirs = clock.cityTime(*across, t);
            EXPECT_TRUE(mine.fromSystem);
            EXPECT_EQ(mine.zoneName, town.zone);
            // The C library, asked for the same zone, agrees.
            const test::LocalTimeZone tz(town.zone);
            std::tm local{};
            ASSERT_NE(localtime_r(&t, &local), nullptr);
            EXPECT_EQ(mine.offsetSeconds, local.tm_gmtoff);
            // The shared pixel's colour, which the tables read, gives the other
            // town's standard offset.
            const LocalTime fromTables = tables.cityTime(*own, t);
            EXPECT_EQ(fromTables.offsetSeconds - fromTables.savingSeconds,
                      theirs.offsetSeconds - theirs.savingSeconds);
            EXPECT_NE(mine.offsetSeconds - mine.savingSeconds,
                      fromTables.offsetSeconds - fromTables.savingSeconds);
            // The raster at the shared pixel keeps the time of one of the two sides
            // (the zone may be another of the same time, as Bangkok for Vietnam).
            const LocalTime there = clock.pixelTime(pixel.x, pixel.y, t);
            EXPECT_TRUE(there.fromSystem);
            EXPECT_TRUE(there.offsetSeconds == mine.offsetSeconds ||
                        there.offsetSeconds == theirs.offsetSeconds)
                << there.zoneName;
        }
    }
}

// What the status bar shows under the pointer away from any city: the zone the
// raster gives the pixel, with the system database's offset and abbreviation.
TEST_F(BorderTowns, PointsOfUnusualZonesReadTheirZoneinfoTime) {
    struct Place {
        const char* what;
        int x, y;
        const char* zone;
    };
    const std::vector<Place> places = {
        {"Lord Howe Island", 964, 346, "Australia/Lord_Howe"},
        {"Chatham Islands", 10, 381, "Pacific/Chatham"},
        {"Kathmandu", 754, 178, "Asia/Kathmandu"},
        {"Newfoundland (Gander)", 356, 117, "America/St_Johns"},
    };
    SystemZones system;
    const LocalClock clock(tables_, files_, &system);
    for (const std::time_t t : {test::utc(2027, 1, 15, 12), test::utc(2027, 7, 15, 12)}) {
        for (const Place& p : places) {
            SCOPED_TRACE(p.what);
            const LocalTime local = clock.pixelTime(p.x, p.y, t);
            EXPECT_TRUE(local.fromSystem);
            EXPECT_EQ(local.zoneName, p.zone);
            const test::LocalTimeZone tz(p.zone);
            std::tm fields{};
            ASSERT_NE(localtime_r(&t, &fields), nullptr);
            EXPECT_EQ(local.offsetSeconds, fields.tm_gmtoff);
            EXPECT_EQ(local.saving, fields.tm_isdst > 0);
        }
    }
}

} // namespace
} // namespace chronvale
