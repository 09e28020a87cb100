#include "render/local_clock.h"

#include "geo/dst.h"
#include "geo/local_time.h"
#include "render/map_view.h"
#include "render/zone_offset.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace chronvale {

namespace {

// Offsets of the fall-back beyond this are no zone's (only a damaged image
// colour gets there): taken as none.
constexpr double kMaxFallbackSeconds = 48.0 * 3600.0;

std::int64_t hoursToSeconds(float hours) {
    const double seconds = static_cast<double>(hours) * 3600.0;
    return std::fabs(seconds) <= kMaxFallbackSeconds
               ? static_cast<std::int64_t>(std::trunc(seconds))
               : 0;
}

} // namespace

std::string LocalTime::text(std::string_view datePattern) const {
    return formatUtcDateTimeIn(static_cast<std::time_t>(civilSeconds()), datePattern);
}

std::string LocalTime::offsetText() const {
    const std::int64_t minutes = std::llabs(offsetSeconds) / 60;
    char out[32];
    std::snprintf(out, sizeof out, "UTC%c%02lld:%02lld", offsetSeconds < 0 ? '-' : '+',
                  static_cast<long long>(minutes / 60), static_cast<long long>(minutes % 60));
    return out;
}

LocalClock::LocalClock(const GeoTables* tables, const ZoneFiles* zoneFiles, SystemZones* system)
    : tables_(tables), zoneFiles_(zoneFiles), system_(system) {}

ClockSource LocalClock::source() const {
    if (!useSystem_) {
        return ClockSource::SwitchedOff;
    }
    if (system_ == nullptr || !system_->available()) {
        return ClockSource::NoDatabase;
    }
    if (zoneFiles_ == nullptr || !zoneFiles_->errors.empty()) {
        return ClockSource::NoZoneFiles;
    }
    return ClockSource::System;
}

const TzifZone* LocalClock::systemZone(std::string_view name) const {
    if (!useSystem_ || system_ == nullptr || name.empty()) {
        return nullptr;
    }
    return system_->zone(name);
}

const TzifZone* LocalClock::systemZoneOfCity(const CityRecord& city) const {
    return zoneFiles_ == nullptr ? nullptr : systemZone(zoneFiles_->zoneOfCity(city));
}

LocalTime LocalClock::fromZone(const TzifZone& zone, std::string_view name, std::time_t t) const {
    const ZoneTime zoneTime = zoneTimeAt(zone, static_cast<std::int64_t>(t));
    LocalTime out;
    out.instant = static_cast<std::int64_t>(t);
    out.offsetSeconds = zoneTime.type.utcOffset;
    out.savingSeconds = zoneTime.savingSeconds;
    out.saving = zoneTime.type.isDst;
    if (isRealAbbreviation(zoneTime.type.abbreviation)) {
        out.abbreviation = zoneTime.type.abbreviation;
    }
    out.zoneName = std::string(name);
    out.fromSystem = true;
    return out;
}

float LocalClock::tableZoneHours(const CityRecord& city) const {
    const MapView unpanned;
    const Point pixel = unpanned.mapToPane(city.longitude, city.latitude);
    return zoneOffsetAt(zoneImage(), pixel.x, pixel.y);
}

LocalTime LocalClock::cityTime(const CityRecord& city, std::time_t t,
                               std::optional<float> fallbackHours) const {
    if (const TzifZone* zone = systemZoneOfCity(city)) {
        return fromZone(*zone, zoneFiles_->zoneOfCity(city), t);
    }
    LocalTime out;
    out.instant = static_cast<std::int64_t>(t);
    if (tables_ != nullptr) {
        out.savingSeconds =
            std::int64_t{dstOffsetMinutes(city, tables_->zones, tables_->rules, t)} * 60;
    }
    out.saving = out.savingSeconds != 0;
    out.offsetSeconds =
        hoursToSeconds(fallbackHours.value_or(tableZoneHours(city))) + out.savingSeconds;
    return out;
}

LocalTime LocalClock::pixelTime(int x, int y, std::time_t t, const CityRecord* savingOf) const {
    if (zoneFiles_ != nullptr && !zoneFiles_->raster.empty()) {
        const ZoneRaster& raster = zoneFiles_->raster;
        // The raster may be finer or coarser than the map.
        const int rx = static_cast<int>(static_cast<long long>(x) * raster.width / kMapWidth);
        const int ry = static_cast<int>(static_cast<long long>(y) * raster.height / kMapHeight);
        if (const std::string* name = raster.zoneAt(rx, ry)) {
            if (const TzifZone* zone = systemZone(*name)) {
                return fromZone(*zone, *name, t);
            }
        }
    }
    LocalTime out;
    out.instant = static_cast<std::int64_t>(t);
    if (savingOf != nullptr && tables_ != nullptr) {
        out.savingSeconds =
            std::int64_t{dstOffsetMinutes(*savingOf, tables_->zones, tables_->rules, t)} * 60;
    }
    out.saving = out.savingSeconds != 0;
    out.offsetSeconds = hoursToSeconds(zoneOffsetAt(zoneImage(), x, y)) + out.savingSeconds;
    return out;
}

} // namespace chronvale
