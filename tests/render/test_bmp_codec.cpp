// The BMP reader: every depth, both row orders, colour tables, bit fields, the
// old 12-byte header, and headers that lie.

#include "render/earth_image.h"
#include "render_test_support.h"

#include <functional>
#include <gtest/gtest.h>

namespace chronvale {
namespace {

using test::BmpFields;
using test::Bytes;
using test::makeBmp;

ImagePtr decodeBmp(const Bytes& bytes) {
    return decodeImage(bytes, ImageKind::Bmp);
}

// The picture's rows as 0xRRGGBB values, row 0 first.
std::vector<std::vector<uint32_t>> colours(const EarthImage& image) {
    std::vector<std::vector<uint32_t>> rows;
    for (int r = 0; r < image.height(); ++r) {
        rows.emplace_back();
        for (int x = 0; x < image.width(); ++x) {
            rows.back().push_back(getPixel(&image, x, r));
        }
    }
    return rows;
}

using Rows = std::vector<std::vector<uint32_t>>;

TEST(BmpReader, RowZeroIsTheTopWhateverTheStorageOrder) {
    const Bytes top = {0x00, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0, 0};    // red, green
    const Bytes bottom = {0xFF, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0, 0}; // blue, white
    BmpFields bottomUp;
    bottomUp.width = 2;
    bottomUp.height = 2;
    bottomUp.pixels = bottom;
    bottomUp.pixels.insert(bottomUp.pixels.end(), top.begin(), top.end());
    BmpFields topDown;
    topDown.width = 2;
    topDown.height = -2;
    topDown.pixels = top;
    topDown.pixels.insert(topDown.pixels.end(), bottom.begin(), bottom.end());

    const Rows expected = {{0xFF0000, 0x00FF00}, {0x0000FF, 0xFFFFFF}};
    for (const BmpFields& fields : {bottomUp, topDown}) {
        ImagePtr image = decodeBmp(makeBmp(fields));
        ASSERT_TRUE(image);
        EXPECT_EQ(image->bitsPerPixel(), 24);
        EXPECT_EQ(image->colourCount(), 256u);
        EXPECT_EQ(colours(*image), expected) << "height " << fields.height;
    }
}

TEST(BmpReader, PaletteDepths) {
    BmpFields mono;
    mono.width = 10;
    mono.height = 2;
    mono.bitsPerPixel = 1;
    mono.table = {{0, 0, 0, 0}, {0x00, 0xFF, 0xFF, 0}}; // black, yellow
    mono.pixels = {0x01, 0x80, 0, 0, 0x80, 0x40, 0, 0}; // bottom row first
    ImagePtr image = decodeBmp(makeBmp(mono));
    ASSERT_TRUE(image);
    const uint32_t k = 0, y = 0xFFFF00;
    EXPECT_EQ(colours(*image),
              (Rows{{y, k, k, k, k, k, k, k, k, y}, {k, k, k, k, k, k, k, y, y, k}}));

    BmpFields nibbles;

    nibbles.width = 3;

    nibbles.height = 1;

    nibbles.bitsPerPixel = 4;
    for (uint8_t i = 0; i < 16; ++i) {
        nibbles.table.push_back({i, static_cast<uint8_t>(i * 2), static_cast<uint8_t>(i * 3), 0});
    }
    nibbles.pixels = {0x2F, 0x70, 0, 0};
    image = decodeBmp(makeBmp(nibbles));
    ASSERT_TRUE(image);
    EXPECT_EQ(colours(*image), (Rows{{0x060402, 0x2D1E0F, 0x150E07}}));

    // A stated short table: indices beyond it are black.
    BmpFields shortTable;
    shortTable.width = 4;
    shortTable.height = 1;
    shortTable.bitsPerPixel = 8;
    shortTable.coloursUsed = 3;
    shortTable.table = {{1, 1, 1, 0}, {2, 2, 2, 0}, {0x30, 0x20, 0x10, 0}};
    shortTable.pixels = {2, 5, 0, 1};
    image = decodeBmp(makeBmp(shortTable));
    ASSERT_TRUE(image);
    EXPECT_EQ(colours(*image), (Rows{{0x102030, 0, 0x010101, 0x020202}}));

    // No stated count: the table ends where the pixels begin.
    BmpFields cut;
    cut.width = 4;
    cut.height = 1;
    cut.bitsPerPixel = 8;
    cut.table = {{9, 9, 9, 0}, {8, 8, 8, 0}, {7, 7, 7, 0}, {6, 6, 6, 0}};
    cut.pixels = {3, 4, 255, 0};
    image = decodeBmp(makeBmp(cut));
    ASSERT_TRUE(image);
    EXPECT_EQ(colours(*image), (Rows{{0x060606, 0, 0, 0x090909}}));
}

TEST(BmpReader, SixteenAndThirtyTwoBitPixels) {
    BmpFields rgb555;
    rgb555.width = 4;
    rgb555.height = 1;
    rgb555.bitsPerPixel = 16;
    rgb555.pixels = {0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00, 0x10, 0x42};
    ImagePtr image = decodeBmp(makeBmp(rgb555));
    ASSERT_TRUE(image);
    EXPECT_EQ(colours(*image), (Rows{{0xF80000, 0x00F800, 0x0000F8, 0x808080}}));

    BmpFields rgb565;

    rgb565.width = 3;

    rgb565.height = 1;

    rgb565.bitsPerPixel = 16;

    rgb565.compression = 3;
    rgb565.masks = {0xF800, 0x07E0, 0x001F};
    rgb565.pixels = {0x00, 0xF8, 0xE0, 0x07, 0x41, 0x08, 0, 0};
    image = decodeBmp(makeBmp(rgb565));
    ASSERT_TRUE(image);
    EXPECT_EQ(colours(*image), (Rows{{0xF80000, 0x00FC00, 0x080808}}));

    BmpFields packed;

    packed.width = 1;

    packed.height = 1;

    packed.bitsPerPixel = 32;
    packed.pixels = {0x10, 0x20, 0x30, 0xFF};
    image = decodeBmp(makeBmp(packed));
    ASSERT_TRUE(image);
    EXPECT_EQ(colours(*image), (Rows{{0x302010}}));

    // A version 5 header carries its masks inside; here red sits in the low byte.
    BmpFields v5;
    v5.headerSize = 124;
    v5.width = 1;
    v5.height = 1;
    v5.bitsPerPixel = 32;
    v5.compression = 3;
    v5.masks = {0x000000FF, 0x0000FF00, 0x00FF0000};
    v5.pixels = {0x10, 0x20, 0x30, 0x00};
    image = decodeBmp(makeBmp(v5));
    ASSERT_TRUE(image);
    EXPECT_EQ(colours(*image), (Rows{{0x102030}}));
}

TEST(BmpReader, CoreHeaderFiles) {
    BmpFields indexed;
    indexed.headerSize = 12;
    indexed.width = 2;
    indexed.height = 1;
    indexed.bitsPerPixel = 8;
    indexed.table = {{0x01, 0x02, 0x03, 0}, {0xAA, 0xBB, 0xCC, 0}}; // 3-byte entries
    indexed.pixels = {1, 0, 0, 0};
    ImagePtr image = decodeBmp(makeBmp(indexed));
    ASSERT_TRUE(image);
    EXPECT_EQ(colours(*image), (Rows{{0xCCBBAA, 0x030201}}));

    BmpFields rgb;

    rgb.headerSize = 12;

    rgb.width = 1;

    rgb.height = 2;

    rgb.bitsPerPixel = 24;
    rgb.pixels = {1, 2, 3, 0, 4, 5, 6, 0};
    image = decodeBmp(makeBmp(rgb));
    ASSERT_TRUE(image);
    EXPECT_EQ(colours(*image), (Rows{{0x060504}, {0x030201}}));
}

TEST(BmpReader, EveryTruncationIsRefused) {
    BmpFields a;
    a.width = 5;
    a.height = 3;
    a.bitsPerPixel = 8;
    a.coloursUsed = 2;
    a.table = {{0, 0, 0, 0}, {1, 1, 1, 0}};
    a.pixels.assign(24, 1);
    BmpFields b;
    b.width = 3;
    b.height = -2;
    b.bitsPerPixel = 16;
    b.compression = 3;
    b.masks = {0xF800, 0x07E0, 0x001F};
    b.pixels.assign(16, 0x55);
    BmpFields c;
    c.headerSize = 12;
    c.width = 3;
    c.height = 2;
    c.bitsPerPixel = 24;
    c.pixels.assign(24, 9);
    for (const BmpFields& fields : {a, b, c}) {
        const Bytes whole = makeBmp(fields);
        ASSERT_TRUE(decodeBmp(whole));
        for (size_t length = 0; length < whole.size(); ++length) {
            const Bytes part(whole.begin(), whole.begin() + static_cast<ptrdiff_t>(length));
            ASSERT_FALSE(decodeBmp(part)) << "cut to " << length << " of " << whole.size();
        }
    }
}

TEST(BmpReader, LyingHeadersAreRefused) {
    const auto valid = [] {
        BmpFields f;
        f.width = 4;
        f.height = 2;
        f.bitsPerPixel = 8;
        f.table = {{0, 0, 0, 0}, {1, 1, 1, 0}, {2, 2, 2, 0}, {3, 3, 3, 0}};
        f.pixels = {0, 1, 2, 3, 3, 2, 1, 0};
        return f;
    };
    ASSERT_TRUE(decodeBmp(makeBmp(valid())));

    struct Case {
        const char* name;
        std::function<void(BmpFields&)> lie;
    };
    const Case cases[] = {
        {"zero width", [](BmpFields& f) { f.width = 0; }},
        {"negative width", [](BmpFields& f) { f.width = -4; }},
        {"zero height", [](BmpFields& f) { f.height = 0; }},
        {"most negative height", [](BmpFields& f) { f.height = INT32_MIN; }},
        {"huge width and height", [](BmpFields& f) { f.width = f.height = INT32_MAX; }},
        {"stride beyond 32 bits",
         [](BmpFields& f) {
             f.width = 0x40000000;
             f.height = 1;
             f.bitsPerPixel = 32;
         }},
        {"tall top-down", [](BmpFields& f) { f.height = -0x7FFFFFFF; }},
        {"width larger than the rows", [](BmpFields& f) { f.width = 5; }},
        {"2 bits", [](BmpFields& f) { f.bitsPerPixel = 2; }},
        {"0 bits", [](BmpFields& f) { f.bitsPerPixel = 0; }},
        {"64 bits", [](BmpFields& f) { f.bitsPerPixel = 64; }},
        {"run-length 8", [](BmpFields& f) { f.compression = 1; }},
        {"run-length 4", [](BmpFields& f) { f.compression = 2; }},
        {"bit fields on 8 bits", [](BmpFields& f) { f.compression = 3; }},
        {"JPEG payload", [](BmpFields& f) { f.compression = 4; }},
        {"unknown compression", [](BmpFields& f) { f.compression = 99; }},
        {"all the colours", [](BmpFields& f) { f.coloursUsed = 0xFFFFFFFF; }},
        {"more colours than the file", [](BmpFields& f) { f.coloursUsed = 300; }},
        {"header size 0", [](BmpFields& f) { f.headerSize = 0; }},
        {"header size 13", [](BmpFields& f) { f.headerSize = 13; }},
        {"header size huge", [](BmpFields& f) { f.headerSize = 0xFFFFFFF0; }},
        {"pixels inside the header", [](BmpFields& f) { f.pixelOffset = 20; }},
        {"pixels beyond the file", [](BmpFields& f) { f.pixelOffset = 0xFFFFFFFF; }},
        {"pixels cut by the offset", [](BmpFields& f) { f.pixelOffset = 14 + 40 + 16 + 1; }},
        {"masks beyond the file",
         [](BmpFields& f) {
             f.bitsPerPixel = 16;
             f.width = 1;
             f.height = 1;
             f.compression = 3;
             f.table.clear();
             f.pixels = {0, 0, 0, 0};
         }},
    };
    for (const Case& c : cases) {
        BmpFields fields = valid();
        c.lie(fields);
        EXPECT_FALSE(decodeBmp(makeBmp(fields))) << c.name;
    }

    Bytes wrongMagic = makeBmp(valid());
    wrongMagic[1] = 'A';
    EXPECT_FALSE(decodeBmp(wrongMagic));
    EXPECT_FALSE(decodeBmp({}));
}

} // namespace
} // namespace chronvale
