#include "astro/sun_point.h"

#include "astro/solar_position.h"

namespace chronvale {

std::optional<SubSolarPoint> subSolarPoint(std::time_t instant) {
    SolarPositionData d{};
    setUtcInstant(d, instant);
    // At longitude 0 the true solar time step yields the equation of time.
    d.stepMask = SolarStep::DayOfYearInput | SolarStep::Geometry | SolarStep::TrueSolarTime;
    if (computeSolarPosition(d) != 0) {
        return std::nullopt;
    }
    SubSolarPoint sun;
    sun.declination = d.declination;
    sun.equationOfTime = d.equationOfTime;
    sun.point.latitude = d.declination;
    sun.point.longitude =
        wrapLongitude(static_cast<double>(d.rightAscension) - 15.0 * d.greenwichSiderealTime);
    return sun;
}

} // namespace chronvale
