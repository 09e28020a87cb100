#pragma once
// The view image in the form the window paints fastest: a QImage of 32-bit
// opaque pixels (0xffRRGGBB), which the raster engine copies onto the pane's
// backing store without conversion.

#include "render/earth_image.h"

#include <QImage>

namespace chronvale {

// A copy of the image's pixels, row 0 at the top; a null QImage for no image or
// one that cannot be converted to 24 bits.
QImage toDeviceBitmap(const EarthImage* image);

// Copies a 24-bit image's pixels into `into`, a 32-bit opaque QImage of the same
// size (the pane's base layer, so that no second copy of the view is kept); false
// and `into` unchanged when the depth, format or size differ.
bool copyToDeviceBitmap(const EarthImage& image, QImage& into);

} // namespace chronvale
