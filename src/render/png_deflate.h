#pragma once
// PNG encoding of large images (a 4K render, a wallpaper) in one pass over the
// whole picture: the rows Sub-filtered into one buffer and deflated by libdeflate,
// which at its fastest level writes them in about half of zlib's fastest time and
// smaller. The file is three parts (signature and header, the data chunk's bytes,
// the trailer), so that a writer can put them on disk without joining them.

#include "render/earth_image.h"
#include "render/large_pages.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace chronvale {

struct PngFileParts {
    std::string head; // signature, IHDR, the IDAT chunk's length and type
    std::vector<uint8_t, LargePageAllocator<uint8_t>> data; // the compressed rows (dataSize bytes)
    std::size_t dataSize = 0;
    std::string tail; // the IDAT chunk's CRC, IEND

    std::string_view dataView() const {
        return {reinterpret_cast<const char*>(data.data()), dataSize};
    }
};

// The parts of an 8-bit RGB PNG of a 24-bit image at a libdeflate level (1 to 12);
// none for another depth, or when the compressed rows would not fit one chunk.
std::optional<PngFileParts> deflatePng(const EarthImage& image, int level);

} // namespace chronvale
