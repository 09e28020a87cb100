#pragma once
// The rows of the time comparison at one instant: each row's local date and
// time, its offset from the reference clock ("Here"), whether the sun is up,
// setting or down at the row's place, whether the row is within its working
// hours, and how its date differs from the reference date (+1, -1).

#include "astro/sky_point.h"
#include "cityinfo/utc_offset.h"
#include "cityinfo/working_hours.h"

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

namespace chronvale {

// One compared clock: a city, UTC or the computer's own zone.
struct CompareRow {
    std::string label;                 // what the row is called ("Tokyo office")
    UtcOffsetAt offset;                // its zone
    std::optional<GroundPoint> place;  // where the sun is judged; none for UTC
    std::optional<WorkingHours> hours; // none: the row takes no part in overlaps
};

enum class SkyPhase { Day, Twilight, Night, Unknown };

// The fields of one local clock reading.
struct ClockReading {
    int year = 1970;
    int month = 1;   // 1 ... 12
    int day = 1;     // 1 ... 31
    int weekday = 4; // 0 = Sunday
    int hour = 0;
    int minute = 0;
    std::int64_t dayNumber = 0; // days since 1970-01-01 of the local date
};

struct RowReading {
    int offsetSeconds = 0; // east of UTC at the instant
    int fromReference = 0; // seconds ahead of the reference clock
    ClockReading clock;
    int dateShift = 0; // local date less the reference date, in days
    SkyPhase phase = SkyPhase::Unknown;
    bool working = false;
};

// The clock of an instant seen with an offset.
ClockReading clockReading(std::time_t instant, int offsetSeconds);

// The instant at which a zone's clock reads localSeconds (seconds since 1970 of
// that clock). In a gap of a forward change the reading is taken with the
// offset before the change; in a repeated hour the first instant is given.
std::time_t instantOfLocal(const UtcOffsetAt& offset, std::int64_t localSeconds);

// Degrees of the sun above the horizon at a place, from the sub-solar point.
double sunElevation(GroundPoint subSolar, GroundPoint place);

// Day while the sun's upper limb is above the refracted horizon (-0.833
// degrees), twilight down to civil twilight's end (-6), night below.
SkyPhase phaseOfElevation(double elevation);

// The row at an instant, against the reference clock's offset.
RowReading readRow(const CompareRow& row, std::time_t instant, int referenceOffsetSeconds);

// "+05:30", "-03:30", "+00:00": an offset in seconds as hours and minutes.
std::string offsetText(int seconds);

// "+1", "-1" ("−" is the caller's to choose), or empty for the same date.
std::string dateShiftText(int shift);

// English names for the command line and the default copied text.
struct CalendarNames {
    std::string weekdays[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    std::string months[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
};

// "Tue 15 Jun 15:30 Tokyo = 07:30 London = 02:30 New York": the first row's
// date and time and label, then every other row's time, its date where that
// differs from the first row's, and its label.
std::string instantAsText(const std::vector<CompareRow>& rows, std::time_t instant,
                          const CalendarNames& names = {});

} // namespace chronvale
