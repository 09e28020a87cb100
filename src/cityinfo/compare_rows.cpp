#include "cityinfo/compare_rows.h"

#include "astro/sun_point.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

namespace chronvale {

namespace {

constexpr double kDegrees = std::numbers::pi / 180.0;

// Year, month and day of a count of days since 1970-01-01 (the proleptic
// Gregorian calendar; Howard Hinnant's civil_from_days).
void civilFromDays(std::int64_t days, int& year, int& month, int& day) {
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const std::int64_t dayOfEra = days - era * 146097;
    const std::int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t monthIndex = (5 * dayOfYear + 2) / 153;
    day = static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
    month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
    year = static_cast<int>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
}

std::string labelledTime(const ClockReading& clock, const std::string& label, bool withDate,
                         const CalendarNames& names) {
    char time[8];
    std::snprintf(time, sizeof time, "%02d:%02d", clock.hour, clock.minute);
    std::string text;
    if (withDate) {
        text = names.weekdays[clock.weekday] + " " + std::to_string(clock.day) + " " +
               names.months[clock.month - 1] + " ";
    }
    return text + time + " " + label;
}

} // namespace

ClockReading clockReading(std::time_t instant, int offsetSeconds) {
    const std::int64_t local = static_cast<std::int64_t>(instant) + offsetSeconds;
    ClockReading clock;
    clock.dayNumber = dayOfLocalSeconds(local);
    const std::int64_t second = local - clock.dayNumber * 86400;
    clock.hour = static_cast<int>(second / 3600);
    clock.minute = static_cast<int>(second % 3600 / 60);
    clock.weekday = weekdayOfDay(clock.dayNumber);
    civilFromDays(clock.dayNumber, clock.year, clock.month, clock.day);
    return clock;
}

std::time_t instantOfLocal(const UtcOffsetAt& offset, std::int64_t localSeconds) {
    // The offsets a day before and after the reading bracket any change near it
    // (zones do not change twice within two days). Each is right where the
    // instant it gives has that offset; in a repeated hour both are, in a gap
    // neither.
    const auto at = [&](std::int64_t seconds) { return offset(static_cast<std::time_t>(seconds)); };
    const int before = at(localSeconds - 86400);
    const int after = at(localSeconds + 86400);
    const std::int64_t early = localSeconds - before;
    const std::int64_t late = localSeconds - after;
    const bool earlyRight = at(early) == before;
    const bool lateRight = at(late) == after;
    if (earlyRight && lateRight) {
        return static_cast<std::time_t>(std::min(early, late));
    }
    if (lateRight && !earlyRight) {
        return static_cast<std::time_t>(late);
    }
    return static_cast<std::time_t>(early);
}

double sunElevation(GroundPoint subSolar, GroundPoint place) {
    const double lat = place.latitude * kDegrees;
    const double dec = subSolar.latitude * kDegrees;
    const double hourAngle = (place.longitude - subSolar.longitude) * kDegrees;
    const double sine =
        std::sin(lat) * std::sin(dec) + std::cos(lat) * std::cos(dec) * std::cos(hourAngle);
    return std::asin(std::clamp(sine, -1.0, 1.0)) / kDegrees;
}

SkyPhase phaseOfElevation(double elevation) {
    if (elevation >= -0.833) {
        return SkyPhase::Day;
    }
    return elevation >= -6.0 ? SkyPhase::Twilight : SkyPhase::Night;
}

RowReading readRow(const CompareRow& row, std::time_t instant, int referenceOffsetSeconds) {
    RowReading reading;
    reading.offsetSeconds = row.offset ? row.offset(instant) : 0;
    reading.fromReference = reading.offsetSeconds - referenceOffsetSeconds;
    reading.clock = clockReading(instant, reading.offsetSeconds);
    reading.dateShift = static_cast<int>(reading.clock.dayNumber -
                                         clockReading(instant, referenceOffsetSeconds).dayNumber);
    if (row.place) {
        if (const std::optional<SubSolarPoint> sun = subSolarPoint(instant)) {
            reading.phase = phaseOfElevation(sunElevation(sun->point, *row.place));
        }
    }
    reading.working = row.hours && isWorkingAt(*row.hours, static_cast<std::int64_t>(instant) +
                                                               reading.offsetSeconds);
    return reading;
}

std::string offsetText(int seconds) {
    const int minutes = std::abs(seconds) / 60;
    char text[16];
    std::snprintf(text, sizeof text, "%c%02d:%02d", seconds < 0 ? '-' : '+', minutes / 60,
                  minutes % 60);
    return text;
}

std::string dateShiftText(int shift) {
    if (shift == 0) {
        return {};
    }
    return (shift > 0 ? "+" : "-") + std::to_string(std::abs(shift));
}

std::string instantAsText(const std::vector<CompareRow>& rows, std::time_t instant,
                          const CalendarNames& names) {
    std::string text;
    std::int64_t firstDay = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const int offset = rows[i].offset ? rows[i].offset(instant) : 0;
        const ClockReading clock = clockReading(instant, offset);
        if (i == 0) {
            firstDay = clock.dayNumber;
        } else {
            text += " = ";
        }
        text += labelledTime(clock, rows[i].label, i == 0 || clock.dayNumber != firstDay, names);
    }
    return text;
}

} // namespace chronvale
