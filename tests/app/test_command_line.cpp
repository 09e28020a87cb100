#include "app/command_line.h"

#include <gtest/gtest.h>

using chronvale::CommandLine;
using chronvale::parseCommandLine;

TEST(CommandLine, ActionsAndDataFolder) {
    EXPECT_EQ(parseCommandLine({}).options->action, CommandLine::Action::Window);
    EXPECT_EQ(parseCommandLine({"--info"}).options->action, CommandLine::Action::Info);
    EXPECT_EQ(parseCommandLine({"--version"}).options->action, CommandLine::Action::Version);
    EXPECT_EQ(parseCommandLine({"-h"}).options->action, CommandLine::Action::Help);

    auto spaced = parseCommandLine({"--data", "/opt/x", "--info"});
    ASSERT_TRUE(spaced.options);
    EXPECT_EQ(spaced.options->dataFolder, "/opt/x");
    EXPECT_EQ(spaced.options->action, CommandLine::Action::Info);
    EXPECT_EQ(parseCommandLine({"--data=/y"}).options->dataFolder, "/y");
}

TEST(CommandLine, RejectsWhatItDoesNotKnow) {
    auto unknown = parseCommandLine({"--info", "--frobnicate"});
    EXPECT_FALSE(unknown.options);
    EXPECT_NE(unknown.error.find("--frobnicate"), std::string::npos);
    EXPECT_FALSE(parseCommandLine({"--data"}).options);
    EXPECT_FALSE(parseCommandLine({"--data="}).options);
    EXPECT_FALSE(parseCommandLine({"info"}).options);
}
