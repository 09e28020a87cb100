#pragma once
// A compiled time zone of the system's zoneinfo folder (a TZif file, RFC 8536)
// and the civil time it gives at an instant.
//
// A file lists the zone's past and planned transitions and ends with a POSIX TZ
// rule ("EST5EDT,M3.2.0,M11.1.0") for every instant after the last one. Parsing
// is bounded: every count is checked against the bytes that remain, and the
// counts themselves have upper bounds far above any real zone.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace chronvale {

// One kind of local time of a zone: its offset east of UTC, whether it is
// daylight saving, and its abbreviation ("BST", "+0530").
struct TzifType {
    std::int32_t utcOffset = 0; // seconds east of UTC
    bool isDst = false;
    std::string abbreviation;
};

// Where a POSIX rule switches in a year: day and time of the local clock then in force.
struct PosixSwitch {
    enum class Kind { MonthWeekDay, Julian1, Julian0 } kind = Kind::MonthWeekDay;
    int month = 0;               // 1-12 (MonthWeekDay)
    int week = 0;                // 1-5, 5 = the last (MonthWeekDay)
    int weekday = 0;             // 0 = Sunday (MonthWeekDay)
    int day = 0;                 // 1-365 without 29 February (Julian1), 0-365 (Julian0)
    std::int32_t seconds = 7200; // local time of day, -167 h ... 167 h
};

// The rule of a TZif footer: standard time, and daylight time with its two
// switches when the zone has one.
struct PosixRule {
    TzifType standard;
    std::optional<TzifType> daylight;
    PosixSwitch start; // into daylight time, at standard local time
    PosixSwitch end;   // back to standard time, at daylight local time
};

// Parses a POSIX TZ rule as TZif footers write them; none for anything else.
std::optional<PosixRule> parsePosixRule(std::string_view text);

struct TzifZone {
    std::vector<std::int64_t> transitions; // UTC instants, ascending
    std::vector<std::uint8_t> typeOfTransition;
    std::vector<TzifType> types;   // types[0] is in force before the first transition
    std::optional<PosixRule> rule; // after the last transition
};

// Bounds of a file: far above the real zones (a few hundred transitions, a
// dozen types), low enough that a hostile file allocates little.
inline constexpr std::size_t maxTzifBytes = 256 * 1024;
inline constexpr std::uint32_t maxTzifTransitions = 4096;
inline constexpr std::uint32_t maxTzifTypes = 256;

// Parses a TZif file of version 1, 2, 3 or 4 (of version 2 and later the 64-bit
// data and the footer); none for a damaged or truncated file.
std::optional<TzifZone> parseTzif(std::string_view bytes);

// The civil time of a zone at an instant.
struct ZoneTime {
    TzifType type;                  // offset, daylight saving, abbreviation in force
    std::int32_t savingSeconds = 0; // offset less the standard offset (negative in Dublin's winter)
};

ZoneTime zoneTimeAt(const TzifZone& zone, std::int64_t instant);

// A stretch of daylight saving: from the switch into it to the switch out of it.
struct SavingPeriod {
    std::int64_t start = 0;
    std::int64_t end = 0;
    std::int32_t offsetBefore = 0; // the offset in force just before the start
    std::int32_t offsetInside = 0; // the offset in force during the period
};

// The saving period in force at the instant, else the one that begins in the
// instant's UTC calendar year; none for a zone without saving that year. Periods
// end where the zone leaves daylight saving, however many transitions lie inside.
std::optional<SavingPeriod> savingPeriodAt(const TzifZone& zone, std::int64_t instant);

// A real abbreviation ("BST", "PDT") as opposed to the numeric stand-ins
// ("+05", "-0330") the database writes for zones without one.
bool isRealAbbreviation(std::string_view abbreviation);

} // namespace chronvale
