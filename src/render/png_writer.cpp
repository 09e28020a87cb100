#include "render/png_writer.h"

#include "core/file_io.h"
#include "render/png_deflate.h"

#include <csetjmp>
#include <png.h>

namespace chronvale {
namespace {

// Images with more pixels (a 4K render, a wallpaper) would spend most of a second
// in zlib: they are deflated whole, by libdeflate at its fastest level.
constexpr int64_t kFastPngPixels = int64_t{1} << 22;
constexpr int kFastPngLevel = 1;

bool large(const EarthImage& image) {
    return static_cast<int64_t>(image.width()) * image.height() > kFastPngPixels;
}

void appendToBuffer(png_structp png, png_bytep data, png_size_t length) {
    auto* buffer = static_cast<std::string*>(png_get_io_ptr(png));
    buffer->append(reinterpret_cast<const char*>(data), length);
}

void flushNothing(png_structp) {}

// libpng reports errors by longjmp back to the setjmp in encodeRows; no C++ object
// is created between the two, so none is skipped.
bool encodeRows(const EarthImage& image, std::string& buffer) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) {
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, &buffer, appendToBuffer, flushNothing);
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.width()),
                 static_cast<png_uint_32>(image.height()), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_set_bgr(png); // the image holds blue, green, red
    for (int r = 0; r < image.height(); ++r) {
        png_write_row(png, const_cast<png_bytep>(image.row(r)));
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

std::optional<std::string> encodePng(const EarthImage* image) {
    if (!image || image->bitsPerPixel() != 24 || image->width() <= 0 || image->height() <= 0) {
        return std::nullopt;
    }
    if (large(*image)) {
        std::optional<PngFileParts> parts = deflatePng(*image, kFastPngLevel);
        if (!parts) {
            return std::nullopt;
        }
        std::string joined = std::move(parts->head);
        joined.append(parts->dataView());
        joined.append(parts->tail);
        return joined;
    }
    std::string buffer;
    buffer.reserve(static_cast<size_t>(image->stride()) * static_cast<size_t>(image->height()));
    if (!encodeRows(*image, buffer)) {
        return std::nullopt;
    }
    return buffer;
}

bool savePngFile(const EarthImage* image, const std::string& path) {
    if (image && image->bitsPerPixel() == 24 && large(*image)) {
        // The compressed rows go to disk as they are, not copied into one string.
        const std::optional<PngFileParts> parts = deflatePng(*image, kFastPngLevel);
        return parts && writeFileAtomically(path, {parts->head, parts->dataView(), parts->tail});
    }
    const std::optional<std::string> bytes = encodePng(image);
    return bytes && writeFileAtomically(path, *bytes);
}

} // namespace chronvale
