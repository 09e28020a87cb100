#include "render/layer_blend.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace chronvale {
namespace {

// A blend result as a byte; results a little above 255 saturate instead of wrapping.
uint8_t toChannel(float value) {
    return static_cast<uint8_t>(std::min(static_cast<int>(value), 255));
}

bool all24Bit(const EarthImage& a, const EarthImage& b, const EarthImage& c) {
    return a.bitsPerPixel() == 24 && b.bitsPerPixel() == 24 && c.bitsPerPixel() == 24;
}

// The cloud blend of `count` pixels. Neighbouring pixels of real pictures often
// have the same channel means: their weights are computed once.
void blendCloudRun(uint8_t* out, const uint8_t* base, const uint8_t* cloud, int count) {
    int weightsM = -1;
    int weightsL = -1;
    float wb = 0.0f;
    float wc = 0.0f;
    float s = 1.0f;
    for (int x = 0; x < count; ++x) {
        const int i = x * 3;
        const int b0 = base[i], b1 = base[i + 1], b2 = base[i + 2];
        const int c0 = cloud[i], c1 = cloud[i + 1], c2 = cloud[i + 2];
        const int m = (b0 + b1 + b2) / 3;
        const int l = (c0 + c1 + c2) / 3;
        if (l < 10) {
            out[i] = static_cast<uint8_t>(b0);
            out[i + 1] = static_cast<uint8_t>(b1);
            out[i + 2] = static_cast<uint8_t>(b2);
            continue;
        }
        if (l > 240) {
            out[i] = static_cast<uint8_t>(c0);
            out[i + 1] = static_cast<uint8_t>(c1);
            out[i + 2] = static_cast<uint8_t>(c2);
            continue;
        }
        if (m == 0) {
            out[i] = out[i + 1] = out[i + 2] = 0;
            continue;
        }
        if (m != weightsM || l != weightsL) {
            wb = static_cast<float>(m) / static_cast<float>(l);
            wc = static_cast<float>(l) / static_cast<float>(m);
            s = wb + wc;
            weightsM = m;
            weightsL = l;
        }
        // The weighted mean plus 10 can pass 255 by a few units for bright pixels:
        // saturate rather than wrap to a dark value.
        out[i] = toChannel((static_cast<float>(b0) * wb + static_cast<float>(c0) * wc + 10.0f) / s);
        out[i + 1] =
            toChannel((static_cast<float>(b1) * wb + static_cast<float>(c1) * wc + 10.0f) / s);
        out[i + 2] =
            toChannel((static_cast<float>(b2) * wb + static_cast<float>(c2) * wc + 10.0f) / s);
    }
}

} // namespace

void blendCloudPixel(uint8_t* out, const uint8_t* base, const uint8_t* cloud) {
    blendCloudRun(out, base, cloud, 1);
}

void blendCloudRow(uint8_t* out, const uint8_t* base, const uint8_t* cloud, int count) {
    blendCloudRun(out, base, cloud, count);
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

std::vector<uint8_t> timeZoneTintTable(float weight) {
    const float zoneWeight = 2.0f - weight;
    std::vector<uint8_t> table(256 * 256);
    for (int grey = 0; grey < 256; ++grey) {
        const float weightedGrey = static_cast<float>(grey) * weight;
        for (int zone = 0; zone < 256; ++zone) {
            table[static_cast<size_t>(grey * 256 + zone)] =
                toChannel((weightedGrey + static_cast<float>(zone) * zoneWeight) / 2.0f);
        }
    }
    return table;
}

void tintTimeZoneRow(uint8_t* out, const uint8_t* day, const uint8_t* zones, int count,
                     const uint8_t* table) {
    for (int x = 0; x < count; ++x) {
        const int i = x * 3;
        const uint8_t* entry =
            table + static_cast<size_t>((day[i] + day[i + 1] + day[i + 2]) / 3) * 256;
        out[i] = entry[zones[i]];
        out[i + 1] = entry[zones[i + 1]];
        out[i + 2] = entry[zones[i + 2]];
    }
}

void tintTimeZones(EarthImage& out, const EarthImage& day, const EarthImage& zones, float weight) {
    if (!all24Bit(out, day, zones)) {
        return;
    }
    // Tabulated once per call.
    const std::vector<uint8_t> table = timeZoneTintTable(weight);
    const int rows = std::min(out.height(), day.height());
    const int columns = std::min(out.width(), day.width());
    const int zoneRows = std::min(rows, zones.height());
    const int zoneColumns = std::min(columns, zones.width());
    for (int r = 0; r < rows; ++r) {
        uint8_t* o = out.row(r);
        const uint8_t* d = day.row(r);
        int x = 0;
        if (r < zoneRows) {
            tintTimeZoneRow(o, d, zones.row(r), zoneColumns, table.data());
            x = zoneColumns;
        }
        if (x < columns && o != d) {
            std::memmove(o + x * 3, d + x * 3, static_cast<size_t>(columns - x) * 3);
        }
    }
}

} // namespace chronvale
