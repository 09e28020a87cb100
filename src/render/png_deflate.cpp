#include "render/png_deflate.h"

#include <libdeflate.h>
#include <memory>

namespace chronvale {
namespace {

constexpr std::size_t kMaxChunk = 0x7FFFFFFF; // a PNG chunk's length is 31 bits
constexpr uint8_t kFilterSub = 1;

void putBigEndian(std::string& out, uint32_t value) {
    out.push_back(static_cast<char>(value >> 24));
    out.push_back(static_cast<char>(value >> 16));
    out.push_back(static_cast<char>(value >> 8));
    out.push_back(static_cast<char>(value));
}

uint32_t crcOf(uint32_t crc, const void* bytes, std::size_t size) {
    return libdeflate_crc32(crc, bytes, size);
}

// Appends a whole chunk: length, type, data, CRC over type and data.
void putChunk(std::string& out, const char type[4], std::string_view data) {
    putBigEndian(out, static_cast<uint32_t>(data.size()));
    const std::size_t typeAt = out.size();
    out.append(type, 4);
    out.append(data);
    putBigEndian(out, crcOf(0, out.data() + typeAt, 4 + data.size()));
}

// Each row as filter byte 1 and the differences to the pixel on its left, in red,
// green, blue order (the image holds blue, green, red).
std::vector<uint8_t, LargePageAllocator<uint8_t>> subFilteredRows(const EarthImage& image) {
    const std::size_t rowBytes = 1 + static_cast<std::size_t>(image.width()) * 3;
    std::vector<uint8_t, LargePageAllocator<uint8_t>> rows(
        rowBytes * static_cast<std::size_t>(image.height()));
    for (int r = 0; r < image.height(); ++r) {
        const uint8_t* in = image.row(r);
        uint8_t* out = rows.data() + rowBytes * static_cast<std::size_t>(r);
        *out++ = kFilterSub;
        uint8_t red = 0;
        uint8_t green = 0;
        uint8_t blue = 0;
        for (int x = 0; x < image.width(); ++x, in += 3, out += 3) {
            out[0] = static_cast<uint8_t>(in[2] - red);
            out[1] = static_cast<uint8_t>(in[1] - green);
            out[2] = static_cast<uint8_t>(in[0] - blue);
            blue = in[0];
            green = in[1];
            red = in[2];
        }
    }
    return rows;
}

struct CompressorFree {
    void operator()(libdeflate_compressor* c) const { libdeflate_free_compressor(c); }
};

} // namespace

std::optional<PngFileParts> deflatePng(const EarthImage& image, int level) {
    if (image.bitsPerPixel() != 24 || image.width() <= 0 || image.height() <= 0) {
        return std::nullopt;
    }
    const std::unique_ptr<libdeflate_compressor, CompressorFree> compressor(
        libdeflate_alloc_compressor(level));
    if (!compressor) {
        return std::nullopt;
    }
    PngFileParts parts;
    {
        const auto rows = subFilteredRows(image);
        const std::size_t bound = libdeflate_zlib_compress_bound(compressor.get(), rows.size());
        parts.data.resize(bound);
        parts.dataSize = libdeflate_zlib_compress(compressor.get(), rows.data(), rows.size(),
                                                  parts.data.data(), bound);
    }
    if (parts.dataSize == 0 || parts.dataSize > kMaxChunk) {
        return std::nullopt;
    }

    parts.head.assign("\x89PNG\r\n\x1a\n", 8);
    std::string header;
    putBigEndian(header, static_cast<uint32_t>(image.width()));
    putBigEndian(header, static_cast<uint32_t>(image.height()));
    header.append({8, 2, 0, 0, 0}); // 8-bit RGB, deflate, adaptive filters, no interlace
    putChunk(parts.head, "IHDR", header);
    putBigEndian(parts.head, static_cast<uint32_t>(parts.dataSize));
    parts.head.append("IDAT", 4);

    const uint32_t crc = crcOf(crcOf(0, "IDAT", 4), parts.data.data(), parts.dataSize);
    putBigEndian(parts.tail, crc);
    putChunk(parts.tail, "IEND", {});
    return parts;
}

} // namespace chronvale
