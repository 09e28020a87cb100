// The wallpaper files: the pictures painted into their places, written as JPEG
// under alternating letters so that a desktop that caches by name shows each
// renewal, and recognised as ours by their whole path only.

#include "render/wallpaper_image.h"
#include "render/wallpaper_picture.h"
#include "support/scratch.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace chronvale {
namespace {

namespace fs = std::filesystem;
using test::ScratchDir;

// A whole-earth map whose colour says where it is: red grows eastwards from
// 180° W, green southwards from the north pole.
ImagePtr gradientMap(int width = 360, int height = 180) {
    ImagePtr image = createImage(width, height, 24, 256);
    for (int r = 0; r < height; ++r) {
        for (int x = 0; x < width; ++x) {
            const uint32_t red = static_cast<uint32_t>(x * 255 / (width - 1));
            const uint32_t green = static_cast<uint32_t>(r * 255 / (height - 1));
            setPixel(image.get(), x, r, (red << 16) | (green << 8));
        }
    }
    return image;
}

std::vector<ImagePtr> images(std::initializer_list<std::pair<int, int>> sizes) {
    std::vector<ImagePtr> all;
    for (const auto& [w, h] : sizes) {
        all.push_back(gradientMap(w, h));
    }
    return all;
}

struct PaintCase {
    const char* what;
    WallpaperPlacement placement;
    double centre;
    int x;        // a column of the 1920 x 1080 picture
    int r;        // a row
    uint32_t red; // its colour, ±4; a dark bar is 0, 0
    uint32_t green;
};

class Painted : public ::testing::TestWithParam<PaintCase> {};

TEST_P(Painted, TheRightPartOfTheEarthLandsInEachPixel) {
    const PaintCase& c = GetParam();
    const ImagePtr map = gradientMap();
    const WallpaperLayout layout =
        layoutWallpaper({{0, 0, 1920, 1080, {}}}, {c.placement, c.centre, 0}, false);
    const std::vector<ImagePtr> out = renderWallpaperImages(
        layout, [&map](const MapRegion& region, EarthImage& picture, const PixelRect& rect) {
            paintFromMap(*map, region, picture, rect);
            return true;
        });
    ASSERT_EQ(out.size(), 1u);
    ASSERT_EQ(out[0]->width(), 1920);
    ASSERT_EQ(out[0]->height(), 1080);
    const uint32_t pixel = getPixel(out[0].get(), c.x, c.r);
    EXPECT_NEAR(static_cast<int>(pixel >> 16), static_cast<int>(c.red), 4) << c.what;
    EXPECT_NEAR(static_cast<int>((pixel >> 8) & 0xFF), static_cast<int>(c.green), 4) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Table, Painted,
    ::testing::Values(
        PaintCase{"Fit: the bar above the earth", WallpaperPlacement::Fit, 0, 960, 30, 0, 0},
        PaintCase{"Fit: the bar below", WallpaperPlacement::Fit, 0, 960, 1050, 0, 0},
        PaintCase{"Fit: the north-west corner", WallpaperPlacement::Fit, 0, 4, 61, 1, 1},
        PaintCase{"Fit: Greenwich on the equator", WallpaperPlacement::Fit, 0, 960, 540, 128, 128},
        PaintCase{"Fit: the south-east corner", WallpaperPlacement::Fit, 0, 1915, 1018, 254, 254},
        PaintCase{"Fit, date line centred: west edge is Greenwich", WallpaperPlacement::Fit, 180, 1,
                  540, 128, 128},
        PaintCase{"Fill: no bar, the north pole on top", WallpaperPlacement::Fill, 0, 960, 0, 128,
                  0},
        PaintCase{"Fill: the edge cut at 160° W", WallpaperPlacement::Fill, 0, 0, 540, 14, 128}));

TEST(WallpaperFiles, EachRenewalTakesTheOtherLetterAndRemovesTheOldSet) {
    ScratchDir dir;
    const std::string folder = dir.path().string();
    const WallpaperWrite first = writeWallpaperFiles(images({{64, 32}, {48, 32}}), 2, folder);
    ASSERT_TRUE(first.written);
    ASSERT_EQ(first.paths.size(), 2u);
    EXPECT_EQ(fs::path(first.paths[0]).filename(), "Wallpaper-a-1.jpg");
    EXPECT_EQ(fs::path(first.paths[1]).filename(), "Wallpaper-a-2.jpg");
    const WallpaperWrite second = writeWallpaperFiles(images({{64, 32}}), 1, folder);
    ASSERT_TRUE(second.written);
    EXPECT_EQ(fs::path(second.paths[0]).filename(), "Wallpaper-b.jpg");
    EXPECT_FALSE(fs::exists(first.paths[0]));
    EXPECT_FALSE(fs::exists(first.paths[1]));
    const WallpaperWrite third = writeWallpaperFiles(images({{64, 32}}), 1, folder);
    EXPECT_EQ(fs::path(third.paths[0]).filename(), "Wallpaper-a.jpg");
    EXPECT_FALSE(fs::exists(second.paths[0]));
    // Each file holds its own picture at its own size.
    const ImagePtr back = loadImage(third.paths[0]);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->width(), 64);
    EXPECT_EQ(back->height(), 32);
}

TEST(WallpaperFiles, AFailedWriteLeavesNoNewFileButNamesThePaths) {
    ScratchDir dir;
    const std::string folder = dir.path().string();
    const WallpaperWrite shown = writeWallpaperFiles(images({{64, 32}}), 1, folder);
    ASSERT_TRUE(shown.written);
    // One of two images missing: nothing of the new set stays; the shown file stays.
    std::vector<ImagePtr> partial = images({{64, 32}});
    partial.push_back(nullptr);
    const WallpaperWrite failed = writeWallpaperFiles(partial, 2, folder);
    EXPECT_FALSE(failed.written);
    ASSERT_EQ(failed.paths.size(), 2u);
    EXPECT_EQ(fs::path(failed.paths[0]).filename(), "Wallpaper-b-1.jpg");
    EXPECT_FALSE(fs::exists(failed.paths[0]));
    EXPECT_FALSE(fs::exists(failed.paths[1]));
    EXPECT_TRUE(fs::exists(shown.paths[0]));
    EXPECT_FALSE(writeWallpaperFiles(images({{64, 32}}), 1, folder + "/missing/x").written);
}

struct OwnCase {
    std::string path; // relative to the folder when it starts without "/"
    bool ours;
};

class OwnFile : public ::testing::TestWithParam<OwnCase> {};

TEST_P(OwnFile, IsRecognisedByItsWholePath) {
    ScratchDir dir;
    const std::string folder = dir.path().string();
    const OwnCase& c = GetParam();
    const std::string path = c.path.front() == '/' ? c.path : folder + "/" + c.path;
    EXPECT_EQ(isOwnWallpaperFile(path, folder), c.ours) << path;
}

INSTANTIATE_TEST_SUITE_P(
    Table, OwnFile,
    ::testing::Values(OwnCase{"Wallpaper-a.jpg", true}, OwnCase{"Wallpaper-b-3.jpg", true},
                      OwnCase{"Wallpaper-a.bmp", true}, OwnCase{"./Wallpaper-b.jpg", true},
                      OwnCase{"Wallpaper-c.jpg", false}, OwnCase{"My-Wallpaper-a.bmp", false},
                      OwnCase{"sub/Wallpaper-a.bmp", false},
                      OwnCase{"/home/u/Pictures/Wallpaper-a.bmp", false},
                      OwnCase{"Wallpaper-a-17.jpg", false}, OwnCase{"/", false}));

} // namespace
} // namespace chronvale
