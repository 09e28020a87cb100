#pragma once
// Draws the sky overlays straight into a 24-bit EarthImage of the whole earth (the
// headless render and whatever else writes the lit map to a file): the twilight
// lines as thin dashed lines, then the moon and the sun symbols.

#include "render/earth_image.h"
#include "render/sky_marks.h"

namespace chronvale {

// The image's pixel of a point of the earth: x = (longitude + 180) / 360 * width,
// y = (90 - latitude) / 180 * height, truncated.
void drawSkyMarks(EarthImage& image, const SkyMarks& marks);

} // namespace chronvale
