#include "render/qt/device_bitmap.h"

#include <cstdint>

namespace chronvale {

QImage toDeviceBitmap(const EarthImage* image) {
    if (image == nullptr) {
        return {};
    }
    ImagePtr converted;
    if (image->bitsPerPixel() != 24) {
        converted = convertTo24Bit(image);
        if (!converted) {
            return {};
        }
        image = converted.get();
    }
    QImage out(image->width(), image->height(), QImage::Format_RGB32);
    if (out.isNull() || !copyToDeviceBitmap(*image, out)) {
        return {};
    }
    return out;
}

bool copyToDeviceBitmap(const EarthImage& image, QImage& into) {
    if (image.bitsPerPixel() != 24 || into.format() != QImage::Format_RGB32 ||
        into.width() != image.width() || into.height() != image.height()) {
        return false;
    }
    const int width = image.width();
    for (int r = 0; r < image.height(); ++r) {
        const uint8_t* in = image.row(r);
        auto* px = reinterpret_cast<uint32_t*>(into.scanLine(r));
        for (int x = 0; x < width; ++x, in += 3) {
            px[x] = 0xff000000u | (uint32_t{in[2]} << 16) | (uint32_t{in[1]} << 8) | in[0];
        }
    }
    return true;
}

} // namespace chronvale
