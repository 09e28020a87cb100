#pragma once
// The main window's title is a clock: the product name and the computer's local
// time to the second, or only hours and minutes while the window is minimised,
// so that the task bar button shows the time.

#include <QString>
#include <ctime>
#include <string>
#include <string_view>

class QWidget;

namespace chronvale {

// Copies the pattern and replaces its tokens by fields of `local`: "YYYY" the
// year, "YY" the year minus 2000 without leading zeros, "MM" the month 1-12 and
// "DD" the day of the month without leading zeros, "HH" the hour 00-23, "MI" the
// minutes and "SS" or "SE" the seconds, 00-59. Other text is kept.
std::string formatTimePattern(std::string_view pattern, const std::tm& local);

// "Quillmar Chronvale - HH:MI:SS", or "HH:MI" when minimised, in the local time
// of `now`.
QString titleClockText(std::time_t now, bool minimised);

// What the once-a-second clock tick (and a change to or from minimised) calls:
// sets the window's title for `now` from its present state.
void updateTitleClock(QWidget& window, std::time_t now);

} // namespace chronvale
