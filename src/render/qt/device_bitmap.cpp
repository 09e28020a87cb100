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
    const int width = image->width();
    const int height = image->height();
    QImage out(width, height, QImage::Format_RGB32);
    if (out.isNull()) {
        return {};
    }
    for (int r = 0; r < height; ++r) {
        const uint8_t* in = image->row(r);
        auto* px = reinterpret_cast<uint32_t*>(out.scanLine(r));
        for (int x = 0; x < width; ++x, in += 3) {
            px[x] = 0xff000000u | (uint32_t{in[2]} << 16) | (uint32_t{in[1]} << 8) | in[0];
        }
    }
    return out;
}

} // namespace chronvale
