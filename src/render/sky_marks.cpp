#include "render/sky_marks.h"

#include "astro/sun_point.h"
#include "astro/twilight.h"

#include <cmath>
#include <cstdlib>

namespace chronvale {

const std::array<TwilightLineStyle, 3> kTwilightLines = {{
    {kCivilTwilight, {255, 190, 60}, 6, 4},
    {kNauticalTwilight, {80, 170, 255}, 4, 4},
    {kAstronomicalTwilight, {190, 110, 255}, 2, 4},
}};

namespace {

// Points on a circle: enough that a segment is under 2 map pixels long at scale 1.
constexpr int kCircleSteps = 720;

// Latitude where the segment a -> b meets the meridian a.longitude's side edge;
// b's longitude is taken across the date line.
double latitudeAtEdge(const GroundPoint& a, const GroundPoint& b, double edge) {
    double bLon = b.longitude + (a.longitude > 0.0 ? 360.0 : -360.0);
    const double span = bLon - a.longitude;
    if (span == 0.0) {
        return a.latitude;
    }
    const double f = (edge - a.longitude) / span;
    return a.latitude + f * (b.latitude - a.latitude);
}

} // namespace

std::vector<std::vector<GroundPoint>> splitAtDateLine(const std::vector<GroundPoint>& ring) {
    std::vector<std::vector<GroundPoint>> paths;
    const size_t n = ring.size();
    if (n == 0) {
        return paths;
    }
    auto crosses = [](const GroundPoint& a, const GroundPoint& b) {
        return std::fabs(b.longitude - a.longitude) > 180.0;
    };
    auto edgeOf = [](const GroundPoint& a) { return a.longitude > 0.0 ? 180.0 : -180.0; };
    // Start just after a crossing, so that the ring's first and last piece are one.
    std::optional<size_t> start;
    for (size_t i = 0; i < n && !start; ++i) {
        if (crosses(ring[i], ring[(i + 1) % n])) {
            start = (i + 1) % n;
        }
    }
    const size_t first = start.value_or(0);
    const GroundPoint& before = ring[(first + n - 1) % n];
    std::vector<GroundPoint> path;
    if (start) {
        const double edge = edgeOf(before);
        path.push_back({latitudeAtEdge(before, ring[first], edge), -edge});
    }
    path.push_back(ring[first]);
    for (size_t k = 1; k < n; ++k) {
        const GroundPoint& a = ring[(first + k - 1) % n];
        const GroundPoint& b = ring[(first + k) % n];
        if (crosses(a, b)) {
            const double edge = edgeOf(a);
            const double lat = latitudeAtEdge(a, b, edge);
            path.push_back({lat, edge});
            paths.push_back(std::move(path));
            path = {{lat, -edge}};
        }
        path.push_back(b);
    }
    if (start) {
        const double edge = edgeOf(before);
        path.push_back({latitudeAtEdge(before, ring[first], edge), edge});
    } else {
        path.push_back(ring[first]); // close the ring
    }
    paths.push_back(std::move(path));
    return paths;
}

SkyMarks skyMarksAt(std::time_t instant, bool sunMoon, bool twilight) {
    SkyMarks marks;
    const std::optional<SubSolarPoint> sun = subSolarPoint(instant);
    if (!sun) {
        return marks;
    }
    if (sunMoon) {
        marks.sun = sun->point;
        const MoonPosition moon = moonPosition(instant);
        marks.moon = MoonMark{moon.subLunar, moon.illuminatedFraction, moon.waxing};
    }
    if (twilight) {
        for (size_t i = 0; i < kTwilightLines.size(); ++i) {
            marks.twilight[i] = splitAtDateLine(
                sunElevationCircle(sun->point, kTwilightLines[i].elevation, kCircleSteps));
        }
    }
    return marks;
}

bool moonPixelLit(double dx, double dy, double radius, double fraction, bool waxing) {
    if (dx * dx + dy * dy > radius * radius) {
        return false;
    }
    const double halfWidth = std::sqrt(std::max(0.0, radius * radius - dy * dy));
    // The terminator's x on this row: at the right limb when new, the middle at
    // half, the left limb when full (mirrored while waning).
    const double terminator = (1.0 - 2.0 * fraction) * halfWidth;
    const double x = waxing ? dx : -dx;
    return x >= terminator;
}

int sunSymbolSize() {
    return 2 * (kSunSymbolRadius + 3) + 1;
}

std::optional<SkyRgb> sunSymbolPixel(int x, int y) {
    const int c = kSunSymbolRadius + 3;
    const int dx = x - c;
    const int dy = y - c;
    const int d2 = dx * dx + dy * dy;
    const int r = kSunSymbolRadius;
    if (d2 <= (r - 1) * (r - 1)) {
        return kSunFill;
    }
    if (d2 <= r * r + r / 2) {
        return kSunRim;
    }
    // Eight short rays beyond a gap of one pixel.
    const bool onRay = dx == 0 || dy == 0 || std::abs(dx) == std::abs(dy);
    if (onRay && d2 >= (r + 2) * (r + 2) && std::max(std::abs(dx), std::abs(dy)) <= r + 3) {
        return kSunRim;
    }
    return std::nullopt;
}

int moonSymbolSize() {
    return 2 * kMoonSymbolRadius + 1;
}

std::optional<SkyRgb> moonSymbolPixel(int x, int y, const MoonMark& moon) {
    const int r = kMoonSymbolRadius;
    const int dx = x - r;
    const int dy = y - r;
    const int d2 = dx * dx + dy * dy;
    if (d2 > r * r + r / 2) {
        return std::nullopt;
    }
    if (d2 > (r - 1) * (r - 1) + (r - 1) / 2) {
        return kMoonRim;
    }
    return moonPixelLit(dx, dy, r - 0.5, moon.illuminatedFraction, moon.waxing) ? kMoonLit
                                                                                : kMoonDark;
}

} // namespace chronvale
