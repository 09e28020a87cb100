#pragma once
// The city database: every city the program knows, in file order.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace chronvale {

class LoadErrorSink;

struct CityRecord {
    std::string zoneKey;              // matched against TimeZoneRecord::zoneKey
    std::string name;                 // up to (not including) the last "(" of the name field
    std::optional<std::string> state; // text after the first "(" up to the next ")"
    float longitude = 0.0f;           // degrees east, west negative
    float latitude = 0.0f;            // degrees north, south negative
    bool picked = false;              // scratch flag of the context menu's nearest-city pick
    bool marked = false;              // the user has marked this city
    std::string label;                // the user's own name for it ("Mum"), empty: none
};

// In file order; nothing is inserted or removed after loading.
using CityList = std::vector<CityRecord>;

// Parses the text of location.dat. Never fails: a parse that runs out of TABs
// keeps the records read so far.
CityList parseCityDatabase(std::string_view text);

// The most cities a table may hold, far above the shipped table; a parse stops one
// record beyond it and the loader then reports the file as unable to load.
inline constexpr std::size_t maxCityRecords = 200000;

// Loads location.dat from the given path; on failure reports "location.dat" to the
// sink and returns an empty list.
CityList loadCityDatabase(const std::string& path, LoadErrorSink& errors);

} // namespace chronvale
