// The dialling-code table and its two lookups.

#include "core/load_errors.h"
#include "core/packed_file.h"
#include "geo/area_codes.h"
#include "support/scratch.h"

#include <gtest/gtest.h>

namespace chronvale {
namespace {

std::string countryCode(const AreaCodeTable& table, std::string_view country) {
    return areaCodeText(table, country, "", AreaCodeMode::country);
}

std::string cityCodes(const AreaCodeTable& table, std::string_view country, std::string_view city) {
    return areaCodeText(table, country, city, AreaCodeMode::city);
}

TEST(AreaCodes, CountryAndCityLines) {
    AreaCodeTable table = parseAreaCodes("Australia,61\r\n*,Sydney,2\r\n*,Sydney,3\r\n");
    ASSERT_EQ(table.size(), 3u);
    EXPECT_FALSE(table[0].city);
    EXPECT_EQ(table[1].country, "Australia");
    EXPECT_EQ(table[1].city, "Sydney");
    EXPECT_EQ(countryCode(table, "Australia"), "61");
    EXPECT_EQ(cityCodes(table, "Australia", "Sydney"), " 2, 3");
}

TEST(AreaCodes, LookupsIgnoreCaseAndKeepTheModesApart) {
    AreaCodeTable table = parseAreaCodes("USA,1\r\n+,New York,212,\r\nUSA,1\r\nFrance,33\r\n");
    EXPECT_EQ(countryCode(table, "usa"), "11"); // two country lines, joined
    EXPECT_EQ(cityCodes(table, "uSa", "NEW YORK"), " 212");
    EXPECT_EQ(cityCodes(table, "France", "Paris"), ""); // not the country code
    EXPECT_EQ(cityCodes(table, "France", ""), "");
    EXPECT_EQ(countryCode(table, "Germany"), "");
    EXPECT_EQ(cityCodes(table, "USA", "New"), "");
}

TEST(AreaCodes, CodeIsCutAtItsLastCommaAndSpacesAfterCommasAreSkipped) {
    AreaCodeTable table = parseAreaCodes("Fiji,  679,\r\n*,\t Suva ,61,x,\r\n");
    ASSERT_EQ(table.size(), 2u);
    EXPECT_EQ(table[0].code, "679");
    EXPECT_EQ(table[1].city, "Suva "); // blanks before a comma stay
    EXPECT_EQ(table[1].code, "61,x");
}

TEST(AreaCodes, CityLineBeforeAnyCountryBelongsToTheEmptyName) {
    AreaCodeTable table = parseAreaCodes("*,Nowhere,5\r\nChile,56\r\n");
    ASSERT_EQ(table.size(), 2u);
    EXPECT_EQ(table[0].country, "");
    EXPECT_EQ(cityCodes(table, "", "nowhere"), " 5");
}

TEST(AreaCodes, TrailingLineEndsAddNothingAndTheLastLineNeedsNone) {
    EXPECT_EQ(parseAreaCodes("A,1\r\n\r\n \r\n").size(), 1u);
    AreaCodeTable table = parseAreaCodes("A,1\r\nB,2");
    ASSERT_EQ(table.size(), 2u);
    EXPECT_EQ(table[1].code, "2");
    EXPECT_TRUE(parseAreaCodes("").empty());
}

TEST(AreaCodes, CommaSearchesRunAcrossLinesAndAStopKeepsTheEntries) {
    // A line without a comma takes the next line into its first field.
    AreaCodeTable table = parseAreaCodes("Fiji\r\n679,x\r\nTonga,676\r\n");
    ASSERT_EQ(table.size(), 2u);
    EXPECT_EQ(table[0].country, "Fiji\r\n679");
    EXPECT_EQ(table[0].code, "x");
    EXPECT_EQ(countryCode(table, "Tonga"), "676");

    // No comma left: the parse ends, the earlier entries stay.
    table = parseAreaCodes("Tonga,676\r\nBroken line\r\n*,Nuku\r\n");
    ASSERT_EQ(table.size(), 2u);
    EXPECT_EQ(countryCode(table, "Tonga"), "676");

    // A city line whose city has no comma after it.
    table = parseAreaCodes("Tonga,676\r\n*,Nuku");
    ASSERT_EQ(table.size(), 2u);
    EXPECT_EQ(table[1].city, "Nuku");
    EXPECT_EQ(table[1].code, "");
}

TEST(AreaCodes, LoadReadsAPackedFileAndFailureNamesTheBareFile) {
    test::ScratchDir dir;
    RecordingLoadErrorSink errors;
    EXPECT_TRUE(loadAreaCodes(dir.file("areacode.dat"), errors).empty());
    EXPECT_EQ(errors.files, std::vector<std::string>{"areacode.dat"});

    ASSERT_TRUE(savePackedTextFile(dir.file("areacode.dat"), "Chile,56\r\n*,Santiago,2\r\n"));
    errors.files.clear();
    AreaCodeTable table = loadAreaCodes(dir.file("areacode.dat"), errors);
    EXPECT_TRUE(errors.files.empty());
    EXPECT_EQ(cityCodes(table, "chile", "santiago"), " 2");
}

} // namespace
} // namespace chronvale
