#pragma once
// The standard UTC offset at a point of the map, read from the colour of the
// time-zone image there.

#include "render/earth_image.h"

namespace chronvale {

// Hours east of UTC for the colour of pixel (x, y) of the time-zone image (row 0 at
// the top); 0 without an image, outside it, or for a colour that is no zone.
float zoneOffsetAt(const EarthImage* tzImage, int x, int y);

} // namespace chronvale
