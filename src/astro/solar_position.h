#pragma once
// Where the sun stands for a place and an instant, and when it rises and sets there.
//
// The NREL SOLPOS 2.0 algorithm (solar position and intensity calculator of the U.S.
// National Renewable Energy Laboratory), written from its published equations, in
// single-precision floats: the record of inputs and outputs with every published
// field in the published order, the validation with the published error bits, and
// the step mask that selects what runs.
//
// Steps carried here: day-of-year input (0x0001), geometry (0x0002), zenith without
// refraction (0x0004), sunset hour angle (0x0008), true solar time (0x0020), sunrise
// and sunset (0x0040). The program asks for no other step: the shadow-band
// correction, azimuth, refraction, air mass, normalisation factors, tilted surface
// and extraterrestrial irradiance are not built, their mask bits are ignored and
// their outputs stay as the caller set them.

#include <cmath>
#include <cstdint>
#include <ctime>

namespace chronvale {

// Step mask bits, as published.
namespace SolarStep {
inline constexpr int32_t DayOfYearInput = 0x0001; // month and day come from the day of year
inline constexpr int32_t Geometry = 0x0002;       // ecliptic and equatorial coordinates
inline constexpr int32_t ZenithNoRefraction = 0x0004;
inline constexpr int32_t SunsetHourAngle = 0x0008;
inline constexpr int32_t ShadowBand = 0x0010; // not built
inline constexpr int32_t TrueSolarTime = 0x0020;
inline constexpr int32_t SunriseSunset = 0x0040;
inline constexpr int32_t Azimuth = 0x0080;          // not built
inline constexpr int32_t Refraction = 0x0100;       // not built
inline constexpr int32_t AirMass = 0x0200;          // not built
inline constexpr int32_t Normalisation = 0x0400;    // not built
inline constexpr int32_t TiltedSurface = 0x0800;    // not built
inline constexpr int32_t Extraterrestrial = 0x1000; // not built

// The two masks the program uses: the map's sun shadow reads the elevation, the
// city properties read sunrise and sunset.
inline constexpr int32_t ShadowMask = 0x0007;
inline constexpr int32_t SunriseSunsetMask = 0x006F;
} // namespace SolarStep

// Error bits returned by computeSolarPosition, as published (1 << bit number).
namespace SolarError {
inline constexpr int32_t Year = 1 << 0;       // outside 1950 ... 2050
inline constexpr int32_t Month = 1 << 1;      // outside 1 ... 12 (month/day input)
inline constexpr int32_t DayOfMonth = 1 << 2; // outside 1 ... 31 (month/day input)
inline constexpr int32_t DayOfYear = 1 << 3;  // outside 1 ... 366 (day-of-year input)
inline constexpr int32_t Hour = 1 << 4;       // outside 0 ... 24, or 24 with minutes/seconds
inline constexpr int32_t Minute = 1 << 5;     // outside 0 ... 59
inline constexpr int32_t Second = 1 << 6;     // outside 0 ... 59
inline constexpr int32_t TimeZone = 1 << 7;   // absolute value above 12
inline constexpr int32_t Interval = 1 << 8;   // outside 0 ... 28800
inline constexpr int32_t Latitude = 1 << 9;   // absolute value above 90
inline constexpr int32_t Longitude = 1 << 10; // absolute value above 180
} // namespace SolarError

// Sunrise or sunset value when the sun does not cross the horizon that day.
inline constexpr float kNoSunCrossing = 2999.0f;

// The published SOLPOS record. Callers start from a zeroed record ({}), set the
// inputs and the step mask, and read the outputs of the steps they asked for.
struct SolarPositionData {
    // 4-byte integers
    int32_t dayOfMonth = 0; // out with day-of-year input, else in
    int32_t dayOfYear = 0;  // 1 = 1 January ... 366
    int32_t stepMask = 0;   // SolarStep bits
    int32_t hour = 0;       // clock time that goes with timeZone
    int32_t interval = 0;   // measurement interval, seconds
    int32_t minute = 0;
    int32_t month = 0;
    int32_t second = 0;
    int32_t year = 0; // four digits

    // 32-bit floats
    float airMass = 0.0f;         // relative optical air mass
    float pressureAirMass = 0.0f; // pressure-corrected air mass
    float aspect = 0.0f;          // azimuth of the tilted panel, degrees
    float azimuth = 0.0f;         // solar azimuth, degrees east of north
    float cosIncidence = 0.0f;    // cosine of the incidence angle on the panel
    float cosZenith = 0.0f;       // cosine of the refraction-corrected zenith
    float dayAngle = 0.0f;        // degrees
    float declination = 0.0f;     // degrees
    float eclipticLongitude = 0.0f;
    float obliquity = 0.0f;    // of the ecliptic, degrees
    float eclipticTime = 0.0f; // days from 1 January 2000 12:00
    float elevationNoRefraction = 0.0f;
    float elevationRefracted = 0.0f;
    float equationOfTime = 0.0f;    // minutes
    float earthRadiusVector = 0.0f; // (mean distance / actual distance) squared
    float extraterrestrial = 0.0f;  // W/m^2 global horizontal
    float extraterrestrialNormal = 0.0f;
    float extraterrestrialTilt = 0.0f;
    float greenwichSiderealTime = 0.0f; // hours
    float hourAngle = 0.0f;             // degrees west of solar noon, -180 ... 180
    float julianDay = 0.0f;             // minus 2,400,000 days
    float latitude = 0.0f;              // degrees north, south negative
    float longitude = 0.0f;             // degrees east, west negative
    float localSiderealTime = 0.0f;     // degrees
    float meanAnomaly = 0.0f;           // degrees
    float meanLongitude = 0.0f;         // degrees
    float rightAscension = 0.0f;        // degrees
    float pressure = 0.0f;              // millibars
    float prime = 0.0f;                 // normalisation factor of Kt, Kn
    float shadowBandFactor = 0.0f;
    float shadowBandWidth = 0.0f;
    float shadowBandRadius = 0.0f;
    float shadowBandSky = 0.0f;
    float solarConstant = 0.0f;
    float sunsetHourAngle = 0.0f;    // degrees
    float sunrise = 0.0f;            // minutes from local standard midnight, no refraction
    float sunset = 0.0f;             // minutes from local standard midnight, no refraction
    float temperature = 0.0f;        // degrees C
    float tilt = 0.0f;               // of the panel from horizontal, degrees
    float timeZone = 0.0f;           // hours east of UTC, west negative
    float trueSolarTime = 0.0f;      // minutes
    float trueSolarTimeFix = 0.0f;   // true solar time minus clock time, minutes
    float unprime = 0.0f;            // the inverse of prime
    float universalTime = 0.0f;      // hours
    float zenithNoRefraction = 0.0f; // degrees, at most 99
    float zenithRefracted = 0.0f;
};

// Validates the record for the steps its mask selects and runs them in the
// published order. Returns 0, or the SolarError bits of the rejected inputs; then
// no step runs and every output keeps its value.
int32_t computeSolarPosition(SolarPositionData& data);

// Sets year, day of year, hour, minute and second to the UTC calendar time of the
// instant; the other fields are left alone.
void setUtcInstant(SolarPositionData& data, std::time_t instant);

// The pieces of the geometry and zenith steps that depend on the place. The map's
// sun shadow evaluates them once per row or column; computeSolarPosition uses the
// same functions, so both give the same bits.
inline constexpr float kRadiansPerDegree = 0.0174532925f;
inline constexpr float kDegreesPerRadian = 57.295779513f;

// Local hour angle in degrees (-180 ... 180) from the Greenwich mean sidereal time
// (hours), the right ascension and the longitude (degrees).
inline float solarHourAngle(float greenwichSiderealTime, float rightAscension, float longitude,
                            float* localSiderealTime = nullptr) {
    float lmst = greenwichSiderealTime * 15.0f + longitude;
    lmst -= 360.0f * static_cast<float>(static_cast<int32_t>(lmst / 360.0f));
    if (lmst < 0.0f) {
        lmst += 360.0f;
    }
    if (localSiderealTime) {
        *localSiderealTime = lmst;
    }
    float hourAngle = lmst - rightAscension;
    if (hourAngle < -180.0f) {
        hourAngle += 360.0f;
    } else if (hourAngle > 180.0f) {
        hourAngle -= 360.0f;
    }
    return hourAngle;
}

// Cosine of the zenith angle: sin(declination) sin(latitude) + cos(declination)
// cos(latitude) cos(hour angle), evaluated in that order.
inline float zenithCosine(float sinDeclination, float sinLatitude, float cosDeclination,
                          float cosLatitude, float cosHourAngle) {
    return sinDeclination * sinLatitude + cosDeclination * cosLatitude * cosHourAngle;
}

// Zenith angle in degrees from its cosine, capped at 99.
inline float zenithFromCosine(float cosZenith) {
    if (std::fabs(cosZenith) > 1.0f) {
        cosZenith = cosZenith >= 0.0f ? 1.0f : -1.0f;
    }
    float zenith = std::acos(cosZenith) * kDegreesPerRadian;
    if (zenith > 99.0f) {
        zenith = 99.0f;
    }
    return zenith;
}

} // namespace chronvale
