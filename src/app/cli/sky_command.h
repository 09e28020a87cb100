#pragma once
// `chronvale --sky [--time T]`: where the sun and the moon stand overhead and how
// much of the moon is lit, without a window.

#include <ctime>
#include <optional>
#include <ostream>
#include <string>

namespace chronvale {

// "Sub-solar point: LAT LON", "Sub-lunar point: LAT LON" (degrees with two
// decimals, north and east positive) and "Moon illuminated: P% waxing|waning",
// one a line; none outside the years 1950 ... 2050.
std::optional<std::string> skyLines(std::time_t instant);

// Prints the lines to out and returns 0; outside 1950 ... 2050 a message on err
// and 2, like any other bad time.
int runSkyCommand(std::time_t instant, std::ostream& out, std::ostream& err);

} // namespace chronvale
