// BMP files: our own reader (decodeBmp) and the writer (saveBmpFile).

#include "core/file_io.h"
#include "render/codecs/decoders.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace chronvale {

namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr uint32_t kCoreHeaderSize = 12;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kCompressionNone = 0;
constexpr uint32_t kCompressionBitFields = 3;

uint16_t readLe16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

uint32_t readLe32(const uint8_t* p) {
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

void appendLe16(std::vector<uint8_t>& out, uint32_t value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void appendLe32(std::vector<uint8_t>& out, uint32_t value) {
    appendLe16(out, value & 0xFFFFu);
    appendLe16(out, value >> 16);
}

bool isInfoHeaderSize(uint32_t size) {
    // BITMAPINFOHEADER and its V2, V3, V4 and V5 successors share the first 40 bytes.
    return size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

} // namespace

namespace codecs {

ImagePtr decodeBmp(std::span<const uint8_t> bytes) {
    const uint8_t* data = bytes.data();
    const size_t size = bytes.size();
    if (size < kFileHeaderSize + 4 || data[0] != 'B' || data[1] != 'M') {
        return nullptr;
    }
    const uint32_t pixelOffset = readLe32(data + 10);
    const uint32_t headerSize = readLe32(data + 14);
    const bool core = headerSize == kCoreHeaderSize;
    if (!core && !isInfoHeaderSize(headerSize)) {
        return nullptr;
    }
    const size_t headerEnd = kFileHeaderSize + headerSize;
    if (headerEnd > size) {
        return nullptr;
    }
    const uint8_t* header = data + kFileHeaderSize;

    int64_t width = 0;
    int64_t height = 0;
    int bitsPerPixel = 0;
    uint32_t compression = kCompressionNone;
    uint32_t coloursUsed = 0;
    if (core) {
        width = readLe16(header + 4);
        height = readLe16(header + 6);
        bitsPerPixel = readLe16(header + 10);
        if (bitsPerPixel != 1 && bitsPerPixel != 4 && bitsPerPixel != 8 && bitsPerPixel != 24) {
            return nullptr;
        }
    } else {
        width = static_cast<int32_t>(readLe32(header + 4));
        height = static_cast<int32_t>(readLe32(header + 8));
        bitsPerPixel = readLe16(header + 14);
        compression = readLe32(header + 16);
        coloursUsed = readLe32(header + 32);
    }
    const bool topDown = height < 0;
    const int64_t rows = topDown ? -height : height;
    if (width <= 0 || rows <= 0 || width > INT32_MAX || rows > INT32_MAX) {
        return nullptr;
    }
    switch (bitsPerPixel) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
        break;
    default:
        return nullptr;
    }
    const bool bitFields = compression == kCompressionBitFields;
    if (compression != kCompressionNone &&
        !(bitFields && (bitsPerPixel == 16 || bitsPerPixel == 32))) {
        return nullptr; // run-length, JPEG and PNG payloads are not read
    }

    // The masks follow a 40-byte header; the larger headers hold them inside.
    size_t tableStart = headerEnd;
    ChannelMasks masks;
    if (bitFields) {
        const uint8_t* maskBytes = header + kInfoHeaderSize;
        if (headerSize == kInfoHeaderSize) {
            if (headerEnd + 12 > size) {
                return nullptr;
            }
            maskBytes = data + headerEnd;
            tableStart += 12;
        }
        masks =
            bitFieldMasks(readLe32(maskBytes), readLe32(maskBytes + 4), readLe32(maskBytes + 8));
    }
    if (pixelOffset < tableStart || pixelOffset > size) {
        return nullptr;
    }

    // Colour table: the stated number of entries must lie in the file. Without a
    // stated number the depth's full table is assumed, cut short where the pixels
    // begin; entries the depth cannot index are ignored.
    const size_t entrySize = core ? 3 : 4;
    uint64_t tableEntries = 0;
    if (bitsPerPixel <= 8) {
        const uint64_t depthEntries = uint64_t{1} << bitsPerPixel;
        if (coloursUsed != 0) {
            if (tableStart + uint64_t{coloursUsed} * entrySize > size) {
                return nullptr;
            }
            tableEntries = std::min<uint64_t>(coloursUsed, depthEntries);
        } else {
            tableEntries = std::min<uint64_t>(depthEntries, (pixelOffset - tableStart) / entrySize);
        }
    }

    const uint64_t stride = ((static_cast<uint64_t>(width) * bitsPerPixel + 31) / 32) * 4;
    const uint64_t pixelBytes = stride * static_cast<uint64_t>(rows);
    if (pixelBytes > kMaxImageBytes || pixelBytes > size - pixelOffset) {
        return nullptr;
    }
    ImagePtr image = createImage(static_cast<int>(width), static_cast<int>(rows), bitsPerPixel,
                                 bitsPerPixel == 24 ? 256 : static_cast<uint32_t>(tableEntries));
    if (!image) {
        return nullptr;
    }
    if (bitFields) {
        image->masks() = masks;
    }
    for (uint64_t i = 0; i < tableEntries; ++i) {
        const uint8_t* entry = data + tableStart + i * entrySize;
        image->colourTable()[i] = {entry[0], entry[1], entry[2], 0};
    }
    const uint8_t* source = data + pixelOffset;
    for (int64_t stored = 0; stored < rows; ++stored, source += stride) {
        const int row = static_cast<int>(topDown ? stored : rows - 1 - stored);
        std::memcpy(image->row(row), source, stride);
    }
    if (bitsPerPixel == 24) {
        return image;
    }
    return convertTo24Bit(image.get());
}

} // namespace codecs

bool saveBmpFile(const EarthImage* image, const std::string& path) {
    if (!image || path.empty()) {
        return false;
    }
    const int bits = image->bitsPerPixel();
    const bool bitFields = (bits == 16 || bits == 32) && image->masks().bitFields;
    // The whole table the image holds is written, so that a palette image created
    // with colourCount 0 (the depth's default) keeps its colours.
    const auto& table = image->colourTable();
    const uint64_t pixelBytes = image->pixelBytes();
    const uint64_t fileSize =
        kFileHeaderSize + kInfoHeaderSize + (bitFields ? 12 : 0) + 4 * table.size() + pixelBytes;
    if (fileSize > UINT32_MAX) {
        return false;
    }

    std::vector<uint8_t> header;
    header.reserve(static_cast<size_t>(fileSize - pixelBytes));
    header.push_back('B');
    header.push_back('M');
    appendLe32(header, static_cast<uint32_t>(fileSize));
    appendLe16(header, 0);
    appendLe16(header, 0);
    appendLe32(header, static_cast<uint32_t>(fileSize - pixelBytes));
    appendLe32(header, kInfoHeaderSize);
    appendLe32(header, static_cast<uint32_t>(image->width()));
    appendLe32(header, static_cast<uint32_t>(image->height())); // positive: bottom-up
    appendLe16(header, 1);
    appendLe16(header, static_cast<uint32_t>(bits));
    appendLe32(header, bitFields ? kCompressionBitFields : kCompressionNone);
    appendLe32(header, static_cast<uint32_t>(pixelBytes));
    appendLe32(header, 0);
    appendLe32(header, 0);
    appendLe32(header, image->colourCount());
    appendLe32(header, 0);
    if (bitFields) {
        for (uint32_t mask : image->masks().mask) {
            appendLe32(header, mask);
        }
    }
    for (const auto& entry : table) {
        header.insert(header.end(), entry.begin(), entry.end());
    }

    return writeFileAtomically(
        path, {std::string_view(reinterpret_cast<const char*>(header.data()), header.size()),
               std::string_view(reinterpret_cast<const char*>(image->pixels()),
                                static_cast<size_t>(pixelBytes))});
}

} // namespace chronvale
