#pragma once
// Fixtures for the image tests: encoders that build small
// BMP, PNG, JPEG and GIF files in memory, BMP field by field so that a test can
// make the header lie.

#include "render/earth_image.h"
#include "support/files.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace chronvale::test {

// Every field of a BMP file; the defaults describe a consistent file.
struct BmpFields {
    uint32_t headerSize = 40;
    int32_t width = 1;
    int32_t height = 1;
    uint16_t bitsPerPixel = 24;
    uint32_t compression = 0;
    uint32_t coloursUsed = 0;
    std::vector<uint32_t> masks;               // after a 40-byte header, or inside a larger one
    std::vector<std::array<uint8_t, 4>> table; // written as 3-byte entries for a 12-byte header
    Bytes pixels;                              // as they lie in the file
    std::optional<uint32_t> pixelOffset;       // default: right after the table
};
Bytes makeBmp(const BmpFields& fields);

struct PngFields {
    uint32_t width = 1;
    uint32_t height = 1;
    int bitDepth = 8;
    int colourType = 0; // PNG_COLOR_TYPE_*
    std::vector<std::array<uint8_t, 3>> palette;
    Bytes transparency; // tRNS entries for a palette
    std::optional<double> gamma;
    std::vector<Bytes> rows; // packed as the file holds them (16-bit samples big-endian)
};
Bytes makePng(const PngFields& fields);

// A JPEG of a 24-bit image, 4:4:4, quality 95.
Bytes makeJpeg(const EarthImage& image);

struct GifFields {
    int screenWidth = 1;
    int screenHeight = 1;
    std::vector<std::array<uint8_t, 3>> globalColours; // power-of-two count, or empty
    std::vector<std::array<uint8_t, 3>> localColours;
    int transparentIndex = -1; // -1: no graphics control block
    int left = 0;
    int top = 0;
    int width = 1;
    int height = 1;
    bool interlace = false;
    std::vector<Bytes> rows; // in picture order; written in pass order when interlaced
};
Bytes makeGif(const GifFields& fields);

// A 24-bit image whose pixel (x, r) is colourAt(x, r) as 0xRRGGBB.
template <typename F> ImagePtr makePicture(int width, int height, F colourAt) {
    ImagePtr image = createImage(width, height, 24, 256);
    for (int r = 0; r < height; ++r) {
        for (int x = 0; x < width; ++x) {
            setPixel(image.get(), x, r, colourAt(x, r));
        }
    }
    return image;
}

} // namespace chronvale::test
