// The wallpaper's arithmetic: the monitors given as text, where the earth goes in
// each monitor's picture (Fit and Fill, any centre longitude), and how the
// pictures are laid out for desktops that take one image or one per monitor.

#include "render/earth_image.h"
#include "render/wallpaper_layout.h"

#include <gtest/gtest.h>

namespace chronvale {
namespace {

struct ScreensCase {
    const char* text;
    std::vector<WallpaperScreen> screens; // empty: refused
    const char* errorPart;                // a part of the error when refused
};

class ScreensText : public ::testing::TestWithParam<ScreensCase> {};

TEST_P(ScreensText, ParsesOrNamesTheFault) {
    const ScreensCase& c = GetParam();
    const ScreensParse parse = parseScreens(c.text);
    EXPECT_EQ(parse.screens, c.screens);
    if (c.screens.empty()) {
        EXPECT_NE(parse.error.find(c.errorPart), std::string::npos) << parse.error;
    } else {
        EXPECT_TRUE(parse.error.empty());
        EXPECT_EQ(parseScreens(formatScreens(parse.screens)).screens, parse.screens);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, ScreensText,
    ::testing::Values(
        ScreensCase{"1920x1080+0+0", {{0, 0, 1920, 1080, {}}}, ""},
        ScreensCase{"1920x1080+0+0,2560x1440+1920+0",
                    {{0, 0, 1920, 1080, {}}, {1920, 0, 2560, 1440, {}}},
                    ""},
        ScreensCase{"1280X1024-1280+-24", {{-1280, -24, 1280, 1024, {}}}, ""},
        ScreensCase{"16384x16384+0+0", {{0, 0, 16384, 16384, {}}}, ""},
        ScreensCase{"", {}, "no monitor"}, ScreensCase{"1920x1080", {}, "WIDTHxHEIGHT+X+Y"},
        ScreensCase{"1920x1080+0+0,", {}, "WIDTHxHEIGHT+X+Y"},
        ScreensCase{"1920*1080+0+0", {}, "WIDTHxHEIGHT+X+Y"},
        ScreensCase{"1920x1080+0+0 ", {}, "WIDTHxHEIGHT+X+Y"},
        ScreensCase{"-1920x1080+0+0", {}, "WIDTHxHEIGHT+X+Y"},
        ScreensCase{"0x1080+0+0", {}, "1 to 16384"}, ScreensCase{"1920x0+0+0", {}, "1 to 16384"},
        ScreensCase{"16385x100+0+0", {}, "1 to 16384"},
        ScreensCase{"99999999x100+0+0", {}, "WIDTHxHEIGHT+X+Y"},
        ScreensCase{"100x100+70000+0", {}, "offsets"},
        ScreensCase{"1x1+0+0,1x1+0+0,1x1+0+0,1x1+0+0,1x1+0+0,1x1+0+0,1x1+0+0,1x1+0+0,"
                    "1x1+0+0,1x1+0+0,1x1+0+0,1x1+0+0,1x1+0+0,1x1+0+0,1x1+0+0,1x1+0+0,1x1+0+0",
                    {},
                    "more than 16"}));

struct PlaceCase {
    int width;
    int height;
    WallpaperPlacement placement;
    double centre;
    PixelRect earth;
    MapRegion region;
};

class EarthPlaced : public ::testing::TestWithParam<PlaceCase> {};

TEST_P(EarthPlaced, InTrueProportion) {
    const PlaceCase& c = GetParam();
    const EarthPlacement placed = placeEarth(c.width, c.height, c.placement, c.centre);
    EXPECT_EQ(placed.earth, c.earth);
    EXPECT_NEAR(placed.region.west, c.region.west, 1e-9);
    EXPECT_NEAR(placed.region.lonSpan, c.region.lonSpan, 1e-9);
    EXPECT_NEAR(placed.region.north, c.region.north, 1e-9);
    EXPECT_NEAR(placed.region.latSpan, c.region.latSpan, 1e-9);
    // Pixels per degree are the same across and down: the earth is not stretched.
    EXPECT_NEAR(placed.earth.width / placed.region.lonSpan,
                placed.earth.height / placed.region.latSpan, 0.5 / placed.region.latSpan);
}

constexpr auto kFit = WallpaperPlacement::Fit;
constexpr auto kFill = WallpaperPlacement::Fill;

INSTANTIATE_TEST_SUITE_P(
    Table, EarthPlaced,
    ::testing::Values(
        // Fit: bars left and right on 16:9, above and below on 4:3 and portrait.
        PlaceCase{1920, 1080, kFit, 0.0, {0, 60, 1920, 960}, {-180, 360, 90, 180}},
        PlaceCase{3840, 2160, kFit, 0.0, {0, 120, 3840, 1920}, {-180, 360, 90, 180}},
        PlaceCase{5120, 1440, kFit, 0.0, {1120, 0, 2880, 1440}, {-180, 360, 90, 180}},
        PlaceCase{1080, 1920, kFit, 0.0, {0, 690, 1080, 540}, {-180, 360, 90, 180}},
        PlaceCase{2048, 1024, kFit, 0.0, {0, 0, 2048, 1024}, {-180, 360, 90, 180}},
        // The centre turns the map: the date line in the middle starts at Greenwich.
        PlaceCase{1920, 1080, kFit, kDateLineLongitude, {0, 60, 1920, 960}, {0, 360, 90, 180}},
        PlaceCase{1920, 1080, kFit, 139.69, {0, 60, 1920, 960}, {-40.31, 360, 90, 180}},
        PlaceCase{1920, 1080, kFit, -74.0, {0, 60, 1920, 960}, {106, 360, 90, 180}},
        // Fill on a screen narrower than 2 : 1: the whole height, the edges cut.
        PlaceCase{1920, 1080, kFill, 0.0, {0, 0, 1920, 1080}, {-160, 320, 90, 180}},
        PlaceCase{1920, 1080, kFill, 180.0, {0, 0, 1920, 1080}, {20, 320, 90, 180}},
        PlaceCase{1080, 1920, kFill, 10.0, {0, 0, 1080, 1920}, {-40.625, 101.25, 90, 180}},
        // Fill on a screen wider than 2 : 1: the whole width, the poles cut.
        PlaceCase{5120, 1440, kFill, 0.0, {0, 0, 5120, 1440}, {-180, 360, 50.625, 101.25}}));

TEST(WallpaperLayoutCap, ScalesDownKeepingTheProportion) {
    EXPECT_EQ(cappedSize({0, 0, 3840, 2160, {}}, 0), (PixelRect{0, 0, 3840, 2160}));
    EXPECT_EQ(cappedSize({0, 0, 3840, 2160, {}}, 1920), (PixelRect{0, 0, 1920, 1080}));
    EXPECT_EQ(cappedSize({0, 0, 1920, 1080, {}}, 3840), (PixelRect{0, 0, 1920, 1080}));
    // A 16K square monitor is larger than any image made: scaled to the limit.
    const PixelRect huge = cappedSize({0, 0, 16384, 16384, {}}, 0);
    EXPECT_EQ(huge.width, huge.height);
    EXPECT_LE(static_cast<double>(huge.width) * huge.height * 4,
              static_cast<double>(kMaxImageBytes));
}

struct LayoutCase {
    const char* screens;
    bool spanned;
    int widthCap;
    std::vector<PixelRect> images;
    std::vector<PixelRect> at;
};

class Layout : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(Layout, PlacesEachMonitorsPicture) {
    const LayoutCase& c = GetParam();
    const std::vector<WallpaperScreen> screens = parseScreens(c.screens).screens;
    ASSERT_FALSE(screens.empty());
    const WallpaperLayout layout = layoutWallpaper(screens, {kFit, 0.0, c.widthCap}, c.spanned);
    EXPECT_EQ(layout.spanned, c.spanned);
    EXPECT_EQ(layout.images, c.images);
    ASSERT_EQ(layout.pictures.size(), c.at.size());
    for (std::size_t i = 0; i < c.at.size(); ++i) {
        const MonitorPicture& picture = layout.pictures[i];
        EXPECT_EQ(picture.at, c.at[i]) << i;
        EXPECT_EQ(picture.screen, screens[i]);
        // Each region holds its own whole earth, 2 : 1, inside the region.
        const PixelRect& earth = picture.earth.earth;
        EXPECT_NEAR(earth.width, 2 * earth.height, 1) << i;
        EXPECT_LE(earth.x + earth.width, picture.at.width);
        EXPECT_LE(earth.y + earth.height, picture.at.height);
        const PixelRect& image = layout.images[c.spanned ? 0 : i];
        EXPECT_LE(picture.at.x + picture.at.width, image.width);
        EXPECT_LE(picture.at.y + picture.at.height, image.height);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, Layout,
    ::testing::Values(LayoutCase{"1920x1080+0+0,2560x1440+1920+0",
                                 true,
                                 0,
                                 {{0, 0, 4480, 1440}},
                                 {{0, 0, 1920, 1080}, {1920, 0, 2560, 1440}}},
                      LayoutCase{"1920x1080+0+0,2560x1440+1920+0",
                                 false,
                                 0,
                                 {{0, 0, 1920, 1080}, {0, 0, 2560, 1440}},
                                 {{0, 0, 1920, 1080}, {0, 0, 2560, 1440}}},
                      // A monitor left of and above the primary one: the box starts at its corner.
                      LayoutCase{"1920x1080+0+0,1280x1024-1280-200",
                                 true,
                                 0,
                                 {{0, 0, 3200, 1280}},
                                 {{1280, 200, 1920, 1080}, {0, 0, 1280, 1024}}},
                      // Stacked, and a cap halving the widest monitor halves the whole box.
                      LayoutCase{"3840x2160+0+0,1920x1080+960+2160",
                                 true,
                                 1920,
                                 {{0, 0, 1920, 1620}},
                                 {{0, 0, 1920, 1080}, {480, 1080, 960, 540}}},
                      LayoutCase{"3840x2160+0+0,1920x1080+3840+0",
                                 false,
                                 1920,
                                 {{0, 0, 1920, 1080}, {0, 0, 1920, 1080}},
                                 {{0, 0, 1920, 1080}, {0, 0, 1920, 1080}}},
                      // Three monitors side by side at their native sizes.
                      LayoutCase{"1920x1080+0+0,2560x1440+1920+0,3840x2160+4480+0",
                                 false,
                                 0,
                                 {{0, 0, 1920, 1080}, {0, 0, 2560, 1440}, {0, 0, 3840, 2160}},
                                 {{0, 0, 1920, 1080}, {0, 0, 2560, 1440}, {0, 0, 3840, 2160}}}));

} // namespace
} // namespace chronvale
