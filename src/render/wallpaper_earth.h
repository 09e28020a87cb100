#pragma once
// The earth of a wallpaper picture, composed at the picture's own size with
// composeLitArea: every device pixel of the monitor gets its own sun elevation,
// from the high-resolution day and night images where the picture is denser than
// the 1024 x 512 map. A region that crosses the date line (a centre longitude
// other than Greenwich) is composed in two parts, east and west of it.

#include "render/display_switches.h"
#include "render/lit_area.h"
#include "render/wallpaper_layout.h"

#include <ctime>

namespace chronvale {

// What the wallpaper shows, from the window's switches: the day map with the sun
// shadow always (a wallpaper that does not follow the sun is stale within the
// hour), the clouds over day and night when Clouds is on, the time-zone colours,
// the grid and the marked cities when those are on; none of the window's other
// overlays (their times and the pointer's marks would go stale).
DisplaySwitches wallpaperSwitches(const DisplaySwitches& shown);

// The map area (1024 x 512 map pixels) of `region` and the output columns it
// takes, one part or, across the date line, two.
struct RegionPart {
    MapArea area;
    int firstColumn = 0;
    int columns = 0;
};
struct RegionParts {
    RegionPart parts[2];
    int count = 0;
};
RegionParts splitAtDateLine(const MapRegion& region, int width);

// Composes `region` at `rect`'s size straight into `rect` of `picture` (24
// bit; rect must lie inside it). Uses the day and night images of `detailed` where
// they show more (chooseLayers). False when the composition cannot be made (no
// day image, no memory).
bool composeWallpaperRegion(const EarthLayers& standard, const EarthLayers& detailed,
                            const MapRegion& region, std::time_t now,
                            const DisplaySwitches& switches, EarthImage& picture,
                            const PixelRect& rect);

} // namespace chronvale
