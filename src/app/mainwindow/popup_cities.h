#pragma once
// The cities listed in the map's context menu: the ten nearest to the click,
// nearest first.

#include "geo/city.h"
#include "render/map_view.h"

#include <cstddef>
#include <vector>

namespace chronvale {

struct PopupCity {
    std::size_t index = 0; // position in the CityList
    float distance = 0.0f; // pane pixels from the click
};

inline constexpr std::size_t kPopupCityCount = 10;
// Slot 0 counts as the city right under the click within this many pixels.
inline constexpr float kUnderClickDistance = 10.0f;

// Clears `picked` on every city, then picks up to `count` cities nearest to the
// cursor (pane coordinates, relative to the map area's top-left), each time the
// first nearest of those not yet picked, and marks them picked. A city 9999
// pixels or more away is never picked.
std::vector<PopupCity> pickPopupCities(CityList& cities, const MapView& view, Point cursor,
                                       std::size_t count = kPopupCityCount);

// The command of slot `slot` in the list whose first id is `base`: base + slot,
// except that in the properties list (cmd::NearbyCityProperties) slot 0 becomes
// cmd::NearestCityProperties when it lies within kUnderClickDistance.
int nearbyCityCommand(int base, std::size_t slot, float distance);

// The slot of a nearby-city command in the list whose first id is `base`; -1 when
// the command is not in that list.
int nearbyCitySlot(int base, int command);

} // namespace chronvale
