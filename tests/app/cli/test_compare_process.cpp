// `chronvale --compare` as the user runs it on the shipped tables: the rows, the
// next overlap or the best partial one, and the exit codes.

#include "chronvale_process.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using chronvale::test::Outcome;
using chronvale::test::runChronvale;

const std::string kData = std::string(CHRONVALE_SOURCE_DIR) + "/data";

// The line of the output that starts with the text, or empty.
std::string lineStarting(const std::string& output, const std::string& start) {
    std::size_t at = 0;
    while (at < output.size()) {
        const std::size_t end = output.find('\n', at);
        const std::string line = output.substr(at, end - at);
        if (line.rfind(start, 0) == 0) {
            return line;
        }
        if (end == std::string::npos) {
            break;
        }
        at = end + 1;
    }
    return {};
}

// On Wednesday 10 March 2027 at 12:00 UTC (zoneinfo: London GMT, New York EST
// until 14 March, Tokyo JST) the three never work at the same time: Tokyo's
// 09-17 is 00-08 UTC. London (09-17 UTC) and New York (14-22 UTC) share 14:00
// to 17:00 UTC that day.
TEST(CompareProcess, RowsAndTheBestPartialOverlap) {
    const Outcome out = runChronvale({"--data", kData, "--compare", "London,New York,Tokyo",
                                      "--time", "2027-03-10T12:00:00Z", "--overlap"});
    ASSERT_EQ(out.exitCode, 0) << out.errors;
    const std::vector<std::pair<std::string, std::vector<std::string>>> rows = {
        {"London ", {"Wed 10 Mar 2027 12:00", "+00:00", "day", " in"}},
        {"New York ", {"Wed 10 Mar 2027 07:00", "-05:00", "day", " out"}},
        {"Tokyo ", {"Wed 10 Mar 2027 21:00", "+09:00", "night", " out"}},
    };
    for (const auto& [city, parts] : rows) {
        const std::string line = lineStarting(out.output, city);
        ASSERT_FALSE(line.empty()) << out.output;
        for (const std::string& part : parts) {
            EXPECT_NE(line.find(part), std::string::npos) << line << " lacks " << part;
        }
    }
    EXPECT_NE(out.output.find("No overlap of at least 1 hour within 14 days."), std::string::npos)
        << out.output;
    EXPECT_NE(out.output.find("Best partial overlap (2 of 3 cities):"), std::string::npos);
    const std::size_t partial = out.output.find("Best partial");
    const std::string after = out.output.substr(partial);
    EXPECT_NE(lineStarting(after, "UTC ").find("Wed 10 Mar 2027 14:00 - Wed 10 Mar 2027 17:00"),
              std::string::npos)
        << after;
    EXPECT_NE(lineStarting(after, "London ").find("14:00 - Wed 10 Mar 2027 17:00"),
              std::string::npos);
    EXPECT_NE(lineStarting(after, "New York ").find("09:00 - Wed 10 Mar 2027 12:00"),
              std::string::npos);
    EXPECT_TRUE(lineStarting(after, "Tokyo ").empty());
}

// After 14 March New York works 13-21 UTC: with London three hours from 13:00.
TEST(CompareProcess, TheNextCompleteOverlap) {
    const Outcome out = runChronvale({"--data", kData, "--compare", "london, new york", "--time",
                                      "2027-03-15T00:00:00Z", "--overlap", "--hours", "3"});
    ASSERT_EQ(out.exitCode, 0) << out.errors;
    const std::size_t next = out.output.find("Next overlap of at least 3 hours:");
    ASSERT_NE(next, std::string::npos) << out.output;
    EXPECT_NE(lineStarting(out.output.substr(next), "UTC ")
                  .find("Mon 15 Mar 2027 13:00 - Mon 15 Mar 2027 17:00"),
              std::string::npos)
        << out.output;
}

TEST(CompareProcess, ExitCodes) {
    const Outcome none = runChronvale({"--data", kData, "--compare", "London,Atlantis"});
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_TRUE(none.output.empty());
    EXPECT_NE(none.errors.find("No city named 'Atlantis'"), std::string::npos) << none.errors;

    const std::vector<std::vector<std::string>> bad = {
        {"--compare", ""},
        {"--compare", "London", "--overlap", "--hours", "0"},
        {"--compare", "London", "--time", "2027-13-01T00:00:00Z"},
        {"--compare", "London", "--bogus"},
    };
    for (const auto& args : bad) {
        const Outcome out = runChronvale(args);
        EXPECT_EQ(out.exitCode, 2) << ::testing::PrintToString(args);
        EXPECT_NE(out.errors.find("chronvale: "), std::string::npos) << out.errors;
    }
}

} // namespace
