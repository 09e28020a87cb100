#pragma once
// Writes an EarthImage as a JPEG file (TurboJPEG). The wallpaper's format: a 4K
// picture is encoded in a few tens of milliseconds and takes 1 to 3 MB, where an
// uncompressed bitmap takes 25 MB and PNG's deflate several times longer.

#include "render/earth_image.h"

#include <optional>
#include <string>

namespace chronvale {

inline constexpr int kWallpaperJpegQuality = 90;

// The JPEG encoding of a 24-bit image at `quality` (1 to 100), colours at full
// resolution (4:4:4, so that thin coloured lines and names stay sharp); none for
// no image, another depth, or an encoder failure.
std::optional<std::string> encodeJpeg(const EarthImage* image, int quality);

// Encodes the image and replaces the file at path atomically; false and no file
// change on any failure.
bool saveJpegFile(const EarthImage* image, const std::string& path, int quality);

} // namespace chronvale
