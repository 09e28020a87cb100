#include "render/earth_image.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>

namespace chronvale {

namespace {

// A colour table beyond this is a corrupt header, not a picture.
constexpr uint32_t kMaxColourCount = 1u << 16;

bool isSupportedDepth(int bitsPerPixel) {
    switch (bitsPerPixel) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
        return true;
    default:
        return false;
    }
}

ChannelMasks defaultMasks(int bitsPerPixel) {
    ChannelMasks masks;
    if (bitsPerPixel == 16) {
        masks.mask = {0x7C00, 0x03E0, 0x001F};
        masks.rightShift = {10, 5, 0};
        masks.leftShift = {3, 3, 3};
    } else if (bitsPerPixel == 32) {
        masks.mask = {0x00FF0000, 0x0000FF00, 0x000000FF};
        masks.rightShift = {16, 8, 0};
        masks.leftShift = {0, 0, 0};
    }
    return masks;
}

uint8_t maskedChannel(uint32_t pixel, const ChannelMasks& masks, int channel) {
    const uint32_t value = (pixel & masks.mask[channel]) >> masks.rightShift[channel];
    const int left = masks.leftShift[channel];
    return static_cast<uint8_t>(left >= 0 ? value << left : value >> -left);
}

// 0xRRGGBB of one pixel of any depth.
uint32_t pixelColour(const EarthImage& image, int x, int r) {
    const uint32_t raw = getPixel(&image, x, r);
    switch (image.bitsPerPixel()) {
    case 24:
        return raw;
    case 16:
    case 32:
        return uint32_t{maskedChannel(raw, image.masks(), 0)} << 16 |
               uint32_t{maskedChannel(raw, image.masks(), 1)} << 8 |
               maskedChannel(raw, image.masks(), 2);
    default: {
        const auto& table = image.colourTable();
        if (raw >= table.size()) {
            return 0;
        }
        const auto& entry = table[raw];
        return uint32_t{entry[2]} << 16 | uint32_t{entry[1]} << 8 | entry[0];
    }
    }
}

} // namespace

ChannelMasks bitFieldMasks(uint32_t red, uint32_t green, uint32_t blue) {
    ChannelMasks masks;
    masks.mask = {red, green, blue};
    masks.bitFields = true;
    for (int c = 0; c < 3; ++c) {
        const uint32_t mask = masks.mask[c];
        const int trailing = mask == 0 ? 0 : std::countr_zero(mask);
        const int width = std::bit_width(mask >> trailing);
        masks.rightShift[c] = trailing;
        masks.leftShift[c] = 8 - width;
    }
    return masks;
}

ImagePtr createImage(int width, int height, int bitsPerPixel, uint32_t colourCount) {
    if (width <= 0 || height <= 0 || !isSupportedDepth(bitsPerPixel) ||
        colourCount > kMaxColourCount) {
        return nullptr;
    }
    const uint64_t stride = ((uint64_t{static_cast<uint32_t>(width)} * bitsPerPixel + 31) / 32) * 4;
    const uint64_t bytes = stride * static_cast<uint32_t>(height);
    if (bytes > kMaxImageBytes) {
        return nullptr;
    }
    uint32_t tableEntries = colourCount;
    if (tableEntries == 0 && bitsPerPixel <= 8) {
        tableEntries = 1u << bitsPerPixel;
    }

    ImagePtr image(new (std::nothrow) EarthImage());
    if (!image) {
        return nullptr;
    }
    try {
        image->pixels_.assign(bytes, 0);
        image->rows_.resize(static_cast<size_t>(height));
        image->colourTable_.assign(tableEntries, {0, 0, 0, 0});
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    image->width_ = width;
    image->height_ = height;
    image->bitsPerPixel_ = bitsPerPixel;
    image->colourCount_ = colourCount;
    image->stride_ = static_cast<int>(stride);
    image->masks_ = defaultMasks(bitsPerPixel);
    // Bottom-up storage: picture row 0 is the last row of the block.
    for (int r = 0; r < height; ++r) {
        image->rows_[static_cast<size_t>(r)] =
            image->pixels_.data() + static_cast<size_t>(height - 1 - r) * stride;
    }
    return image;
}

ImagePtr cloneImage(const EarthImage* image) {
    if (!image) {
        return nullptr;
    }
    ImagePtr copy =
        createImage(image->width(), image->height(), image->bitsPerPixel(), image->colourCount());
    if (!copy) {
        return nullptr;
    }
    std::memcpy(copy->pixels(), image->pixels(), image->pixelBytes());
    copy->colourTable() = image->colourTable();
    copy->masks() = image->masks();
    return copy;
}

const uint8_t* pixelAddress(const EarthImage* image, int x, int r) {
    if (!image || x < 0 || x >= image->width() || r < 0 || r >= image->height()) {
        return nullptr;
    }
    return image->row(r) + static_cast<size_t>(x) * image->bitsPerPixel() / 8;
}

uint8_t* pixelAddress(EarthImage* image, int x, int r) {
    return const_cast<uint8_t*>(pixelAddress(static_cast<const EarthImage*>(image), x, r));
}

uint32_t getPixel(const EarthImage* image, int x, int r) {
    const uint8_t* p = pixelAddress(image, x, r);
    if (!p) {
        return 0;
    }
    switch (image->bitsPerPixel()) {
    case 1:
        return (*p >> (7 - (x & 7))) & 1u;
    case 4:
        return (x & 1) ? (*p & 0x0Fu) : (*p >> 4);
    case 8:
        return *p;
    case 16:
        return uint32_t{p[0]} | uint32_t{p[1]} << 8;
    case 24:
        return uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0];
    default:
        return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
    }
}

void setPixel(EarthImage* image, int x, int r, uint32_t value) {
    uint8_t* p = pixelAddress(image, x, r);
    if (!p) {
        return;
    }
    switch (image->bitsPerPixel()) {
    case 1: {
        const uint8_t bit = static_cast<uint8_t>(0x80u >> (x & 7));
        *p = static_cast<uint8_t>((value & 1u) ? (*p | bit) : (*p & ~bit));
        break;
    }
    case 4:
        if (x & 1) {
            *p = static_cast<uint8_t>((*p & 0xF0u) | (value & 0x0Fu));
        } else {
            *p = static_cast<uint8_t>((*p & 0x0Fu) | (value & 0x0Fu) << 4);
        }
        break;
    case 8:
        *p = static_cast<uint8_t>(value);
        break;
    case 16:
        p[0] = static_cast<uint8_t>(value);
        p[1] = static_cast<uint8_t>(value >> 8);
        break;
    case 24:
        p[0] = static_cast<uint8_t>(value);
        p[1] = static_cast<uint8_t>(value >> 8);
        p[2] = static_cast<uint8_t>(value >> 16);
        break;
    default:
        p[0] = static_cast<uint8_t>(value);
        p[1] = static_cast<uint8_t>(value >> 8);
        p[2] = static_cast<uint8_t>(value >> 16);
        p[3] = static_cast<uint8_t>(value >> 24);
        break;
    }
}

ImagePtr convertTo24Bit(const EarthImage* image) {
    if (!image) {
        return nullptr;
    }
    if (image->bitsPerPixel() == 24) {
        ImagePtr copy = createImage(image->width(), image->height(), 24, 256);
        if (copy) {
            std::memcpy(copy->pixels(), image->pixels(), image->pixelBytes());
        }
        return copy;
    }
    ImagePtr result = createImage(image->width(), image->height(), 24, 256);
    if (!result) {
        return nullptr;
    }
    for (int r = 0; r < image->height(); ++r) {
        uint8_t* out = result->row(r);
        for (int x = 0; x < image->width(); ++x, out += 3) {
            const uint32_t colour = pixelColour(*image, x, r);
            out[0] = static_cast<uint8_t>(colour);
            out[1] = static_cast<uint8_t>(colour >> 8);
            out[2] = static_cast<uint8_t>(colour >> 16);
        }
    }
    return result;
}

} // namespace chronvale
