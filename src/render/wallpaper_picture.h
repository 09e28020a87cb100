#pragma once
// The wallpaper's images for a layout: dark pictures with each monitor's part of
// the earth painted into its place. What paints the earth is given: a lit map of
// the whole earth sampled to the size (paintFromMap), or a composition made at
// the picture's own resolution.

#include "render/earth_image.h"
#include "render/wallpaper_layout.h"

#include <functional>
#include <vector>

namespace chronvale {

// Paints `region` of the earth into `rect` of `picture` (a 24-bit image); false
// when it cannot.
using EarthPainter =
    std::function<bool(const MapRegion& region, EarthImage& picture, const PixelRect& rect)>;

// Samples `region` of the whole-earth `map` (360° × 180°, 24-bit) into `rect`,
// bilinear, the longitudes wrapping at the date line. `rect` must lie inside
// `picture`.
void paintFromMap(const EarthImage& map, const MapRegion& region, EarthImage& picture,
                  const PixelRect& rect);

// The images of `layout`, one per layout.images entry; empty when one cannot be
// made or the painter fails.
std::vector<ImagePtr> renderWallpaperImages(const WallpaperLayout& layout,
                                            const EarthPainter& painter);

} // namespace chronvale
