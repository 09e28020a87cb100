// `chronvale --city` and `--info` with the local times of a zoneinfo folder that
// zic compiles in the test and TZDIR names, as the C library takes it.

#include "chronvale_process.h"
#include "support/environment.h"
#include "support/scratch.h"
#include "support/zic_folder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <sstream>
#include <string>

namespace chronvale {
namespace {

using test::Outcome;
using test::runChronvale;

const std::string kData = std::string(CHRONVALE_SOURCE_DIR) + "/data";

std::string field(const std::string& output, const std::string& label) {
    std::istringstream lines(output);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.rfind(label, 0) == 0) {
            return line.size() > label.size() + 1 ? line.substr(label.size() + 1) : "";
        }
    }
    return "<no " + label + ">";
}

// The government changes the clocks: the same program follows the new folder.
TEST(ZoneProcess, FollowsTheChangedRuleOfTheSystemDatabase) {
    struct Case {
        const char* zoneText;
        const char* localTime;
        const char* zone;
    };
    for (const Case& c :
         {Case{test::kVancouverBefore, "12/15/26 12:00:00", "America/Vancouver, PST (UTC-08:00)"},
          Case{test::kVancouverChanged, "12/15/26 13:00:00",
               "America/Vancouver, MST (UTC-07:00)"}}) {
        test::ScratchDir folder;
        ASSERT_TRUE(test::compileZones(folder, std::string(test::kTestTzdata) + c.zoneText));
        const test::ScopedVariable tzdir("TZDIR", folder.file("zoneinfo"));
        const Outcome out = runChronvale({"--data", kData, "--city", "Vancouver (British Columbia)",
                                          "--time", "2026-12-15T20:00:00Z"});
        ASSERT_EQ(out.exitCode, 0) << out.errors;
        EXPECT_EQ(field(out.output, "Local Time:"), c.localTime);
        EXPECT_EQ(field(out.output, "Time zone:"), c.zone);
    }
}

// Sydney's zone is not in the folder: the shipped tables give its time.
TEST(ZoneProcess, AZoneMissingFromTheSystemFallsBackToTheTables) {
    test::ScratchDir folder;
    ASSERT_TRUE(test::compileZones(folder, test::kTestTzdata));
    const test::ScopedVariable tzdir("TZDIR", folder.file("zoneinfo"));
    const Outcome out = runChronvale(
        {"--data", kData, "--city", "Sydney (New South Wales)", "--time", "2027-01-15T12:00:00Z"});
    ASSERT_EQ(out.exitCode, 0) << out.errors;
    EXPECT_EQ(field(out.output, "Local Time:"), "01/15/27 23:00:00");
    EXPECT_EQ(field(out.output, "Time zone:"), "UTC+11:00, from the program's tables");

    const Outcome london = runChronvale(
        {"--data", kData, "--city", "London, Westminster", "--time", "2027-07-15T12:00:00Z"});
    EXPECT_EQ(field(london.output, "Time zone:"), "Europe/London, BST (UTC+01:00)");
}

TEST(ZoneProcess, ReadsOneNameALineFromABatchFile) {
    test::ScratchDir folder;
    {
        std::ofstream names(folder.file("names.txt"));
        names << "Kathmandu\r\n\r\nAtlantis\nCorner Brook\n";
    }
    const Outcome out = runChronvale({"--data", kData, "--city", "@" + folder.file("names.txt"),
                                      "--time", "2027-01-15T12:00:00Z"});
    EXPECT_EQ(out.exitCode, 1) << "a name was not found";
    EXPECT_NE(out.errors.find("No city named 'Atlantis'"), std::string::npos) << out.errors;
    const std::size_t gap = out.output.find("\n\n");
    ASSERT_NE(gap, std::string::npos) << out.output;
    EXPECT_EQ(field(out.output.substr(0, gap), "Local Time:"), "01/15/27 17:45:00");
    EXPECT_EQ(field(out.output.substr(gap + 2), "Local Time:"), "01/15/27 08:30:00");

    const Outcome missing = runChronvale({"--data", kData, "--city", "@/nonexistent/names.txt"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.errors.find("Cannot read the list of cities"), std::string::npos);
}

TEST(ZoneProcess, InfoNamesTheDatabaseVersionAndTheFallBack) {
    test::ScratchDir folder;
    ASSERT_TRUE(test::compileZones(folder, test::kTestTzdata));
    {
        const test::ScopedVariable tzdir("TZDIR", folder.file("zoneinfo"));
        const Outcome out = runChronvale({"--data", kData, "--info"});
        EXPECT_NE(out.output.find("(version 2099z)"), std::string::npos) << out.output;
        EXPECT_NE(out.output.find("Local times: from the system's time-zone database"),
                  std::string::npos)
            << out.output;
    }
    {
        const test::ScopedVariable tzdir("TZDIR", "/nonexistent-zoneinfo");
        const Outcome out = runChronvale({"--data", kData, "--info"});
        EXPECT_NE(out.output.find("fall-back: no time-zone database"), std::string::npos)
            << out.output;
    }
    // A data folder without the zone files: still loads, names them.
    test::ScratchDir data;
    for (const auto& entry : std::filesystem::directory_iterator(kData)) {
        const std::string name = entry.path().filename().string();
        if (name != "city_zones.dat" && name != "zone_map.dat") {
            std::filesystem::copy(entry.path(), data.path() / name,
                                  std::filesystem::copy_options::recursive);
        }
    }
    const Outcome out = runChronvale({"--data", data.path().string(), "--info"});
    EXPECT_EQ(out.exitCode, 0) << out.output;
    EXPECT_NE(out.output.find("Unable to load file 'zone_map.dat'"), std::string::npos)
        << out.output;
    EXPECT_NE(out.output.find("fall-back: the zone files did not load"), std::string::npos);
}

} // namespace
} // namespace chronvale

namespace chronvale {
namespace {

// Writes the choice "Time zones from the system" into the settings file the
// commands read (the test's own XDG_CONFIG_HOME); none removes the value.
void storeSystemZones(const char* value) {
    const std::string folder = std::string(std::getenv("XDG_CONFIG_HOME")) + "/QUILLMAR";
    std::filesystem::create_directories(folder);
    std::ofstream file(folder + "/Chronvale.ini", std::ios::trunc);
    if (value != nullptr) {
        file << "[General]\nsystemzones=" << value << "\n";
    }
}

// With the choice off, the commands show the shipped tables' time of a city
// whose time the system's database gives otherwise (Vancouver's pixel lies in
// the tables' UTC-7 zone).
TEST(ZoneProcess, TheCommandsFollowTheStoredChoiceOfTimeZones) {
    test::ScratchDir folder;
    ASSERT_TRUE(
        test::compileZones(folder, std::string(test::kTestTzdata) + test::kVancouverBefore));
    const test::ScopedVariable tzdir("TZDIR", folder.file("zoneinfo"));
    struct Case {
        const char* stored; // none: never chosen, on by default
        const char* localTime;
        const char* zone;
        const char* compared;
        const char* info;
    };
    for (const Case& c :
         {Case{nullptr, "12/15/26 12:00:00", "America/Vancouver, PST (UTC-08:00)",
               "Tue 15 Dec 2026 12:00", "Local times: from the system's time-zone database"},
          Case{"1", "12/15/26 12:00:00", "America/Vancouver, PST (UTC-08:00)",
               "Tue 15 Dec 2026 12:00", "Local times: from the system's time-zone database"},
          Case{"0", "12/15/26 13:00:00", "UTC-07:00, from the program's tables",
               "Tue 15 Dec 2026 13:00",
               "Local times: from the program's tables (the system database switched off)"}}) {
        SCOPED_TRACE(c.stored == nullptr ? "absent" : c.stored);
        storeSystemZones(c.stored);
        const Outcome city =
            runChronvale({"--data", kData, "--city", "Vancouver (British Columbia)", "--time",
                          "2026-12-15T20:00:00Z"});
        ASSERT_EQ(city.exitCode, 0) << city.errors;
        EXPECT_EQ(field(city.output, "Local Time:"), c.localTime);
        EXPECT_EQ(field(city.output, "Time zone:"), c.zone);
        const Outcome compared = runChronvale(
            {"--data", kData, "--compare", "Vancouver,London", "--time", "2026-12-15T20:00:00Z"});
        ASSERT_EQ(compared.exitCode, 0) << compared.errors;
        EXPECT_NE(compared.output.find(c.compared), std::string::npos) << compared.output;
        const Outcome info = runChronvale({"--data", kData, "--info"});
        EXPECT_NE(info.output.find(c.info), std::string::npos) << info.output;
    }
    storeSystemZones(nullptr);
}

} // namespace
} // namespace chronvale
