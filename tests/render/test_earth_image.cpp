// EarthImage itself: creation, row order, pixels of every depth, cloning, and the
// BMP writer.

#include "render/earth_image.h"
#include "render_test_support.h"
#include "support/scratch.h"

#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

namespace chronvale {
namespace {

using test::ScratchDir;

TEST(EarthImage, CreateRefusesBadSizesAndDepths) {
    EXPECT_FALSE(createImage(0, 10, 24, 256));
    EXPECT_FALSE(createImage(10, -1, 24, 256));
    EXPECT_FALSE(createImage(10, 10, 2, 0));
    EXPECT_FALSE(createImage(10, 10, 0, 0));
    // 3 GB of pixels: refused before allocating.
    EXPECT_FALSE(createImage(32768, 32768, 24, 256));
    EXPECT_FALSE(createImage(INT32_MAX, INT32_MAX, 32, 0));
}

TEST(EarthImage, NewImageIsBlackWithRowZeroAtTheTop) {
    ImagePtr image = createImage(3, 4, 24, 256);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->stride(), 12);
    EXPECT_EQ(image->colourTable().size(), 256u);
    for (size_t i = 0; i < image->pixelBytes(); ++i) {
        ASSERT_EQ(image->pixels()[i], 0);
    }
    // Storage is bottom-up: the top row is the last one in memory.
    EXPECT_EQ(pixelAddress(image.get(), 0, 0), image->pixels() + 3 * 12);
    EXPECT_EQ(pixelAddress(image.get(), 2, 3), image->pixels() + 6);
    EXPECT_EQ(pixelAddress(image.get(), 3, 0), nullptr);
    EXPECT_EQ(pixelAddress(image.get(), 0, -1), nullptr);
    EXPECT_EQ(pixelAddress(image.get(), 0, 4), nullptr);
    EXPECT_EQ(pixelAddress(static_cast<EarthImage*>(nullptr), 0, 0), nullptr);
}

TEST(EarthImage, PaletteDepthsDefaultToAFullTable) {
    EXPECT_EQ(createImage(1, 1, 1, 0)->colourTable().size(), 2u);
    EXPECT_EQ(createImage(1, 1, 8, 0)->colourTable().size(), 256u);
    EXPECT_EQ(createImage(1, 1, 8, 5)->colourTable().size(), 5u);
    EXPECT_EQ(createImage(1, 1, 32, 0)->colourTable().size(), 0u);
}

TEST(EarthImage, SubBytePixelsAreHighBitsFirst) {
    ImagePtr mono = createImage(10, 1, 1, 0);
    setPixel(mono.get(), 0, 0, 1);
    setPixel(mono.get(), 3, 0, 1);
    setPixel(mono.get(), 9, 0, 1);
    EXPECT_EQ(mono->row(0)[0], 0x90);
    EXPECT_EQ(mono->row(0)[1], 0x40);
    EXPECT_EQ(getPixel(mono.get(), 3, 0), 1u);
    EXPECT_EQ(getPixel(mono.get(), 4, 0), 0u);
    setPixel(mono.get(), 0, 0, 0);
    EXPECT_EQ(mono->row(0)[0], 0x10);

    ImagePtr nibbles = createImage(3, 1, 4, 0);
    setPixel(nibbles.get(), 0, 0, 0xA);
    setPixel(nibbles.get(), 1, 0, 0x5);
    setPixel(nibbles.get(), 2, 0, 0x1F); // only the low four bits are kept
    EXPECT_EQ(nibbles->row(0)[0], 0xA5);
    EXPECT_EQ(nibbles->row(0)[1], 0xF0);
    EXPECT_EQ(getPixel(nibbles.get(), 0, 0), 0xAu);
    EXPECT_EQ(getPixel(nibbles.get(), 1, 0), 0x5u);
}

TEST(EarthImage, WholeBytePixelsKeepTheirLayout) {
    ImagePtr grey = createImage(2, 2, 8, 0);
    setPixel(grey.get(), 1, 1, 0x1234);
    EXPECT_EQ(getPixel(grey.get(), 1, 1), 0x34u);

    ImagePtr high = createImage(2, 2, 16, 0);
    setPixel(high.get(), 1, 0, 0x7C1F);
    EXPECT_EQ(pixelAddress(high.get(), 1, 0)[0], 0x1F);
    EXPECT_EQ(pixelAddress(high.get(), 1, 0)[1], 0x7C);
    EXPECT_EQ(getPixel(high.get(), 1, 0), 0x7C1Fu);

    ImagePtr rgb = createImage(2, 2, 24, 256);
    setPixel(rgb.get(), 1, 1, 0x112233);
    const uint8_t* p = pixelAddress(rgb.get(), 1, 1);
    EXPECT_EQ(p[0], 0x33); // blue first
    EXPECT_EQ(p[1], 0x22);
    EXPECT_EQ(p[2], 0x11);
    EXPECT_EQ(getPixel(rgb.get(), 1, 1), 0x112233u);
    EXPECT_EQ(getPixel(rgb.get(), 0, 1), 0u);

    ImagePtr wide = createImage(2, 2, 32, 0);
    setPixel(wide.get(), 0, 1, 0xAABBCCDD);
    EXPECT_EQ(getPixel(wide.get(), 0, 1), 0xAABBCCDDu);
    EXPECT_EQ(pixelAddress(wide.get(), 0, 1)[0], 0xDD);

    // Outside the picture nothing is read or written.
    setPixel(rgb.get(), 2, 0, 0xFFFFFF);
    EXPECT_EQ(getPixel(rgb.get(), -1, 0), 0u);
}

TEST(EarthImage, ConversionUsesTableAndMasks) {
    ImagePtr indexed = createImage(2, 1, 8, 2);
    indexed->colourTable()[1] = {0x30, 0x20, 0x10, 0}; // blue, green, red
    setPixel(indexed.get(), 0, 0, 1);
    setPixel(indexed.get(), 1, 0, 7); // beyond the table: black
    ImagePtr fromIndexed = convertTo24Bit(indexed.get());
    EXPECT_EQ(getPixel(fromIndexed.get(), 0, 0), 0x102030u);
    EXPECT_EQ(getPixel(fromIndexed.get(), 1, 0), 0u);

    ImagePtr high = createImage(1, 1, 16, 0);
    setPixel(high.get(), 0, 0, 0x4210); // 16 in each 5-bit channel
    EXPECT_EQ(getPixel(convertTo24Bit(high.get()).get(), 0, 0), 0x808080u);

    ImagePtr wide = createImage(1, 1, 32, 0);
    wide->masks() = bitFieldMasks(0x3FF00000, 0x000FFC00, 0x000003FF); // 10-10-10
    setPixel(wide.get(), 0, 0, 0x3FF00000 | (0x200u << 10) | 0x004);
    EXPECT_EQ(getPixel(convertTo24Bit(wide.get()).get(), 0, 0), 0xFF8001u);
}

TEST(EarthImage, BitFieldShiftsFollowTheMasks) {
    const ChannelMasks m = bitFieldMasks(0xF800, 0x07E0, 0x001F);
    EXPECT_EQ(m.rightShift, (std::array<int, 3>{11, 5, 0}));
    EXPECT_EQ(m.leftShift, (std::array<int, 3>{3, 2, 3}));
    EXPECT_TRUE(m.bitFields);
}

TEST(EarthImage, CloneIsADeepCopy) {
    ImagePtr image = createImage(5, 3, 16, 4);
    image->masks() = bitFieldMasks(0xF800, 0x07E0, 0x001F);
    image->colourTable()[2] = {1, 2, 3, 0};
    setPixel(image.get(), 4, 2, 0xBEEF);
    ImagePtr copy = cloneImage(image.get());
    ASSERT_TRUE(copy);
    EXPECT_EQ(getPixel(copy.get(), 4, 2), 0xBEEFu);
    EXPECT_EQ(copy->colourCount(), 4u);
    EXPECT_EQ(copy->colourTable(), image->colourTable());
    EXPECT_EQ(copy->masks().mask, image->masks().mask);
    setPixel(copy.get(), 4, 2, 0);
    EXPECT_EQ(getPixel(image.get(), 4, 2), 0xBEEFu);
    EXPECT_NE(pixelAddress(copy.get(), 0, 0), pixelAddress(image.get(), 0, 0));
    EXPECT_FALSE(cloneImage(nullptr));
}

uint32_t le32(const test::Bytes& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t{b[at + 3]} << 24;
}

TEST(SaveBmpFile, WritesTheMapSizedFileAndReadsItBack) {
    ScratchDir dir;
    ImagePtr image = test::makePicture(1024, 512, [](int x, int r) {
        return static_cast<uint32_t>((x * 7) & 0xFF) << 16 | ((r * 3) & 0xFF) << 8 |
               ((x ^ r) & 0xFF);
    });
    const std::string path = dir.file("earth_day.bmp");
    ASSERT_TRUE(saveBmpFile(image.get(), path));
    const test::Bytes file = test::readFile(path);
    ASSERT_EQ(file.size(), 1573942u);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    EXPECT_EQ(le32(file, 2), 1573942u);
    EXPECT_EQ(le32(file, 10), 1078u);
    EXPECT_EQ(le32(file, 14), 40u);
    EXPECT_EQ(le32(file, 22), 512u); // positive height: bottom-up
    EXPECT_EQ(le32(file, 34), 1572864u);
    EXPECT_EQ(le32(file, 46), 256u);
    // The bottom row of the picture comes first.
    EXPECT_EQ(file[1078 + 2], getPixel(image.get(), 0, 511) >> 16);

    ImagePtr back = loadImage(path);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->width(), 1024);
    EXPECT_EQ(back->height(), 512);
    EXPECT_EQ(back->bitsPerPixel(), 24);
    EXPECT_EQ(back->colourCount(), 256u);
    EXPECT_TRUE(std::equal(back->pixels(), back->pixels() + back->pixelBytes(), image->pixels()));
}

TEST(SaveBmpFile, PaletteAndBitFieldImagesReadBackInColour) {
    ScratchDir dir;
    ImagePtr indexed = createImage(3, 2, 4, 0);
    indexed->colourTable()[9] = {10, 20, 30, 0};
    setPixel(indexed.get(), 2, 1, 9);
    ImagePtr high = createImage(3, 2, 16, 0);
    high->masks() = bitFieldMasks(0xF800, 0x07E0, 0x001F);
    setPixel(high.get(), 1, 0, 0x07E0);
    setPixel(high.get(), 2, 1, 0xF81F);

    for (EarthImage* image : {indexed.get(), high.get()}) {
        const std::string path = dir.file("p" + std::to_string(image->bitsPerPixel()) + ".bmp");
        ASSERT_TRUE(saveBmpFile(image, path));
        ImagePtr back = loadImage(path);
        ImagePtr expected = convertTo24Bit(image);
        ASSERT_TRUE(back);
        EXPECT_TRUE(
            std::equal(back->pixels(), back->pixels() + back->pixelBytes(), expected->pixels()))
            << image->bitsPerPixel() << "-bit image";
    }
    EXPECT_EQ(getPixel(loadImage(dir.file("p16.bmp")).get(), 1, 0), 0x00FC00u);
}

TEST(SaveBmpFile, ReplacesAnOldFileAndLeavesNoTemporaryBehind) {
    ScratchDir dir;
    const std::string path = dir.file("Wallpaper.bmp");
    test::writeFile(path, {'o', 'l', 'd'});
    ImagePtr image = createImage(2, 2, 24, 256);
    ASSERT_TRUE(saveBmpFile(image.get(), path));
    EXPECT_EQ(test::readFile(path).size(), 14u + 40 + 1024 + 16);
    size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        ++entries;
    }
    EXPECT_EQ(entries, 1u);

    EXPECT_FALSE(saveBmpFile(image.get(), dir.file("missing/folder.bmp")));
    EXPECT_FALSE(saveBmpFile(nullptr, path));
}

// Runs in a child process: a file-size limit makes the writes fail partway (the
// disk-full case). Exits with 0 when the save failed, the old file survived and
// no temporary was left.
[[noreturn]] void saveUnderFileSizeLimit(const EarthImage& image, const ScratchDir& dir,
                                         const std::string& path) {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{4096, 4096};
    setrlimit(RLIMIT_FSIZE, &limit);
    const bool saved = saveBmpFile(&image, path);
    size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        ++entries;
    }
    std::exit(!saved && entries == 1 && test::readFile(path).size() == 3 ? 0 : 1);
}

TEST(SaveBmpFileDeathTest, ShortWriteKeepsTheOldFile) {
    ScratchDir dir;
    const std::string path = dir.file("Wallpaper.bmp");
    test::writeFile(path, {'o', 'l', 'd'});
    ImagePtr image = createImage(1024, 512, 24, 256);
    EXPECT_EXIT(saveUnderFileSizeLimit(*image, dir, path), ::testing::ExitedWithCode(0), "");
}

} // namespace
} // namespace chronvale
