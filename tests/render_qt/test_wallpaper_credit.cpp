// The wallpaper's credit line: in the lower left corner of the earth, clear of a
// panel or dock at the picture's edges, its letters growing with the picture, and
// nothing drawn outside its plate.

#include "render/qt/wallpaper_credit.h"

#include <gtest/gtest.h>

namespace chronvale {
namespace {

const std::string kCredit = "Contains modified EUMETSAT data";

// The light pixels (the letters) in a rectangle of the picture.
int lightPixels(const EarthImage& picture, const PixelRect& r) {
    int light = 0;
    for (int y = r.y; y < r.y + r.height; ++y) {
        for (int x = r.x; x < r.x + r.width; ++x) {
            const uint32_t p = getPixel(&picture, x, y);
            light += (p >> 16) + ((p >> 8) & 0xFF) + (p & 0xFF) > 450 ? 1 : 0;
        }
    }
    return light;
}

struct CreditCase {
    const char* name;
    int width;
    int height;
    PixelRect earth;
    int leastMargin; // from the earth's left and bottom edges
    int leastHeight; // of the plate: the letters legible at this size
    bool elided;     // too narrow for the whole credit
};

class WallpaperCredit : public ::testing::TestWithParam<CreditCase> {};

TEST_P(WallpaperCredit, LiesInTheLowerLeftCornerClearOfPanels) {
    const CreditCase& c = GetParam();
    const ImagePtr picture = createImage(c.width, c.height, 24, 0);
    for (int y = 0; y < c.height; ++y) {
        std::fill_n(picture->row(y), c.width * 3, uint8_t{60});
    }
    drawWallpaperCredit(*picture, c.earth, kCredit);
    const PixelRect plate = wallpaperCreditPlate(c.earth, kCredit);
    ASSERT_GT(plate.width, 0);
    EXPECT_GE(plate.x - c.earth.x, c.leastMargin);
    EXPECT_GE(c.earth.y + c.earth.height - (plate.y + plate.height), c.leastMargin);
    EXPECT_LE(plate.x + plate.width,
              c.earth.x + (c.elided ? c.earth.width : c.earth.width * 3 / 4));
    EXPECT_GT(plate.y, c.earth.y + c.earth.height * 3 / 4);
    EXPECT_GE(plate.height, c.leastHeight);
    EXPECT_GT(lightPixels(*picture, plate), plate.height * 10);
    // The plate is dark behind the letters, and the rest of the picture untouched.
    EXPECT_EQ(getPixel(picture.get(), plate.x, plate.y), 0u);
    EXPECT_EQ(getPixel(picture.get(), plate.x - 1, plate.y), 0x3C3C3Cu);
    EXPECT_EQ(getPixel(picture.get(), plate.x, plate.y + plate.height), 0x3C3C3Cu);
    EXPECT_EQ(getPixel(picture.get(), plate.x + plate.width, plate.y), 0x3C3C3Cu);
    EXPECT_EQ(getPixel(picture.get(), 0, c.height - 1), 0x3C3C3Cu);
}

INSTANTIATE_TEST_SUITE_P(
    Table, WallpaperCredit,
    ::testing::Values(CreditCase{"FullHdFit", 1920, 1080, {0, 60, 1920, 960}, 48, 14, false},
                      CreditCase{"FullHdFill", 1920, 1080, {0, 0, 1920, 1080}, 48, 14, false},
                      CreditCase{"UhdFill", 3840, 2160, {0, 0, 3840, 2160}, 100, 28, false},
                      CreditCase{"SecondMonitor", 2000, 600, {1000, 50, 1000, 500}, 40, 14, false},
                      CreditCase{"Narrow", 300, 600, {0, 0, 300, 600}, 30, 14, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WallpaperCreditNone, NothingForNoCreditOrATinyEarth) {
    const ImagePtr picture = createImage(64, 32, 24, 0);
    drawWallpaperCredit(*picture, {0, 0, 1920, 1080}, "");
    EXPECT_EQ(wallpaperCreditPlate({0, 0, 1920, 1080}, "").width, 0);
    drawWallpaperCredit(*picture, {0, 0, 64, 32}, kCredit);
    EXPECT_EQ(wallpaperCreditPlate({0, 0, 64, 32}, kCredit).width, 0);
    EXPECT_EQ(lightPixels(*picture, {0, 0, 64, 32}), 0);
}

} // namespace
} // namespace chronvale
