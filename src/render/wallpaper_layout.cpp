#include "render/wallpaper_layout.h"

#include "render/earth_image.h"

#include <algorithm>
#include <cmath>

namespace chronvale {

namespace {

// Largest image made, in pixels: a 24-bit pixel block well inside kMaxImageBytes.
constexpr double kMaxImagePixels = static_cast<double>(kMaxImageBytes / 4);

double normalisedWest(double longitude) {
    double west = std::fmod(longitude + 180.0, 360.0);
    if (west < 0.0) {
        west += 360.0;
    }
    return west - 180.0;
}

// The factor that brings a width × height image inside kMaxImagePixels.
double areaFactor(double width, double height) {
    const double area = width * height;
    return area > kMaxImagePixels ? std::sqrt(kMaxImagePixels / area) : 1.0;
}

int scaled(int value, double factor) {
    return static_cast<int>(std::floor(value * factor));
}

} // namespace

EarthPlacement placeEarth(int width, int height, WallpaperPlacement placement,
                          double centreLongitude) {
    EarthPlacement placed;
    placed.width = width;
    placed.height = height;
    MapRegion& region = placed.region;
    const bool wide = width >= 2 * height;
    if (placement == WallpaperPlacement::Fit) {
        // The largest 2 : 1 rectangle inside the picture, centred.
        const int earthHeight = wide ? height : std::max(1, width / 2);
        const int earthWidth = wide ? 2 * height : width;
        placed.earth = {(width - earthWidth) / 2, (height - earthHeight) / 2, earthWidth,
                        earthHeight};
    } else {
        placed.earth = {0, 0, width, height};
        if (wide) {
            // The whole width holds 360°: the rows beyond the picture's height go.
            region.latSpan = 360.0 * height / width;
            region.north = region.latSpan / 2.0;
        } else {
            // The whole height holds 180°: the columns beyond its width go.
            region.lonSpan = 180.0 * width / height;
        }
    }
    region.west = normalisedWest(centreLongitude - region.lonSpan / 2.0);
    return placed;
}

PixelRect cappedSize(const WallpaperScreen& screen, int widthCap) {
    double factor = widthCap > 0 && widthCap < screen.width
                        ? static_cast<double>(widthCap) / screen.width
                        : 1.0;
    factor = std::min(factor, areaFactor(screen.width, screen.height));
    if (factor >= 1.0) {
        return {0, 0, screen.width, screen.height};
    }
    return {0, 0, std::max(1, static_cast<int>(std::lround(screen.width * factor))),
            std::max(1, static_cast<int>(std::lround(screen.height * factor)))};
}

WallpaperLayout layoutWallpaper(const std::vector<WallpaperScreen>& screens,
                                const WallpaperLook& look, bool spanned) {
    WallpaperLayout layout;
    layout.spanned = spanned;
    if (screens.empty()) {
        return layout;
    }
    const auto place = [&look](const WallpaperScreen& screen, PixelRect at) {
        return MonitorPicture{
            screen, at, placeEarth(at.width, at.height, look.placement, look.centreLongitude)};
    };
    if (!spanned) {
        for (const WallpaperScreen& screen : screens) {
            const PixelRect size = cappedSize(screen, look.widthCap);
            layout.images.push_back(size);
            layout.pictures.push_back(place(screen, size));
        }
        return layout;
    }
    int left = screens.front().x;
    int top = screens.front().y;
    int right = left;
    int bottom = top;
    int widest = 0;
    for (const WallpaperScreen& screen : screens) {
        left = std::min(left, screen.x);
        top = std::min(top, screen.y);
        right = std::max(right, screen.x + screen.width);
        bottom = std::max(bottom, screen.y + screen.height);
        widest = std::max(widest, screen.width);
    }
    double factor = look.widthCap > 0 && look.widthCap < widest
                        ? static_cast<double>(look.widthCap) / widest
                        : 1.0;
    factor = std::min(factor, areaFactor(right - left, bottom - top));
    layout.images.push_back({0, 0, std::max(1, scaled(right - left, factor)),
                             std::max(1, scaled(bottom - top, factor))});
    for (const WallpaperScreen& screen : screens) {
        // Edges scaled one by one, so that neighbours meet without a gap.
        const int x0 = scaled(screen.x - left, factor);
        const int y0 = scaled(screen.y - top, factor);
        const int x1 = std::max(x0 + 1, scaled(screen.x + screen.width - left, factor));
        const int y1 = std::max(y0 + 1, scaled(screen.y + screen.height - top, factor));
        layout.pictures.push_back(place(screen, {x0, y0, x1 - x0, y1 - y0}));
    }
    return layout;
}

} // namespace chronvale
