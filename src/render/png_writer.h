#pragma once
// Writes an EarthImage as a PNG file (8-bit RGB): through libpng, large images
// through png_deflate.

#include "render/earth_image.h"

#include <optional>
#include <string>

namespace chronvale {

// The PNG encoding of a 24-bit image; none for no image, another depth, or an
// encoder failure.
std::optional<std::string> encodePng(const EarthImage* image);

// Encodes the image and replaces the file at path atomically (a temporary file
// beside it, renamed over it); false and no file change on any failure.
bool savePngFile(const EarthImage* image, const std::string& path);

} // namespace chronvale
