#include "cityinfo/city_facts.h"

#include "astro/solar_position.h"
#include "geo/area_codes.h"
#include "geo/city.h"
#include "geo/dst.h"
#include "geo/geo_tables.h"
#include "geo/local_time.h"
#include "geo/time_zone.h"
#include "geo/tzif.h"
#include "render/local_clock.h"
#include "render/map_view.h"
#include "render/zone_offset.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <limits>
#include <optional>

namespace chronvale {

namespace {

constexpr std::int64_t kDay = 86400;
// The altitude of the sun's centre at sunrise and sunset, degrees.
constexpr double kHorizonAltitude = -0.833;

std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
    const std::int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

std::string clockText(std::int64_t secondsOfDay) {
    const std::int64_t s = ((secondsOfDay % kDay) + kDay) % kDay;
    char text[16];
    std::snprintf(text, sizeof text, "%02i:%02i:%02i", static_cast<int>(s / 3600),
                  static_cast<int>(s / 60 % 60), static_cast<int>(s % 60));
    return text;
}

// "<date> hh:mm:ss" of an instant in the computer's local calendar, where the
// switches of the daylight-saving rules are placed; the date as the local time's.
std::string switchText(std::optional<std::time_t> instant, std::string_view datePattern) {
    std::tm local{};
    if (!instant || localtime_r(&*instant, &local) == nullptr) {
        return {};
    }
    char clock[32];
    std::snprintf(clock, sizeof clock, " %02i:%02i:%02i", local.tm_hour, local.tm_min,
                  local.tm_sec);
    return formatDatePattern(datePattern, local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) +
           clock;
}

// "<date> hh:mm:ss" of an instant on a clock offsetSeconds east of UTC.
std::string switchTextAt(std::int64_t instant, std::int64_t offsetSeconds,
                         std::string_view datePattern) {
    return formatUtcDateTimeIn(static_cast<std::time_t>(instant + offsetSeconds), datePattern);
}

std::optional<std::time_t> switchAt(const DstSwitch& s, int year) {
    return dstSwitchTime(s.weekday, s.day, s.month, year);
}

// The daylight-saving period to show: the one in force at now, else the one of
// this year. A rule that spans the new year (end month before start month) runs
// from last year's start to this year's end until this year's start, and from
// this year's start to next year's end after it.
void fillDstPeriod(const DstRule& rule, std::time_t now, std::string_view datePattern,
                   CityFacts& facts) {
    std::tm utc{};
    if (gmtime_r(&now, &utc) == nullptr || utc.tm_year > std::numeric_limits<int>::max() - 1901) {
        return;
    }
    const int year = utc.tm_year + 1900;
    int startYear = year;
    int endYear = year;
    if (rule.end.month < rule.start.month) {
        const std::optional<std::time_t> thisStart = switchAt(rule.start, year);
        if (thisStart && now >= *thisStart) {
            endYear = year + 1;
        } else {
            startYear = year - 1;
        }
    }
    facts.dstStarted = switchText(switchAt(rule.start, startYear), datePattern);
    facts.dstEnds = switchText(switchAt(rule.end, endYear), datePattern);
}

// The city's offset from UTC at an instant, in seconds.
using OffsetAt = std::function<std::int64_t(std::time_t)>;

void fillSunEvents(const CityRecord& city, std::int64_t zoneSeconds, const OffsetAt& offsetAt,
                   std::time_t now, const CityFactsTexts& texts, CityFacts& facts) {
    const float zoneHours = static_cast<float>(static_cast<double>(zoneSeconds) / 3600.0);
    // The city's civil date at now, and the instant of 12:00 standard time on it.
    const std::int64_t civilNow = static_cast<std::int64_t>(now) + offsetAt(now);
    const std::int64_t civilMidnight = floorDiv(civilNow, kDay) * kDay;
    const std::int64_t noonUtc = civilMidnight + kDay / 2 - zoneSeconds;

    // The solar position takes offsets up to 12 hours; beyond that the same
    // clock comes from the offset 24 hours less, a day earlier.
    float solarZone = zoneHours;
    if (solarZone > 12.0f) {
        solarZone -= 24.0f;
    } else if (solarZone < -12.0f) {
        solarZone += 24.0f;
    }
    const std::int64_t solarZoneSeconds = static_cast<std::int64_t>(std::trunc(solarZone * 3600.0));
    const std::int64_t solarNoon = noonUtc + solarZoneSeconds; // as UTC calendar fields

    SolarPositionData data;
    setUtcInstant(data, static_cast<std::time_t>(solarNoon));
    data.interval = 0;
    data.timeZone = solarZone;
    data.latitude = city.latitude;
    data.longitude = city.longitude;
    data.stepMask = SolarStep::SunriseSunsetMask;
    if (computeSolarPosition(data) != 0) {
        facts.sunEvents = SunEvents::Unknown;
        return;
    }
    // The sun rises and sets as almanacs give it: when its upper limb touches the
    // horizon, through the refraction there (the centre 0.833 degrees below).
    // The solar position's own crossing of the unrefracted centre comes several
    // minutes later at sunrise and earlier at sunset.
    const double lat = static_cast<double>(city.latitude) * kRadiansPerDegree;
    const double dec = static_cast<double>(data.declination) * kRadiansPerDegree;
    const double cosHourAngle =
        (std::sin(kHorizonAltitude * kRadiansPerDegree) - std::sin(lat) * std::sin(dec)) /
        (std::cos(lat) * std::cos(dec));
    const double hourAngle =
        std::acos(std::clamp(cosHourAngle, -1.0, 1.0)) * static_cast<double>(kDegreesPerRadian);
    if (hourAngle <= 1.0) {
        facts.sunEvents = SunEvents::PolarNight;
        facts.sunrise = facts.sunset = texts.polarNight;
        return;
    }
    if (hourAngle >= 179.0) {
        facts.sunEvents = SunEvents::PolarDay;
        facts.sunrise = facts.sunset = texts.polarDay;
        return;
    }
    const double sunriseMinutes = 720.0 - 4.0 * hourAngle - data.trueSolarTimeFix;
    const double sunsetMinutes = 720.0 + 4.0 * hourAngle - data.trueSolarTimeFix;
    facts.sunEvents = SunEvents::Times;
    const std::int64_t solarMidnight = floorDiv(solarNoon, kDay) * kDay;
    const auto civilSeconds = [&](double minutes) {
        const std::int64_t offset = static_cast<std::int64_t>(std::trunc(minutes * 60.0));
        // The event as an instant, and the city's offset then.
        const std::int64_t eventUtc = solarMidnight + offset - solarZoneSeconds;
        const std::int64_t civil = eventUtc + offsetAt(static_cast<std::time_t>(eventUtc));
        return static_cast<int>(((civil % kDay) + kDay) % kDay);
    };
    facts.sunriseSeconds = civilSeconds(sunriseMinutes);
    facts.sunsetSeconds = civilSeconds(sunsetMinutes);
    facts.sunrise = clockText(facts.sunriseSeconds);
    facts.sunset = clockText(facts.sunsetSeconds);
}

} // namespace

std::string_view trimmedCityName(std::string_view name) {
    while (!name.empty() && (name.back() == ' ' || name.back() == '\t')) {
        name.remove_suffix(1);
    }
    return name;
}

std::string fixedTwoDecimals(float degrees) {
    char text[64];
    std::snprintf(text, sizeof text, "%.2f", static_cast<double>(degrees));
    return text;
}

float zoneHoursOfCity(const CityRecord& city, const EarthImage* zoneImage) {
    const MapView unpanned;
    const Point pixel = unpanned.mapToPane(city.longitude, city.latitude);
    return zoneOffsetAt(zoneImage, pixel.x, pixel.y);
}

CityFacts cityFacts(const CityRecord& city, const GeoTables& tables, float zoneHours,
                    std::time_t now, const CityFactsTexts& texts) {
    const LocalClock tablesOnly(&tables, nullptr, nullptr);
    CityFacts facts = cityFacts(city, tables, tablesOnly, now, texts, zoneHours);
    // The shipped tables' text, as before: the offset in a double, truncated.
    facts.localTime =
        localDateTimeText(city, zoneHours, tables.zones, tables.rules, now, texts.datePattern);
    facts.zoneHours = zoneHours;
    if (!(std::fabs(zoneHours) <= 24.0f)) {
        // No zone's offset: no sun times either.
        facts.sunEvents = SunEvents::Unknown;
        facts.sunrise.clear();
        facts.sunset.clear();
        facts.sunriseSeconds = facts.sunsetSeconds = 0;
    }
    return facts;
}

CityFacts cityClockFacts(const CityRecord& city, const LocalClock& clock, std::time_t now,
                         const CityFactsTexts& texts, std::optional<float> fallbackHours) {
    CityFacts facts;
    facts.name = trimmedCityName(city.name);
    const LocalTime local = clock.cityTime(city, now, fallbackHours);
    const std::int64_t standardSeconds = local.offsetSeconds - local.savingSeconds;
    facts.zoneHours = static_cast<float>(static_cast<double>(standardSeconds) / 3600.0);
    facts.dstMinutes = static_cast<int>(local.savingSeconds / 60);
    facts.dstInForce = local.saving;
    facts.localTime = local.text(texts.datePattern);
    facts.zoneName = local.zoneName;
    facts.abbreviation = local.abbreviation;
    facts.utcOffset = local.offsetText();
    facts.fromSystem = local.fromSystem;
    facts.latitude = fixedTwoDecimals(city.latitude);
    facts.longitude = fixedTwoDecimals(city.longitude);
    return facts;
}

CityFacts cityFacts(const CityRecord& city, const GeoTables& tables, const LocalClock& clock,
                    std::time_t now, const CityFactsTexts& texts,
                    std::optional<float> fallbackHours) {
    CityFacts facts = cityClockFacts(city, clock, now, texts, fallbackHours);
    facts.country = countryOfCity(city, tables.zones).value_or(std::string());
    if (!facts.country.empty()) {
        facts.diallingCode =
            areaCodeText(tables.areaCodes, facts.country, {}, AreaCodeMode::country);
        // The table writes the codes as " a, b": the leading blank is a separator.
        std::string codes =
            areaCodeText(tables.areaCodes, facts.country, facts.name, AreaCodeMode::city);
        facts.areaCodes = codes.empty() ? codes : codes.substr(1);
    }
    const std::int64_t standardSeconds =
        static_cast<std::int64_t>(std::llround(static_cast<double>(facts.zoneHours) * 3600.0));
    if (facts.fromSystem) {
        if (const TzifZone* zone = clock.systemZoneOfCity(city)) {
            if (const auto period = savingPeriodAt(*zone, static_cast<std::int64_t>(now))) {
                facts.dstStarted =
                    switchTextAt(period->start, period->offsetBefore, texts.datePattern);
                facts.dstEnds = switchTextAt(period->end, period->offsetInside, texts.datePattern);
            }
        }
    } else if (const DstRule* rule = dstRuleOfCity(city, tables.zones, tables.rules)) {
        fillDstPeriod(*rule, now, texts.datePattern, facts);
    }
    if (std::llabs(standardSeconds) <= 24 * 3600) {
        const OffsetAt offsetAt = [&](std::time_t t) {
            return clock.cityTime(city, t, fallbackHours).offsetSeconds;
        };
        fillSunEvents(city, standardSeconds, offsetAt, now, texts, facts);
    }
    return facts;
}

} // namespace chronvale
