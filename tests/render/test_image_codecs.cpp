// PNG, JPEG and GIF decoding, the choice of decoder by extension, and damaged files.

#include "render/earth_image.h"
#include "render_test_support.h"
#include "support/scratch.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <png.h>

namespace chronvale {
namespace {

using test::Bytes;

uint32_t colourAt(const ImagePtr& image, int x, int r) {
    return getPixel(image.get(), x, r);
}

// Each channel of two 0xRRGGBB colours within the tolerance.
::testing::AssertionResult closeColours(uint32_t actual, uint32_t expected, int tolerance) {
    for (int shift : {16, 8, 0}) {
        const int a = static_cast<int>((actual >> shift) & 0xFF);
        const int e = static_cast<int>((expected >> shift) & 0xFF);
        if (std::abs(a - e) > tolerance) {
            return ::testing::AssertionFailure()
                   << std::hex << "0x" << actual << " is not within " << std::dec << tolerance
                   << " of 0x" << std::hex << expected;
        }
    }
    return ::testing::AssertionSuccess();
}

Bytes firstHalf(const Bytes& bytes) {
    return Bytes(bytes.begin(), bytes.begin() + bytes.size() / 2);
}

TEST(PngDecoder, PaletteImagesExpandToRgb) {
    test::PngFields f;
    f.width = 3;
    f.height = 1;
    f.bitDepth = 2;
    f.colourType = PNG_COLOR_TYPE_PALETTE;
    f.palette = {{255, 0, 0}, {0, 128, 0}, {1, 2, 3}};
    f.rows = {{0b00011000}}; // indices 0, 1, 2
    ImagePtr image = decodeImage(test::makePng(f), ImageKind::Png);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->bitsPerPixel(), 24);
    EXPECT_EQ(image->colourCount(), 256u);
    EXPECT_EQ(colourAt(image, 0, 0), 0xFF0000u);
    EXPECT_EQ(colourAt(image, 1, 0), 0x008000u);
    EXPECT_EQ(colourAt(image, 2, 0), 0x010203u);

    // A transparency chunk adds alpha, which is then dropped: colours stay as stored.
    f.transparency = {0, 255, 255};
    image = decodeImage(test::makePng(f), ImageKind::Png);
    ASSERT_TRUE(image);
    EXPECT_EQ(colourAt(image, 0, 0), 0xFF0000u);
}

TEST(PngDecoder, GreyDepthsBecomeEightBitRgb) {
    test::PngFields grey16;
    grey16.width = 2;
    grey16.height = 2;
    grey16.bitDepth = 16;
    grey16.colourType = PNG_COLOR_TYPE_GRAY;
    grey16.rows = {{0x12, 0x34, 0xFF, 0xFF}, {0x00, 0xFF, 0x80, 0x00}}; // big-endian samples
    ImagePtr image = decodeImage(test::makePng(grey16), ImageKind::Png);
    ASSERT_TRUE(image);
    EXPECT_EQ(colourAt(image, 0, 0), 0x121212u);
    EXPECT_EQ(colourAt(image, 1, 0), 0xFFFFFFu);
    EXPECT_EQ(colourAt(image, 0, 1), 0x000000u); // the low byte is cut, not rounded
    EXPECT_EQ(colourAt(image, 1, 1), 0x808080u);

    test::PngFields grey1;

    grey1.width = 3;

    grey1.height = 1;

    grey1.bitDepth = 1;

    grey1.colourType = PNG_COLOR_TYPE_GRAY;
    grey1.rows = {{0b10100000}};
    image = decodeImage(test::makePng(grey1), ImageKind::Png);
    ASSERT_TRUE(image);
    EXPECT_EQ(colourAt(image, 0, 0), 0xFFFFFFu);
    EXPECT_EQ(colourAt(image, 1, 0), 0x000000u);
    EXPECT_EQ(colourAt(image, 2, 0), 0xFFFFFFu);
}

TEST(PngDecoder, AlphaIsDroppedUnblended) {
    test::PngFields rgba;
    rgba.width = 2;
    rgba.height = 1;
    rgba.bitDepth = 8;
    rgba.colourType = PNG_COLOR_TYPE_RGBA;
    rgba.rows = {{200, 100, 50, 0, 10, 20, 30, 128}};
    ImagePtr image = decodeImage(test::makePng(rgba), ImageKind::Png);
    ASSERT_TRUE(image);
    EXPECT_EQ(colourAt(image, 0, 0), 0xC86432u);
    EXPECT_EQ(colourAt(image, 1, 0), 0x0A141Eu);
}

TEST(PngDecoder, StatedGammaIsCorrectedForALinearDisplay) {
    test::PngFields grey;
    grey.width = 1;
    grey.height = 1;
    grey.bitDepth = 8;
    grey.colourType = PNG_COLOR_TYPE_GRAY;
    grey.rows = {{128}};
    ImagePtr plain = decodeImage(test::makePng(grey), ImageKind::Png);
    ASSERT_TRUE(plain);
    EXPECT_EQ(colourAt(plain, 0, 0), 0x808080u);

    // A file gamma of 1/2.2 on a display gamma of 1.0: 255 * (128 / 255)^2.2 = 56.
    grey.gamma = 0.45455;
    ImagePtr corrected = decodeImage(test::makePng(grey), ImageKind::Png);
    ASSERT_TRUE(corrected);
    EXPECT_TRUE(closeColours(colourAt(corrected, 0, 0), 0x383838, 1));
}

TEST(PngDecoder, DamagedFilesYieldNone) {
    test::PngFields rgb;
    rgb.width = 64;
    rgb.height = 64;
    rgb.bitDepth = 8;
    rgb.colourType = PNG_COLOR_TYPE_RGB;
    for (uint32_t r = 0; r < 64; ++r) {
        Bytes row;
        for (uint32_t x = 0; x < 64 * 3; ++x) {
            row.push_back(static_cast<uint8_t>((x * 37 + r * 11) ^ (x >> 2)));
        }
        rgb.rows.push_back(row);
    }
    const Bytes whole = test::makePng(rgb);
    ASSERT_TRUE(decodeImage(whole, ImageKind::Png));
    EXPECT_FALSE(decodeImage(firstHalf(whole), ImageKind::Png));
    Bytes badSignature = whole;
    badSignature[1] = 'Q';
    EXPECT_FALSE(decodeImage(badSignature, ImageKind::Png));
    Bytes badCrc = whole;
    badCrc[30] ^= 0xFF; // inside the header chunk's CRC
    EXPECT_FALSE(decodeImage(badCrc, ImageKind::Png));
}

TEST(JpegDecoder, DecodesColoursAndRowOrder) {
    // Top half red, bottom half blue, a green square on the left of the top half.
    ImagePtr source = test::makePicture(64, 32, [](int x, int r) -> uint32_t {
        if (r < 16) {
            return x < 16 ? 0x00C000 : 0xE01010;
        }
        return 0x1020D0;
    });
    ImagePtr image = decodeImage(test::makeJpeg(*source), ImageKind::Jpeg);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width(), 64);
    EXPECT_EQ(image->height(), 32);
    EXPECT_EQ(image->bitsPerPixel(), 24);
    EXPECT_EQ(image->colourCount(), 256u);
    EXPECT_TRUE(closeColours(colourAt(image, 8, 8), 0x00C000, 8));
    EXPECT_TRUE(closeColours(colourAt(image, 40, 6), 0xE01010, 8));
    EXPECT_TRUE(closeColours(colourAt(image, 40, 26), 0x1020D0, 8));
}

TEST(JpegDecoder, DamagedFilesYieldNone) {
    ImagePtr source = test::makePicture(128, 64, [](int x, int r) {
        return static_cast<uint32_t>(x * 2) << 16 | static_cast<uint32_t>(r * 4) << 8 | 0x40;
    });
    const Bytes whole = test::makeJpeg(*source);
    ASSERT_TRUE(decodeImage(whole, ImageKind::Jpeg));
    EXPECT_FALSE(decodeImage(firstHalf(whole), ImageKind::Jpeg));
    EXPECT_FALSE(decodeImage(Bytes(whole.begin(), whole.begin() + 20), ImageKind::Jpeg));
    EXPECT_FALSE(decodeImage(Bytes{'n', 'o', 't'}, ImageKind::Jpeg));
    EXPECT_FALSE(decodeImage({}, ImageKind::Jpeg));
}

TEST(GifDecoder, FirstFrameOnAWhiteCanvas) {
    test::GifFields f;
    f.screenWidth = 4;
    f.screenHeight = 3;
    f.transparentIndex = 1;
    f.left = 1;
    f.top = 1;
    f.width = 2;
    f.height = 2;
    f.globalColours = {{200, 0, 0}, {0, 0, 0}, {0, 90, 0}, {0, 0, 70}};
    f.rows = {{0, 1}, {2, 3}};
    ImagePtr image = decodeImage(test::makeGif(f), ImageKind::Gif);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width(), 4);
    EXPECT_EQ(image->height(), 3);
    const uint32_t w = 0xFFFFFF;
    const std::vector<std::vector<uint32_t>> expected = {
        {w, w, w, w}, {w, 0xC80000, w, w}, {w, 0x005A00, 0x000046, w}};
    for (int r = 0; r < 3; ++r) {
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(colourAt(image, x, r), expected[r][x]) << "pixel " << x << "," << r;
        }
    }
}

TEST(GifDecoder, LocalColoursAndInterlacedRows) {
    test::GifFields f;
    f.screenWidth = 1;
    f.screenHeight = 10;
    f.width = 1;
    f.height = 10;
    f.interlace = true;
    f.globalColours = {{0, 0, 0}, {0, 0, 0}};
    for (uint8_t i = 0; i < 16; ++i) {
        f.localColours.push_back({static_cast<uint8_t>(i * 10), 0, 0});
    }
    for (uint8_t r = 0; r < 10; ++r) {
        f.rows.push_back({r});
    }
    ImagePtr image = decodeImage(test::makeGif(f), ImageKind::Gif);
    ASSERT_TRUE(image);
    for (int r = 0; r < 10; ++r) {
        EXPECT_EQ(colourAt(image, 0, r), static_cast<uint32_t>(r * 10) << 16) << "row " << r;
    }
}

TEST(GifDecoder, DamagedFilesYieldNone) {
    test::GifFields f;
    f.screenWidth = 40;
    f.screenHeight = 40;
    f.width = 40;
    f.height = 40;
    f.globalColours.resize(256);
    for (int i = 0; i < 256; ++i) {
        f.globalColours[static_cast<size_t>(i)] = {static_cast<uint8_t>(i), 0, 0};
    }
    for (int r = 0; r < 40; ++r) {
        Bytes row;
        for (int x = 0; x < 40; ++x) {
            row.push_back(static_cast<uint8_t>(x * 7 + r * 13));
        }
        f.rows.push_back(row);
    }
    const Bytes whole = test::makeGif(f);
    ASSERT_TRUE(decodeImage(whole, ImageKind::Gif));
    EXPECT_FALSE(decodeImage(firstHalf(whole), ImageKind::Gif));
    EXPECT_FALSE(decodeImage(Bytes{'G', 'I', 'F', '8', '9', 'a'}, ImageKind::Gif));

    // A 1 x 1 file written byte by byte, with and without its colour table: without
    // one there is nothing to draw with.
    const auto tinyGif = [](bool withColours) {
        Bytes gif = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0};
        gif.push_back(withColours ? 0x80 : 0x00); // a two-entry global table, or none
        gif.insert(gif.end(), {0, 0});
        if (withColours) {
            gif.insert(gif.end(), {10, 20, 30, 40, 50, 60});
        }
        gif.insert(gif.end(), {0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0x00});
        // Minimum code size 2; the codes clear, 0, end in 3 bits each.
        gif.insert(gif.end(), {2, 2, 0x44, 0x01, 0, 0x3B});
        return gif;
    };
    ImagePtr tiny = decodeImage(tinyGif(true), ImageKind::Gif);
    ASSERT_TRUE(tiny);
    EXPECT_EQ(colourAt(tiny, 0, 0), 0x0A141Eu);
    EXPECT_FALSE(decodeImage(tinyGif(false), ImageKind::Gif));
}

TEST(LoadImage, ExtensionChoosesTheDecoderWithoutRegardToCase) {
    EXPECT_EQ(imageKindOfPath("images/earth_day.bmp"), ImageKind::Bmp);
    EXPECT_EQ(imageKindOfPath("cache/200401011200.JPG"), ImageKind::Jpeg);
    EXPECT_EQ(imageKindOfPath("a.JpEg"), ImageKind::Jpeg);
    EXPECT_EQ(imageKindOfPath("a.Gif"), ImageKind::Gif);
    EXPECT_EQ(imageKindOfPath("a.png"), ImageKind::Png);
    EXPECT_EQ(imageKindOfPath("a.tif"), std::nullopt);
    EXPECT_EQ(imageKindOfPath("a.bmp.txt"), std::nullopt);
    EXPECT_EQ(imageKindOfPath("folder.bmp/picture"), std::nullopt);
    EXPECT_EQ(imageKindOfPath("bmp"), std::nullopt);

    test::ScratchDir dir;
    ImagePtr picture =
        test::makePicture(8, 8, [](int x, int) { return x < 4 ? 0xFF0000u : 0x0000FFu; });
    ASSERT_TRUE(saveBmpFile(picture.get(), dir.file("map.Bmp")));
    test::writeFile(dir.file("map.tif"), test::readFile(dir.file("map.Bmp")));
    test::writeFile(dir.file("cloud.JPG"), test::makeJpeg(*picture));

    ImagePtr bmp = loadImage(dir.file("map.Bmp"));
    ASSERT_TRUE(bmp);
    EXPECT_EQ(colourAt(bmp, 5, 2), 0x0000FFu);
    ImagePtr jpeg = loadImage(dir.file("cloud.JPG"));
    ASSERT_TRUE(jpeg);
    EXPECT_TRUE(closeColours(colourAt(jpeg, 0, 0), 0xFF0000, 8));
    EXPECT_FALSE(loadImage(dir.file("map.tif")));
    EXPECT_FALSE(loadImage(dir.file("absent.bmp")));
    // The extension decides, not the contents.
    test::writeFile(dir.file("mislabelled.png"), test::readFile(dir.file("cloud.JPG")));
    EXPECT_FALSE(loadImage(dir.file("mislabelled.png")));
}

} // namespace
} // namespace chronvale
