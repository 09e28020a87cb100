#include "render/zone_offset.h"

#include "geo/zone_colours.h"

namespace chronvale {

float zoneOffsetAt(const EarthImage* tzImage, int x, int y) {
    if (!tzImage || tzImage->bitsPerPixel() != 24) {
        return 0.0f;
    }
    const uint8_t* pixel = pixelAddress(tzImage, x, y);
    if (!pixel) {
        return 0.0f;
    }
    // Pixels are stored blue, green, red.
    return zoneOffsetForColour(pixel[2], pixel[1], pixel[0]);
}

} // namespace chronvale
