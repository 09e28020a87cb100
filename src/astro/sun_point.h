#pragma once
// The point of the earth where the sun stands overhead at an instant.
//
// Taken from the same solar position as the map's sun shadow (the Astronomical
// Almanac approximation in solar_position.h, valid 1950 ... 2050), so the sun's
// symbol sits exactly where the shadow has its noon: the latitude is the sun's
// declination, the longitude the one whose hour angle is zero, that is the right
// ascension less Greenwich mean sidereal time (the same as 180 degrees less the
// universal time in degrees less the equation of time).

#include "astro/sky_point.h"

#include <ctime>
#include <optional>

namespace chronvale {

struct SubSolarPoint {
    GroundPoint point;
    double declination = 0.0;    // degrees
    double equationOfTime = 0.0; // minutes, apparent minus mean solar time
};

// None outside the years 1950 ... 2050.
std::optional<SubSolarPoint> subSolarPoint(std::time_t instant);

} // namespace chronvale
