// `chronvale --city @FILE --time @FILE --fields ...`: many cities at many
// instants in one run, as tools/check-local-times.py asks for them.

#include "app/cli/command_line.h"
#include "chronvale_process.h"

#include <QTemporaryDir>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

namespace {

using chronvale::parseCommandLine;
using chronvale::test::Outcome;
using chronvale::test::runChronvale;

const std::string kData = std::string(CHRONVALE_SOURCE_DIR) + "/data";

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

class CityBatch : public ::testing::Test {
protected:
    std::string write(const std::string& name, const std::string& text) {
        const std::string path = folder.filePath(QString::fromStdString(name)).toStdString();
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
    QTemporaryDir folder;
};

TEST(CityBatchOptions, TakeAnInstantsFileAndFieldNames) {
    const auto batch = parseCommandLine(
        {"--city", "@names.txt", "--time", "@times.txt", "--fields", " City , Local Time,,"});
    ASSERT_TRUE(batch.options) << batch.error;
    EXPECT_EQ(batch.options->cityTimesFile, "times.txt");
    EXPECT_FALSE(batch.options->cityTime);
    EXPECT_EQ(batch.options->cityFields, (std::vector<std::string>{"City", "Local Time"}));
    const auto equals = parseCommandLine({"--city=Paris", "--fields=Sunrise"});
    ASSERT_TRUE(equals.options) << equals.error;
    EXPECT_EQ(equals.options->cityFields, std::vector<std::string>{"Sunrise"});

    const struct {
        std::vector<std::string> args;
        std::string error;
    } wrong[] = {
        {{"--city", "Paris", "--time", "@"}, "file name after '@'"},
        {{"--city", "Paris", "--fields", " , "}, "'--fields' needs field names"},
        {{"--city", "Paris", "--fields"}, "'--fields' needs field names"},
    };
    for (const auto& [args, error] : wrong) {
        const auto result = parseCommandLine(args);
        EXPECT_FALSE(result.options) << args.back();
        EXPECT_NE(result.error.find(error), std::string::npos) << result.error;
    }
    EXPECT_FALSE(parseCommandLine({"--fields", "City"}).options);
    EXPECT_NE(chronvale::commandLineHelp().find("--time @FILE"), std::string::npos);
}

// Every city at the first instant, then every city at the next; the fields in
// the order asked, whatever their case; the clock-only fields agree with the
// full block's (which computes everything).
TEST_F(CityBatch, PrintsTheFieldsOfEveryCityAtEachInstantInTurn) {
    const std::string names = write("names.txt", "London (Westminster)\r\n\nNew York\n");
    const std::string times =
        write("times.txt", "2027-01-15T12:00:00Z\n2027-07-15T12:00:00Z\n\n2027-07-15T12:30\n");
    const Outcome out = runChronvale({"--data", kData, "--city", "@" + names, "--time", "@" + times,
                                      "--fields", "local time,City,latitude"});
    ASSERT_EQ(out.exitCode, 0) << out.errors;
    const std::vector<std::string> lines = linesOf(out.output);
    ASSERT_EQ(lines.size(), 6u) << out.output;
    EXPECT_EQ(lines[0], "01/15/27 12:00:00\tLondon\t51.50");
    EXPECT_EQ(lines[1].substr(0, 17), "01/15/27 07:00:00");
    EXPECT_EQ(lines[2], "07/15/27 13:00:00\tLondon\t51.50");
    EXPECT_EQ(lines[3].substr(0, 26), "07/15/27 08:00:00\tNew York");
    EXPECT_EQ(lines[4], "07/15/27 13:30:00\tLondon\t51.50");

    // The zone field with and without the rest of the facts computed.
    for (const std::string fields : {"Time zone", "Time zone,Sunrise"}) {
        const Outcome zone = runChronvale({"--data", kData, "--city", "London (Westminster)",
                                           "--time", "2027-07-15T12:00:00Z", "--fields", fields});
        ASSERT_EQ(zone.exitCode, 0) << zone.errors;
        EXPECT_EQ(zone.output.substr(0, zone.output.find('\t')).substr(0, 29),
                  "Europe/London, BST (UTC+01:00")
            << fields;
    }
}

TEST_F(CityBatch, RefusesWhatItCannotReadAndPrintsNothing) {
    const std::string names = write("names.txt", "Paris\n");
    const struct {
        std::vector<std::string> extra;
        std::string error;
    } cases[] = {
        {{"--time", "@" + write("bad.txt", "2027-01-15T12:00:00Z\nnoon\n"), "--fields", "City"},
         "Invalid time 'noon'"},
        {{"--time", "@" + folder.filePath("missing.txt").toStdString()},
         "Cannot read the list of instants"},
        {{"--fields", "City,Timezone"}, "No field named 'Timezone'"},
    };
    for (const auto& [extra, error] : cases) {
        std::vector<std::string> args{"--data", kData, "--city", "@" + names};
        args.insert(args.end(), extra.begin(), extra.end());
        const Outcome out = runChronvale(args);
        EXPECT_EQ(out.exitCode, 1) << error;
        EXPECT_EQ(out.output, "") << error;
        EXPECT_NE(out.errors.find(error), std::string::npos) << out.errors;
    }
    // A name not found is said; the others are still printed.
    const Outcome some =
        runChronvale({"--data", kData, "--city",
                      "@" + write("some.txt", "Nowhere Atall\nParis (Ile-de-France)\n"), "--time",
                      "2027-01-15T12:00:00Z", "--fields", "City"});
    EXPECT_EQ(some.exitCode, 1);
    EXPECT_EQ(some.output, "Paris\n");
    EXPECT_NE(some.errors.find("No city named 'Nowhere Atall'"), std::string::npos);
}

} // namespace
