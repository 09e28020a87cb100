#pragma once
// The time-zone table: which country a zone belongs to and which daylight-saving
// rule it follows. A city finds its zone through its zone key.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace chronvale {

class LoadErrorSink;
struct CityRecord;

struct TimeZoneRecord {
    std::string country;       // column 1
    std::string zoneKey;       // column 4 after its last "/" ("Australia/Sydney" gives "Sydney")
    std::string ruleName;      // column 7; names a DstRule
    float firstNumber = 0.0f;  // column 2, kept but not used
    float secondNumber = 0.0f; // column 3, kept but not used
};

// In file order; searched linearly, first match wins.
using ZoneTable = std::vector<TimeZoneRecord>;

// Parses the text of tz_data.dat: a header line, then one TAB-separated zone per
// line. TAB and LF searches run across line ends; where one is missing the parse
// ends and keeps the records read so far, the partial one included.
ZoneTable parseTimeZoneTable(std::string_view text);

// The most time zones a table may hold, far above the shipped table; a parse stops one
// record beyond it and the loader then reports the file as unable to load.
inline constexpr std::size_t maxZoneRecords = 20000;

// Loads tz_data.dat from the given path; on failure reports "tz_data.dat" to the
// sink and returns an empty table.
ZoneTable loadTimeZoneTable(const std::string& path, LoadErrorSink& errors);

// The first zone whose key equals the city's ignoring ASCII case (zones without a
// key are passed over); nullptr when none. The pointer is into the table.
const TimeZoneRecord* zoneOfCity(const CityRecord& city, const ZoneTable& zones);

// The country of the city's zone, or none.
std::optional<std::string> countryOfCity(const CityRecord& city, const ZoneTable& zones);

} // namespace chronvale
