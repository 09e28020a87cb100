#pragma once
// Dates written the way the user's locale writes them: a date pattern in Qt's
// letters (the short date format of the locale, which the window layers take
// from QLocale) applied to calendar fields. Every date the window shows goes
// through it, so that a German user reads 08.12.26 and an American 12/8/26 for
// the same day.

#include <ctime>
#include <string>
#include <string_view>

namespace chronvale {

// The pattern of the program's built-in month-first dates ("12/08/26"), used
// where no locale is at hand (the command line's output).
inline constexpr std::string_view kMonthFirstDatePattern = "MM/dd/yy";

// The date in the pattern: "d" and "dd" the day, "M" and "MM" the month (one or
// two digits), "yy" the last two digits of the year, "yyyy" (and any run of y
// other than two) the whole year; longer runs of d or M (names of days and
// months, rare in short formats) are written as two digits. Text in single
// quotes is copied without them ("''" is one quote); any other character is
// copied as it is (separators, and the direction marks of Arabic formats).
// Digits are ASCII. The output is at most 256 bytes.
std::string formatDatePattern(std::string_view pattern, int year, int month, int day);

// "<date> hh:mm:ss" of the instant's UTC calendar fields, the date in the
// pattern; an instant of 0 (no time) or one the calendar cannot hold writes
// every field as 0.
std::string formatUtcDateTimeIn(std::time_t instant, std::string_view datePattern);

} // namespace chronvale
