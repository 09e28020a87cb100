// resampleImage: sample positions and values of the 16.16 area-averaging resampler.

#include "render/earth_image.h"
#include "render_test_support.h"

#include <gtest/gtest.h>

namespace chronvale {
namespace {

using Grid = std::vector<std::vector<int>>;

ImagePtr greyImage(const Grid& grid) {
    return test::makePicture(static_cast<int>(grid[0].size()), static_cast<int>(grid.size()),
                             [&](int x, int r) {
                                 const auto v = static_cast<uint32_t>(grid[r][x]);
                                 return v << 16 | v << 8 | v;
                             });
}

// The grey levels of an image, failing when a pixel is not grey.
Grid greyLevels(const EarthImage& image) {
    Grid grid;
    for (int r = 0; r < image.height(); ++r) {
        grid.emplace_back();
        for (int x = 0; x < image.width(); ++x) {
            const uint32_t c = getPixel(&image, x, r);
            EXPECT_EQ(c, (c & 0xFF) * 0x010101u) << "pixel " << x << "," << r;
            grid.back().push_back(static_cast<int>(c & 0xFF));
        }
    }
    return grid;
}

TEST(ResampleImage, SameWidthStillInterpolates) {
    // Samples at x = 0, 0.75, 1.5, 2.25 (0, 49152, 98304, 147456 in 16.16).
    ImagePtr image = resampleImage(greyImage({{0, 100, 200, 40}}).get(), 4, 1);
    ASSERT_TRUE(image);
    EXPECT_EQ(greyLevels(*image), (Grid{{0, 75, 150, 159}}));
}

TEST(ResampleImage, DoubleSizeTakesOneSamplePerPixel) {
    // Samples at 0, 0.25, 0.5, 0.75 in both directions; each destination pixel is a
    // single bilinear sample with its integer truncations (124, not 125).
    ImagePtr image = resampleImage(greyImage({{0, 200}, {100, 100}}).get(), 4, 4);
    ASSERT_TRUE(image);
    EXPECT_EQ(
        greyLevels(*image),
        (Grid{{0, 50, 100, 150}, {25, 62, 100, 137}, {50, 75, 100, 124}, {75, 87, 100, 112}}));
}

TEST(ResampleImage, ShrinkingAveragesTheSamples) {
    ImagePtr wide = resampleImage(greyImage({{0, 100, 200, 40}}).get(), 2, 1);
    ASSERT_TRUE(wide);
    EXPECT_EQ(greyLevels(*wide), (Grid{{37, 154}}));

    // A destination row is written at its first sample row; the sample row after
    // it is carried into the next row written, and the last one has no row left.
    ImagePtr tall = resampleImage(greyImage({{0}, {100}, {200}, {40}}).get(), 1, 2);
    ASSERT_TRUE(tall);
    EXPECT_EQ(greyLevels(*tall), (Grid{{0}, {112}}));
}

TEST(ResampleImage, KeepsColoursAndChannelOrder) {
    ImagePtr flat = test::makePicture(3, 3, [](int, int) { return 0x123456u; });
    ImagePtr image = resampleImage(flat.get(), 7, 5);
    ASSERT_TRUE(image);
    for (int r = 0; r < 5; ++r) {
        for (int x = 0; x < 7; ++x) {
            ASSERT_EQ(getPixel(image.get(), x, r), 0x123456u) << x << "," << r;
        }
    }
    EXPECT_EQ(getPixel(flat.get(), 2, 2), 0x123456u);
}

TEST(ResampleImage, LastColumnsAndRowsAreNeverLeftBlack) {
    // 2999 * 65536 / 3000 is not whole, so the samples stop short of the last
    // destination column (and row); it repeats its neighbour.
    for (auto [w, h, toW, toH] : {std::array{3000, 2, 2999, 2}, std::array{2, 3000, 2, 2999}}) {
        ImagePtr flat = test::makePicture(w, h, [](int, int) { return 0x336699u; });
        ImagePtr image = resampleImage(flat.get(), toW, toH);
        ASSERT_TRUE(image);
        for (int r = 0; r < toH; ++r) {
            for (int x = 0; x < toW; ++x) {
                ASSERT_EQ(getPixel(image.get(), x, r), 0x336699u) << x << "," << r;
            }
        }
    }
}

TEST(ResampleImage, PaletteSourcesGoThroughTheirTable) {
    ImagePtr indexed = createImage(2, 1, 8, 2);
    indexed->colourTable()[1] = {0, 0, 255, 0}; // red
    setPixel(indexed.get(), 1, 0, 1);
    ImagePtr image = resampleImage(indexed.get(), 2, 1);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->bitsPerPixel(), 24);
    EXPECT_EQ(getPixel(image.get(), 0, 0), 0x000000u);
    EXPECT_EQ(getPixel(image.get(), 1, 0), 0x7F0000u);
    EXPECT_EQ(getPixel(indexed.get(), 1, 0), 1u);
}

TEST(ResampleImage, RefusesNoImageAndUnusableSizes) {
    ImagePtr image = createImage(2, 2, 24, 256);
    EXPECT_FALSE(resampleImage(nullptr, 2, 2));
    EXPECT_FALSE(resampleImage(image.get(), 0, 2));
    EXPECT_FALSE(resampleImage(image.get(), 2, -1));
    // A result that would fit, but whose working rows would not.
    EXPECT_FALSE(resampleImage(image.get(), 80'000'000, 1));
}

} // namespace
} // namespace chronvale
