#pragma once
// A city's working hours: the clock times of a shift and the weekdays on which
// one starts. A shift whose end is at or before its start runs across midnight
// (22:00-06:00 is a night shift); 09:00-09:00 runs around the clock.

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace chronvale {

// Bit d stands for weekday d, 0 = Sunday ... 6 = Saturday.
inline constexpr std::uint8_t kMondayToFriday = 0x3E;
inline constexpr std::uint8_t kSundayToThursday = 0x1F;

struct WorkingHours {
    int startMinute = 9 * 60;            // minutes after local midnight, 0 ... 1439
    int endMinute = 17 * 60;             // at or before the start: the next day
    std::uint8_t days = kMondayToFriday; // the weekdays a shift starts on

    bool operator==(const WorkingHours&) const = default;
};

// The length of one shift in minutes, 1 ... 1440.
int shiftMinutes(const WorkingHours& hours);

// Weekday (0 = Sunday) of a count of days since 1970-01-01.
int weekdayOfDay(std::int64_t day);

// The day of a local clock reading given as seconds since 1970-01-01 00:00 of
// that clock (an instant plus its UTC offset), rounding down before 1970.
std::int64_t dayOfLocalSeconds(std::int64_t localSeconds);

// Whether the clock reading lies within a shift (from its start, up to but not
// including its end); a night shift counts for the weekday it started on.
bool isWorkingAt(const WorkingHours& hours, std::int64_t localSeconds);

// "15:30" or "9:05" as minutes after midnight; none for anything else (a minute
// or hour out of range, other characters, blanks inside).
std::optional<int> parseClockTime(std::string_view text);

// "09:05" of minutes after midnight (taken modulo a day).
std::string clockText(int minutes);

// "09:00-17:00" or "22:00–06:00" (ASCII hyphen or en dash) as the clock times of
// hours (its days unchanged); false, and hours untouched, when it does not parse.
bool parseShift(std::string_view text, WorkingHours& hours);

// "0111110": one digit per weekday from Sunday, 1 for a working day.
std::string daysText(std::uint8_t days);
std::optional<std::uint8_t> parseDays(std::string_view text);

} // namespace chronvale
