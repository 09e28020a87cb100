#pragma once
// The status bar's read-out of the mouse pointer: the local date and time at the
// point (near a city the city's own, else the zone of the point), its latitude
// and its longitude. Off the map (outside
// the pane, or where the map has ended) there is nothing to read.

#include "geo/date_pattern.h"
#include "geo/geo_tables.h"
#include "render/earth_image.h"
#include "render/local_clock.h"
#include "render/map_view.h"

#include <cstddef>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace chronvale {

struct PointerReadout {
    // The pointer is over a pixel of the map; when not, the other fields are empty.
    bool onMap = false;
    // The city the pointer is over: with City Names off the nearest city, however
    // far; with it on the city the names overlay found at its last paint.
    std::optional<std::size_t> city;
    std::string localTime; // "<date> hh:mm:ss", the date in the inputs' pattern
    std::string zone; // the zone's abbreviation ("BST"), else its IANA name; empty on the fall-back
    float longitude = 0.0f;
    float latitude = 0.0f;
};

struct PointerInputs {
    const EarthImage* zoneImage = nullptr; // none: offset 0
    const GeoTables* tables = nullptr;
    const LocalClock* clock = nullptr; // the local times; none: the tables and zoneImage
    bool namesOn = false;
    std::optional<std::size_t> hoveredCity; // what the names overlay found
    int mapWidth = kMapWidth;               // the lit map's size
    int mapHeight = kMapHeight;
    std::string_view datePattern = kMonthFirstDatePattern; // the locale's (date_pattern.h)
};

// The read-out for the pointer at pane position `cursor` (relative to the map
// area's top-left) at the instant `now`. The pointer is on the map while it lies
// inside the map area and over a pixel of the lit map.
PointerReadout readPointer(const MapView& view, Point cursor, std::time_t now,
                           const PointerInputs& inputs);

// A coordinate as the status bar shows it: "%0.2f".
std::string coordinateText(float degrees);

} // namespace chronvale
