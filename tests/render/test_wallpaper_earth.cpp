// The wallpaper's earth: what it shows whatever the window's switches, the split
// of a region at the date line, and the composition of a region that crosses it
// (a centre longitude away from Greenwich) against the whole map composed at once.

#include "render/earth_image.h"
#include "render/wallpaper_earth.h"
#include "render_test_images.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace chronvale {
namespace {

// 2026-06-21 06:00:00 UTC: the terminator crosses the whole map.
constexpr std::time_t kSolsticeMorning = 1782021600;

struct SwitchesCase {
    const char* name;
    DisplaySwitches shown;
    bool clouds;
    bool zones;
};

class WallpaperSwitches : public ::testing::TestWithParam<SwitchesCase> {};

TEST_P(WallpaperSwitches, AlwaysTheDayMapWithTheShadow) {
    const SwitchesCase& c = GetParam();
    const DisplaySwitches s = wallpaperSwitches(c.shown);
    EXPECT_TRUE(s.dayMap);
    EXPECT_FALSE(s.nightMap);
    EXPECT_TRUE(s.sunShadow);
    EXPECT_EQ(s.clouds, c.clouds);
    // Clouds over day and night: the shadow stays with them.
    EXPECT_EQ(s.cloudsWithShadow, c.clouds);
    EXPECT_EQ(s.timeZones, c.zones);
    EXPECT_EQ(s.grid, c.shown.grid);
    EXPECT_EQ(s.markedCities, c.shown.markedCities);
    // What would go stale on the desktop is never drawn.
    EXPECT_FALSE(s.allCities || s.cityNames != 0 || s.earthquakes || s.sunMoon || s.twilight);
}

DisplaySwitches with(void (*set)(DisplaySwitches&)) {
    DisplaySwitches s;
    set(s);
    return s;
}

INSTANTIATE_TEST_SUITE_P(
    Table, WallpaperSwitches,
    ::testing::Values(SwitchesCase{"Nothing", {}, false, false},
                      SwitchesCase{"CloudsWithoutShadow", with([](DisplaySwitches& s) {
                                       s.clouds = true;
                                       s.dayMap = true;
                                   }),
                                   true, false},
                      SwitchesCase{"NightMap", with([](DisplaySwitches& s) { s.nightMap = true; }),
                                   false, false},
                      SwitchesCase{"ZonesGridMarks", with([](DisplaySwitches& s) {
                                       s.timeZones = true;
                                       s.grid = true;
                                       s.markedCities = true;
                                       s.allCities = true;
                                       s.cityNames = kNamesOn;
                                       s.earthquakes = true;
                                   }),
                                   false, true},
                      SwitchesCase{"SunMoonTwilight", with([](DisplaySwitches& s) {
                                       s.sunMoon = true;
                                       s.twilight = true;
                                       s.sunShadow = true;
                                   }),
                                   false, false}),
    [](const auto& info) { return std::string(info.param.name); });

struct SplitCase {
    double west;
    double lonSpan;
    int width;
    int firstColumns; // of the part west of the date line; width: no split
    double firstX;    // its map x
};

class DateLineSplit : public ::testing::TestWithParam<SplitCase> {};

TEST_P(DateLineSplit, PartsCoverTheColumnsOnce) {
    const SplitCase& c = GetParam();
    const RegionParts split = splitAtDateLine({c.west, c.lonSpan, 90.0, 180.0}, c.width);
    ASSERT_EQ(split.count, c.firstColumns == c.width ? 1 : 2);
    EXPECT_EQ(split.parts[0].firstColumn, 0);
    EXPECT_EQ(split.parts[0].columns, c.firstColumns);
    EXPECT_NEAR(split.parts[0].area.x, c.firstX, 1e-9);
    EXPECT_NEAR(split.parts[0].area.height, 512.0, 1e-9);
    double mapWidth = split.parts[0].area.width;
    if (split.count == 2) {
        EXPECT_EQ(split.parts[1].firstColumn, c.firstColumns);
        EXPECT_EQ(split.parts[1].columns, c.width - c.firstColumns);
        // The second part goes on from the date line's other side.
        EXPECT_NEAR(split.parts[1].area.x,
                    split.parts[0].area.x + split.parts[0].area.width - 1024.0, 1e-9);
        mapWidth += split.parts[1].area.width;
    }
    EXPECT_NEAR(mapWidth, c.lonSpan * 1024.0 / 360.0, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(Table, DateLineSplit,
                         ::testing::Values(
                             // Greenwich in the middle: the whole map, one part.
                             SplitCase{-180.0, 360.0, 3840, 3840, 0.0},
                             // The date line in the middle: two halves.
                             SplitCase{0.0, 360.0, 3840, 1920, 512.0},
                             // Given west of -180: the same as 10° E (centre 190° = -170°).
                             SplitCase{-350.0, 360.0, 360, 170, 1024.0 * 190 / 360},
                             // Fill on a narrow screen, inside the map: one part.
                             SplitCase{-60.0, 120.0, 1000, 1000, 1024.0 * 120 / 360},
                             // Fill around the date line.
                             SplitCase{120.0, 120.0, 1200, 600, 1024.0 * 300 / 360}));

// A day image whose every column has its own colour, and a black night image.
ImagePtr stripes(int width, int height, bool night) {
    ImagePtr image = createImage(width, height, 24, 0);
    for (int y = 0; y < height; ++y) {
        uint8_t* row = image->row(y);
        for (int x = 0; x < width; ++x) {
            row[x * 3] = night ? 0 : static_cast<uint8_t>(x * 255 / (width - 1));
            row[x * 3 + 1] = night ? 0 : static_cast<uint8_t>(y * 255 / (height - 1));
            row[x * 3 + 2] = night ? 0 : 200;
        }
    }
    return image;
}

TEST(WallpaperRegion, ACentreAtTheDateLineIsTheWholeMapTurnedByHalf) {
    const ImagePtr day = stripes(1024, 512, false);
    const ImagePtr night = stripes(1024, 512, true);
    const EarthLayers layers{day.get(), night.get(), nullptr, nullptr};
    const DisplaySwitches switches = wallpaperSwitches({});
    ImagePtr greenwich = createImage(2048, 1024, 24, 0);
    ImagePtr dateLine = createImage(2048, 1024, 24, 0);
    const PixelRect all{0, 0, 2048, 1024};
    ASSERT_TRUE(composeWallpaperRegion(layers, {}, {-180.0, 360.0, 90.0, 180.0}, kSolsticeMorning,
                                       switches, *greenwich, all));
    ASSERT_TRUE(composeWallpaperRegion(layers, {}, {0.0, 360.0, 90.0, 180.0}, kSolsticeMorning,
                                       switches, *dateLine, all));
    // Lit and dark parts both there: the shadow is drawn.
    int dark = 0;
    int lit = 0;
    for (int y = 0; y < 1024; y += 64) {
        for (int x = 0; x < 2048; x += 64) {
            const uint32_t p = getPixel(greenwich.get(), x, y);
            (((p >> 16) & 0xFF) > 100 ? lit : dark) += 1;
            // The same place of the earth, half the picture along.
            const uint32_t q = getPixel(dateLine.get(), (x + 1024) % 2048, y);
            for (int shift : {0, 8, 16}) {
                // Bilinear sampling clamps at the map's edge rather than wrapping.
                EXPECT_LE(std::abs(static_cast<int>((p >> shift) & 0xFF) -
                                   static_cast<int>((q >> shift) & 0xFF)),
                          2)
                    << x << "," << y;
            }
        }
    }
    EXPECT_GT(lit, 100);
    EXPECT_GT(dark, 100);
}

// A large picture is composed in two bands at once; it must be the one pass's.
TEST(WallpaperRegion, ALargePictureIsTheSingleCompositionsBits) {
    const ImagePtr day = test::noiseImage(1024, 512, 1);
    const ImagePtr night = test::noiseImage(1024, 512, 2);
    const ImagePtr cloud = stripes(1024, 512, false);
    const EarthLayers layers{day.get(), night.get(), nullptr, cloud.get()};
    DisplaySwitches shown;
    shown.clouds = true;
    LitAreaRequest request;
    request.width = 1600;
    request.height = 800;
    request.now = kSolsticeMorning;
    request.switches = wallpaperSwitches(shown);
    const ImagePtr single = composeLitArea(layers, request);
    ImagePtr picture = createImage(1600, 900, 24, 0);
    ASSERT_TRUE(single);
    ASSERT_TRUE(composeWallpaperRegion(layers, {}, {-180.0, 360.0, 90.0, 180.0}, kSolsticeMorning,
                                       request.switches, *picture, {0, 50, 1600, 800}));
    ImagePtr earth = createImage(1600, 800, 24, 0);
    for (int y = 0; y < 800; ++y) {
        std::copy_n(picture->row(50 + y), 1600 * 3, earth->row(y));
    }
    EXPECT_EQ(test::firstDifference(*earth, *single), "");
}

TEST(WallpaperRegion, WithoutADayImageNothingIsComposed) {
    ImagePtr picture = createImage(64, 32, 24, 0);
    EXPECT_FALSE(composeWallpaperRegion({}, {}, {}, kSolsticeMorning, wallpaperSwitches({}),
                                        *picture, {0, 0, 64, 32}));
}

} // namespace
} // namespace chronvale
