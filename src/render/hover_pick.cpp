#include "render/hover_pick.h"

#include "geo/time_zone.h"

#include <cmath>

namespace chronvale {

std::optional<HoverPick> pickHoveredCity(const MapView& view, const CityList& cities,
                                         Point pointer) {
    const float pickRadius = static_cast<float>(kHoverPickRadius) * view.scale;
    std::optional<HoverPick> nearest;
    int best = 999;
    for (std::size_t i = 0; i < cities.size(); ++i) {
        const Point p = view.mapToScreen(cities[i].longitude, cities[i].latitude);
        const float dx = static_cast<float>(pointer.x - p.x);
        const float dy = static_cast<float>(pointer.y - p.y);
        const int d = static_cast<int>(std::sqrt(dx * dx + dy * dy));
        if (pickRadius > static_cast<float>(d) && d < best) {
            best = d;
            nearest = HoverPick{i, p};
        }
    }
    return nearest;
}

std::optional<std::string> hoveredCityStatus(const GeoTables& tables, std::size_t city) {
    if (city >= tables.cities.size()) {
        return std::nullopt;
    }
    const CityRecord& record = tables.cities[city];
    const std::optional<std::string> country = countryOfCity(record, tables.zones);
    return country && !country->empty() ? *country : record.name;
}

} // namespace chronvale
