#pragma once
// The overlays of a wallpaper picture: the latitude/longitude grid and the marked
// cities' boxes and names, drawn over the part of the earth a monitor shows, at
// the picture's own resolution. The names carry no time: the picture stays on the
// desktop until the next renewal, and a clock on it would be wrong meanwhile.

#include "render/earth_image.h"
#include "render/wallpaper_layout.h"

#include <span>
#include <string>

namespace chronvale {

struct WallpaperMark {
    std::string name; // the user's label, else the city's name
    float longitude = 0.0f;
    float latitude = 0.0f;
};

// The size of the overlays' marks and texts for an earth `height` device pixels
// high: the window's at 1080 rows and below, larger in proportion above.
double wallpaperOverlayUnit(int height);

// Draws the grid (every 10 degrees, the prime meridian and the equator in red)
// when `grid` is set, and every mark, over `rect` of `picture` where `region`
// lies. Longitudes wrap across the date line as the region does. Nothing outside
// `rect` is touched.
void drawWallpaperOverlays(EarthImage& picture, const PixelRect& rect, const MapRegion& region,
                           bool grid, std::span<const WallpaperMark> marks);

} // namespace chronvale
