// `chronvale --sky` as the user runs it: the three lines, and the exit codes.

#include "chronvale_process.h"

#include <gtest/gtest.h>
#include <regex>
#include <sstream>
#include <string>

namespace {

using chronvale::test::Outcome;
using chronvale::test::runChronvale;

// Reference values for 2027-03-20 12:00 UT from PyEphem 4.1.4 (an independent
// ephemeris, the VSOP87 and ELP theories of the XEphem library): sun overhead at
// -0.138, 1.882; moon at 8.950, 157.481, 95.1 % lit, two days before full.
// Tolerances 0.05 degrees for the sun, 0.1 for the moon, one point for the phase.
TEST(SkyProcess, PrintsWhereTheSunAndMoonStandOverhead) {
    const Outcome out = runChronvale({"--sky", "--time", "2027-03-20T12:00:00Z"});
    ASSERT_EQ(out.exitCode, 0) << out.errors;
    const std::regex pattern("Sub-solar point: (-?[0-9]+\\.[0-9]{2}) (-?[0-9]+\\.[0-9]{2})\n"
                             "Sub-lunar point: (-?[0-9]+\\.[0-9]{2}) (-?[0-9]+\\.[0-9]{2})\n"
                             "Moon illuminated: ([0-9]+)% (waxing|waning)\n");
    std::smatch m;
    ASSERT_TRUE(std::regex_match(out.output, m, pattern)) << out.output;
    EXPECT_NEAR(std::stod(m[1]), -0.138, 0.05);
    EXPECT_NEAR(std::stod(m[2]), 1.882, 0.05);
    EXPECT_NEAR(std::stod(m[3]), 8.950, 0.1);
    EXPECT_NEAR(std::stod(m[4]), 157.481, 0.1);
    EXPECT_NEAR(std::stod(m[5]), 95.1, 1.0);
    EXPECT_EQ(m[6], "waxing");
}

TEST(SkyProcess, ABadTimeExitsTwo) {
    for (const char* time : {"2027-02-30T00:00:00Z", "tomorrow", "2051-01-01T00:00:00Z"}) {
        const Outcome out = runChronvale({"--sky", "--time", time});
        EXPECT_EQ(out.exitCode, 2) << time;
        EXPECT_TRUE(out.output.empty()) << out.output;
        EXPECT_FALSE(out.errors.empty()) << time;
    }
}

} // namespace
