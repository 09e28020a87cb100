#pragma once
// Where the compared rows learn their clocks: the UTC offset of a row's zone at
// an instant. Every city offset of the comparison comes from cityUtcOffset, so
// that a different source of local time is a change of that one function.

#include <ctime>
#include <functional>

namespace chronvale {

struct CityRecord;
class LocalClock;

// Seconds east of UTC of one zone at an instant.
using UtcOffsetAt = std::function<int(std::time_t)>;

// The city's offset as its local time is shown elsewhere in the program: the
// clock's (the system's zone of the city, else the shipped tables). The city and
// the clock must outlive the result.
UtcOffsetAt cityUtcOffset(const CityRecord& city, const LocalClock& clock);

// The computer's own zone ("Here").
UtcOffsetAt systemUtcOffset();

// A fixed offset (UTC is 0).
UtcOffsetAt fixedUtcOffset(int seconds);

} // namespace chronvale
