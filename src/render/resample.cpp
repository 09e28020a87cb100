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
    uint32_t left = 0;  // byte offset of x0 in a row
    uint32_t right = 0; // byte offset of x1
    uint32_t fraction = 0;
    uint32_t destination = 0;
};

struct Accumulator {
    uint64_t sum[3] = {0, 0, 0}; // blue, green, red
    uint32_t count = 0;
};

uint32_t lerp(uint32_t a, uint32_t b, uint32_t fraction) {
    return (a * (65535 - fraction) + b * fraction) / 65535;
}

// The horizontal half of the bilinear samples of one source row, blue, green,
// red per sample. Sample rows advance through the source monotonically, and each
// uses rows y0 and y1 = y0 or y0 + 1, so two cached rows spare recomputing them
// for the next sample rows; the values are the same as computed afresh.
class HorizontalRows {
public:
    HorizontalRows(const EarthImage& source, const std::vector<SampleColumn>& columns)
        : source_(source), columns_(columns) {
        for (Slot& slot : slots_) {
            slot.values.resize(columns.size() * 3);
        }
    }

    const uint8_t* row(int y) {
        for (Slot& slot : slots_) {
            if (slot.y == y) {
                return slot.values.data();
            }
        }
        Slot& slot = slots_[0].y < slots_[1].y ? slots_[0] : slots_[1];
        const uint8_t* in = source_.row(y);
        uint8_t* out = slot.values.data();
        for (const SampleColumn& column : columns_) {
            for (int c = 0; c < 3; ++c) {
                *out++ = static_cast<uint8_t>(
                    lerp(in[column.left + c], in[column.right + c], column.fraction));
            }
        }
        slot.y = y;
        return slot.values.data();
    }

private:
    struct Slot {
        int y = -1;
        std::vector<uint8_t> values;
    };
    const EarthImage& source_;
    const std::vector<SampleColumn>& columns_;
    Slot slots_[2];
};

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
    const int64_t sourceWidth = source->width();
    const int64_t sourceHeight = source->height();
    const int64_t n = std::max<int64_t>(sourceWidth, width);
    const int64_t m = std::max<int64_t>(sourceHeight, height);
    // The working rows grow with N; a request that would need more memory for them
    // than the largest image is refused like an oversized image.
    if (static_cast<uint64_t>(n) * (sizeof(SampleColumn) + 3) +
            static_cast<uint64_t>(width) * sizeof(Accumulator) >
        kMaxImageBytes) {
        return nullptr;
    }
    ImagePtr result = createImage(width, height, 24, 256);
    if (!result) {
        return nullptr;
    }
    const int64_t sx = (sourceWidth * kOne - kOne) / n;
    const int64_t sy = (sourceHeight * kOne - kOne) / m;
    const int64_t dx = width * kOne / n;
    const int64_t dy = height * kOne / m;
    // Enlarging in both directions: every sample is its own destination pixel and
    // every sample row its own destination row, so the averages are the samples.
    const bool oneSamplePerPixel = dx == kOne && dy == kOne;

    std::vector<SampleColumn> columns;
    // Destination columns are (k * dx) >> 16 < W, so W accumulators cover all N samples.
    std::vector<Accumulator> accumulators;
    std::vector<uint8_t> samples;
    try {
        columns.resize(static_cast<size_t>(n));
        accumulators.resize(static_cast<size_t>(width));
        samples.resize(static_cast<size_t>(n) * 3);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    for (int64_t k = 0; k < n; ++k) {
        const int64_t a = k * sx;
        // k * sx < (source width - 1) << 16, so x1 stays inside; clamped all the same.
        const int64_t x0 = a >> 16;
        const int64_t x1 = std::min((a + 65535) >> 16, sourceWidth - 1);
        SampleColumn& column = columns[static_cast<size_t>(k)];
        column.left = static_cast<uint32_t>(x0 * 3);
        column.right = static_cast<uint32_t>(x1 * 3);
        column.fraction = static_cast<uint32_t>(a & 65535);
        column.destination = static_cast<uint32_t>(std::min<int64_t>((k * dx) >> 16, width - 1));
    }
    // Destination columns advance by at most one per sample, so they cover
    // 0 .. lastColumn without gaps.
    const size_t lastColumn = columns.back().destination;
    HorizontalRows horizontal(*source, columns);

    int previousRow = -1;
    for (int64_t i = 0; i < m; ++i) {
        const int64_t b = i * sy;
        const int y0 = static_cast<int>(b >> 16);
        const int y1 = static_cast<int>(std::min((b + 65535) >> 16, sourceHeight - 1));
        const uint32_t fy = static_cast<uint32_t>(b & 65535);
        const int row = static_cast<int>(std::min<int64_t>((i * dy) >> 16, height - 1));
        const uint8_t* top = horizontal.row(y0);
        const uint8_t* bottom = horizontal.row(y1);
        uint8_t* out = oneSamplePerPixel ? result->row(row) : samples.data();
        for (size_t j = 0; j < samples.size(); ++j) {
            out[j] = static_cast<uint8_t>(lerp(top[j], bottom[j], fy));
        }
        if (oneSamplePerPixel) {
            previousRow = row;
            continue;
        }

        const uint8_t* sample = samples.data();
        for (const SampleColumn& column : columns) {
            Accumulator& acc = accumulators[column.destination];
            for (int c = 0; c < 3; ++c) {
                acc.sum[c] += *sample++;
            }
            ++acc.count;
        }
        if (row == previousRow) {
            continue;
        }
        uint8_t* pixel = result->row(row);
        for (size_t j = 0; j <= lastColumn; ++j, pixel += 3) {
            Accumulator& acc = accumulators[j];
            for (int c = 0; c < 3; ++c) {
                pixel[c] = static_cast<uint8_t>(acc.sum[c] / acc.count);
            }
            acc = Accumulator{};
        }
        previousRow = row;
    }

    // When the steps are not exact, the last destination columns or rows can
    // receive no sample; they repeat the last one written rather than stay black.
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
