#include "app/mainwindow/popup_cities.h"

#include "app/mainwindow/command_ids.h"

#include <cmath>

namespace chronvale {

namespace {

constexpr float kNoCity = 9999.0f;

} // namespace

std::vector<PopupCity> pickPopupCities(CityList& cities, const MapView& view, Point cursor,
                                       std::size_t count) {
    for (CityRecord& city : cities) {
        city.picked = false;
    }
    // Positions once; each slot then walks the list for the nearest unpicked city.
    std::vector<float> distances(cities.size());
    for (std::size_t i = 0; i < cities.size(); ++i) {
        const Point p = view.mapToPane(cities[i].longitude, cities[i].latitude);
        const float dx = static_cast<float>(p.x - cursor.x);
        const float dy = static_cast<float>(p.y - cursor.y);
        distances[i] = std::sqrt(dx * dx + dy * dy);
    }
    std::vector<PopupCity> picked;
    while (picked.size() < count) {
        float best = kNoCity;
        std::size_t bestIndex = cities.size();
        for (std::size_t i = 0; i < cities.size(); ++i) {
            if (!cities[i].picked && distances[i] < best) {
                best = distances[i];
                bestIndex = i;
            }
        }
        if (bestIndex == cities.size()) {
            break;
        }
        cities[bestIndex].picked = true;
        picked.push_back(PopupCity{bestIndex, best});
    }
    return picked;
}

int nearbyCityCommand(int base, std::size_t slot, float distance) {
    if (base == cmd::NearbyCityProperties && slot == 0 && distance < kUnderClickDistance) {
        return cmd::NearestCityProperties;
    }
    return base + static_cast<int>(slot);
}

int nearbyCitySlot(int base, int command) {
    if (base == cmd::NearbyCityProperties && command == cmd::NearestCityProperties) {
        return 0;
    }
    if (command >= base && command < base + static_cast<int>(kPopupCityCount)) {
        return command - base;
    }
    return -1;
}

} // namespace chronvale
