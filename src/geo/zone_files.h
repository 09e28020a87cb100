#pragma once
// The IANA zones of the data folder: the zone of each city (city_zones.dat) and
// of each pixel of the map (zone_map.dat), with which the system's time-zone
// database gives local times.
//
// Both are packed text files (see core/packed_file.h), lines ending in CR LF:
//   city_zones.dat: one line per city of location.dat, in its order:
//                   "ZONE<TAB>NAME" with NAME the city's name field;
//   zone_map.dat:   "WIDTH<TAB>HEIGHT<TAB>COUNT", COUNT zone names one a line,
//                   then one line per map row, top first: runs "INDEX*LENGTH"
//                   (or "INDEX" for a run of one) separated by blanks.

#include "geo/city.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace chronvale {

struct ZoneRaster {
    int width = 0;
    int height = 0;
    std::vector<std::string> names;   // the zones, by index
    std::vector<std::uint16_t> cells; // width * height indices into names, rows top first

    bool empty() const { return cells.empty(); }
    // The zone at the pixel; nullptr outside the raster or without one.
    const std::string* zoneAt(int x, int y) const;
};

// Bounds: the raster of the shipped map is 1024 x 512 with a few hundred zones.
inline constexpr int maxZoneRasterSide = 4096;
inline constexpr std::size_t maxZoneRasterNames = 4096;

// Parses zone_map.dat's text; none for anything malformed (a row whose runs do
// not cover it exactly, an index beyond the names, a zone name that is not safe).
std::optional<ZoneRaster> parseZoneRaster(std::string_view text);

// Parses city_zones.dat's text against the city list: the zones by city, none
// when the lines do not name the same cities in the same order or a zone name is
// not safe. An empty zone leaves that city without one.
std::optional<std::vector<std::string>> parseCityZones(std::string_view text,
                                                       const CityList& cities);

inline constexpr const char* kCityZonesName = "city_zones.dat";
inline constexpr const char* kZoneMapName = "zone_map.dat";

// Both files as loaded for one city list.
struct ZoneFiles {
    const CityList* cities = nullptr;   // the list the zones belong to
    std::vector<std::string> cityZones; // by index into it; empty when not loaded
    ZoneRaster raster;                  // empty when not loaded
    // "Unable to load file 'NAME' (reason)" for each file that could not be
    // loaded. They are not shown at start-up: the times then come from the
    // shipped tables, and `--info` lists them.
    std::vector<std::string> errors;

    // The IANA zone of a record of the list (by its address); empty for one not
    // in it or without a zone.
    std::string_view zoneOfCity(const CityRecord& city) const;
};

// Loads both files from the data folder for the city list, which must outlive
// the result and not change size.
ZoneFiles loadZoneFiles(const std::string& dataFolder, const CityList& cities);

} // namespace chronvale
