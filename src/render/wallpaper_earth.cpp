#include "render/wallpaper_earth.h"

#include <algorithm>
#include <cmath>
#include <thread>

namespace chronvale {

namespace {

constexpr double kMapPixelsPerDegree = 1024.0 / 360.0;

// Pictures of at least this many pixels are composed in two bands at once: a 4K
// monitor's earth takes tens of milliseconds, a second core halves that.
constexpr long kBandedPixels = 1L << 20;

// Composes the request into `picture`, the upper half of the rows on a thread of
// its own where the computer has a second core and the picture is large; the
// bands give the same bits as one pass.
bool composeInBands(const EarthLayers& layers, const LitAreaRequest& request, EarthImage& picture,
                    int left, int top) {
    const bool banded = static_cast<long>(request.width) * request.height >= kBandedPixels &&
                        std::thread::hardware_concurrency() > 1;
    if (!banded) {
        return composeLitAreaInto(layers, request, picture, left, top);
    }
    const int middle = request.height / 2;
    bool upper = false;
    std::thread band(
        [&] { upper = composeLitAreaRowsInto(layers, request, picture, left, top, 0, middle); });
    const bool lower =
        composeLitAreaRowsInto(layers, request, picture, left, top, middle, request.height);
    band.join();
    return upper && lower;
}

} // namespace

DisplaySwitches wallpaperSwitches(const DisplaySwitches& shown) {
    DisplaySwitches s;
    s.dayMap = true;
    s.sunShadow = true;
    s.clouds = shown.clouds;
    s.cloudsWithShadow = shown.clouds;
    s.timeZones = shown.timeZones;
    s.grid = shown.grid;
    s.markedCities = shown.markedCities;
    return s;
}

RegionParts splitAtDateLine(const MapRegion& region, int width) {
    RegionParts result;
    if (width <= 0 || !(region.lonSpan > 0.0)) {
        return result;
    }
    double west = std::fmod(region.west + 180.0, 360.0);
    if (west < 0.0) {
        west += 360.0;
    }
    west -= 180.0;                              // now in [-180, 180)
    const double step = region.lonSpan / width; // degrees per column
    const double y = (90.0 - region.north) * kMapPixelsPerDegree;
    const double height = region.latSpan * kMapPixelsPerDegree;
    // The columns whose centre lies west of the date line.
    const int eastOfWest =
        std::clamp(static_cast<int>(std::ceil((180.0 - west) / step - 0.5)), 0, width);
    const double x = (west + 180.0) * kMapPixelsPerDegree;
    if (eastOfWest > 0) {
        result.parts[result.count++] = {
            MapArea{x, y, eastOfWest * step * kMapPixelsPerDegree, height}, 0, eastOfWest};
    }
    if (eastOfWest < width) {
        const double restX = x + eastOfWest * step * kMapPixelsPerDegree - 1024.0;
        result.parts[result.count++] = {
            MapArea{restX, y, (width - eastOfWest) * step * kMapPixelsPerDegree, height},
            eastOfWest, width - eastOfWest};
    }
    return result;
}

bool composeWallpaperRegion(const EarthLayers& standard, const EarthLayers& detailed,
                            const MapRegion& region, std::time_t now,
                            const DisplaySwitches& switches, EarthImage& picture,
                            const PixelRect& rect) {
    if (rect.width <= 0 || rect.height <= 0) {
        return true;
    }
    const RegionParts split = splitAtDateLine(region, rect.width);
    for (int p = 0; p < split.count; ++p) {
        const RegionPart& part = split.parts[p];
        LitAreaRequest request;
        request.area = part.area;
        request.width = part.columns;
        request.height = rect.height;
        request.now = now;
        request.switches = switches;
        if (!composeInBands(chooseLayers(standard, detailed, request), request, picture,
                            rect.x + part.firstColumn, rect.y)) {
            return false;
        }
    }
    return split.count > 0;
}

} // namespace chronvale
