#include "render/sun_shadow.h"

#include "astro/solar_position.h"

#include <algorithm>
#include <array>
#include <vector>

namespace chronvale {
namespace {

// Zenith cosines beyond these bounds lie safely inside the night side (elevation
// below 0) or the unshaded day side (above 9 degrees): 1e-4 in the cosine is about
// 0.006 degrees, thousands of times the error of the float arccosine. Between them
// the fast way evaluates the elevation exactly as the reference does.
constexpr float kSureNightBelow = -1.0e-4f;
constexpr float kSureDayAbove = 0.15643447f + 1.0e-4f; // sin 9 degrees, plus the margin

constexpr float kLowSunLimit = 9.0f;

// The night blend of every (night, lit) channel pair, computed by the same
// formula as shadeNightChannel, so a lookup gives the same bits.
const std::array<uint8_t, 65536>& nightChannelTable() {
    static const std::array<uint8_t, 65536> table = [] {
        std::array<uint8_t, 65536> t{};
        for (int night = 0; night < 256; ++night) {
            for (int lit = 0; lit < 256; ++lit) {
                t[static_cast<size_t>(night * 256 + lit)] =
                    shadeNightChannel(static_cast<uint8_t>(lit), static_cast<uint8_t>(night));
            }
        }
        return t;
    }();
    return table;
}

uint8_t toChannel(float value) {
    return static_cast<uint8_t>(std::min(static_cast<int>(value), 255));
}

// Shades one pixel for elevation e: night below 0, the low-sun band up to 9
// degrees, unchanged at exactly 0 and above 9.
void shadePixel(uint8_t* lit, const uint8_t* night, float elevation) {
    if (elevation < 0.0f) {
        for (int c = 0; c < 3; ++c) {
            lit[c] = shadeNightChannel(lit[c], night[c]);
        }
    } else if (elevation > 0.0f && elevation <= kLowSunLimit) {
        const float h = elevation / kLowSunLimit;
        for (int c = 0; c < 3; ++c) {
            lit[c] = shadeLowSunChannel(lit[c], night[c], h);
        }
    }
}

struct ShadowArea {
    int width; // of the lit map: the pixel coordinates depend on it
    int height;
    int columns; // the part that the night image covers
    int rows;
};

ShadowArea shadowArea(const EarthImage& lit, const EarthImage& night) {
    return {lit.width(), lit.height(), std::min(lit.width(), night.width()),
            std::min(lit.height(), night.height())};
}

void shadeReference(EarthImage& lit, const EarthImage& night, std::time_t now) {
    const ShadowArea area = shadowArea(lit, night);
    SolarPositionData record{};
    setUtcInstant(record, now);
    record.stepMask = SolarStep::ShadowMask;
    for (int r = 0; r < area.rows; ++r) {
        uint8_t* litRow = lit.row(r);
        const uint8_t* nightRow = night.row(r);
        record.latitude = shadowRowLatitude(r, area.height);
        for (int x = 0; x < area.columns; ++x) {
            record.longitude = shadowColumnLongitude(x, area.width);
            // On a rejected instant the record keeps its zero elevation: unshaded.
            computeSolarPosition(record);
            shadePixel(litRow + x * 3, nightRow + x * 3, record.elevationNoRefraction);
        }
    }
}

void shadeFast(EarthImage& lit, const EarthImage& night, std::time_t now) {
    const ShadowArea area = shadowArea(lit, night);
    // Everything that depends only on the instant, from one evaluation.
    SolarPositionData record{};
    setUtcInstant(record, now);
    record.stepMask = SolarStep::ShadowMask;
    if (computeSolarPosition(record) != 0) {
        return;
    }
    const float sinDeclination = std::sin(kRadiansPerDegree * record.declination);
    const float cosDeclination = std::cos(kRadiansPerDegree * record.declination);

    // What depends only on the column: the cosine of the hour angle.
    std::vector<float> cosHourAngle(static_cast<size_t>(area.columns));
    for (int x = 0; x < area.columns; ++x) {
        const float hourAngle = solarHourAngle(record.greenwichSiderealTime, record.rightAscension,
                                               shadowColumnLongitude(x, area.width));
        cosHourAngle[static_cast<size_t>(x)] = std::cos(kRadiansPerDegree * hourAngle);
    }

    const std::array<uint8_t, 65536>& nightTable = nightChannelTable();
    std::vector<float> cosZenith(static_cast<size_t>(area.columns));
    for (int r = 0; r < area.rows; ++r) {
        // What depends only on the row; the per-pixel cosine is then one multiply-add
        // evaluated in the same order as zenithCosine.
        const float latitude = shadowRowLatitude(r, area.height);
        const float sinLatitude = std::sin(kRadiansPerDegree * latitude);
        const float cosLatitude = std::cos(kRadiansPerDegree * latitude);
        const float a = sinDeclination * sinLatitude;
        const float b = cosDeclination * cosLatitude;
        for (size_t x = 0; x < cosZenith.size(); ++x) {
            cosZenith[x] = a + b * cosHourAngle[x];
        }

        uint8_t* litPixel = lit.row(r);
        const uint8_t* nightPixel = night.row(r);
        for (size_t x = 0; x < cosZenith.size(); ++x, litPixel += 3, nightPixel += 3) {
            const float c = cosZenith[x];
            if (c > kSureDayAbove) {
                continue;
            }
            if (c < kSureNightBelow) {
                litPixel[0] = nightTable[nightPixel[0] * 256u + litPixel[0]];
                litPixel[1] = nightTable[nightPixel[1] * 256u + litPixel[1]];
                litPixel[2] = nightTable[nightPixel[2] * 256u + litPixel[2]];
                continue;
            }
            shadePixel(litPixel, nightPixel, 90.0f - zenithFromCosine(c));
        }
    }
}

} // namespace

float shadowRowLatitude(int row, int height) {
    return 90.0f - static_cast<float>(row) * 180.0f / static_cast<float>(height);
}

float shadowColumnLongitude(int column, int width) {
    return 180.0f - static_cast<float>(width - 1 - column) * 360.0f / static_cast<float>(width);
}

uint8_t shadeNightChannel(uint8_t lit, uint8_t night) {
    return toChannel((static_cast<float>(night) * 1.6f + static_cast<float>(lit) * 0.4f) / 2.0f);
}

uint8_t shadeLowSunChannel(uint8_t lit, uint8_t night, float h) {
    const float l = static_cast<float>(lit);
    const float n = static_cast<float>(night);
    return toChannel(((l * h + n * (1.0f - h)) * 1.7f + l * 0.3f) / 2.0f);
}

void applySunShadow(EarthImage& lit, const EarthImage& night, std::time_t now, ShadowMethod method,
                    ShadowProgress* progress) {
    if (lit.bitsPerPixel() != 24 || night.bitsPerPixel() != 24) {
        return;
    }
    if (progress) {
        progress->shadowStarted();
    }
    if (method == ShadowMethod::Reference) {
        shadeReference(lit, night, now);
    } else {
        shadeFast(lit, night, now);
    }
    if (progress) {
        progress->shadowFinished();
    }
}

} // namespace chronvale
