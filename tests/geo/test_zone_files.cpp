// The cities' zones and the zone raster of the data folder.

#include "core/packed_file.h"
#include "geo/city.h"
#include "geo/zone_files.h"
#include "support/scratch.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace chronvale {
namespace {

CityList twoCities() {
    CityList cities(2);
    cities[0].name = "Bayonne ";
    cities[0].state = "Nouvelle-Aquitaine";
    cities[1].name = "Irun";
    return cities;
}

TEST(ZoneRaster, ReadsRunsRowByRow) {
    const std::optional<ZoneRaster> raster =
        parseZoneRaster("4\t2\t2\r\nEurope/Paris\r\nEurope/Madrid\r\n0*3 1\r\n1*4\r\n");
    ASSERT_TRUE(raster.has_value());
    EXPECT_EQ(*raster->zoneAt(0, 0), "Europe/Paris");
    EXPECT_EQ(*raster->zoneAt(2, 0), "Europe/Paris");
    EXPECT_EQ(*raster->zoneAt(3, 0), "Europe/Madrid");
    EXPECT_EQ(*raster->zoneAt(0, 1), "Europe/Madrid");
    EXPECT_EQ(raster->zoneAt(4, 0), nullptr);
    EXPECT_EQ(raster->zoneAt(0, 2), nullptr);
    EXPECT_EQ(raster->zoneAt(-1, 0), nullptr);
}

TEST(ZoneRaster, RefusesAnythingMalformed) {
    const std::vector<std::pair<const char*, const char*>> cases = {
        {"", "empty"},
        {"4\t1\r\nUTC\r\n0*4\r\n", "header without the name count"},
        {"4\t1\t1\r\nUTC\r\n0*3\r\n", "row short of its width"},
        {"4\t1\t1\r\nUTC\r\n0*5\r\n", "row beyond its width"},
        {"4\t1\t1\r\nUTC\r\n0*4 0\r\n", "run after a full row"},
        {"4\t1\t1\r\nUTC\r\n1*4\r\n", "index beyond the names"},
        {"4\t1\t1\r\nUTC\r\n-1*4\r\n", "negative index"},
        {"4\t1\t1\r\nUTC\r\n0*0 0*4\r\n", "empty run"},
        {"4\t1\t1\r\nUTC\r\n0*x\r\n", "length not a number"},
        {"4\t2\t1\r\nUTC\r\n0*4\r\n", "missing row"},
        {"4\t1\t1\r\nUTC\r\n0*4\r\n0*4\r\n", "extra row"},
        {"4\t1\t1\r\n../etc/passwd\r\n0*4\r\n", "unsafe zone name"},
        {"4\t1\t2\r\nUTC\r\n", "missing name"},
        {"0\t1\t1\r\nUTC\r\n\r\n", "zero width"},
        {"99999\t1\t1\r\nUTC\r\n0*99999\r\n", "too wide"},
    };
    for (const auto& [text, what] : cases) {
        EXPECT_FALSE(parseZoneRaster(text).has_value()) << what;
    }
}

TEST(CityZones, FollowTheCityListLineByLine) {
    const CityList cities = twoCities();
    const auto zones = parseCityZones(
        "Europe/Paris\tBayonne (Nouvelle-Aquitaine)\r\nEurope/Madrid\tIrun\r\n", cities);
    ASSERT_TRUE(zones.has_value());
    EXPECT_EQ(*zones, (std::vector<std::string>{"Europe/Paris", "Europe/Madrid"}));
    // A city without a zone keeps the tables.
    EXPECT_TRUE(parseCityZones("\tBayonne (x)\r\nEurope/Madrid\tIrun\r\n", cities).has_value());

    for (const char* bad : {
             "Europe/Paris\tBayonne (Nouvelle-Aquitaine)\r\n",                 // one line short
             "Europe/Madrid\tIrun\r\nEurope/Paris\tBayonne (x)\r\n",           // another order
             "Europe/Paris\tBayonne (x)\r\nEurope/Madrid\tIrun\r\nUTC\tX\r\n", // one too many
             "Europe/Paris Bayonne (x)\r\nEurope/Madrid\tIrun\r\n",            // no TAB
             "../../x\tBayonne (x)\r\nEurope/Madrid\tIrun\r\n",                // unsafe zone
         }) {
        EXPECT_FALSE(parseCityZones(bad, cities).has_value()) << bad;
    }
}

TEST(ZoneFiles, LoadBothOrSayWhichFailedAndWhy) {
    test::ScratchDir folder;
    const CityList cities = twoCities();
    ASSERT_TRUE(savePackedTextFile(folder.file(kCityZonesName),
                                   "Europe/Paris\tBayonne (N)\r\nEurope/Madrid\tIrun\r\n"));
    ASSERT_TRUE(savePackedTextFile(folder.file(kZoneMapName), "1\t1\t1\r\nUTC\r\n0\r\n"));
    const ZoneFiles files = loadZoneFiles(folder.path().string(), cities);
    EXPECT_TRUE(files.errors.empty());
    EXPECT_EQ(files.zoneOfCity(cities[1]), "Europe/Madrid");
    EXPECT_EQ(*files.raster.zoneAt(0, 0), "UTC");
    // A record that is not of the list has no zone.
    const CityRecord stranger = cities[1];
    EXPECT_EQ(files.zoneOfCity(stranger), "");

    // The city list changed since the file was made; the raster is gone.
    CityList other = twoCities();
    other[1].name = "Hendaye";
    ASSERT_TRUE(std::filesystem::remove(folder.file(kZoneMapName)));
    const ZoneFiles broken = loadZoneFiles(folder.path().string(), other);
    ASSERT_EQ(broken.errors.size(), 2u);
    EXPECT_NE(broken.errors[0].find("city_zones.dat"), std::string::npos);
    EXPECT_NE(broken.errors[0].find("does not match location.dat"), std::string::npos);
    EXPECT_NE(broken.errors[1].find("zone_map.dat"), std::string::npos);
    EXPECT_EQ(broken.zoneOfCity(other[0]), "");
    EXPECT_TRUE(broken.raster.empty());
}

} // namespace
} // namespace chronvale
