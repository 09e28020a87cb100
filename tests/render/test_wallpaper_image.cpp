// The wallpaper file: its size for the desktop's width, and the two names it
// alternates between so that a desktop that caches by name shows each renewal.

#include "render/wallpaper_image.h"
#include "support/scratch.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace chronvale {
namespace {

namespace fs = std::filesystem;
using testing::ScratchDir;

// Like the lit map, which keeps the day image's 256-entry colour table.
ImagePtr litMap(int width = 1024, int height = 512) {
    ImagePtr image = createImage(width, height, 24, 256);
    for (int r = 0; r < height; ++r) {
        for (int x = 0; x < width; ++x) {
            setPixel(image.get(), x, r, static_cast<uint32_t>(x * 7 + r * 3) & 0xFFFFFFu);
        }
    }
    return image;
}

TEST(WallpaperImage, SizeFollowsTheDesktopWidth) {
    // As wide as the desktop: the map unscaled.
    EXPECT_EQ(wallpaperImageSize(1024, 512, 1920, 1920), (ImageSize{1024, 512}));
    // Else the height is the map's width over the desktop's times the wallpaper width.
    EXPECT_EQ(wallpaperImageSize(1024, 512, 1000, 1280), (ImageSize{1000, 800}));
    EXPECT_EQ(wallpaperImageSize(1024, 512, 3840, 1920), (ImageSize{3840, 2048}));
    EXPECT_EQ(wallpaperImageSize(1024, 512, 333, 1000), (ImageSize{333, 340})); // 340.99 down
    // No image can be made.
    EXPECT_FALSE(wallpaperImageSize(1024, 512, 0, 1920));
    EXPECT_FALSE(wallpaperImageSize(1024, 512, -5, 1920));
    EXPECT_FALSE(wallpaperImageSize(1024, 512, 800, 0));
    EXPECT_FALSE(wallpaperImageSize(1024, 512, 16384, 1)); // taller than a BMP can be here
}

TEST(WallpaperImage, WritesTheFileSizesOfTheDesktop) {
    ScratchDir dir;
    const ImagePtr map = litMap();
    const WallpaperWrite unscaled = writeWallpaperFile(map.get(), 1920, 1920, dir.path().string());
    ASSERT_TRUE(unscaled.written);
    EXPECT_EQ(fs::file_size(unscaled.path), 1573942u); // 54 + 256 * 4 + 1024 * 3 * 512 bytes

    const WallpaperWrite scaled = writeWallpaperFile(map.get(), 1000, 1280, dir.path().string());
    ASSERT_TRUE(scaled.written);
    const ImagePtr back = loadImage(scaled.path);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->width(), 1000);
    EXPECT_EQ(back->height(), 800);
}

TEST(WallpaperImage, EachRenewalTakesTheOtherNameAndRemovesTheOld) {
    ScratchDir dir;
    const std::string folder = dir.path().string();
    const ImagePtr map = litMap(64, 32);
    const WallpaperWrite first = writeWallpaperFile(map.get(), 64, 64, folder);
    const WallpaperWrite second = writeWallpaperFile(map.get(), 64, 64, folder);
    const WallpaperWrite third = writeWallpaperFile(map.get(), 64, 64, folder);
    EXPECT_EQ(fs::path(first.path).filename(), kWallpaperNameA);
    EXPECT_EQ(fs::path(second.path).filename(), kWallpaperNameB);
    EXPECT_EQ(fs::path(third.path).filename(), kWallpaperNameA);
    EXPECT_TRUE(fs::exists(third.path));
    EXPECT_FALSE(fs::exists(second.path));
}

TEST(WallpaperImage, AWidthThatMakesNoImageWritesTheMapUnscaled) {
    ScratchDir dir;
    const ImagePtr map = litMap(64, 32);
    for (const int width : {0, -3}) {
        const WallpaperWrite write =
            writeWallpaperFile(map.get(), width, 1280, dir.path().string());
        ASSERT_TRUE(write.written);
        const ImagePtr back = loadImage(write.path);
        ASSERT_TRUE(back);
        EXPECT_EQ(back->width(), 64);
        EXPECT_EQ(back->height(), 32);
    }
}

TEST(WallpaperImage, AFailedWriteLeavesNoFileButNamesThePath) {
    ScratchDir dir;
    const std::string folder = dir.path().string();
    const ImagePtr map = litMap(64, 32);
    const WallpaperWrite shown = writeWallpaperFile(map.get(), 64, 64, folder);
    ASSERT_TRUE(shown.written);
    // No map at all: the next name is given and stays empty; the shown file stays.
    const WallpaperWrite failed = writeWallpaperFile(nullptr, 64, 64, folder);
    EXPECT_FALSE(failed.written);
    EXPECT_EQ(fs::path(failed.path).filename(), kWallpaperNameB);
    EXPECT_FALSE(fs::exists(failed.path));
    EXPECT_TRUE(fs::exists(shown.path));
    // A folder that cannot be written.
    const WallpaperWrite nowhere = writeWallpaperFile(map.get(), 64, 64, folder + "/missing/x");
    EXPECT_FALSE(nowhere.written);
}

} // namespace
} // namespace chronvale
