#include "render/layer_blend.h"

#include <algorithm>
#include <cstring>

namespace chronvale {
namespace {

uint8_t toChannel(float value) {
    // The weighted mean plus the +10 of the cloud blend can pass 255 by a few units
    // for bright pixels; saturate instead of wrapping to a dark value.
    return static_cast<uint8_t>(std::min(static_cast<int>(value), 255));
}

bool all24Bit(const EarthImage& a, const EarthImage& b, const EarthImage& c) {
    return a.bitsPerPixel() == 24 && b.bitsPerPixel() == 24 && c.bitsPerPixel() == 24;
}

} // namespace

void blendCloudPixel(uint8_t* out, const uint8_t* base, const uint8_t* cloud) {
    const uint8_t b[3] = {base[0], base[1], base[2]};
    const uint8_t c[3] = {cloud[0], cloud[1], cloud[2]};
    const int m = (b[0] + b[1] + b[2]) / 3;
    const int l = (c[0] + c[1] + c[2]) / 3;
    if (l < 10) {
        std::memcpy(out, b, 3);
    } else if (l > 240) {
        std::memcpy(out, c, 3);
    } else if (m == 0) {
        std::memset(out, 0, 3);
    } else {
        const float wb = static_cast<float>(m) / static_cast<float>(l);
        const float wc = static_cast<float>(l) / static_cast<float>(m);
        const float s = wb + wc;
        for (int k = 0; k < 3; ++k) {
            out[k] = toChannel(
                (static_cast<float>(b[k]) * wb + static_cast<float>(c[k]) * wc + 10.0f) / s);
        }
    }
}

void blendCloudLayer(EarthImage& out, const EarthImage& base, const EarthImage& cloud) {
    if (!all24Bit(out, base, cloud)) {
        return;
    }
    const int rows = std::min(out.height(), base.height());
    const int columns = std::min(out.width(), base.width());
    const int cloudRows = std::min(rows, cloud.height());
    const int cloudColumns = std::min(columns, cloud.width());
    for (int r = 0; r < rows; ++r) {
        uint8_t* o = out.row(r);
        const uint8_t* b = base.row(r);
        int x = 0;
        if (r < cloudRows) {
            const uint8_t* c = cloud.row(r);
            for (; x < cloudColumns; ++x) {
                blendCloudPixel(o + x * 3, b + x * 3, c + x * 3);
            }
        }
        if (x < columns && o != b) {
            std::memmove(o + x * 3, b + x * 3, static_cast<size_t>(columns - x) * 3);
        }
    }
}

void tintTimeZones(EarthImage& out, const EarthImage& day, const EarthImage& zones, float weight) {
    if (!all24Bit(out, day, zones)) {
        return;
    }
    const float zoneWeight = 2.0f - weight;
    const int rows = std::min(out.height(), day.height());
    const int columns = std::min(out.width(), day.width());
    const int zoneRows = std::min(rows, zones.height());
    const int zoneColumns = std::min(columns, zones.width());
    for (int r = 0; r < rows; ++r) {
        uint8_t* o = out.row(r);
        const uint8_t* d = day.row(r);
        int x = 0;
        if (r < zoneRows) {
            const uint8_t* z = zones.row(r);
            for (; x < zoneColumns; ++x) {
                const int i = x * 3;
                const float grey = static_cast<float>((d[i] + d[i + 1] + d[i + 2]) / 3) * weight;
                for (int k = 0; k < 3; ++k) {
                    o[i + k] = toChannel((grey + static_cast<float>(z[i + k]) * zoneWeight) / 2.0f);
                }
            }
        }
        if (x < columns && o != d) {
            std::memmove(o + x * 3, d + x * 3, static_cast<size_t>(columns - x) * 3);
        }
    }
}

} // namespace chronvale
