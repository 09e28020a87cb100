#pragma once
// Where the sun stands at a given elevation: a small circle of the earth around
// the sub-solar point. The terminator is elevation 0; civil, nautical and
// astronomical twilight end where the sun is 6, 12 and 18 degrees below the
// horizon.

#include "astro/sky_point.h"

#include <vector>

namespace chronvale {

inline constexpr double kCivilTwilight = -6.0;
inline constexpr double kNauticalTwilight = -12.0;
inline constexpr double kAstronomicalTwilight = -18.0;

// The points at angular distance 90 - elevation from the sub-solar point, walked
// in `steps` equal steps of azimuth around it (the first point due north of the
// sub-solar point, the last one just before it again). Longitudes in -180 ... 180.
std::vector<GroundPoint> sunElevationCircle(GroundPoint subSolar, double elevation, int steps);

} // namespace chronvale
