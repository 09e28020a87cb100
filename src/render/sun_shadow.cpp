#include "render/sun_shadow.h"

#include "astro/solar_position.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace chronvale {

// Working rows of the fast path, allocated once per pass.
struct BandScratch {
    explicit BandScratch(size_t columns)
        : elevation(columns), channelH(columns * 3), channelOut(columns * 3),
          channelAmbiguous(columns * 3) {}
    std::vector<double> elevation;
    std::vector<float> channelH;
    std::vector<uint8_t> channelOut;
    std::vector<uint8_t> channelAmbiguous;
};

namespace {

// Zenith cosines beyond these bounds lie safely inside the night side (elevation
// below 0) or the unshaded day side (above 9 degrees): 1e-4 in the cosine is about
// 0.006 degrees, thousands of times the error of the float arccosine.
constexpr float kSureNightBelow = -1.0e-4f;
constexpr float kSureDayAbove = ShadowRowShader::kFullyLitAbove;

constexpr float kLowSunLimit = 9.0f;

// How far the reference's float elevation can lie from the double-precision estimate
// below, in degrees: the float arccosine is within a few units in the last place
// (1 ulp of 1.57 radians is 0.000007 degrees), the product with the degree factor
// rounds by 0.000004 degrees. 0.0001 leaves a wide margin.
constexpr double kElevationSlack = 1.0e-4;
// How far the reference's float blend of a low-sun channel can lie from the exact
// value of its formula (six roundings of values below 512: 0.0002), together with
// the rounding of the estimate itself (0.00005).
constexpr double kChannelSlack = 1.0e-3;

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

// The elevation in degrees for a zenith cosine near the horizon, in double precision:
// 90 - arccos(c) times the float degree factor, with the arcsine series (exact to
// 1e-10 radians for |c| up to 0.16).
double estimateElevation(float cosZenith) {
    constexpr double kHalfPi = 1.5707963267948966;
    const double c = cosZenith;
    const double c2 = c * c;
    const double asinC =
        c *
        (1.0 + c2 * (1.0 / 6.0 + c2 * (3.0 / 40.0 + c2 * (15.0 / 336.0 + c2 * (105.0 / 3456.0)))));
    return 90.0 - (kHalfPi - asinC) * static_cast<double>(kDegreesPerRadian);
}

// A run of pixels whose zenith cosines lie between the sure bounds: near the horizon
// or in the low-sun band. Where the estimated elevation, widened by its slack, lies
// inside the low-sun band, each channel's blend ((L h + N (1 - h)) 1.7 + L 0.3) / 2
// is linear in h: base + slope h, and when base + slope h widened by the slacks
// truncates to one integer, that integer is what the reference computes. Otherwise
// (near 0 or 9 degrees, or a blend within about 0.001 of an integer: about one pixel
// in a hundred of the run) the elevation is evaluated exactly as the reference does.
void shadeBandRun(uint8_t* lit, const uint8_t* night, const float* cosZenith, size_t count,
                  BandScratch& scratch) {
    constexpr float kHalfNightWeight = 1.7f / 2.0f; // exact halvings of the blend's
    constexpr float kHalfLitWeight = 0.3f / 2.0f;   // float constants
    constexpr float kHSlack = static_cast<float>(kElevationSlack / 9.0);
    constexpr float kValueSlack = static_cast<float>(kChannelSlack);
    double* elevation = scratch.elevation.data();
    float* channelH = scratch.channelH.data();
    uint8_t* out = scratch.channelOut.data();
    uint8_t* ambiguous = scratch.channelAmbiguous.data();

    for (size_t i = 0; i < count; ++i) {
        elevation[i] = estimateElevation(cosZenith[i]);
    }
    for (size_t i = 0; i < count; ++i) {
        const float h = static_cast<float>(elevation[i] / kLowSunLimit);
        channelH[i * 3] = channelH[i * 3 + 1] = channelH[i * 3 + 2] = h;
    }
    for (size_t j = 0; j < count * 3; ++j) {
        const float l = lit[j];
        const float n = night[j];
        const float slope = (l - n) * kHalfNightWeight;
        const float value = n * kHalfNightWeight + l * kHalfLitWeight + slope * channelH[j];
        const float width = std::fabs(slope) * kHSlack + kValueSlack;
        const int low = static_cast<int>(value - width);
        const int high = static_cast<int>(value + width);
        out[j] = static_cast<uint8_t>(low);
        ambiguous[j] = static_cast<uint8_t>(low != high);
    }
    for (size_t i = 0; i < count; ++i) {
        const size_t j = i * 3;
        if (elevation[i] - kElevationSlack <= 0.0 ||
            elevation[i] + kElevationSlack > kLowSunLimit ||
            (ambiguous[j] | ambiguous[j + 1] | ambiguous[j + 2]) != 0) {
            shadePixel(lit + j, night + j, 90.0f - zenithFromCosine(cosZenith[i]));
        } else {
            lit[j] = out[j];
            lit[j + 1] = out[j + 1];
            lit[j + 2] = out[j + 2];
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
    const std::optional<SunAngles> sun = sunAnglesAt(now);
    if (!sun) {
        return;
    }
    // What depends only on the column: the cosine of the hour angle.
    std::vector<float> cosHourAngle(static_cast<size_t>(area.columns));
    for (int x = 0; x < area.columns; ++x) {
        cosHourAngle[static_cast<size_t>(x)] =
            sun->cosHourAngle(shadowColumnLongitude(x, area.width));
    }
    std::vector<float> cosZenith(static_cast<size_t>(area.columns));
    ShadowRowShader shader(cosZenith.size());
    for (int r = 0; r < area.rows; ++r) {
        sun->rowCosZenith(shadowRowLatitude(r, area.height), cosHourAngle.data(), cosZenith.data(),
                          cosZenith.size());
        shader.shade(lit.row(r), night.row(r), cosZenith.data(), cosZenith.size());
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

void shadeNightChannels(uint8_t* lit, const uint8_t* night, size_t count) {
    // The same formula as shadeNightChannel, written so that the compiler can run it
    // on many bytes at once; its value never reaches 256, so no clamp is needed.
    for (size_t i = 0; i < count; ++i) {
        lit[i] = static_cast<uint8_t>(static_cast<int>(
            (static_cast<float>(night[i]) * 1.6f + static_cast<float>(lit[i]) * 0.4f) / 2.0f));
    }
}

uint8_t shadeLowSunChannel(uint8_t lit, uint8_t night, float h) {
    const float l = static_cast<float>(lit);
    const float n = static_cast<float>(night);
    return toChannel(((l * h + n * (1.0f - h)) * 1.7f + l * 0.3f) / 2.0f);
}

std::optional<SunAngles> sunAnglesAt(std::time_t now) {
    // Everything that depends only on the instant, from one evaluation.
    SolarPositionData record{};
    setUtcInstant(record, now);
    record.stepMask = SolarStep::ShadowMask;
    if (computeSolarPosition(record) != 0) {
        return std::nullopt;
    }
    SunAngles sun;
    sun.sinDeclination = std::sin(kRadiansPerDegree * record.declination);
    sun.cosDeclination = std::cos(kRadiansPerDegree * record.declination);
    sun.greenwichSiderealTime = record.greenwichSiderealTime;
    sun.rightAscension = record.rightAscension;
    return sun;
}

float SunAngles::cosHourAngle(float longitude) const {
    const float hourAngle = solarHourAngle(greenwichSiderealTime, rightAscension, longitude);
    return std::cos(kRadiansPerDegree * hourAngle);
}

void SunAngles::rowCosZenith(float latitude, const float* cosHourAngle, float* cosZenith,
                             size_t count) const {
    // The per-pixel cosine is one multiply-add evaluated in the same order as
    // zenithCosine.
    const float sinLatitude = std::sin(kRadiansPerDegree * latitude);
    const float cosLatitude = std::cos(kRadiansPerDegree * latitude);
    const float a = sinDeclination * sinLatitude;
    const float b = cosDeclination * cosLatitude;
    for (size_t x = 0; x < count; ++x) {
        cosZenith[x] = a + b * cosHourAngle[x];
    }
}

ShadowRowShader::ShadowRowShader(size_t columns)
    : scratch_(std::make_unique<BandScratch>(columns)) {}
ShadowRowShader::~ShadowRowShader() = default;

void ShadowRowShader::shade(uint8_t* litRow, const uint8_t* nightRow, const float* cosZenith,
                            size_t columns) {
    size_t x = 0;
    while (x < columns) {
        const float c = cosZenith[x];
        if (c > kSureDayAbove) {
            ++x;
        } else if (c < kSureNightBelow) {
            size_t end = x + 1;
            while (end < columns && cosZenith[end] < kSureNightBelow) {
                ++end;
            }
            shadeNightChannels(litRow + x * 3, nightRow + x * 3, (end - x) * 3);
            x = end;
        } else {
            size_t end = x + 1;
            while (end < columns && cosZenith[end] >= kSureNightBelow &&
                   cosZenith[end] <= kSureDayAbove) {
                ++end;
            }
            shadeBandRun(litRow + x * 3, nightRow + x * 3, cosZenith + x, end - x, *scratch_);
            x = end;
        }
    }
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
