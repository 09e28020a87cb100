#pragma once
// The sun shadow: darkens the lit map where the sun is below the horizon and shades
// a band on the day side where it stands less than 9 degrees high, blending in the
// night image, for one instant.
//
// The sun's elevation is evaluated for every pixel of the map. Two ways give the
// same bits: the reference runs the whole solar position calculation per pixel;
// the fast way computes what depends on the instant once, on the row once per row
// and on the column once per column, leaving a multiply-add per pixel, and runs
// the exact evaluation only where the elevation comes near a shading threshold.

#include "render/earth_image.h"

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <memory>
#include <optional>

namespace chronvale {

// Stands in for the wait cursor and the "Calculating Shadow..." status text while
// a shadow pass runs. The implementation leaves the status alone while a download
// shows its progress there.
class ShadowProgress {
public:
    virtual ~ShadowProgress() = default;
    virtual void shadowStarted() = 0;
    virtual void shadowFinished() = 0;
};

enum class ShadowMethod {
    Reference, // one full solar position evaluation per pixel
    Fast,      // separable evaluation, bit-identical to the reference
};

// Shades the lit map in place for the instant `now`, blending in the night image.
// Both must be 24-bit; pixels outside the night image are left alone. When the
// instant is outside the calculator's years (1950 ... 2050) the map stays unshaded.
void applySunShadow(EarthImage& lit, const EarthImage& night, std::time_t now,
                    ShadowMethod method = ShadowMethod::Fast, ShadowProgress* progress = nullptr);

// The latitude and longitude of a pixel's centre line on a width x height map, as
// 32-bit floats: the top row is +90, the left column -180 + 360 / width, the right
// column +180.
float shadowRowLatitude(int row, int height);
float shadowColumnLongitude(int column, int width);

// What the sun's elevation over a pixel depends on at one instant, from one solar
// position evaluation: the separable form of the fast shadow, for composers that
// build the lit map row by row at any size.
struct SunAngles {
    float sinDeclination = 0.0f;
    float cosDeclination = 0.0f;
    float greenwichSiderealTime = 0.0f;
    float rightAscension = 0.0f;

    // The column factor: the cosine of the hour angle at a longitude.
    float cosHourAngle(float longitude) const;
    // The zenith cosines of a row at `latitude` from the columns' factors.
    void rowCosZenith(float latitude, const float* cosHourAngle, float* cosZenith,
                      size_t count) const;
};
// None when the instant is outside the calculator's years (the map stays unshaded).
std::optional<SunAngles> sunAnglesAt(std::time_t now);

struct BandScratch;

// Shades one row of lit pixels from their zenith cosines, blending in the night
// row, with the same bits as the reference. Holds working rows for up to
// `columns` pixels; the night row is read only where a pixel is not fully lit.
class ShadowRowShader {
public:
    explicit ShadowRowShader(size_t columns);
    ~ShadowRowShader();
    ShadowRowShader(const ShadowRowShader&) = delete;
    ShadowRowShader& operator=(const ShadowRowShader&) = delete;

    void shade(uint8_t* litRow, const uint8_t* nightRow, const float* cosZenith, size_t columns);
    // Zenith cosines above this are left unchanged: the sun stands safely above 9
    // degrees (sin 9 degrees, plus a margin of about 0.006 degrees).
    static constexpr float kFullyLitAbove = 0.15643447f + 1.0e-4f;
    // Whether a pixel with this zenith cosine is left unchanged. Inline: the
    // composers ask it for every pixel.
    static bool fullyLit(float cosZenith) { return cosZenith > kFullyLitAbove; }

private:
    std::unique_ptr<BandScratch> scratch_;
};

// One channel of a night pixel (elevation below 0): 80 % night, 20 % lit.
uint8_t shadeNightChannel(uint8_t lit, uint8_t night);
// The night blend over a run of channel bytes, the same as shadeNightChannel on each.
void shadeNightChannels(uint8_t* lit, const uint8_t* night, size_t count);
// One channel of a low-sun pixel (0 < elevation <= 9), with h = elevation / 9: from
// 85 % night just above the horizon to the unchanged pixel at 9 degrees.
uint8_t shadeLowSunChannel(uint8_t lit, uint8_t night, float h);

} // namespace chronvale
