#include "render/compositor.h"
#include "render/render_command.h"
#include "render/sun_shadow.h"
#include "render_test_images.h"
#include "support/scratch.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <sstream>
#include <sys/stat.h>
#include <utility>

namespace chronvale {
namespace {

namespace fs = std::filesystem;
using test::solidImage;
using test::utc;

std::vector<std::string> words(std::initializer_list<const char*> list) {
    return {list.begin(), list.end()};
}

TEST(RenderArguments, ParsesTheSynopsis) {
    RenderParseResult parsed = parseRenderArguments(
        words({"--render", "out.PNG", "--time=2026-03-20T12:00:00Z", "--shadow", "--zones",
               "--clouds", "c.jpg", "--width", "3840", "--day"}));
    ASSERT_TRUE(parsed.options) << parsed.error;
    const RenderOptions& o = *parsed.options;
    EXPECT_EQ(o.outputPath, "out.PNG");
    EXPECT_EQ(o.time, utc(2026, 3, 20, 12, 0, 0));
    EXPECT_TRUE(o.sunShadow);
    EXPECT_TRUE(o.timeZones);
    EXPECT_FALSE(o.nightMap);
    EXPECT_EQ(o.cloudImage, "c.jpg");
    EXPECT_EQ(o.width, 3840);

    parsed = parseRenderArguments(words({"--night", "--render=map.bmp"}));
    ASSERT_TRUE(parsed.options) << parsed.error;
    EXPECT_TRUE(parsed.options->nightMap);
    EXPECT_FALSE(parsed.options->time) << "no time: the caller's now";
}

TEST(RenderArguments, RejectsWithAReason) {
    struct Case {
        std::vector<std::string> args;
        const char* mentions;
    };
    const Case cases[] = {
        {words({"--shadow"}), "--render"},
        {words({"--render"}), "--render"},
        {words({"--render", "map.tif"}), ".bmp or .png"},
        {words({"--render", "map"}), ".bmp or .png"},
        {words({"--render", "a.bmp", "--time", "2026-02-30T12:00:00Z"}), "invalid time"},
        {words({"--render", "a.bmp", "--time", "noon"}), "invalid time"},
        {words({"--render", "a.bmp", "--time", "2026-03-20T24:00:00Z"}), "invalid time"},
        {words({"--render", "a.bmp", "--width", "0"}), "invalid width"},
        {words({"--render", "a.bmp", "--width", "12x"}), "invalid width"},
        {words({"--render", "a.bmp", "--width", "99999"}), "invalid width"},
        {words({"--render", "a.bmp", "--size", "0x100"}), "--size"},
        {words({"--render", "a.bmp", "--size", "-5x100"}), "--size"},
        {words({"--render", "a.bmp", "--size", "3840"}), "--size"},
        {words({"--render", "a.bmp", "--size", "3840x"}), "--size"},
        {words({"--render", "a.bmp", "--size", "16385x100"}), "--size"},
        {words({"--render", "a.bmp", "--size", "100x8193"}), "--size"},
        {words({"--render", "a.bmp", "--size=+100x50"}), "--size"},
        {words({"--render", "a.bmp", "--size", "100x50", "--width", "80"}), "exclude"},
        {words({"--render", "a.bmp", "--day", "--night"}), "exclude"},
        {words({"--render", "a.bmp", "--shadow=yes"}), "takes no value"},
        {words({"--render", "a.bmp", "--wobble"}), "--wobble"},
    };
    for (const Case& c : cases) {
        RenderParseResult parsed = parseRenderArguments(c.args);
        EXPECT_FALSE(parsed.options) << c.args.back();
        EXPECT_NE(parsed.error.find(c.mentions), std::string::npos)
            << "error '" << parsed.error << "' should mention " << c.mentions;
    }
}

TEST(RenderArguments, Sizes) {
    struct Case {
        const char* text;
        std::optional<std::pair<int, int>> size;
    };
    const Case cases[] = {
        {"3840x1920", std::pair{3840, 1920}},
        {"16384X8192", std::pair{16384, 8192}},
        {"1x1", std::pair{1, 1}},
        {"0x5", std::nullopt},
        {"5x0", std::nullopt},
        {"-1x5", std::nullopt},
        {"5x-1", std::nullopt},
        {"5 x 5", std::nullopt},
        {"5x5x5", std::nullopt},
        {"16384x8193", std::nullopt},
        {"99999999999x5", std::nullopt},
        {"", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(parseRenderSize(c.text), c.size) << c.text;
    }
    RenderParseResult parsed = parseRenderArguments(words({"--render", "a.png", "--width", "999"}));
    ASSERT_TRUE(parsed.options);
    EXPECT_EQ(parsed.options->height, 499);
}

TEST(RenderArguments, UtcTimes) {
    EXPECT_EQ(parseUtcTime("2028-02-29T23:59:59Z"), utc(2028, 2, 29, 23, 59, 59));
    EXPECT_EQ(parseUtcTime("2026-01-01 00:00"), utc(2026, 1, 1, 0, 0, 0));
    EXPECT_FALSE(parseUtcTime("2027-02-29T00:00:00Z")) << "not a leap year";
    EXPECT_FALSE(parseUtcTime("2026-03-20T12:00:00+01:00"));
    EXPECT_FALSE(parseUtcTime("2026-03-20T12:00:00Zx"));
    EXPECT_FALSE(parseUtcTime("2026-3-20T12:00:00Z"));
}

// A data folder of white day, black night and grey zone images.
class RenderCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(folder / "images");
        install(*solidImage(1024, 512, 255, 255, 255), kDayImageName);
        install(*solidImage(1024, 512, 0, 0, 0), kNightImageName);
        install(*solidImage(1024, 512, 128, 128, 128), kTimeZoneImageName);
    }
    void install(const EarthImage& image, const char* name) {
        ASSERT_TRUE(saveBmpFile(&image, (folder / name).string()));
    }
    int run(std::vector<std::string> args) {
        RenderParseResult parsed = parseRenderArguments(args);
        EXPECT_TRUE(parsed.options) << parsed.error;
        if (!parsed.options) {
            return -1;
        }
        err.str("");
        return runRenderCommand(*parsed.options, folder.string(), err, utc(2026, 6, 1, 0, 0, 0));
    }

    test::ScratchDir scratch;
    const fs::path& folder = scratch.path();
    std::ostringstream err;
};

// At the March equinox at 12:00 UTC the outer quarters are night and the middle is
// day, the terminator crossing the equator near -88 and +92 degrees.
TEST_F(RenderCommandTest, EquinoxNoonWithTheShadow) {
    for (const char* name : {"equinox.bmp", "equinox.png"}) {
        const std::string out = (folder / name).string();
        ASSERT_EQ(
            run(words({"--render", out.c_str(), "--time", "2026-03-20T12:00:00Z", "--shadow"})), 0)
            << err.str();
        ImagePtr map = loadImage(out);
        ASSERT_TRUE(map) << name;
        ASSERT_EQ(map->width(), 1024);
        ASSERT_EQ(map->height(), 512);
        const uint8_t night = shadeNightChannel(255, 0);
        const uint8_t* equator = map->row(256);
        for (int x : {0, 100, 250, 790, 900, 1023}) {
            EXPECT_EQ(equator[x * 3], night) << name << ": column " << x << " should be night";
        }
        for (int x : {300, 511, 700}) {
            EXPECT_EQ(equator[x * 3], 255) << name << ": column " << x << " should be day";
        }
        int west = 0;
        while (west < 1024 && equator[west * 3] == night) {
            ++west;
        }
        int east = 1023;
        while (east >= 0 && equator[east * 3] == night) {
            --east;
        }
        EXPECT_NEAR(shadowColumnLongitude(west, 1024), -88.0f, 1.0f) << name;
        EXPECT_NEAR(shadowColumnLongitude(east, 1024), 92.0f, 1.0f) << name;
    }
}

TEST_F(RenderCommandTest, ResamplesToTheAskedWidth) {
    const std::string out = (folder / "small.bmp").string();
    ASSERT_EQ(run(words({"--render", out.c_str(), "--zones", "--width", "300"})), 0) << err.str();
    ImagePtr map = loadImage(out);
    ASSERT_TRUE(map);
    EXPECT_EQ(map->width(), 300);
    EXPECT_EQ(map->height(), 150);
    // White day in grey, tinted with zone grey 128: (255 * 1.4 + 128 * 0.6) / 2 = 216.9
    EXPECT_EQ(getPixel(map.get(), 150, 75), 0xD8D8D8u);
}

// Larger than the map, every pixel is composed at the size: without high-resolution
// images the 1024 x 512 ones serve, and a note names the file.
TEST_F(RenderCommandTest, ComposesAtALargerSizeFromTheStandardImages) {
    const std::string out = (folder / "large.png").string();
    ASSERT_EQ(run(words({"--render", out.c_str(), "--time", "2026-03-20T12:00:00Z", "--shadow",
                         "--size", "2048x1024"})),
              0)
        << err.str();
    EXPECT_NE(err.str().find("images/hires/earth_day.jpg"), std::string::npos) << err.str();
    ImagePtr map = loadImage(out);
    ASSERT_TRUE(map);
    ASSERT_EQ(map->width(), 2048);
    ASSERT_EQ(map->height(), 1024);
    EXPECT_EQ(map->row(512)[0], shadeNightChannel(255, 0));
    EXPECT_EQ(map->row(512)[1024 * 3], 255);
}

TEST_F(RenderCommandTest, NightMapDrawsNoShadowAndSaysSo) {
    const std::string out = (folder / "night.bmp").string();
    ASSERT_EQ(run(words({"--render", out.c_str(), "--night", "--shadow"})), 0) << err.str();
    EXPECT_NE(err.str().find("not drawn"), std::string::npos);
    ImagePtr map = loadImage(out);
    ASSERT_TRUE(map);
    EXPECT_EQ(getPixel(map.get(), 500, 200), 0u) << "the plain night image";
}

TEST_F(RenderCommandTest, FailuresGiveAMessageAndNonZero) {
    const std::string out = (folder / "out.bmp").string();
    fs::remove(folder / kNightImageName);
    EXPECT_EQ(run(words({"--render", out.c_str(), "--shadow"})), 1);
    EXPECT_NE(err.str().find("Unable to load file 'images/earth_night.bmp'"), std::string::npos)
        << err.str();
    EXPECT_FALSE(fs::exists(out)) << "nothing is written without the image";

    EXPECT_EQ(run(words({"--render", out.c_str()})), 0) << "the plain day map needs no night";

    fs::remove(folder / kTimeZoneImageName);
    EXPECT_EQ(run(words({"--render", out.c_str(), "--zones"})), 1);
    EXPECT_NE(err.str().find("images/earth_tz.bmp"), std::string::npos) << err.str();

    EXPECT_EQ(run(words({"--render", out.c_str(), "--clouds", "/nonexistent/c.jpg"})), 1);
    EXPECT_NE(err.str().find("Unable to load file '/nonexistent/c.jpg'"), std::string::npos);

    const std::string unwritable = (folder / "missing-folder" / "out.png").string();
    EXPECT_EQ(run(words({"--render", unwritable.c_str()})), 1);
    EXPECT_NE(err.str().find("Unable to write file"), std::string::npos) << err.str();

    EXPECT_EQ(run(words({"--render", out.c_str(), "--shadow", "--time", "2051-01-01T00:00:00Z"})),
              2)
        << "a bad time, like the others";
    EXPECT_NE(err.str().find("1950 to 2050"), std::string::npos) << err.str();
}

} // namespace
} // namespace chronvale
