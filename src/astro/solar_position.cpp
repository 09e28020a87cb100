#include "astro/solar_position.h"

#include <array>

namespace chronvale {
namespace {

// Days before the first of each month, for common and leap years.
constexpr std::array<std::array<int32_t, 13>, 2> kDaysBeforeMonth{{
    {0, 0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334},
    {0, 0, 31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335},
}};

bool isLeapYear(int32_t year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

// Sines and cosines that several steps share, computed once per call.
struct TrigTerms {
    float cosDeclination = 0.0f;
    float cosHourAngle = 0.0f;
    float cosLatitude = 0.0f;
    float sinDeclination = 0.0f;
    float sinLatitude = 0.0f;
};

// Reduces an angle in degrees to 0 ... 360.
float reduceDegrees(float angle) {
    angle -= 360.0f * static_cast<float>(static_cast<int32_t>(angle / 360.0f));
    if (angle < 0.0f) {
        angle += 360.0f;
    }
    return angle;
}

int32_t validate(const SolarPositionData& d) {
    int32_t errors = 0;
    if (!(d.stepMask & SolarStep::Geometry)) {
        return errors;
    }
    const bool dayOfYearInput = (d.stepMask & SolarStep::DayOfYearInput) != 0;
    if (d.year < 1950 || d.year > 2050) {
        errors |= SolarError::Year;
    }
    if (!dayOfYearInput && (d.month < 1 || d.month > 12)) {
        errors |= SolarError::Month;
    }
    if (!dayOfYearInput && (d.dayOfMonth < 1 || d.dayOfMonth > 31)) {
        errors |= SolarError::DayOfMonth;
    }
    if (dayOfYearInput && (d.dayOfYear < 1 || d.dayOfYear > 366)) {
        errors |= SolarError::DayOfYear;
    }
    if (d.hour < 0 || d.hour > 24) {
        errors |= SolarError::Hour;
    }
    if (d.minute < 0 || d.minute > 59) {
        errors |= SolarError::Minute;
    }
    if (d.second < 0 || d.second > 59) {
        errors |= SolarError::Second;
    }
    // 24:00:00 closes the day; any later time on hour 24 is rejected.
    if (d.hour == 24 && d.minute > 0) {
        errors |= SolarError::Hour | SolarError::Minute;
    }
    if (d.hour == 24 && d.second > 0) {
        errors |= SolarError::Hour | SolarError::Second;
    }
    if (std::fabs(d.timeZone) > 12.0f) {
        errors |= SolarError::TimeZone;
    }
    if (d.interval < 0 || d.interval > 28800) {
        errors |= SolarError::Interval;
    }
    if (std::fabs(d.latitude) > 90.0f) {
        errors |= SolarError::Latitude;
    }
    if (std::fabs(d.longitude) > 180.0f) {
        errors |= SolarError::Longitude;
    }
    return errors;
}

void dayOfYearToDate(SolarPositionData& d) {
    const auto& before = kDaysBeforeMonth[isLeapYear(d.year) ? 1 : 0];
    int32_t month = 12;
    while (month > 1 && d.dayOfYear <= before[static_cast<size_t>(month)]) {
        --month;
    }
    d.month = month;
    d.dayOfMonth = d.dayOfYear - before[static_cast<size_t>(month)];
}

void dateToDayOfYear(SolarPositionData& d) {
    const auto& before = kDaysBeforeMonth[isLeapYear(d.year) ? 1 : 0];
    const int32_t month = d.month >= 1 && d.month <= 12 ? d.month : 1;
    d.dayOfYear = before[static_cast<size_t>(month)] + d.dayOfMonth;
}

// Michalsky's approximation of the Astronomical Almanac (valid 1950 ... 2050) and
// Spencer's Fourier series for the earth radius vector.
void geometry(SolarPositionData& d, TrigTerms& t) {
    d.dayAngle = 360.0f * static_cast<float>(d.dayOfYear - 1) / 365.0f;
    const float sinDay = std::sin(kRadiansPerDegree * d.dayAngle);
    const float cosDay = std::cos(kRadiansPerDegree * d.dayAngle);
    const float twoDays = 2.0f * d.dayAngle;
    const float sin2Day = std::sin(kRadiansPerDegree * twoDays);
    const float cos2Day = std::cos(kRadiansPerDegree * twoDays);
    d.earthRadiusVector = 1.000110f + 0.034221f * cosDay + 0.001280f * sinDay +
                          0.000719f * cos2Day + 0.000077f * sin2Day;

    // Universal time in hours; an interval measurement is centred on its middle.
    d.universalTime = static_cast<float>(d.hour * 3600 + d.minute * 60 + d.second) -
                      static_cast<float>(d.interval) / 2.0f;
    d.universalTime = d.universalTime / 3600.0f - d.timeZone;

    // Julian day minus 2,400,000, so that single precision keeps its fractions.
    const int32_t yearsSince1949 = d.year - 1949;
    const int32_t leapDays = yearsSince1949 / 4;
    d.julianDay = 32916.5f + static_cast<float>(yearsSince1949) * 365.0f +
                  static_cast<float>(leapDays) + static_cast<float>(d.dayOfYear) +
                  d.universalTime / 24.0f;
    d.eclipticTime = d.julianDay - 51545.0f;

    d.meanLongitude = reduceDegrees(280.460f + 0.9856474f * d.eclipticTime);
    d.meanAnomaly = reduceDegrees(357.528f + 0.9856003f * d.eclipticTime);
    d.eclipticLongitude =
        reduceDegrees(d.meanLongitude + 1.915f * std::sin(d.meanAnomaly * kRadiansPerDegree) +
                      0.020f * std::sin(2.0f * d.meanAnomaly * kRadiansPerDegree));
    d.obliquity = 23.439f - 4.0e-07f * d.eclipticTime;

    const float sinObliquity = std::sin(kRadiansPerDegree * d.obliquity);
    const float cosObliquity = std::cos(kRadiansPerDegree * d.obliquity);
    const float sinLongitude = std::sin(kRadiansPerDegree * d.eclipticLongitude);
    const float cosLongitude = std::cos(kRadiansPerDegree * d.eclipticLongitude);
    d.declination = kDegreesPerRadian * std::asin(sinObliquity * sinLongitude);
    d.rightAscension = kDegreesPerRadian * std::atan2(cosObliquity * sinLongitude, cosLongitude);
    if (d.rightAscension < 0.0f) {
        d.rightAscension += 360.0f;
    }

    float gmst = 6.697375f + 0.0657098242f * d.eclipticTime + d.universalTime;
    gmst -= 24.0f * static_cast<float>(static_cast<int32_t>(gmst / 24.0f));
    if (gmst < 0.0f) {
        gmst += 24.0f;
    }
    d.greenwichSiderealTime = gmst;
    d.hourAngle = solarHourAngle(d.greenwichSiderealTime, d.rightAscension, d.longitude,
                                 &d.localSiderealTime);

    t.sinDeclination = std::sin(kRadiansPerDegree * d.declination);
    t.cosDeclination = std::cos(kRadiansPerDegree * d.declination);
    t.sinLatitude = std::sin(kRadiansPerDegree * d.latitude);
    t.cosLatitude = std::cos(kRadiansPerDegree * d.latitude);
    t.cosHourAngle = std::cos(kRadiansPerDegree * d.hourAngle);
}

void zenithWithoutRefraction(SolarPositionData& d, const TrigTerms& t) {
    const float cosZenith = zenithCosine(t.sinDeclination, t.sinLatitude, t.cosDeclination,
                                         t.cosLatitude, t.cosHourAngle);
    d.zenithNoRefraction = zenithFromCosine(cosZenith);
    d.elevationNoRefraction = 90.0f - d.zenithNoRefraction;
}

// Hour angle of sunset (and, negated, sunrise), without refraction: 0 in polar
// night, 180 in polar day.
void sunsetHourAngle(SolarPositionData& d, const TrigTerms& t) {
    const float cdcl = t.cosDeclination * t.cosLatitude;
    if (std::fabs(cdcl) >= 0.001f) {
        const float cosSunset = -t.sinLatitude * t.sinDeclination / cdcl;
        if (cosSunset < -1.0f) {
            d.sunsetHourAngle = 180.0f;
        } else if (cosSunset > 1.0f) {
            d.sunsetHourAngle = 0.0f;
        } else {
            d.sunsetHourAngle = kDegreesPerRadian * std::acos(cosSunset);
        }
    } else if ((d.declination >= 0.0f && d.latitude > 0.0f) ||
               (d.declination < 0.0f && d.latitude < 0.0f)) {
        d.sunsetHourAngle = 180.0f;
    } else {
        d.sunsetHourAngle = 0.0f;
    }
}

void trueSolarTime(SolarPositionData& d) {
    d.trueSolarTime = (180.0f + d.hourAngle) * 4.0f;
    d.trueSolarTimeFix = d.trueSolarTime - static_cast<float>(d.hour) * 60.0f -
                         static_cast<float>(d.minute) - static_cast<float>(d.second) / 60.0f +
                         static_cast<float>(d.interval) / 120.0f;
    // True solar time wraps at 1440 minutes; keep the difference within half a day.
    while (d.trueSolarTimeFix > 720.0f) {
        d.trueSolarTimeFix -= 1440.0f;
    }
    while (d.trueSolarTimeFix < -720.0f) {
        d.trueSolarTimeFix += 1440.0f;
    }
    d.equationOfTime = d.trueSolarTimeFix + 60.0f * d.timeZone - 4.0f * d.longitude;
}

void sunriseSunset(SolarPositionData& d) {
    if (d.sunsetHourAngle <= 1.0f) {
        d.sunrise = kNoSunCrossing;
        d.sunset = -kNoSunCrossing;
    } else if (d.sunsetHourAngle >= 179.0f) {
        d.sunrise = -kNoSunCrossing;
        d.sunset = kNoSunCrossing;
    } else {
        d.sunrise = 720.0f - 4.0f * d.sunsetHourAngle - d.trueSolarTimeFix;
        d.sunset = 720.0f + 4.0f * d.sunsetHourAngle - d.trueSolarTimeFix;
    }
}

} // namespace

int32_t computeSolarPosition(SolarPositionData& data) {
    const int32_t errors = validate(data);
    if (errors != 0) {
        return errors;
    }
    const int32_t mask = data.stepMask;
    TrigTerms trig;
    if (mask & SolarStep::DayOfYearInput) {
        dayOfYearToDate(data);
    } else {
        dateToDayOfYear(data);
    }
    if (mask & SolarStep::Geometry) {
        geometry(data, trig);
    }
    if (mask & SolarStep::ZenithNoRefraction) {
        zenithWithoutRefraction(data, trig);
    }
    if (mask & SolarStep::SunsetHourAngle) {
        sunsetHourAngle(data, trig);
    }
    if (mask & SolarStep::TrueSolarTime) {
        trueSolarTime(data);
    }
    if (mask & SolarStep::SunriseSunset) {
        sunriseSunset(data);
    }
    return 0;
}

void setUtcInstant(SolarPositionData& data, std::time_t instant) {
    std::tm utc{};
    gmtime_r(&instant, &utc);
    data.year = utc.tm_year + 1900;
    data.dayOfYear = utc.tm_yday + 1;
    data.hour = utc.tm_hour;
    data.minute = utc.tm_min;
    data.second = utc.tm_sec;
}

} // namespace chronvale
