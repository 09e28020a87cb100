#pragma once
// A point of the earth's surface under a body of the sky, in degrees.

namespace chronvale {

struct GroundPoint {
    double latitude = 0.0;  // north positive, -90 ... 90
    double longitude = 0.0; // east positive, -180 ... 180
};

// Reduces an angle in degrees to -180 ... 180 (180 stays, -180 becomes 180).
double wrapLongitude(double degrees);

// Reduces an angle in degrees to 0 ... 360.
double reduceAngle(double degrees);

// Julian day (UT) of a POSIX instant.
double julianDayOf(double posixSeconds);

} // namespace chronvale
