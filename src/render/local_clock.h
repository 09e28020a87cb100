#pragma once
// The one place that says what the local time of a city or of a map pixel is at
// an instant. Every part that shows a local time asks here: the city
// properties, the status bar's pointer read-out, the marked cities' labels and
// the command line.
//
// With the system database in use (the default), a city's time comes from its
// IANA zone (city_zones.dat) and a pixel's from the zone raster (zone_map.dat),
// through the compiled zones of the system's zoneinfo folder. Where that is
// switched off, where the system has no database, the data files lack the
// zone or the system lacks it, the time falls back to the shipped tables: the
// standard offset from the colour of the time-zone image plus the daylight
// saving of the city's country-wide rule.

#include "geo/geo_tables.h"
#include "geo/system_zones.h"
#include "geo/zone_files.h"
#include "render/earth_image.h"

#include "geo/date_pattern.h"

#include <cstdint>
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace chronvale {

struct LocalTime {
    std::int64_t instant = 0;       // the UTC instant asked about
    std::int64_t offsetSeconds = 0; // local civil time = instant + offsetSeconds
    std::int64_t savingSeconds = 0; // the part of it that is daylight saving (may be negative)
    bool saving = false;            // daylight saving is in force
    std::string abbreviation;       // "BST", "PDT"; empty for a numeric one or on the fall-back
    std::string zoneName;           // "Europe/London"; empty on the fall-back
    bool fromSystem = false;        // false: the shipped tables gave it

    std::int64_t civilSeconds() const { return instant + offsetSeconds; }
    // "<date> hh:mm:ss" of the civil time, the date in the pattern (date_pattern.h).
    std::string text(std::string_view datePattern = kMonthFirstDatePattern) const;
    // "UTC+05:30" of the offset.
    std::string offsetText() const;
};

// Why the shipped tables give the times; None when the system database does.
enum class ClockSource { System, SwitchedOff, NoDatabase, NoZoneFiles };

class LocalClock {
public:
    // The tables, the zone files (the cities' zones and the zone raster) and the
    // system database must outlive the clock; any may be null (fall-back).
    LocalClock(const GeoTables* tables, const ZoneFiles* zoneFiles, SystemZones* system);

    // The time-zone image of the fall-back, asked for at each call because the
    // compositor may replace it.
    void setZoneImage(std::function<const EarthImage*()> image) { zoneImage_ = std::move(image); }
    void setZoneImage(const EarthImage* image) {
        zoneImage_ = [image] { return image; };
    }

    // "Use the system's time-zone database": on by default; off gives the
    // shipped tables' times everywhere.
    void setUseSystemDatabase(bool on) { useSystem_ = on; }
    bool useSystemDatabase() const { return useSystem_; }

    // The source of the times as a whole (a single city may still fall back when
    // the system lacks its zone).
    ClockSource source() const;
    SystemZones* systemZones() const { return system_; }

    // The local time of the city at t. On the fall-back its standard offset is
    // fallbackHours when given (the properties opened from a map point use that
    // point's colour), else the colour at the city's own pixel.
    LocalTime cityTime(const CityRecord& city, std::time_t t,
                       std::optional<float> fallbackHours = {}) const;

    // The local time at pixel (x, y) of the 1024 x 512 map at t. On the fall-back
    // the standard offset is the colour there, plus the daylight saving of
    // savingOf (the city under the pointer) when given.
    LocalTime pixelTime(int x, int y, std::time_t t, const CityRecord* savingOf = nullptr) const;

    // The compiled zone the city's times come from; nullptr on the fall-back.
    const TzifZone* systemZoneOfCity(const CityRecord& city) const;

    // The standard offset of the fall-back at the city's pixel, in hours.
    float tableZoneHours(const CityRecord& city) const;

private:
    const TzifZone* systemZone(std::string_view name) const;
    LocalTime fromZone(const TzifZone& zone, std::string_view name, std::time_t t) const;
    const EarthImage* zoneImage() const { return zoneImage_ ? zoneImage_() : nullptr; }

    const GeoTables* tables_;
    const ZoneFiles* zoneFiles_;
    SystemZones* system_;
    std::function<const EarthImage*()> zoneImage_;
    bool useSystem_ = true;
};

} // namespace chronvale
