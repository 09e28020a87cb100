#pragma once
// The text form of a date and time, and a city's local time in that form.

#include <ctime>
#include <string>
#include <string_view>
#include <vector>

namespace chronvale {

struct CityRecord;
struct TimeZoneRecord;
struct DstRule;
using ZoneTable = std::vector<TimeZoneRecord>;
using DstRuleTable = std::vector<DstRule>;

// Orders of the date fields.
inline constexpr int monthDayYear = 0; // the order the program shows
inline constexpr int dayMonthYear = 1;
inline constexpr int yearMonthDay = 2;

// "MM/DD/YY hh:mm:ss" (for monthDayYear) of the instant's UTC calendar fields.
// The year is the years since 1900, less 100 when above 99 (2004 gives 04, 2100
// gives 100). The separator is the locale's date separator: "/" when empty, at
// most 7 bytes. An instant of 0 (no time) writes every field as 00, as does an
// instant the calendar cannot represent. Any order other than 1 or 2 is month first.
std::string formatUtcDateTime(std::time_t instant, int order, std::string_view separator = "/");

// The city's local time: now plus the standard offset zoneHours (from the
// time-zone image) plus its daylight saving, truncated to whole seconds, as
// formatUtcDateTime text in month-first order.
std::string localTimeText(const CityRecord& city, float zoneHours, const ZoneTable& zones,
                          const DstRuleTable& rules, std::time_t now,
                          std::string_view separator = "/");

// The same local time, its date in a locale's date pattern (date_pattern.h).
std::string localDateTimeText(const CityRecord& city, float zoneHours, const ZoneTable& zones,
                              const DstRuleTable& rules, std::time_t now,
                              std::string_view datePattern);

} // namespace chronvale
