#pragma once
// Daylight-saving rules and the minutes of daylight saving in force for a city.
//
// A rule is a pair of switches, start and end, each placed by weekday, day and
// month in the current year at 00:00:00 standard local time of the computer's
// time zone. A city finds its rule through its zone (see time_zone.h).

#include <cstddef>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace chronvale {

class LoadErrorSink;
struct CityRecord;
struct TimeZoneRecord;
using ZoneTable = std::vector<TimeZoneRecord>;

// Where a switch falls in a year.
//   day 0:               the last `weekday` of the month;
//   day > 0, weekday 0-6: the first `weekday` on or after that day (Sunday on or
//                         after 8 March is the second Sunday of March);
//   day > 0, any other weekday (-1 by convention): that day itself.
struct DstSwitch {
    int weekday = 0;       // 0 = Sunday ... 6 = Saturday
    int day = 0;           // day of the month, 0 for "the last"
    int month = 0;         // 1 = January ... 12 = December
    int offsetMinutes = 0; // whole hours of daylight saving, as minutes
};

struct DstRule {
    std::string ruleName; // from the end line, which overrides the start line's
    DstSwitch start;
    DstSwitch end; // its offset is read and kept, not used
};

// In file order; searched linearly, first match wins.
using DstRuleTable = std::vector<DstRule>;

// Parses the text of tz_dst.dat: two TAB-separated lines per rule, start then
// end. Searches run across line ends; where a TAB or LF is missing the parse
// ends and keeps the rules read so far, the partial one included. The offset
// column is truncated toward zero to whole hours (1.5 gives 60 minutes).
DstRuleTable parseDstRules(std::string_view text);

// The most rules a table may hold, far above the shipped table; a parse stops one
// record beyond it and the loader then reports the file as unable to load.
inline constexpr std::size_t maxDstRules = 20000;

// Loads tz_dst.dat from the given path; on failure reports "tz_dst.dat" to the
// sink and returns an empty table.
DstRuleTable loadDstRules(const std::string& path, LoadErrorSink& errors);

// The first rule named exactly (case-sensitive) as the city's zone's rule;
// nullptr when the city has no zone, its zone no rule name, or no rule has that
// name. The pointer is into the rule table.
const DstRule* dstRuleOfCity(const CityRecord& city, const ZoneTable& zones,
                             const DstRuleTable& rules);

// The instant of a switch in the given year (e.g. 2024): 00:00:00 standard local
// time on the day the switch names. None for a month outside 1-12, a day outside
// 0-31, or a time the C library cannot represent.
std::optional<std::time_t> dstSwitchTime(int weekday, int day, int month, int year);

// Minutes of daylight saving in force for the city at `now`, 0 when none. The
// year is the UTC calendar year of now. A rule whose end month comes before its
// start month spans the new year: it is in force from the start switch to the end
// of the year and from the new year to the end switch.
int dstOffsetMinutes(const CityRecord& city, const ZoneTable& zones, const DstRuleTable& rules,
                     std::time_t now);

} // namespace chronvale
