// PNG files through libpng, read from memory.

#include "render/codecs/decoders.h"

#include <csetjmp>
#include <cstring>
#include <png.h>
#include <vector>

namespace chronvale::codecs {

namespace {

struct PngSource {
    const uint8_t* data = nullptr;
    size_t size = 0;
    size_t position = 0;
};

// Everything that must outlive a longjmp out of libpng lives here, owned by the
// caller, so that the jump skips no destructor.
struct PngDecoding {
    PngSource source;
    std::vector<uint8_t> buffer;
    std::vector<png_bytep> rows;
    ImagePtr image;
};

void readFromMemory(png_structp png, png_bytep out, size_t length) {
    auto* source = static_cast<PngSource*>(png_get_io_ptr(png));
    if (length > source->size - source->position) {
        png_error(png, "unexpected end of data");
    }
    std::memcpy(out, source->data + source->position, length);
    source->position += length;
}

[[noreturn]] void onPngError(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}

void onPngWarning(png_structp, png_const_charp) {}

// libpng reports errors by longjmp back to the setjmp here; no object with a
// destructor is created in this frame after it.
bool readPng(png_structp png, png_infop info, PngDecoding& state) {
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    png_set_read_fn(png, &state.source, readFromMemory);
    png_set_user_limits(png, 1u << 20, 1u << 20);
    png_read_info(png, info);

    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    const int bitDepth = png_get_bit_depth(png, info);
    const int colourType = png_get_color_type(png, info);
    if (colourType == PNG_COLOR_TYPE_PALETTE) {
        png_set_palette_to_rgb(png);
    }
    if (colourType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) {
        png_set_expand_gray_1_2_4_to_8(png);
    }
    if (png_get_valid(png, info, PNG_INFO_tRNS)) {
        png_set_tRNS_to_alpha(png);
    }
    if (bitDepth == 16) {
        png_set_strip_16(png);
    }
    if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA) {
        png_set_gray_to_rgb(png);
    }
    double fileGamma = 0.0;
    if (png_get_gAMA(png, info, &fileGamma)) {
        png_set_gamma(png, 1.0, fileGamma);
    }
    png_read_update_info(png, info);

    const size_t rowBytes = png_get_rowbytes(png, info);
    const int channels = png_get_channels(png, info);
    if ((channels != 3 && channels != 4) || rowBytes < size_t{width} * channels ||
        uint64_t{rowBytes} * height > kMaxImageBytes || width > INT32_MAX || height > INT32_MAX) {
        return false;
    }
    state.image = createImage(static_cast<int>(width), static_cast<int>(height), 24, 256);
    if (!state.image) {
        return false;
    }
    state.buffer.resize(rowBytes * height);
    state.rows.resize(height);
    for (png_uint_32 r = 0; r < height; ++r) {
        state.rows[r] = state.buffer.data() + r * rowBytes;
    }
    png_read_image(png, state.rows.data());

    for (png_uint_32 r = 0; r < height; ++r) {
        const uint8_t* in = state.rows[r];
        uint8_t* out = state.image->row(static_cast<int>(r));
        for (png_uint_32 x = 0; x < width; ++x, in += channels, out += 3) {
            out[0] = in[2];
            out[1] = in[1];
            out[2] = in[0];
        }
    }
    return true;
}

} // namespace

ImagePtr decodePng(std::span<const uint8_t> bytes) {
    if (bytes.size() < 8 || png_sig_cmp(bytes.data(), 0, 8) != 0) {
        return nullptr;
    }
    png_structp png =
        png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, onPngError, onPngWarning);
    if (!png) {
        return nullptr;
    }
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return nullptr;
    }
    PngDecoding state;
    state.source = {bytes.data(), bytes.size(), 0};
    bool ok = false;
    try {
        ok = readPng(png, info, state);
    } catch (const std::bad_alloc&) {
        ok = false;
    }
    png_destroy_read_struct(&png, &info, nullptr);
    if (!ok) {
        return nullptr;
    }
    return std::move(state.image);
}

} // namespace chronvale::codecs
