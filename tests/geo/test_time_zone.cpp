// The zone table, a city's zone and country, and the zone colours.

#include "core/load_errors.h"
#include "core/packed_file.h"
#include "geo/city.h"
#include "geo/time_zone.h"
#include "geo/zone_colours.h"
#include "support/scratch.h"

#include <gtest/gtest.h>
#include <set>

namespace chronvale {
namespace {

CityRecord cityInZone(const std::string& zoneKey) {
    CityRecord city;
    city.zoneKey = zoneKey;
    return city;
}

TEST(ZoneTable, SkipsTheHeaderAndReadsTheColumns) {
    ZoneTable zones =
        parseTimeZoneTable("country\tlat\tlong\tzone\ta\tb\trule\tmore\r\n"
                           "Australia\t-33.5\t151.5\tAustralia/Sydney\tx\ty\tAN\tz\r\n"
                           "Argentina\t1\t2\tAmerica/Argentina/Cordoba\tx\ty\tAR\t\r\n"
                           "Nowhere\t3\t4\tUTC\tx\ty\t-\t\r\n");
    ASSERT_EQ(zones.size(), 3u);
    EXPECT_EQ(zones[0].country, "Australia");
    EXPECT_FLOAT_EQ(zones[0].firstNumber, -33.5f);
    EXPECT_FLOAT_EQ(zones[0].secondNumber, 151.5f);
    EXPECT_EQ(zones[0].zoneKey, "Sydney");
    EXPECT_EQ(zones[0].ruleName, "AN");
    EXPECT_EQ(zones[1].zoneKey, "Cordoba"); // after the last "/"
    EXPECT_EQ(zones[2].zoneKey, "UTC");     // no "/": the whole name
    EXPECT_EQ(zones[2].ruleName, "-");
}

TEST(ZoneTable, HeaderOnlyOrNoLineEndGivesNoZones) {
    EXPECT_TRUE(parseTimeZoneTable("").empty());
    EXPECT_TRUE(parseTimeZoneTable("A\t1\t2\tB/C\tx\ty\tR\t").empty()); // all header
    EXPECT_TRUE(parseTimeZoneTable("header\r\n\r\n  \r\n").empty());
}

TEST(ZoneTable, EmptyColumnsCollapseAndTheLastLineNeedsNoLineEnd) {
    // Two TABs in a row are one separator, so an empty column 5 shifts column 7.
    ZoneTable zones = parseTimeZoneTable("h\nC\t1\t2\tA/K\t\tY\tR1\tR2\t");
    ASSERT_EQ(zones.size(), 1u);
    EXPECT_EQ(zones[0].ruleName, "R2");
}

TEST(ZoneTable, AStopKeepsThePartialRecord) {
    ZoneTable zones =
        parseTimeZoneTable("h\r\nFull\t1\t2\tA/K\tx\ty\tR\t\r\nCut\t5\t6\tB/L\tx\r\n");
    ASSERT_EQ(zones.size(), 2u);
    EXPECT_EQ(zones[1].country, "Cut");
    EXPECT_FLOAT_EQ(zones[1].secondNumber, 6.0f);
    EXPECT_EQ(zones[1].zoneKey, "L");
    EXPECT_TRUE(zones[1].ruleName.empty());
}

TEST(ZoneTable, CityFindsTheFirstZoneIgnoringCase) {
    ZoneTable zones = parseTimeZoneTable("h\r\n"
                                         "Lost\t0\t0\tA/\tx\ty\tR\t\r\n" // empty key: passed over
                                         "France\t0\t0\tEurope/Paris\tx\ty\tEU\t\r\n"
                                         "Other\t0\t0\tX/PARIS\tx\ty\tUS\t\r\n");
    ASSERT_EQ(zones.size(), 3u);
    ASSERT_TRUE(zones[0].zoneKey.empty());
    EXPECT_EQ(countryOfCity(cityInZone("paris"), zones), "France");
    EXPECT_EQ(zoneOfCity(cityInZone("PARIS"), zones), &zones[1]);
    EXPECT_FALSE(countryOfCity(cityInZone("Pari"), zones));
    EXPECT_FALSE(countryOfCity(cityInZone("Berlin"), zones));
    EXPECT_FALSE(countryOfCity(cityInZone(""), zones));
    EXPECT_FALSE(countryOfCity(cityInZone("paris"), ZoneTable{}));
}

TEST(ZoneTable, LoadFailureNamesTheBareFile) {
    test::ScratchDir dir;
    RecordingLoadErrorSink errors;
    EXPECT_TRUE(loadTimeZoneTable(dir.file("tz_data.dat"), errors).empty());
    EXPECT_EQ(errors.files, std::vector<std::string>{"tz_data.dat"});

    ASSERT_TRUE(savePackedTextFile(dir.file("tz_data.dat"), "h\r\nC\t1\t2\tA/K\tx\ty\tR\t\r\n"));
    errors.files.clear();
    EXPECT_EQ(loadTimeZoneTable(dir.file("tz_data.dat"), errors).size(), 1u);
    EXPECT_TRUE(errors.files.empty());
}

TEST(ZoneColours, GreyIsMinusTwelveOceanAndUnknownAreZero) {
    EXPECT_EQ(zoneOffsetForColour(181, 181, 181), -12.0f);
    EXPECT_EQ(zoneOffsetForColour(41, 25, 148), 0.0f);
    EXPECT_EQ(zoneOffsetForColour(1, 2, 3), 0.0f);
    EXPECT_EQ(zoneOffsetForColour(148, 25, 41), 0.0f); // channels swapped is another colour
    EXPECT_EQ(zoneOffsetForColour(16, 206, 255), 0.0f);
    EXPECT_EQ(zoneOffsetForColour(189, 148, 33), 12.75f);
    EXPECT_EQ(zoneOffsetForColour(115, 173, 123), -9.5f);
}

TEST(ZoneColours, TableHasTheAddedZonesAtItsEndAndEveryRowButOneIsReachable) {
    std::span<const ZoneColour> table = zoneColourTable();
    ASSERT_EQ(table.size(), 41u);
    EXPECT_EQ(table[37].hours, 11.5f);
    EXPECT_EQ(table[38].hours, 14.0f);
    EXPECT_EQ(table[39].hours, 8.75f);
    EXPECT_EQ(table[40].hours, 12.0f);
    EXPECT_EQ(zoneOffsetForColour(64, 160, 96), 12.0f);

    // Only row 26 (+12) shares its colour with an earlier row (row 2, -12).
    std::set<std::tuple<int, int, int>> seen;
    for (std::size_t i = 0; i < table.size(); ++i) {
        const ZoneColour& row = table[i];
        bool fresh = seen.emplace(row.red, row.green, row.blue).second;
        EXPECT_EQ(fresh, i != 25) << "row " << i + 1;
        if (fresh) {
            EXPECT_EQ(zoneOffsetForColour(row.red, row.green, row.blue), row.hours)
                << "row " << i + 1;
        }
    }
}

} // namespace
} // namespace chronvale
