#include "astro/moon_position.h"
#include "astro/sun_point.h"
#include "astro/twilight.h"
#include "support/scratch.h"

#include <cmath>
#include <ctime>
#include <gtest/gtest.h>
#include <initializer_list>

namespace chronvale {
namespace {

using test::utc;

double angleBetween(double a, double b) {
    return std::fabs(wrapLongitude(a - b));
}

// Meeus, "Astronomical Algorithms", Example 25.a (1992 October 13, 0h): apparent
// declination of the sun -7.78507 degrees; Example 28.a (same instant): equation of
// time 13 min 42.6 s. The sub-solar longitude follows as 180 - E/4 at 0h UT.
// Tolerances: 0.05 degrees, 0.3 minutes (the almanac approximation in use is good
// to about 0.01 degrees).
TEST(SubSolarPoint, MatchesMeeusWorkedExamples) {
    const auto sun = subSolarPoint(utc(1992, 10, 13, 0, 0));
    ASSERT_TRUE(sun.has_value());
    EXPECT_NEAR(sun->declination, -7.78507, 0.05);
    EXPECT_NEAR(sun->point.latitude, -7.78507, 0.05);
    EXPECT_NEAR(sun->equationOfTime, 13.71, 0.3);
    EXPECT_NEAR(sun->point.longitude, 180.0 - 13.71 / 4.0, 0.1);
}

// U.S. Naval Observatory, "Earth's Seasons, Equinoxes, Solstices" 2027: March
// equinox 20 March 20:25 UT, June solstice 21 June 14:11 UT. At the equinox the sun
// is over the equator; at the solstice over the tropic (obliquity 23.436 degrees).
// Tolerance 0.02 degrees.
TEST(SubSolarPoint, StandsOverTheEquatorAtTheEquinoxAndTheTropicAtTheSolstice) {
    const auto equinox = subSolarPoint(utc(2027, 3, 20, 20, 25));
    ASSERT_TRUE(equinox.has_value());
    EXPECT_NEAR(equinox->point.latitude, 0.0, 0.02);

    const auto solstice = subSolarPoint(utc(2027, 6, 21, 14, 11));
    ASSERT_TRUE(solstice.has_value());
    EXPECT_NEAR(solstice->point.latitude, 23.436, 0.02);
}

TEST(SubSolarPoint, MovesFifteenDegreesWestAnHourAndRefusesYearsOutside1950To2050) {
    const std::time_t t = utc(2027, 3, 20, 12, 0);
    const auto now = subSolarPoint(t);
    const auto later = subSolarPoint(t + 3600);
    ASSERT_TRUE(now && later);
    EXPECT_NEAR(wrapLongitude(now->point.longitude - later->point.longitude), 15.0, 0.01);

    EXPECT_FALSE(subSolarPoint(utc(2051, 1, 1, 0, 0)).has_value());
    EXPECT_FALSE(subSolarPoint(utc(1949, 12, 31, 23, 0)).has_value());
}

// Meeus, Example 47.a (1992 April 12, 0h TD, JDE 2448724.5): apparent longitude
// 133.167265, latitude -3.229126, distance 368409.7 km, apparent right ascension
// 134.688470, declination 13.768368 degrees. Example 48.a (same instant):
// illuminated fraction 0.6786. Tolerances: 0.001 degrees, 1 km, 0.002.
TEST(MoonPosition, ReproducesMeeusWorkedExamples) {
    const MoonPosition moon = moonPositionAt(2448724.5);
    EXPECT_NEAR(moon.eclipticLongitude, 133.167265, 0.001);
    EXPECT_NEAR(moon.eclipticLatitude, -3.229126, 0.001);
    EXPECT_NEAR(moon.distanceKm, 368409.7, 1.0);
    EXPECT_NEAR(moon.rightAscension, 134.688470, 0.001);
    EXPECT_NEAR(moon.declination, 13.768368, 0.001);
    EXPECT_NEAR(moon.illuminatedFraction, 0.6786, 0.002);
    EXPECT_TRUE(moon.waxing) << "new moon 3 April 1992, full moon 17 April";
    EXPECT_DOUBLE_EQ(moon.subLunar.latitude, moon.declination);
}

// Meeus, Example 12.a: mean sidereal time at Greenwich on 1987 April 10, 0h UT is
// 13h 10m 46.3668s (197.693195 degrees). The moon stands over the longitude where
// the local sidereal time equals its right ascension. Tolerance 0.01 degrees (the
// nutation, under 0.005 degrees, separates apparent from mean sidereal time).
TEST(MoonPosition, SubLunarLongitudeIsRightAscensionLessSiderealTime) {
    const MoonPosition moon = moonPositionAt(2446895.5);
    EXPECT_NEAR(angleBetween(moon.subLunar.longitude, moon.rightAscension - 197.693195), 0.0, 0.01);
}

struct Phase {
    int month, day, hour, minute;
};

// Moon's phases of 2027 (U.S. Naval Observatory, Astronomical Applications,
// "Phases of the Moon" 2027, UT): an hour before each new moon the moon is still
// waning and an hour after it waxing, and the other way round at each full moon;
// at the instant it is under 1 % lit or over 99 %.
TEST(MoonPosition, FindsTheNewAndFullMoonsOf2027WithinAnHour) {
    const Phase newMoons[] = {{1, 7, 20, 24},  {2, 6, 15, 56}, {3, 8, 9, 29},    {4, 6, 23, 51},
                              {5, 6, 10, 58},  {6, 4, 19, 40}, {7, 4, 3, 2},     {8, 2, 10, 5},
                              {8, 31, 17, 41}, {9, 30, 2, 36}, {10, 29, 13, 36}, {11, 28, 3, 24},
                              {12, 27, 20, 12}};
    const Phase fullMoons[] = {{1, 22, 12, 17}, {2, 20, 23, 23},  {3, 22, 10, 44}, {4, 20, 22, 27},
                               {5, 20, 10, 59}, {6, 19, 0, 44},   {7, 18, 15, 45}, {8, 17, 7, 28},
                               {9, 15, 23, 3},  {10, 15, 13, 47}, {11, 14, 3, 26}, {12, 13, 16, 9}};
    for (const Phase& p : newMoons) {
        const std::time_t t = utc(2027, p.month, p.day, p.hour, p.minute);
        EXPECT_LT(moonPosition(t).illuminatedFraction, 0.01) << p.month << "/" << p.day;
        EXPECT_FALSE(moonPosition(t - 3600).waxing) << p.month << "/" << p.day;
        EXPECT_TRUE(moonPosition(t + 3600).waxing) << p.month << "/" << p.day;
    }
    for (const Phase& p : fullMoons) {
        const std::time_t t = utc(2027, p.month, p.day, p.hour, p.minute);
        EXPECT_GT(moonPosition(t).illuminatedFraction, 0.99) << p.month << "/" << p.day;
        EXPECT_TRUE(moonPosition(t - 3600).waxing) << p.month << "/" << p.day;
        EXPECT_FALSE(moonPosition(t + 3600).waxing) << p.month << "/" << p.day;
    }
}

TEST(Twilight, CirclesLieAtTheirDistanceFromTheSubSolarPoint) {
    const GroundPoint sun{0.0, 30.0};
    for (double elevation : {0.0, kCivilTwilight, kNauticalTwilight, kAstronomicalTwilight}) {
        const auto circle = sunElevationCircle(sun, elevation, 360);
        ASSERT_EQ(circle.size(), 360u);
        // At the equinox the line crosses the equator 90 - elevation east and west of
        // the sub-solar point.
        EXPECT_NEAR(circle[90].latitude, 0.0, 1e-9);
        EXPECT_NEAR(circle[90].longitude, wrapLongitude(30.0 + 90.0 - elevation), 1e-9);
        EXPECT_NEAR(circle[270].longitude, wrapLongitude(30.0 - 90.0 + elevation), 1e-9);
        // The northernmost point lies due north.
        EXPECT_NEAR(circle[0].latitude, 90.0 + elevation, 1e-9);
    }
    EXPECT_TRUE(sunElevationCircle(sun, 0.0, 0).empty());
}

} // namespace
} // namespace chronvale
