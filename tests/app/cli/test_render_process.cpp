// The headless render as the user runs it: the chronvale executable with --render,
// in an environment without any display.

#include "chronvale_process.h"
#include "render/earth_image.h"

#include <cstdlib>
#include <cstring>
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

// The sky overlays are drawn into the file: the sun's yellow at the sub-solar point
// (2027-03-20 12:00 UT: -0.14, 1.88, see test_sky_process.cpp) and nothing of it
// without the option.
TEST(RenderProcess, DrawsTheSunMoonAndTwilightWhenAsked) {
    const std::string data = std::string(CHRONVALE_SOURCE_DIR) + "/data";
    const std::string plain = (fs::path(std::getenv("HOME")) / "plain.png").string();
    const std::string sky = (fs::path(std::getenv("HOME")) / "sky.png").string();
    ASSERT_EQ(runChronvale({"--render", plain, "--data", data, "--time", "2027-03-20T12:00:00Z"})
                  .exitCode,
              0);
    const Outcome ok = runChronvale({"--render", sky, "--data", data, "--time",
                                     "2027-03-20T12:00:00Z", "--sun-moon", "--twilight"});
    ASSERT_EQ(ok.exitCode, 0) << ok.errors;
    chronvale::ImagePtr a = chronvale::loadImage(plain);
    chronvale::ImagePtr b = chronvale::loadImage(sky);
    ASSERT_TRUE(a && b);
    const int x = static_cast<int>((1.88 + 180.0) / 360.0 * 1024.0);
    const int y = static_cast<int>((90.0 + 0.14) / 180.0 * 512.0);
    const uint8_t* sun = chronvale::pixelAddress(b.get(), x, y);
    EXPECT_EQ(sun[2], 255);
    EXPECT_EQ(sun[1], 220);
    EXPECT_EQ(sun[0], 0);
    EXPECT_NE(std::memcmp(a->pixels(), b->pixels(), a->pixelBytes()), 0);

    const Outcome late = runChronvale(
        {"--render", sky, "--data", data, "--time", "2051-01-01T00:00:00Z", "--sun-moon"});
    EXPECT_EQ(late.exitCode, 2);
}
