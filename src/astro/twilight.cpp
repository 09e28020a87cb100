#include "astro/twilight.h"

#include <algorithm>
#include <cmath>

namespace chronvale {

std::vector<GroundPoint> sunElevationCircle(GroundPoint subSolar, double elevation, int steps) {
    constexpr double kRad = 3.14159265358979323846 / 180.0;
    std::vector<GroundPoint> points;
    if (steps <= 0) {
        return points;
    }
    points.reserve(static_cast<size_t>(steps));
    const double radius = (90.0 - elevation) * kRad;
    const double lat0 = subSolar.latitude * kRad;
    for (int i = 0; i < steps; ++i) {
        const double azimuth = 2.0 * 3.14159265358979323846 * i / steps;
        // The destination point at a distance and bearing on the sphere.
        const double sinLat = std::sin(lat0) * std::cos(radius) +
                              std::cos(lat0) * std::sin(radius) * std::cos(azimuth);
        const double lat = std::asin(std::clamp(sinLat, -1.0, 1.0));
        const double dLon = std::atan2(std::sin(azimuth) * std::sin(radius) * std::cos(lat0),
                                       std::cos(radius) - std::sin(lat0) * sinLat);
        points.push_back({lat / kRad, wrapLongitude(subSolar.longitude + dLon / kRad)});
    }
    return points;
}

} // namespace chronvale
