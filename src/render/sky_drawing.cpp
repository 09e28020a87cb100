#include "render/sky_drawing.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace chronvale {
namespace {

void putPixel(EarthImage& image, int x, int y, SkyRgb colour) {
    if (image.bitsPerPixel() != 24 || x < 0 || y < 0 || x >= image.width() || y >= image.height()) {
        return;
    }
    uint8_t* p = image.row(y) + static_cast<ptrdiff_t>(x) * 3;
    p[0] = colour.blue;
    p[1] = colour.green;
    p[2] = colour.red;
}

struct ImagePoint {
    int x = 0;
    int y = 0;
};

ImagePoint project(const EarthImage& image, const GroundPoint& g) {
    const double x = (g.longitude + 180.0) / 360.0 * image.width();
    const double y = (90.0 - g.latitude) / 180.0 * image.height();
    return {std::min(static_cast<int>(x), image.width() - 1),
            std::min(static_cast<int>(y), image.height() - 1)};
}

// A dashed polyline; the dash pattern runs on from one segment to the next.
void dashedPath(EarthImage& image, const std::vector<GroundPoint>& path,
                const TwilightLineStyle& style) {
    int phase = 0;
    const int period = style.dashOn + style.dashOff;
    for (size_t i = 1; i < path.size(); ++i) {
        ImagePoint a = project(image, path[i - 1]);
        const ImagePoint b = project(image, path[i]);
        // Bresenham; the end point is the next segment's start.
        const int dx = std::abs(b.x - a.x);
        const int dy = -std::abs(b.y - a.y);
        const int sx = a.x < b.x ? 1 : -1;
        const int sy = a.y < b.y ? 1 : -1;
        int err = dx + dy;
        while (a.x != b.x || a.y != b.y) {
            if (phase < style.dashOn) {
                putPixel(image, a.x, a.y, style.colour);
            }
            phase = (phase + 1) % period;
            const int e2 = 2 * err;
            if (e2 >= dy) {
                err += dy;
                a.x += sx;
            }
            if (e2 <= dx) {
                err += dx;
                a.y += sy;
            }
        }
    }
}

template <typename PixelOf>
void drawSymbol(EarthImage& image, const GroundPoint& at, int size, PixelOf pixelOf) {
    const ImagePoint c = project(image, at);
    const int half = size / 2;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            if (const std::optional<SkyRgb> colour = pixelOf(x, y)) {
                putPixel(image, c.x - half + x, c.y - half + y, *colour);
            }
        }
    }
}

} // namespace

void drawSkyMarks(EarthImage& image, const SkyMarks& marks) {
    for (size_t i = 0; i < kTwilightLines.size(); ++i) {
        for (const std::vector<GroundPoint>& path : marks.twilight[i]) {
            dashedPath(image, path, kTwilightLines[i]);
        }
    }
    if (marks.moon) {
        const MoonMark& moon = *marks.moon;
        drawSymbol(image, moon.subLunar, moonSymbolSize(),
                   [&moon](int x, int y) { return moonSymbolPixel(x, y, moon); });
    }
    if (marks.sun) {
        drawSymbol(image, *marks.sun, sunSymbolSize(), sunSymbolPixel);
    }
}

} // namespace chronvale
