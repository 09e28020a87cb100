// The wallpaper's grid and marked cities: drawn where their longitude and latitude
// lie in the region a monitor shows (across the date line too), inside the
// earth's rectangle only.

#include "render/qt/wallpaper_overlays.h"

#include <gtest/gtest.h>

namespace chronvale {
namespace {

constexpr uint32_t kRed = 0xC80000;   // the prime meridian and the equator
constexpr uint32_t kGreen = 0x008C00; // the other lines
constexpr uint32_t kMark = 0x00FF00;  // a marked city's box

struct GridCase {
    const char* name;
    MapRegion region;
    int column; // where the prime meridian is drawn
    int equatorRow;
};

class WallpaperGrid : public ::testing::TestWithParam<GridCase> {};

TEST_P(WallpaperGrid, LinesLieAtTheirDegrees) {
    const GridCase& c = GetParam();
    // A grey picture with the earth's rectangle inset by 10 pixels.
    const ImagePtr picture = createImage(380, 200, 24, 0);
    for (int y = 0; y < 200; ++y) {
        std::fill_n(picture->row(y), 380 * 3, uint8_t{100});
    }
    const PixelRect rect{10, 10, 360, 180};
    drawWallpaperOverlays(*picture, rect, c.region, true, {});
    EXPECT_EQ(getPixel(picture.get(), rect.x + c.column, rect.y + 45), kRed);
    EXPECT_EQ(getPixel(picture.get(), 50, rect.y + c.equatorRow), kRed);
    // 10° east of Greenwich, a green meridian (one degree a column here).
    const int tenEast = (c.column + static_cast<int>(10 * 360 / c.region.lonSpan)) % 360;
    EXPECT_EQ(getPixel(picture.get(), rect.x + tenEast, 33), kGreen) << tenEast;
    // Nothing outside the rectangle.
    EXPECT_EQ(getPixel(picture.get(), 5, rect.y + c.equatorRow), 0x646464u);
    EXPECT_EQ(getPixel(picture.get(), rect.x + c.column, 195), 0x646464u);
}

INSTANTIATE_TEST_SUITE_P(
    Table, WallpaperGrid,
    ::testing::Values(GridCase{"Greenwich", {-180.0, 360.0, 90.0, 180.0}, 180, 90},
                      GridCase{"DateLine", {0.0, 360.0, 90.0, 180.0}, 0, 90},
                      GridCase{"WestOfTheMap", {-270.0, 360.0, 90.0, 180.0}, 270, 90}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WallpaperMarks, ABoxAtTheCityAndItsNameBeside) {
    const ImagePtr picture = createImage(720, 360, 24, 0);
    const std::vector<WallpaperMark> marks{{"Quito", -78.5f, -0.2f}, {"Nowhere", 0.0f, 95.0f}};
    drawWallpaperOverlays(*picture, {0, 0, 720, 360}, {-180.0, 360.0, 90.0, 180.0}, false, marks);
    // -78.5° is column 203, the equator row 180.
    EXPECT_EQ(getPixel(picture.get(), 203, 180), kMark);
    // The name in green on black to its right and below.
    int green = 0;
    for (int y = 182; y < 200; ++y) {
        for (int x = 206; x < 260; ++x) {
            // The letters are smoothed: green enough, without red.
            const uint32_t p = getPixel(picture.get(), x, y);
            green += ((p >> 8) & 0xFF) > 120 && (p >> 16) < 60 ? 1 : 0;
        }
    }
    EXPECT_GT(green, 30);
}

} // namespace
} // namespace chronvale
