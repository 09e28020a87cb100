// The city database: field rules, the name/state split, runs across lines, stops.

#include "core/load_errors.h"
#include "core/packed_file.h"
#include "geo/city.h"
#include "support/scratch.h"

#include <gtest/gtest.h>

namespace chronvale {
namespace {

TEST(CityDatabase, ReadsTheFourFieldsOfALine) {
    CityList cities = parseCityDatabase("Sydney\t-33.87\t151.21\tSydney (NSW)\r\n");
    ASSERT_EQ(cities.size(), 1u);
    const CityRecord& city = cities[0];
    EXPECT_EQ(city.zoneKey, "Sydney");
    EXPECT_FLOAT_EQ(city.latitude, -33.87f);
    EXPECT_FLOAT_EQ(city.longitude, 151.21f);
    EXPECT_EQ(city.name, "Sydney "); // the blank before "(" stays
    EXPECT_EQ(city.state, "NSW");
    EXPECT_FALSE(city.marked);
    EXPECT_FALSE(city.picked);
}

TEST(CityDatabase, NameIsCutAtTheLastParenthesisStateTakenAfterTheFirst) {
    CityList cities = parseCityDatabase("K\t1\t2\tPlain Name\r\n"
                                        "K\t1\t2\tA (B\r\n"
                                        "K\t1\t2\tTown (Old) (Region)\r\n"
                                        "K\t1\t2\tX (inner (deep) rest)\r\n");
    ASSERT_EQ(cities.size(), 4u);
    EXPECT_EQ(cities[0].name, "Plain Name");
    EXPECT_FALSE(cities[0].state);
    EXPECT_EQ(cities[1].name, "A ");
    EXPECT_EQ(cities[1].state, "B"); // no ")" follows: up to the end of the field
    EXPECT_EQ(cities[2].name, "Town (Old) ");
    EXPECT_EQ(cities[2].state, "Old");
    EXPECT_EQ(cities[3].name, "X (inner ");
    EXPECT_EQ(cities[3].state, "inner (deep");
}

TEST(CityDatabase, WhitespaceRunsBeforeFieldsAreSkipped) {
    // Leading blank lines, blanks after TABs, and two TABs as one separator.
    CityList cities = parseCityDatabase(" \r\n\t \r\nKey\t  1.5\t\t \t2.5\t   Name\r\n");
    ASSERT_EQ(cities.size(), 1u);
    EXPECT_EQ(cities[0].zoneKey, "Key");
    EXPECT_FLOAT_EQ(cities[0].latitude, 1.5f);
    EXPECT_FLOAT_EQ(cities[0].longitude, 2.5f);
    EXPECT_EQ(cities[0].name, "Name");
}

TEST(CityDatabase, TrailingLineEndsAndBlankLinesAddNoRecord) {
    EXPECT_EQ(parseCityDatabase("K\t1\t2\tA\r\n").size(), 1u);
    EXPECT_EQ(parseCityDatabase("K\t1\t2\tA\r\n\r\n  \r\n\t\r\n").size(), 1u);
    EXPECT_EQ(parseCityDatabase("K\t1\t2\tA").size(), 1u); // no line end at all
    EXPECT_TRUE(parseCityDatabase("").empty());
    EXPECT_TRUE(parseCityDatabase(" \r\n\t\r\n").empty());
}

TEST(CityDatabase, MissingFieldsAreTakenFromTheFollowingLine) {
    CityList cities = parseCityDatabase("A\t1\r\n\t2\tName A\r\nB\t3\t4\tName B\r\n");
    ASSERT_EQ(cities.size(), 2u);
    EXPECT_FLOAT_EQ(cities[0].latitude, 1.0f);
    EXPECT_FLOAT_EQ(cities[0].longitude, 2.0f);
    EXPECT_EQ(cities[0].name, "Name A");
    EXPECT_EQ(cities[1].zoneKey, "B");
}

TEST(CityDatabase, LfOnlyLinesMakeTheNameRunOn) {
    // The name runs to the next CR; the next record still starts after the first LF.
    CityList cities = parseCityDatabase("A\t1\t2\tFirst\nB\t3\t4\tSecond\r\n");
    ASSERT_EQ(cities.size(), 2u);
    EXPECT_EQ(cities[0].name, "First\nB\t3\t4\tSecond");
    EXPECT_EQ(cities[1].zoneKey, "B");
    EXPECT_EQ(cities[1].name, "Second");
}

TEST(CityDatabase, AStopKeepsTheRecordsReadSoFarIncludingThePartialOne) {
    // After the latitude of the second city no TAB is left.
    CityList cities = parseCityDatabase("A\t1\t2\tName A\r\nB\t3.5\r\n");
    ASSERT_EQ(cities.size(), 2u);
    EXPECT_EQ(cities[0].name, "Name A");
    EXPECT_EQ(cities[1].zoneKey, "B");
    EXPECT_FLOAT_EQ(cities[1].latitude, 3.5f);
    EXPECT_FLOAT_EQ(cities[1].longitude, 0.0f);
    EXPECT_TRUE(cities[1].name.empty());

    // A line with no TAB at all is a key and nothing more.
    cities = parseCityDatabase("Lonely");
    ASSERT_EQ(cities.size(), 1u);
    EXPECT_EQ(cities[0].zoneKey, "Lonely");

    // The longitude's TAB missing: the latitude is kept.
    cities = parseCityDatabase("C\t7\t8");
    ASSERT_EQ(cities.size(), 1u);
    EXPECT_FLOAT_EQ(cities[0].latitude, 7.0f);
    EXPECT_FLOAT_EQ(cities[0].longitude, 8.0f);
}

TEST(CityDatabase, NumbersStopAtTheFirstCharacterThatCannotBelong) {
    CityList cities = parseCityDatabase("K\t+1.5e1xyz\t-.25,9\tN\r\n");
    ASSERT_EQ(cities.size(), 1u);
    EXPECT_FLOAT_EQ(cities[0].latitude, 15.0f);
    EXPECT_FLOAT_EQ(cities[0].longitude, -0.25f);
    EXPECT_EQ(cities[0].name, "N");
}

TEST(CityDatabase, LoadReadsAPackedFile) {
    test::ScratchDir dir;
    ASSERT_TRUE(savePackedTextFile(dir.file("location.dat"), "Sydney\t-33.87\t151.21\tSydney\r\n"
                                                             "Paris\t48.85\t2.35\tParis\r\n"));
    RecordingLoadErrorSink errors;
    CityList cities = loadCityDatabase(dir.file("location.dat"), errors);
    EXPECT_TRUE(errors.files.empty());
    ASSERT_EQ(cities.size(), 2u);
    EXPECT_EQ(cities[1].name, "Paris");
}

TEST(CityDatabase, LoadFailureNamesTheBareFileAndGivesNoCities) {
    test::ScratchDir dir;
    const std::string path = dir.file("location.dat");
    std::string bytes = packText("K\t1\t2\tN\r\n");
    bytes[0] = 'X'; // wrong magic
    {
        std::FILE* file = std::fopen(path.c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    }
    RecordingLoadErrorSink errors;
    EXPECT_TRUE(loadCityDatabase(path, errors).empty());
    EXPECT_TRUE(loadCityDatabase(dir.file("missing.dat"), errors).empty());
    EXPECT_EQ(errors.files, (std::vector<std::string>{"location.dat", "location.dat"}));
}

// A damaged or hostile file cannot make the table grow without bound: one record past
// the cap is a load error, the cap itself loads.
TEST(CityDatabase, ATableBeyondTheRecordCapIsALoadError) {
    test::ScratchDir dir;
    std::string text;
    for (std::size_t i = 0; i < maxCityRecords; ++i) {
        text += "K\t1\t2\tN\r\n";
    }
    ASSERT_TRUE(savePackedTextFile(dir.file("location.dat"), text));
    RecordingLoadErrorSink errors;
    EXPECT_EQ(loadCityDatabase(dir.file("location.dat"), errors).size(), maxCityRecords);
    EXPECT_TRUE(errors.files.empty());

    text += "K\t1\t2\tN\r\nK\t1\t2\tN\r\n";
    ASSERT_TRUE(savePackedTextFile(dir.file("location.dat"), text));
    EXPECT_TRUE(loadCityDatabase(dir.file("location.dat"), errors).empty());
    EXPECT_EQ(errors.files, std::vector<std::string>{"location.dat"});
    // The parse stops one record past the cap instead of reading all of it.
    EXPECT_EQ(parseCityDatabase(text).size(), maxCityRecords + 1);
}

} // namespace
} // namespace chronvale
