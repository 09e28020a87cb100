#pragma once
// The properties of one city at one instant, as text: what the city properties
// dialog shows and what `chronvale --city` prints.
//
// Sunrise and sunset are shown in the city's civil time, the same clock as its
// local time: the solar position gives them in local standard time, so the
// daylight-saving minutes in force at the event are added. They are computed
// for the city's own local date (not the UTC date), with the sun's place at
// local noon, and for the sun's upper limb at the refracted horizon (the centre
// 0.833 degrees below it), as almanacs give them.

#include "geo/date_pattern.h"

#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace chronvale {

struct CityRecord;
struct GeoTables;
class EarthImage;
class LocalClock;

// The texts the caller supplies in the user's language.
struct CityFactsTexts {
    std::string polarDay = "Polar day";     // the sun does not set on that date
    std::string polarNight = "Polar night"; // the sun does not rise on that date
    // How the locale writes a date (date_pattern.h); every date uses it.
    std::string datePattern{kMonthFirstDatePattern};
};

// What the sunrise and sunset fields hold.
enum class SunEvents {
    Times,      // both times are shown
    PolarDay,   // the sun stays up all day (its hour angle at the horizon is 179 degrees or more)
    PolarNight, // the sun stays down (that hour angle is 1 degree or less)
    Unknown,    // the solar position rejected the inputs (a year outside 1950 ... 2050)
};

struct CityFacts {
    std::string name;         // the city's name without the blanks before its state
    std::string country;      // of its zone, empty when none
    std::string diallingCode; // the country's international code, empty when none
    std::string areaCodes;    // the city's area codes "20, 606", empty when none
    std::string localTime;    // "<date> hh:mm:ss", the date in the texts' pattern
    std::string sunrise;      // "hh:mm:ss" civil time, or a polar text, or empty
    std::string sunset;
    std::string latitude;   // two decimals, south negative ("-33.87")
    std::string longitude;  // two decimals, west negative
    std::string dstStarted; // "<date> hh:mm:ss" as the local time, empty without a rule
    std::string dstEnds;
    std::string zoneName;     // the IANA zone ("Europe/London"); empty on the tables' fall-back
    std::string abbreviation; // "BST"; empty where the database has no real one
    std::string utcOffset;    // "UTC+01:00", the offset in force
    bool fromSystem = false;  // the system's time-zone database gave the times
    bool dstInForce = false;  // daylight saving is in force at the instant

    float zoneHours = 0.0f; // the standard offset used
    int dstMinutes = 0;     // daylight saving in force at the instant
    SunEvents sunEvents = SunEvents::Unknown;
    int sunriseSeconds = 0; // seconds after local civil midnight (Times only)
    int sunsetSeconds = 0;
};

// The fields for the city at `now` with the standard offset zoneHours (from the
// time-zone image). Offsets beyond +-12 hours (12.75, 13, 14) are handled by
// computing the sun a day off with the offset 24 hours less: the clock times
// are the same.
CityFacts cityFacts(const CityRecord& city, const GeoTables& tables, float zoneHours,
                    std::time_t now, const CityFactsTexts& texts = {});

// The fields with every local time from the clock (the system's database where
// it has the city's zone; the daylight-saving period is then the zone's own,
// its switches shown in the city's clock before each). On the clock's fall-back
// the standard offset is fallbackHours when given, else the city's pixel's.
CityFacts cityFacts(const CityRecord& city, const GeoTables& tables, const LocalClock& clock,
                    std::time_t now, const CityFactsTexts& texts = {},
                    std::optional<float> fallbackHours = {});

// The name, the position and the clock's fields alone (local time, zone,
// abbreviation, offset, saving in force), as cityFacts fills them: without the
// country, the codes, the sun and the daylight-saving period, for batch queries.
CityFacts cityClockFacts(const CityRecord& city, const LocalClock& clock, std::time_t now,
                         const CityFactsTexts& texts = {}, std::optional<float> fallbackHours = {});

// The standard offset at the city's own pixel of the time-zone image (as the
// marked cities' labels take it); 0 without an image.
float zoneHoursOfCity(const CityRecord& city, const EarthImage* zoneImage);

// The name without the blanks that stand before "(state)" in the city table.
std::string_view trimmedCityName(std::string_view name);

// "%.2f" of a coordinate.
std::string fixedTwoDecimals(float degrees);

} // namespace chronvale
