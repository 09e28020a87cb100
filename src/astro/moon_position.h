#pragma once
// The moon's geocentric position, the point of the earth under it, and its phase.
//
// Jean Meeus, "Astronomical Algorithms" (2nd ed., 1998): chapter 47 (the moon's
// position from the ELP-2000/82 theory, Tables 47.A and 47.B with their terms of
// at least 0.0003 degrees), chapter 22 (nutation in longitude, low precision),
// chapter 12 (Greenwich sidereal time), chapter 25 (the sun's low-precision
// position) and chapter 48 (illuminated fraction). About 10 arc seconds in
// longitude over 1950 ... 2050; the instant is taken as dynamical time (the
// difference, about a minute, moves the moon by 0.01 degrees).

#include "astro/sky_point.h"

#include <ctime>

namespace chronvale {

struct MoonPosition {
    double eclipticLongitude = 0.0;   // apparent, degrees, 0 ... 360
    double eclipticLatitude = 0.0;    // degrees
    double distanceKm = 0.0;          // earth centre to moon centre
    double rightAscension = 0.0;      // apparent, degrees, 0 ... 360
    double declination = 0.0;         // apparent, degrees
    GroundPoint subLunar;             // where the moon stands in the zenith
    double illuminatedFraction = 0.0; // 0 new ... 1 full
    bool waxing = false;              // the lit fraction grows (new to full)
};

// The moon at a Julian day (the instant in days, dynamical time).
MoonPosition moonPositionAt(double julianDay);

// The moon at a POSIX instant.
MoonPosition moonPosition(std::time_t instant);

} // namespace chronvale
