#include "render/wallpaper_picture.h"

#include <algorithm>
#include <cmath>

namespace chronvale {

namespace {

// A source column or row and the weight (0 to 256) of the next one.
struct Tap {
    int first = 0;
    int second = 0;
    uint32_t weight = 0;
};

Tap tapAt(double position, int size, bool wraps) {
    const double floorPosition = std::floor(position);
    Tap tap;
    tap.weight = static_cast<uint32_t>(std::lround((position - floorPosition) * 256.0));
    int first = static_cast<int>(floorPosition);
    if (tap.weight == 256) {
        tap.weight = 0;
        ++first;
    }
    if (wraps) {
        first = ((first % size) + size) % size;
        tap.first = first;
        tap.second = (first + 1) % size;
    } else {
        tap.first = std::clamp(first, 0, size - 1);
        tap.second = std::clamp(first + 1, 0, size - 1);
    }
    return tap;
}

uint8_t mix(uint32_t a, uint32_t b, uint32_t weight) {
    return static_cast<uint8_t>((a * (256 - weight) + b * weight + 128) >> 8);
}

} // namespace

void paintFromMap(const EarthImage& map, const MapRegion& region, EarthImage& picture,
                  const PixelRect& rect) {
    if (rect.width <= 0 || rect.height <= 0 || map.width() <= 0 || map.height() <= 0) {
        return;
    }
    std::vector<Tap> columns(static_cast<std::size_t>(rect.width));
    for (int c = 0; c < rect.width; ++c) {
        const double longitude = region.west + (c + 0.5) * region.lonSpan / rect.width;
        columns[static_cast<std::size_t>(c)] =
            tapAt((longitude + 180.0) / 360.0 * map.width() - 0.5, map.width(), true);
    }
    for (int r = 0; r < rect.height; ++r) {
        const double latitude = region.north - (r + 0.5) * region.latSpan / rect.height;
        const Tap row = tapAt((90.0 - latitude) / 180.0 * map.height() - 0.5, map.height(), false);
        const uint8_t* top = map.row(row.first);
        const uint8_t* bottom = map.row(row.second);
        uint8_t* out = picture.row(rect.y + r) + static_cast<std::size_t>(rect.x) * 3;
        for (const Tap& column : columns) {
            const std::size_t a = static_cast<std::size_t>(column.first) * 3;
            const std::size_t b = static_cast<std::size_t>(column.second) * 3;
            for (int k = 0; k < 3; ++k) {
                const uint8_t upperValue = mix(top[a + k], top[b + k], column.weight);
                const uint8_t lowerValue = mix(bottom[a + k], bottom[b + k], column.weight);
                *out++ = mix(upperValue, lowerValue, row.weight);
            }
        }
    }
}

std::vector<ImagePtr> renderWallpaperImages(const WallpaperLayout& layout,
                                            const EarthPainter& painter) {
    std::vector<ImagePtr> images;
    for (const PixelRect& size : layout.images) {
        ImagePtr image = createImage(size.width, size.height, 24, 0);
        if (!image) {
            return {};
        }
        images.push_back(std::move(image));
    }
    for (std::size_t i = 0; i < layout.pictures.size(); ++i) {
        const MonitorPicture& picture = layout.pictures[i];
        EarthImage& image = *images[layout.spanned ? 0 : i];
        const PixelRect& earth = picture.earth.earth;
        const PixelRect at{picture.at.x + earth.x, picture.at.y + earth.y, earth.width,
                           earth.height};
        if (!painter(picture.earth.region, image, at)) {
            return {};
        }
    }
    return images;
}

} // namespace chronvale
