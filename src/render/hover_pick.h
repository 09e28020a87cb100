#pragma once
// Which city the pointer is over while City Names is on: the pick the names
// overlay draws and the window reads, made without painting.

#include "geo/city.h"
#include "geo/geo_tables.h"
#include "render/map_view.h"

#include <cstddef>
#include <optional>
#include <string>

namespace chronvale {

// Radius of the dots shown near the pointer, in map pixels, while City Names is on.
inline constexpr int kHoverRadius = 40;
// A city within this many map pixels of the pointer is the hovered city.
inline constexpr int kHoverPickRadius = 10;

struct HoverPick {
    std::size_t index = 0; // into the CityList
    Point at;              // the city's point in the window's coordinates
};

// The city nearest the pointer (window coordinates, those of mapArea) whose
// distance, truncated to whole pixels, is less than kHoverPickRadius x scale; the
// first in the list of equally near ones. None when no city is that near.
std::optional<HoverPick> pickHoveredCity(const MapView& view, const CityList& cities,
                                         Point pointer);

// The status bar's text for a hovered city: its country, or its name when it has
// none; none for an index past the list.
std::optional<std::string> hoveredCityStatus(const GeoTables& tables, std::size_t city);

} // namespace chronvale
