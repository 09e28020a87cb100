#include "app/mainwindow/pointer_readout.h"

#include "geo/dst.h"
#include "render/zone_offset.h"

#include <cstdio>

namespace chronvale {

namespace {

constexpr int kSecondsPerHour = 3600;
// The pointer is over the nearest city within this many pixels at scale 1.
constexpr float kOverCityDistance = 10.0f;

bool onMap(const MapView& view, Point cursor, const PointerInputs& inputs) {
    if (cursor.x < 0 || cursor.y < 0 || cursor.x >= view.mapArea.width ||
        cursor.y >= view.mapArea.height) {
        return false;
    }
    const Point source = view.screenToSource(cursor.x, cursor.y);
    return source.x >= 0 && source.y >= 0 && source.x < inputs.mapWidth &&
           source.y < inputs.mapHeight;
}

} // namespace

PointerReadout readPointer(const MapView& view, Point cursor, std::time_t now,
                           const PointerInputs& inputs) {
    PointerReadout out;
    if (!onMap(view, cursor, inputs)) {
        return out;
    }
    out.onMap = true;
    const Point source = view.screenToSource(cursor.x, cursor.y);
    const float hours = zoneOffsetAt(inputs.zoneImage, source.x, source.y);
    std::time_t t = now + static_cast<std::time_t>(hours * static_cast<float>(kSecondsPerHour));

    bool withCitySaving = false;
    if (inputs.namesOn) {
        out.city = inputs.hoveredCity;
        withCitySaving = true;
    } else if (inputs.tables != nullptr) {
        if (const std::optional<CityHit> hit =
                view.nearestCity(inputs.tables->cities, cursor.x, cursor.y)) {
            out.city = hit->index;
            withCitySaving = static_cast<float>(hit->distance) < kOverCityDistance * view.scale;
        }
    }
    const bool overCity = withCitySaving && out.city && inputs.tables != nullptr &&
                          *out.city < inputs.tables->cities.size();
    if (inputs.clock != nullptr) {
        // Near a city its own zone (a border town keeps its time even where its
        // pixel lies across the border), elsewhere the zone of the point.
        const CityRecord* city = overCity ? &inputs.tables->cities[*out.city] : nullptr;
        LocalTime local = city != nullptr ? inputs.clock->cityTime(*city, now)
                                          : inputs.clock->pixelTime(source.x, source.y, now);
        if (!local.fromSystem && city != nullptr) {
            // The tables' fall-back reads the offset at the point, as without a clock.
            local = inputs.clock->pixelTime(source.x, source.y, now, city);
        }
        out.localTime = local.text(inputs.datePattern);
        // The sea's zones are named Etc/GMT-3 for UTC+3: the offset reads plainly.
        out.zone = !local.abbreviation.empty()          ? local.abbreviation
                   : local.zoneName.starts_with("Etc/") ? local.offsetText()
                                                        : local.zoneName;
    } else {
        if (overCity) {
            const CityRecord& city = inputs.tables->cities[*out.city];
            t += static_cast<std::time_t>(
                     dstOffsetMinutes(city, inputs.tables->zones, inputs.tables->rules, now)) *
                 60;
        }
        out.localTime = formatUtcDateTimeIn(t, inputs.datePattern);
    }

    const LonLat position =
        view.screenToLonLat(cursor.x, cursor.y, inputs.mapWidth, inputs.mapHeight);
    out.longitude = position.longitude;
    out.latitude = position.latitude;
    return out;
}

std::string coordinateText(float degrees) {
    char text[32];
    std::snprintf(text, sizeof text, "%0.2f", static_cast<double>(degrees));
    return text;
}

} // namespace chronvale
