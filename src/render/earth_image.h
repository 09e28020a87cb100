#pragma once
// EarthImage: the in-memory picture that every map layer is made of.
//
// A device-independent bitmap: rows padded to 4 bytes and stored bottom-up (the
// last row in memory is the top of the picture), with a row table so that callers
// address rows top-down (row 0 is the top) and never see the storage order.
// Everything the program builds or loads is 24 bits per pixel, bytes blue, green,
// red; 1-, 4-, 8-, 16- and 32-bit images exist for the BMP reader.

#include "render/large_pages.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace chronvale {

// Masks and shifts that turn a 16- or 32-bit pixel into its red, green and blue
// bytes: channel = ((pixel & mask) >> rightShift) << leftShift.
struct ChannelMasks {
    std::array<uint32_t, 3> mask{}; // red, green, blue
    std::array<int, 3> rightShift{};
    std::array<int, 3> leftShift{};
    bool bitFields = false; // masks came from the file's header
};

// Masks for BI_BITFIELDS pixels: each right shift is the mask's number of trailing
// zero bits, each left shift 8 - the mask's width (negative: the channel is wider
// than 8 bits and is shifted right instead).
ChannelMasks bitFieldMasks(uint32_t red, uint32_t green, uint32_t blue);

// Largest pixel block (and largest input file) the program accepts; anything bigger
// is a corrupt or hostile header, refused before allocating.
inline constexpr size_t kMaxImageBytes = size_t{1} << 28;

class EarthImage {
public:
    // The row table points into the pixel block, so an image is never copied or
    // moved; it lives behind an ImagePtr.
    EarthImage(const EarthImage&) = delete;
    EarthImage& operator=(const EarthImage&) = delete;

    int width() const { return width_; }
    int height() const { return height_; }
    int bitsPerPixel() const { return bitsPerPixel_; }
    uint32_t colourCount() const { return colourCount_; }
    // Bytes per stored row: ((width * bitsPerPixel + 31) / 32) * 4.
    int stride() const { return stride_; }

    // Picture row r, row 0 at the top. r must be in [0, height).
    uint8_t* row(int r) { return rows_[static_cast<size_t>(r)]; }
    const uint8_t* row(int r) const { return rows_[static_cast<size_t>(r)]; }

    // The whole pixel block in storage order (bottom row first), height * stride bytes.
    uint8_t* pixels() { return pixels_.data(); }
    const uint8_t* pixels() const { return pixels_.data(); }
    size_t pixelBytes() const { return pixels_.size(); }

    // Entries of blue, green, red, reserved: colourCount of them, or 2^bitsPerPixel
    // when colourCount is 0 and the depth is at most 8 bits.
    std::vector<std::array<uint8_t, 4>>& colourTable() { return colourTable_; }
    const std::vector<std::array<uint8_t, 4>>& colourTable() const { return colourTable_; }

    ChannelMasks& masks() { return masks_; }
    const ChannelMasks& masks() const { return masks_; }

private:
    friend std::unique_ptr<EarthImage> createImage(int, int, int, uint32_t);
    EarthImage() = default;

    int width_ = 0;
    int height_ = 0;
    int bitsPerPixel_ = 0;
    uint32_t colourCount_ = 0;
    int stride_ = 0;
    std::vector<uint8_t, LargePageAllocator<uint8_t>> pixels_;
    std::vector<uint8_t*> rows_;
    std::vector<std::array<uint8_t, 4>> colourTable_;
    ChannelMasks masks_;
};

using ImagePtr = std::unique_ptr<EarthImage>;

// A black image with a zero colour table; none when width or height is not
// positive, the depth is not 1, 4, 8, 16, 24 or 32, or the pixel block would exceed
// kMaxImageBytes. Default masks are set for 16-bit (5-5-5) and 32-bit (8-8-8) pixels.
ImagePtr createImage(int width, int height, int bitsPerPixel, uint32_t colourCount);

// The same header, colour table, masks and pixels; none for no image.
ImagePtr cloneImage(const EarthImage* image);

// Address of pixel x of row r (row 0 at the top); none outside the picture.
uint8_t* pixelAddress(EarthImage* image, int x, int r);
const uint8_t* pixelAddress(const EarthImage* image, int x, int r);

// Raw pixel value of any depth: a colour index for 1, 4 and 8 bits (high bits
// first), the packed value for 16 and 32 bits, 0xRRGGBB for 24 bits. Out of the
// picture: getPixel gives 0 and setPixel does nothing.
uint32_t getPixel(const EarthImage* image, int x, int r);
void setPixel(EarthImage* image, int x, int r, uint32_t value);

// A new 24-bit image (colourCount 256) with every pixel taken through the colour
// table or the channel masks; indices beyond the table are black.
ImagePtr convertTo24Bit(const EarthImage* image);

// The file formats loadImage understands.
enum class ImageKind { Jpeg, Gif, Bmp, Png };

// The format named by the extension of the file-name part (from its last "."),
// compared without regard to case; none for any other extension.
std::optional<ImageKind> imageKindOfPath(const std::string& path);

// Decodes a whole file held in memory into a new 24-bit image (colourCount 256,
// row 0 the top of the picture); none on any decoder error, never a partial image.
ImagePtr decodeImage(std::span<const uint8_t> bytes, ImageKind kind);

// Decodes a .bmp, .jpg/.jpeg, .gif or .png file (extension compared without regard
// to case) into a new 24-bit image; none for any other extension or any failure.
ImagePtr loadImage(const std::string& path);

// A new width x height 24-bit image, area-averaged over bilinear samples in 16.16
// fixed point; none for no image or a non-positive size. The source is unchanged.
ImagePtr resampleImage(const EarthImage* image, int width, int height);

// Writes the image as an uncompressed BMP file, bottom-up rows as stored. The file
// is written beside the target under a temporary name and renamed over it, so an
// old file is either kept whole or replaced whole; false (and no file left behind)
// on any failure.
bool saveBmpFile(const EarthImage* image, const std::string& path);

} // namespace chronvale
