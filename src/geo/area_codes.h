#pragma once
// The dialling codes: a country's international code and the area codes of some
// of its cities.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace chronvale {

class LoadErrorSink;

struct AreaCodeRecord {
    std::string country;             // a country line's name, or the one above a city line
    std::optional<std::string> city; // the city of a city line; none for a country line
    std::string code;                // the line's code, cut at its last comma
};

// In file order.
using AreaCodeTable = std::vector<AreaCodeRecord>;

enum class AreaCodeMode {
    country = 0, // the codes of the matching country lines, joined with nothing between
    city = 1,    // the codes of the matching city lines as " a, b, c"
};

// Parses the text of areacode.dat: comma-separated lines, "Country,code" or
// "*,City,code" ("+" works like "*"). A city line belongs to the country line
// above it (the empty name when there is none). Comma searches run across line
// ends; where no comma is left the parse ends and keeps the records read so far,
// the partial one included.
AreaCodeTable parseAreaCodes(std::string_view text);

// The most area codes a table may hold, far above the shipped table; a parse stops one
// record beyond it and the loader then reports the file as unable to load.
inline constexpr std::size_t maxAreaCodeRecords = 200000;

// Loads areacode.dat from the given path; on failure reports "areacode.dat" to
// the sink and returns an empty table.
AreaCodeTable loadAreaCodes(const std::string& path, LoadErrorSink& errors);

// The codes for a country (mode country) or for a city of a country (mode city),
// names compared ignoring ASCII case; empty when nothing matches.
std::string areaCodeText(const AreaCodeTable& table, std::string_view country,
                         std::string_view city, AreaCodeMode mode);

} // namespace chronvale
