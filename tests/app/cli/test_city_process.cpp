// `chronvale --city` as the user runs it: the fields of the shipped tables, the
// cities a name stands for, and the exit codes.

#include "chronvale_process.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <map>
#include <sstream>
#include <string>

namespace {

using chronvale::test::Outcome;
using chronvale::test::runChronvale;

const std::string kData = std::string(CHRONVALE_SOURCE_DIR) + "/data";

// "Label: value" lines of one city as a map (a label alone gives an empty value).
std::map<std::string, std::string> fields(const std::string& block) {
    std::map<std::string, std::string> result;
    std::istringstream lines(block);
    std::string line;
    while (std::getline(lines, line)) {
        const std::size_t colon = line.find(':');
        if (colon == std::string::npos) {
            continue;
        }
        const std::string value = line.size() > colon + 2 ? line.substr(colon + 2) : "";
        result.emplace(line.substr(0, colon + 1), value);
    }
    return result;
}

int minutesOf(const std::string& clock) {
    return std::stoi(clock.substr(0, 2)) * 60 + std::stoi(clock.substr(3, 2));
}

// Sydney on 15 January 2027 from the system's time-zone database. The
// almanac (timeanddate.com, Sydney, January; the NOAA Solar Calculator agrees
// to the minute) gives sunrise 06:00 and sunset 20:09 in daylight-saving time.
TEST(CityProcess, PrintsTheFieldsOfTheCity) {
    const Outcome out = runChronvale(
        {"--data", kData, "--city", "Sydney (New South Wales)", "--time", "2027-01-15T12:00:00Z"});
    ASSERT_EQ(out.exitCode, 0) << out.errors;
    const std::string labels[] = {
        "City:",    "Country:", "Dialling code:", "Tel:",       "Local Time:", "Time zone:",
        "Sunrise:", "Sunset:",  "Latitude:",      "Longitude:", "Started:",    "Ends:"};
    std::istringstream lines(out.output);
    for (const std::string& label : labels) {
        std::string line;
        ASSERT_TRUE(std::getline(lines, line)) << out.output;
        EXPECT_EQ(line.substr(0, label.size()), label) << line;
    }
    const auto f = fields(out.output);
    EXPECT_EQ(f.at("City:"), "Sydney");
    EXPECT_EQ(f.at("Country:"), "Australia");
    EXPECT_EQ(f.at("Dialling code:"), "61");
    EXPECT_EQ(f.at("Tel:"), "2");
    EXPECT_EQ(f.at("Local Time:"), "01/15/27 23:00:00");
    EXPECT_NEAR(minutesOf(f.at("Sunrise:")), 6 * 60, 2);
    EXPECT_NEAR(minutesOf(f.at("Sunset:")), 20 * 60 + 9, 2);
    EXPECT_EQ(f.at("Latitude:"), "-33.92");
    EXPECT_EQ(f.at("Longitude:"), "151.19");
    // The system's database: the switches at 02:00 standard and 03:00 summer time.
    EXPECT_EQ(f.at("Time zone:"), "Australia/Sydney, AEDT (UTC+11:00)");
    EXPECT_EQ(f.at("Started:"), "10/04/26 02:00:00");
    EXPECT_EQ(f.at("Ends:"), "04/04/27 03:00:00");
}

TEST(CityProcess, EquallyGoodMatchesComeInFileOrderAccentsIgnored) {
    const Outcome both =
        runChronvale({"--data", kData, "--city", "sydney", "--time", "2027-01-15T12:00:00Z"});
    ASSERT_EQ(both.exitCode, 0) << both.errors;
    const std::size_t gap = both.output.find("\n\n");
    ASSERT_NE(gap, std::string::npos) << both.output;
    EXPECT_EQ(fields(both.output.substr(0, gap)).at("Country:"), "Australia");
    EXPECT_EQ(fields(both.output.substr(gap + 2)).at("Country:"), "Canada");

    const Outcome zurich = runChronvale({"--data", kData, "--city", "ZURICH"});
    ASSERT_EQ(zurich.exitCode, 0) << zurich.errors;
    EXPECT_EQ(fields(zurich.output).at("City:"), "Zürich");

    const Outcome westminster = runChronvale({"--data", kData, "--city", "london, westminster"});
    ASSERT_EQ(westminster.exitCode, 0) << westminster.errors;
    EXPECT_EQ(westminster.output.find("\n\n"), std::string::npos);
    EXPECT_EQ(fields(westminster.output).at("Country:"), "United Kingdom");
}

TEST(CityProcess, PolarNightInTromso) {
    const Outcome out =
        runChronvale({"--data", kData, "--city", "Tromso", "--time", "2026-12-21T12:00:00Z"});
    ASSERT_EQ(out.exitCode, 0) << out.errors;
    EXPECT_EQ(fields(out.output).at("Sunrise:"), "Polar night");
    EXPECT_EQ(fields(out.output).at("Sunset:"), "Polar night");
}

TEST(CityProcess, ExitCodes) {
    const Outcome none = runChronvale({"--data", kData, "--city", "Atlantis"});
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_TRUE(none.output.empty());
    EXPECT_NE(none.errors.find("No city named 'Atlantis'"), std::string::npos) << none.errors;

    const Outcome badTime =
        runChronvale({"--data", kData, "--city", "Paris", "--time", "2026-13-01T00:00:00Z"});
    EXPECT_EQ(badTime.exitCode, 2);
    EXPECT_NE(badTime.errors.find("invalid time"), std::string::npos) << badTime.errors;

    EXPECT_EQ(runChronvale({"--city"}).exitCode, 2);
    EXPECT_EQ(runChronvale({"--city", "Paris", "--render", "x.png"}).exitCode, 2);
}

} // namespace
