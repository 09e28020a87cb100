#pragma once
// Synthetic images for the map tests, so that they need no installed data.

#include "render/earth_image.h"
#include "render_test_support.h"
#include "support/scratch.h"

#include <cstdint>
#include <ctime>
#include <string>

namespace chronvale::test {

// Every pixel the same colour (red, green, blue).
inline ImagePtr solidImage(int width, int height, uint8_t red, uint8_t green, uint8_t blue) {
    const uint32_t colour = (uint32_t{red} << 16) | (uint32_t{green} << 8) | blue;
    return makePicture(width, height, [colour](int, int) { return colour; });
}

// Pixels of a fixed pseudo-random pattern (seeded), covering every channel value.
inline ImagePtr noiseImage(int width, int height, uint32_t seed) {
    ImagePtr image = createImage(width, height, 24, 256);
    uint32_t state = seed * 2654435761u + 1u;
    for (int r = 0; r < height; ++r) {
        uint8_t* p = image->row(r);
        for (int x = 0; x < width * 3; ++x) {
            state ^= state << 13;
            state ^= state >> 17;
            state ^= state << 5;
            p[x] = static_cast<uint8_t>(state >> 24);
        }
    }
    return image;
}

// Where two images first differ, as "(x, row) channel c: a vs b", or "" when their
// pictures are the same.
inline std::string firstDifference(const EarthImage& a, const EarthImage& b) {
    if (a.width() != b.width() || a.height() != b.height()) {
        return "sizes differ: " + std::to_string(a.width()) + "x" + std::to_string(a.height()) +
               " vs " + std::to_string(b.width()) + "x" + std::to_string(b.height());
    }
    for (int r = 0; r < a.height(); ++r) {
        for (int x = 0; x < a.width() * 3; ++x) {
            if (a.row(r)[x] != b.row(r)[x]) {
                return "pixel (" + std::to_string(x / 3) + ", " + std::to_string(r) + ") channel " +
                       std::to_string(x % 3) + ": " + std::to_string(a.row(r)[x]) + " vs " +
                       std::to_string(b.row(r)[x]);
            }
        }
    }
    return {};
}

} // namespace chronvale::test
