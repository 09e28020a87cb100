// `chronvale --info` as the user runs it: its report and its exit status.

#include "chronvale_process.h"

#include <gtest/gtest.h>
#include <string>

namespace {

using chronvale::test::Outcome;
using chronvale::test::runChronvale;

TEST(InfoProcess, ExitsZeroOnlyWhenEverythingLoaded) {
    const std::string data = std::string(CHRONVALE_SOURCE_DIR) + "/data";
    const Outcome complete = runChronvale({"--info", "--data", data});
    EXPECT_EQ(complete.exitCode, 0) << complete.output;
    EXPECT_EQ(complete.output.find("Unable to load file"), std::string::npos) << complete.output;

    const Outcome missing = runChronvale({"--info", "--data", "/nonexistent-chronvale-data"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.output.find("Unable to load file 'images/earth_day.bmp'"), std::string::npos)
        << missing.output;
    EXPECT_NE(missing.output.find("Cities: 0"), std::string::npos) << "the report is still whole";
}

} // namespace
