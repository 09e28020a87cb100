#pragma once
// What paints a wallpaper order's earth: each monitor's region composed at the
// picture's own size (render/wallpaper_earth.h), then its grid and marked cities
// drawn over it. Runs where the renewal runs (the window's worker, the command):
// it decodes the images it needs on its first call, the high-resolution day and
// night images and the 4096 cloud copy only for a picture larger than the 1024 x
// 512 map, and frees them when the last copy of the painter goes.

#include "app/wallpaper/wallpaper_order.h"
#include "render/wallpaper_picture.h"

#include <string>
#include <vector>

namespace chronvale {

// `failed` (when given) collects the relative names of the images that could not
// be loaded; the earth goes on without them, as the window's does.
EarthPainter wallpaperPainter(const WallpaperOrder& order,
                              std::shared_ptr<std::vector<std::string>> failed = nullptr);

} // namespace chronvale
