#include "astro/sky_point.h"

#include <cmath>

namespace chronvale {

double reduceAngle(double degrees) {
    double r = std::fmod(degrees, 360.0);
    if (r < 0.0) {
        r += 360.0;
    }
    return r;
}

double wrapLongitude(double degrees) {
    double r = reduceAngle(degrees);
    if (r > 180.0) {
        r -= 360.0;
    }
    return r;
}

double julianDayOf(double posixSeconds) {
    // 1970-01-01T00:00:00Z is Julian day 2440587.5.
    return 2440587.5 + posixSeconds / 86400.0;
}

} // namespace chronvale
