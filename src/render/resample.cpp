// resampleImage: area-averaging over bilinear samples, in 16.16 fixed point.
//
// N = max(source width, W) samples per sample row and M = max(source height, H)
// sample rows are taken at even source steps; each sample adds to the accumulator
// of the destination column it falls in, and a destination row is written (and
// the accumulators cleared) at the first sample row that maps to it. Samples of
// later rows mapping to the same destination row are carried into the next row
// written.

#include "render/earth_image.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace chronvale {

namespace {

constexpr int64_t kOne = 65536;

struct SampleColumn {
    size_t left = 0;  // byte offset of x0 in a row
    size_t right = 0; // byte offset of x1
    uint32_t fraction = 0;
    size_t destination = 0;
};

struct Accumulator {
    uint64_t sum[3] = {0, 0, 0}; // blue, green, red
    uint32_t count = 0;
};

uint32_t lerp(uint32_t a, uint32_t b, uint32_t fraction) {
    return (a * (65535 - fraction) + b * fraction) / 65535;
}

} // namespace

ImagePtr resampleImage(const EarthImage* image, int width, int height) {
    if (!image || width <= 0 || height <= 0) {
        return nullptr;
    }
    ImagePtr converted;
    const EarthImage* source = image;
    if (source->bitsPerPixel() != 24) {
        converted = convertTo24Bit(source);
        if (!converted) {
            return nullptr;
        }
        source = converted.get();
    }
    ImagePtr result = createImage(width, height, 24, 256);
    if (!result) {
        return nullptr;
    }

    const int64_t sourceWidth = source->width();
    const int64_t sourceHeight = source->height();
    const int64_t n = std::max<int64_t>(sourceWidth, width);
    const int64_t m = std::max<int64_t>(sourceHeight, height);
    const int64_t sx = (sourceWidth * kOne - kOne) / n;
    const int64_t sy = (sourceHeight * kOne - kOne) / m;
    const int64_t dx = width * kOne / n;
    const int64_t dy = height * kOne / m;

    std::vector<SampleColumn> columns;
    // Destination columns are (k * dx) >> 16 < W, so W accumulators cover all N samples.
    std::vector<Accumulator> accumulators;
    try {
        columns.resize(static_cast<size_t>(n));
        accumulators.resize(static_cast<size_t>(width));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    for (int64_t k = 0; k < n; ++k) {
        const int64_t a = k * sx;
        // k * sx < (source width - 1) << 16, so x1 stays inside; clamped all the same.
        const int64_t x0 = a >> 16;
        const int64_t x1 = std::min((a + 65535) >> 16, sourceWidth - 1);
        SampleColumn& column = columns[static_cast<size_t>(k)];
        column.left = static_cast<size_t>(x0) * 3;
        column.right = static_cast<size_t>(x1) * 3;
        column.fraction = static_cast<uint32_t>(a & 65535);
        column.destination = static_cast<size_t>(std::min<int64_t>((k * dx) >> 16, width - 1));
    }
    // Destination columns advance by at most one per sample, so they cover
    // 0 .. lastColumn without gaps.
    const size_t lastColumn = columns.back().destination;

    int previousRow = -1;
    for (int64_t i = 0; i < m; ++i) {
        const int64_t b = i * sy;
        const int64_t y0 = b >> 16;
        const int64_t y1 = std::min((b + 65535) >> 16, sourceHeight - 1);
        const uint32_t fy = static_cast<uint32_t>(b & 65535);
        const uint8_t* top = source->row(static_cast<int>(y0));
        const uint8_t* bottom = source->row(static_cast<int>(y1));
        for (const SampleColumn& column : columns) {
            Accumulator& acc = accumulators[column.destination];
            for (int c = 0; c < 3; ++c) {
                const uint32_t upper =
                    lerp(top[column.left + c], top[column.right + c], column.fraction);
                const uint32_t lower =
                    lerp(bottom[column.left + c], bottom[column.right + c], column.fraction);
                acc.sum[c] += lerp(upper, lower, fy);
            }
            ++acc.count;
        }

        const int row = static_cast<int>(std::min<int64_t>((i * dy) >> 16, height - 1));
        if (row == previousRow) {
            continue;
        }
        uint8_t* out = result->row(row);
        for (size_t j = 0; j <= lastColumn; ++j, out += 3) {
            Accumulator& acc = accumulators[j];
            for (int c = 0; c < 3; ++c) {
                out[c] = static_cast<uint8_t>(acc.sum[c] / acc.count);
            }
            acc = Accumulator{};
        }
        previousRow = row;
    }

    // When N is not a multiple that makes the steps exact, the last destination
    // columns or rows can receive no sample; they repeat the last one written
    // rather than stay black.
    for (int r = 0; r <= previousRow; ++r) {
        uint8_t* rowStart = result->row(r);
        for (size_t j = lastColumn + 1; j < static_cast<size_t>(width); ++j) {
            std::memcpy(rowStart + j * 3, rowStart + lastColumn * 3, 3);
        }
    }
    for (int r = previousRow + 1; r < height; ++r) {
        std::memcpy(result->row(r), result->row(previousRow), static_cast<size_t>(width) * 3);
    }
    return result;
}

} // namespace chronvale
