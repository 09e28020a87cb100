#include "core/load_errors.h"
#include "core/packed_file.h"
#include "geo/geo_tables.h"
#include "support/scratch.h"

#include <gtest/gtest.h>

using namespace chronvale;

TEST(GeoTables, LoadsTheFourTablesAndReportsMissingOnesInStartUpOrder) {
    chronvale::test::ScratchDir dir;
    ASSERT_TRUE(
        savePackedTextFile(dir.file("location.dat"), "Sydney\t-33.87\t151.21\tSydney (NSW)\r\n"));
    ASSERT_TRUE(savePackedTextFile(dir.file("tz_dst.dat"),
                                   "AU\tx\t0\t1\t10\t1\t\r\nAU\tx\t0\t1\t4\t0\t\r\n"));

    RecordingLoadErrorSink errors;
    const GeoTables tables = loadGeoTables(dir.path().string(), errors);
    EXPECT_EQ(tables.cities.size(), 1u);
    EXPECT_TRUE(tables.zones.empty());
    EXPECT_EQ(tables.rules.size(), 1u);
    EXPECT_TRUE(tables.areaCodes.empty());
    EXPECT_EQ(errors.files, (std::vector<std::string>{"tz_data.dat", "areacode.dat"}));
}
