// PNG writing: small images through libpng, large ones deflated whole; both read
// back pixel for pixel, from memory and from the file.
#include "render/png_deflate.h"
#include "render/png_writer.h"
#include "render_test_support.h"
#include "support/scratch.h"

#include <cstring>
#include <gtest/gtest.h>
#include <span>

namespace chronvale {
namespace {

enum class Fill { Gradient, Noise, Flat };

ImagePtr makeImage(int width, int height, Fill fill) {
    ImagePtr image = createImage(width, height, 24, 256);
    uint32_t state = 12345;
    for (int r = 0; r < height; ++r) {
        uint8_t* p = image->row(r);
        for (int x = 0; x < width * 3; ++x) {
            state = state * 1664525u + 1013904223u;
            switch (fill) {
            case Fill::Gradient:
                p[x] = static_cast<uint8_t>(x / 3 + r * (x % 3 + 1));
                break;
            case Fill::Noise:
                p[x] = static_cast<uint8_t>(state >> 24);
                break;
            case Fill::Flat:
                p[x] = static_cast<uint8_t>(x % 3 == 0 ? 200 : 17);
                break;
            }
        }
    }
    return image;
}

bool samePixels(const EarthImage& a, const EarthImage& b) {
    if (a.width() != b.width() || a.height() != b.height()) {
        return false;
    }
    for (int r = 0; r < a.height(); ++r) {
        if (std::memcmp(a.row(r), b.row(r), static_cast<std::size_t>(a.width()) * 3) != 0) {
            return false;
        }
    }
    return true;
}

struct PngCase {
    const char* what;
    int width;
    int height;
    Fill fill;
};

TEST(PngWriter, ReadsBackPixelForPixel) {
    // 2049 x 2048 is past the size from which images are deflated whole.
    const PngCase cases[] = {
        {"one pixel", 1, 1, Fill::Noise},
        {"small gradient", 37, 5, Fill::Gradient},
        {"large gradient", 2049, 2048, Fill::Gradient},
        {"large noise", 2049, 2048, Fill::Noise},
        {"large flat", 4096, 1100, Fill::Flat},
    };
    test::ScratchDir dir;
    for (const PngCase& c : cases) {
        const ImagePtr image = makeImage(c.width, c.height, c.fill);
        const std::optional<std::string> bytes = encodePng(image.get());
        ASSERT_TRUE(bytes) << c.what;
        const ImagePtr decoded =
            decodeImage(std::span(reinterpret_cast<const uint8_t*>(bytes->data()), bytes->size()),
                        ImageKind::Png);
        ASSERT_TRUE(decoded) << c.what; // libpng checks every chunk's CRC
        EXPECT_TRUE(samePixels(*image, *decoded)) << c.what;

        const std::string path = dir.file("map.png");
        ASSERT_TRUE(savePngFile(image.get(), path)) << c.what;
        EXPECT_EQ(test::readFile(path).size(), bytes->size()) << c.what;
        const ImagePtr loaded = loadImage(path);
        ASSERT_TRUE(loaded) << c.what;
        EXPECT_TRUE(samePixels(*image, *loaded)) << c.what;
    }
}

TEST(PngWriter, DeflatePngRejectsWhatItCannotWrite) {
    EXPECT_FALSE(deflatePng(*createImage(4, 4, 8, 256), 1));
    EXPECT_FALSE(deflatePng(*createImage(4, 4, 24, 256), 13)); // no such level
    EXPECT_FALSE(encodePng(nullptr));
    EXPECT_FALSE(savePngFile(nullptr, "/nonexistent/x.png"));
    const ImagePtr large = makeImage(2049, 2048, Fill::Flat);
    EXPECT_FALSE(savePngFile(large.get(), "/nonexistent/folder/x.png"));
}

} // namespace
} // namespace chronvale
