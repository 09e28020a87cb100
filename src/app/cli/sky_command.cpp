#include "app/cli/sky_command.h"

#include "astro/moon_position.h"
#include "astro/sun_point.h"

#include <cmath>
#include <cstdio>

namespace chronvale {
namespace {

std::string pointText(const GroundPoint& point) {
    char text[64];
    // A value that rounds to zero is written without a minus sign.
    const double lat = std::round(point.latitude * 100.0) / 100.0;
    const double lon = std::round(point.longitude * 100.0) / 100.0;
    std::snprintf(text, sizeof text, "%.2f %.2f", lat == 0.0 ? 0.0 : lat, lon == 0.0 ? 0.0 : lon);
    return text;
}

} // namespace

std::optional<std::string> skyLines(std::time_t instant) {
    const std::optional<SubSolarPoint> sun = subSolarPoint(instant);
    if (!sun) {
        return std::nullopt;
    }
    const MoonPosition moon = moonPosition(instant);
    const long percent = std::lround(moon.illuminatedFraction * 100.0);
    return "Sub-solar point: " + pointText(sun->point) + "\n" +
           "Sub-lunar point: " + pointText(moon.subLunar) + "\n" +
           "Moon illuminated: " + std::to_string(percent) + "% " +
           (moon.waxing ? "waxing" : "waning") + "\n";
}

int runSkyCommand(std::time_t instant, std::ostream& out, std::ostream& err) {
    const std::optional<std::string> lines = skyLines(instant);
    if (!lines) {
        err << "chronvale: the sun and moon can be computed for the years 1950 to 2050 only\n";
        return 2;
    }
    out << *lines;
    return out.good() ? 0 : 1;
}

} // namespace chronvale
