// The headless render as the user runs it: the chronvale executable with --render,
// in an environment without any display.

#include "chronvale_process.h"
#include "render/earth_image.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace {

namespace fs = std::filesystem;

using chronvale::test::Outcome;
using chronvale::test::runChronvale;

TEST(RenderProcess, WritesTheLitMapWithoutADisplay) {
    const std::string out = (fs::path(std::getenv("HOME")) / "lit.png").string();
    const std::string data = std::string(CHRONVALE_SOURCE_DIR) + "/data";
    if (!fs::exists(data + "/images/earth_day.bmp")) {
        GTEST_SKIP() << "no installed earth images in " << data;
    }
    const Outcome ok = runChronvale({"--render", out, "--data", data, "--shadow", "--time",
                                     "2026-03-20T12:00:00Z", "--width", "512"});
    ASSERT_EQ(ok.exitCode, 0) << ok.errors;
    chronvale::ImagePtr map = chronvale::loadImage(out);
    ASSERT_TRUE(map);
    EXPECT_EQ(map->width(), 512);
    EXPECT_EQ(map->height(), 256);
}

TEST(RenderProcess, FailsWithAMessage) {
    const std::string out = (fs::path(std::getenv("HOME")) / "never.bmp").string();
    const Outcome missing =
        runChronvale({"--render", out, "--data", "/nonexistent-chronvale-data"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.errors.find("Unable to load file 'images/earth_day.bmp'"), std::string::npos)
        << missing.errors;
    EXPECT_FALSE(fs::exists(out));

    const Outcome badTime = runChronvale({"--render", out, "--time", "2026-03-20T25:00:00Z"});
    EXPECT_EQ(badTime.exitCode, 2);
    EXPECT_NE(badTime.errors.find("invalid time"), std::string::npos) << badTime.errors;
}

// Every option the command cannot use exits 2 with a message, and writes nothing.
TEST(RenderProcess, OptionsItCannotUseExitTwo) {
    const std::string out = (fs::path(std::getenv("HOME")) / "refused.png").string();
    const std::string data = std::string(CHRONVALE_SOURCE_DIR) + "/data";
    fs::remove(out);

    const Outcome oldShadow =
        runChronvale({"--render", out, "--data", data, "--shadow", "--time", "1949-12-31T23:59Z"});
    EXPECT_EQ(oldShadow.exitCode, 2);
    EXPECT_NE(oldShadow.errors.find("1950 to 2050"), std::string::npos) << oldShadow.errors;

    const Outcome withInfo = runChronvale({"--render", out, "--data", data, "--info"});
    EXPECT_EQ(withInfo.exitCode, 2);
    EXPECT_NE(withInfo.errors.find("'--info' does not go with '--render'"), std::string::npos)
        << withInfo.errors;

    const Outcome timeAlone = runChronvale({"--time", "2026-03-20T12:00:00Z"});
    EXPECT_EQ(timeAlone.exitCode, 2);
    EXPECT_NE(timeAlone.errors.find("'--time' needs '--render'"), std::string::npos)
        << timeAlone.errors;
    EXPECT_FALSE(fs::exists(out));
}

} // namespace
