#include "app/cli/command_line.h"

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

TEST(CommandLine, RenderTakesItsOptionsAndTheDataFolder) {
    auto render = parseCommandLine(
        {"--render", "map.png", "--data", "/opt/x", "--shadow", "--time", "2026-03-20T12:00:00Z"});
    ASSERT_TRUE(render.options) << render.error;
    EXPECT_EQ(render.options->action, CommandLine::Action::Render);
    EXPECT_EQ(render.options->dataFolder, "/opt/x");
    ASSERT_TRUE(render.options->render);
    EXPECT_EQ(render.options->render->outputPath, "map.png");
    EXPECT_TRUE(render.options->render->sunShadow);
    EXPECT_EQ(render.options->render->time, 1774008000);

    EXPECT_EQ(parseCommandLine({"--render=a.bmp", "--help"}).options->action,
              CommandLine::Action::Help);

    auto orphan = parseCommandLine({"--shadow"});
    EXPECT_FALSE(orphan.options);
    EXPECT_NE(orphan.error.find("--render"), std::string::npos) << orphan.error;
    auto badTime = parseCommandLine({"--render", "a.bmp", "--time", "yesterday"});
    EXPECT_FALSE(badTime.options);
    EXPECT_NE(badTime.error.find("invalid time"), std::string::npos) << badTime.error;
}

TEST(CommandLine, ScreenshotOpensTheWindow) {
    auto shot =
        parseCommandLine({"--screenshot", "shot.png", "--screenshot-delay", "5",
                          "--screenshot-command", "40004", "--screenshot-command", "40030"});
    ASSERT_TRUE(shot.options) << shot.error;
    EXPECT_EQ(shot.options->action, CommandLine::Action::Window);
    EXPECT_EQ(shot.options->screenshot, "shot.png");
    EXPECT_EQ(shot.options->screenshotDelaySeconds, 5);
    EXPECT_EQ(shot.options->screenshotCommands, (std::vector<int>{40004, 40030}));

    EXPECT_FALSE(parseCommandLine({"--screenshot"}).options);
    EXPECT_FALSE(parseCommandLine({"--screenshot-delay", "-1"}).options);
    EXPECT_FALSE(parseCommandLine({"--screenshot-delay", "5s"}).options);
    EXPECT_FALSE(parseCommandLine({"--screenshot-command", "0"}).options);
    EXPECT_FALSE(parseCommandLine({"--screenshot-command"}).options);
    EXPECT_FALSE(parseCommandLine({"--screenshot", "a.png", "--info"}).options);
}

// The autostart entry's --minimized and the desktop action's --select-city
// shape how the window opens, so they go with the window alone.
TEST(CommandLine, MinimizedAndSelectCityOpenTheWindow) {
    auto minimized = parseCommandLine({"--minimized", "--data", "/d"});
    ASSERT_TRUE(minimized.options) << minimized.error;
    EXPECT_EQ(minimized.options->action, CommandLine::Action::Window);
    EXPECT_TRUE(minimized.options->minimized);
    EXPECT_FALSE(minimized.options->selectCity);
    auto select = parseCommandLine({"--select-city"});
    ASSERT_TRUE(select.options) << select.error;
    EXPECT_TRUE(select.options->selectCity);
    EXPECT_FALSE(select.options->minimized);
    EXPECT_FALSE(parseCommandLine({}).options->minimized);

    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--minimized", "--info"},
          std::vector<std::string>{"--render", "m.png", "--minimized"},
          std::vector<std::string>{"--select-city", "--city", "Paris"}}) {
        auto headless = parseCommandLine(args);
        EXPECT_FALSE(headless.options) << args[0];
        EXPECT_NE(headless.error.find("needs the window"), std::string::npos) << headless.error;
    }
    auto both = parseCommandLine({"--minimized", "--select-city"});
    EXPECT_FALSE(both.options);
    EXPECT_NE(both.error.find("does not go with"), std::string::npos) << both.error;
    EXPECT_NE(chronvale::commandLineHelp().find("--minimized"), std::string::npos);
}

TEST(CommandLine, CityTakesItsNameAndTime) {
    auto city = parseCommandLine(
        {"--city", "London (Westminster)", "--time", "2026-03-20T12:00:00Z", "--data", "/d"});
    ASSERT_TRUE(city.options) << city.error;
    EXPECT_EQ(city.options->action, CommandLine::Action::City);
    EXPECT_EQ(city.options->city, "London (Westminster)");
    EXPECT_EQ(city.options->cityTime, 1774008000);
    EXPECT_FALSE(city.options->render);

    auto equals = parseCommandLine({"--time=2026-03-20T12:00:00Z", "--city=Paris"});
    ASSERT_TRUE(equals.options) << equals.error;
    EXPECT_EQ(equals.options->city, "Paris");
    EXPECT_EQ(equals.options->cityTime, 1774008000);
    EXPECT_FALSE(parseCommandLine({"--city", "Paris"}).options->cityTime);

    EXPECT_FALSE(parseCommandLine({"--city", "Paris", "--time", "noon"}).options);
    EXPECT_FALSE(parseCommandLine({"--city="}).options);
    EXPECT_FALSE(parseCommandLine({"--city", "Paris", "--render", "m.png"}).options);
    EXPECT_FALSE(parseCommandLine({"--city", "Paris", "--info"}).options);
    EXPECT_NE(chronvale::commandLineHelp().find("--city NAME"), std::string::npos);
}

TEST(CommandLine, OptionsThatNeedAnotherSaySo) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--time", "2026-03-20T12:00:00Z"},
          std::vector<std::string>{"--time=2026-03-20T12:00:00Z", "--info"}}) {
        auto orphan = parseCommandLine(args);
        EXPECT_FALSE(orphan.options);
        EXPECT_NE(orphan.error.find("'--time' needs '--render'"), std::string::npos)
            << orphan.error;
    }
    // --info does nothing for a render or a city: say so rather than drop it.
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--info", "--render", "m.png"},
          std::vector<std::string>{"--render", "m.png", "--shadow", "--info"}}) {
        auto both = parseCommandLine(args);
        EXPECT_FALSE(both.options);
        EXPECT_NE(both.error.find("'--info' does not go with '--render'"), std::string::npos)
            << both.error;
    }
}

TEST(CommandLine, TimesAreUtcWithOrWithoutTheZ) {
    auto bare = parseCommandLine({"--render", "a.png", "--time", "2026-03-20T12:00"});
    ASSERT_TRUE(bare.options) << bare.error;
    EXPECT_EQ(bare.options->render->time, 1774008000);
    auto city = parseCommandLine({"--city", "Paris", "--time", "2026-03-20 12:00:00"});
    ASSERT_TRUE(city.options) << city.error;
    EXPECT_EQ(city.options->cityTime, 1774008000);
    // The help says so for both commands' --time.
    const std::string help = chronvale::commandLineHelp();
    size_t said = 0;
    for (size_t at = help.find("also without the Z"); at != std::string::npos;
         at = help.find("also without the Z", at + 1)) {
        ++said;
    }
    EXPECT_EQ(said, 2u) << help;
}

TEST(CommandLine, SkyTakesItsOwnTime) {
    auto sky = parseCommandLine({"--sky", "--time", "2026-03-20T12:00:00Z"});
    ASSERT_TRUE(sky.options) << sky.error;
    EXPECT_EQ(sky.options->action, CommandLine::Action::Sky);
    EXPECT_EQ(sky.options->skyTime, 1774008000);
    EXPECT_FALSE(parseCommandLine({"--sky"}).options->skyTime);
    EXPECT_EQ(parseCommandLine({"--time=2026-03-20T12:00", "--sky"}).options->skyTime, 1774008000);

    EXPECT_NE(parseCommandLine({"--sky", "--time", "noon"}).error.find("invalid time 'noon'"),
              std::string::npos);
    EXPECT_FALSE(parseCommandLine({"--sky", "--time"}).options);
    EXPECT_FALSE(parseCommandLine({"--sky", "--render", "m.png"}).options);
    EXPECT_FALSE(parseCommandLine({"--sky", "--info"}).options);
    EXPECT_EQ(parseCommandLine({"--sky", "--help"}).options->action, CommandLine::Action::Help);
    EXPECT_NE(chronvale::commandLineHelp().find("--sky"), std::string::npos);

    auto render = parseCommandLine({"--render", "m.png", "--sun-moon", "--twilight"});
    ASSERT_TRUE(render.options) << render.error;
    EXPECT_TRUE(render.options->render->sunMoon);
    EXPECT_TRUE(render.options->render->twilight);
    EXPECT_NE(parseCommandLine({"--twilight"}).error.find("'--twilight' needs '--render'"),
              std::string::npos);
}

TEST(CommandLine, CompareTakesNamesTimeAndOverlap) {
    auto compare = parseCommandLine({"--compare", " London, New York ,Tokyo", "--time",
                                     "2027-03-10T12:00:00Z", "--overlap", "--hours=1.5"});
    ASSERT_TRUE(compare.options) << compare.error;
    EXPECT_EQ(compare.options->action, CommandLine::Action::Compare);
    ASSERT_TRUE(compare.options->compare);
    EXPECT_EQ(compare.options->compare->names,
              (std::vector<std::string>{"London", "New York", "Tokyo"}));
    EXPECT_EQ(compare.options->compare->time, 1804680000);
    EXPECT_TRUE(compare.options->compare->overlap);
    EXPECT_EQ(compare.options->compare->overlapMinutes, 90);

    auto plain = parseCommandLine({"--compare=Paris"});
    ASSERT_TRUE(plain.options) << plain.error;
    EXPECT_FALSE(plain.options->compare->overlap);
    EXPECT_EQ(plain.options->compare->overlapMinutes, 60);
    EXPECT_FALSE(plain.options->compare->time);
}

TEST(CommandLine, CompareRejectsWhatDoesNotFit) {
    const std::vector<std::vector<std::string>> table = {
        {"--compare", ""},
        {"--compare"},
        {"--compare", "London,,Tokyo"},
        {"--compare", "London,"},
        {"--compare", " , "},
        {"--compare", "London", "--hours", "2"}, // without --overlap
        {"--overlap"},                           // without --compare
        {"--compare", "London", "--overlap", "--hours", "0"},
        {"--compare", "London", "--overlap", "--hours", "25"},
        {"--compare", "London", "--overlap", "--hours", "1h"},
        {"--compare", "London", "--overlap", "--hours", "nan"},
        {"--compare", "London", "--time", "yesterday"},
        {"--compare", "London", "--sky"},
        {"--compare", "London", "--info"},
        {"--compare", "London", "--render", "x.png"},
    };
    for (const auto& args : table) {
        const auto parsed = parseCommandLine(args);
        EXPECT_FALSE(parsed.options) << ::testing::PrintToString(args);
        EXPECT_FALSE(parsed.error.empty());
    }
}
