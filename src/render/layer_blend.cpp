#include "render/layer_blend.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace chronvale {
namespace {

uint8_t toChannel(float value) {
    // Rounding may put a full-weight tint a hair above 255; never wrap.
    return static_cast<uint8_t>(std::min(static_cast<int>(value), 255));
}

bool all24Bit(const EarthImage& a, const EarthImage& b, const EarthImage& c) {
    return a.bitsPerPixel() == 24 && b.bitsPerPixel() == 24 && c.bitsPerPixel() == 24;
}

// The cloud blend of `count` pixels, written without branches (the rules become
// selects), which keeps the processor's dividers busy on mixed pixels.
void blendCloudRun(uint8_t* out, const uint8_t* base, const uint8_t* cloud, int count) {
    for (int x = 0; x < count; ++x) {
        const int i = x * 3;
        const int b0 = base[i], b1 = base[i + 1], b2 = base[i + 2];
        const int c0 = cloud[i], c1 = cloud[i + 1], c2 = cloud[i + 2];
        const int m = (b0 + b1 + b2) / 3;
        const int l = (c0 + c1 + c2) / 3;
        // Divisors of at least 1: where m or l is 0 the quotients are not used.
        const float fm = static_cast<float>(m > 0 ? m : 1);
        const float fl = static_cast<float>(l > 0 ? l : 1);
        const float wb = fm / fl;
        const float wc = fl / fm;
        const float s = wb + wc;
        const int v0 = static_cast<int>(
            (static_cast<float>(b0) * wb + static_cast<float>(c0) * wc + 10.0f) / s);
        const int v1 = static_cast<int>(
            (static_cast<float>(b1) * wb + static_cast<float>(c1) * wc + 10.0f) / s);
        const int v2 = static_cast<int>(
            (static_cast<float>(b2) * wb + static_cast<float>(c2) * wc + 10.0f) / s);
        // The rules, the last one applied first: the blend (the weighted mean plus 10
        // can pass 255 by a few units for bright pixels: saturate rather than wrap to
        // a dark value), black under a black base, the cloud above mean 240, the base
        // below mean 10.
        int r0 = v0 < 255 ? v0 : 255;
        int r1 = v1 < 255 ? v1 : 255;
        int r2 = v2 < 255 ? v2 : 255;
        r0 = m == 0 ? 0 : r0;
        r1 = m == 0 ? 0 : r1;
        r2 = m == 0 ? 0 : r2;
        r0 = l > 240 ? c0 : r0;
        r1 = l > 240 ? c1 : r1;
        r2 = l > 240 ? c2 : r2;
        r0 = l < 10 ? b0 : r0;
        r1 = l < 10 ? b1 : r1;
        r2 = l < 10 ? b2 : r2;
        out[i] = static_cast<uint8_t>(r0);
        out[i + 1] = static_cast<uint8_t>(r1);
        out[i + 2] = static_cast<uint8_t>(r2);
    }
}

} // namespace

void blendCloudPixel(uint8_t* out, const uint8_t* base, const uint8_t* cloud) {
    blendCloudRun(out, base, cloud, 1);
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
            blendCloudRun(o, b, cloud.row(r), cloudColumns);
            x = cloudColumns;
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
    // Every output channel is a function of the grey and the zone channel alone:
    // tabulate it once per call.
    const float zoneWeight = 2.0f - weight;
    std::vector<uint8_t> table(256 * 256);
    for (int grey = 0; grey < 256; ++grey) {
        const float weightedGrey = static_cast<float>(grey) * weight;
        for (int zone = 0; zone < 256; ++zone) {
            table[static_cast<size_t>(grey * 256 + zone)] =
                toChannel((weightedGrey + static_cast<float>(zone) * zoneWeight) / 2.0f);
        }
    }

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
                const uint8_t* entry =
                    table.data() + static_cast<size_t>((d[i] + d[i + 1] + d[i + 2]) / 3) * 256;
                o[i] = entry[z[i]];
                o[i + 1] = entry[z[i + 1]];
                o[i + 2] = entry[z[i + 2]];
            }
        }
        if (x < columns && o != d) {
            std::memmove(o + x * 3, d + x * 3, static_cast<size_t>(columns - x) * 3);
        }
    }
}

} // namespace chronvale
