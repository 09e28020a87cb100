#pragma once
// The credit line of a wallpaper picture with clouds: the cloud source's credit,
// light on a dark plate in the lower left corner of the earth a monitor shows,
// sized for the picture's resolution and kept clear of the desktop's panels.

#include "render/earth_image.h"
#include "render/wallpaper_layout.h"

#include <string>

namespace chronvale {

// Where the credit's plate lies for an earth `rect`: in from its left edge and up
// from its bottom by a margin wide enough for a panel or dock there (both grow
// with the picture's height, as the other overlays do). An empty rectangle when
// the earth is too small for it (the plate would cover over a quarter of its
// height, or leave room for less than a few letters).
PixelRect wallpaperCreditPlate(const PixelRect& rect, const std::string& credit);

// Draws `credit` (elided to the earth's width) on its plate; nothing for an empty
// credit. Nothing outside `rect` is touched.
void drawWallpaperCredit(EarthImage& picture, const PixelRect& rect, const std::string& credit);

} // namespace chronvale
