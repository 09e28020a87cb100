#pragma once
// The per-format decoders behind decodeImage. Each takes a whole file held in
// memory and yields a new 24-bit image (colourCount 256, row 0 at the top), or
// none on any error; nothing is read outside the given bytes.

#include "render/earth_image.h"

#include <cstdint>
#include <span>

namespace chronvale::codecs {

// Our own reader: 1, 4, 8, 16, 24 and 32 bits, colour tables, BI_BITFIELDS masks,
// bottom-up and top-down rows, BITMAPCOREHEADER files. Compressed files are refused.
ImagePtr decodeBmp(std::span<const uint8_t> bytes);

// libpng, expanded to 8-bit RGB; an alpha channel is dropped, never blended.
ImagePtr decodePng(std::span<const uint8_t> bytes);

// TurboJPEG; any warning (a truncated stream among them) counts as an error.
ImagePtr decodeJpeg(std::span<const uint8_t> bytes);

// giflib: the first frame on a white canvas of the logical screen's size.
ImagePtr decodeGif(std::span<const uint8_t> bytes);

} // namespace chronvale::codecs
