#include "astro/solar_position.h"

#include <gtest/gtest.h>

namespace chronvale {
namespace {

SolarPositionData cityRecord(int year, int dayOfYear, int hour, int minute, int second,
                             float timeZone, float latitude, float longitude) {
    SolarPositionData d{};
    d.year = year;
    d.dayOfYear = dayOfYear;
    d.hour = hour;
    d.minute = minute;
    d.second = second;
    d.timeZone = timeZone;
    d.latitude = latitude;
    d.longitude = longitude;
    d.stepMask = SolarStep::SunriseSunsetMask;
    return d;
}

// Reference case and values from the NREL SOLPOS 2.0 documentation (the example of
// its test program stest00.c): Atlanta area, 22 July 1999, 09:45:37 local standard
// time, zone -5. Published outputs: sunrise without refraction 347.173 minutes,
// sunset 1181.111 minutes, unrefracted zenith 41.6035 degrees (elevation 48.3965).
TEST(SolarPosition, ReproducesTheNrelReferenceCase) {
    SolarPositionData d = cityRecord(1999, 203, 9, 45, 37, -5.0f, 33.65f, -84.43f);
    ASSERT_EQ(computeSolarPosition(d), 0);

    EXPECT_NEAR(d.sunrise, 347.17, 0.01) << "sunrise (minutes from local midnight) differs";
    EXPECT_NEAR(d.sunset, 1181.11, 0.01) << "sunset (minutes from local midnight) differs";
    EXPECT_NEAR(d.elevationNoRefraction, 48.3965, 0.001) << "unrefracted elevation differs";
    EXPECT_NEAR(d.zenithNoRefraction, 41.6035, 0.001) << "unrefracted zenith differs";
    EXPECT_EQ(d.month, 7) << "month from day of year 203";
    EXPECT_EQ(d.dayOfMonth, 22) << "day of month from day of year 203";

    // The shadow's mask gives the same elevation without the sunrise steps.
    SolarPositionData shadow = d;
    shadow.stepMask = SolarStep::ShadowMask;
    shadow.sunrise = shadow.sunset = 0.0f;
    ASSERT_EQ(computeSolarPosition(shadow), 0);
    EXPECT_EQ(shadow.elevationNoRefraction, d.elevationNoRefraction);
    EXPECT_EQ(shadow.sunrise, 0.0f) << "the shadow's mask must not run the sunrise step";
}

TEST(SolarPosition, RejectsOutOfRangeInputsAndLeavesOutputsAlone) {
    SolarPositionData late = cityRecord(2051, 10, 12, 0, 0, 0.0f, 10.0f, 10.0f);
    EXPECT_EQ(computeSolarPosition(late), SolarError::Year);
    EXPECT_EQ(late.elevationNoRefraction, 0.0f);
    EXPECT_EQ(late.sunrise, 0.0f);
    EXPECT_EQ(late.sunset, 0.0f);
    EXPECT_EQ(late.month, 0) << "no step may run on an error, not even the date conversion";

    SolarPositionData endOfDay = cityRecord(2020, 10, 24, 0, 0, 0.0f, 10.0f, 10.0f);
    EXPECT_EQ(computeSolarPosition(endOfDay), 0) << "24:00:00 is a valid time";
    SolarPositionData pastEnd = cityRecord(2020, 10, 24, 1, 0, 0.0f, 10.0f, 10.0f);
    EXPECT_EQ(computeSolarPosition(pastEnd), SolarError::Hour | SolarError::Minute);
    SolarPositionData pastEndSeconds = cityRecord(2020, 10, 24, 0, 5, 0.0f, 10.0f, 10.0f);
    EXPECT_EQ(computeSolarPosition(pastEndSeconds), SolarError::Hour | SolarError::Second);

    SolarPositionData westmost = cityRecord(2020, 10, 12, 0, 0, -12.0f, 10.0f, 10.0f);
    EXPECT_EQ(computeSolarPosition(westmost), 0) << "zone -12 is valid";
    for (float zone : {12.5f, 12.75f, 13.0f}) {
        SolarPositionData beyond = cityRecord(2020, 10, 12, 0, 0, zone, 10.0f, 10.0f);
        EXPECT_EQ(computeSolarPosition(beyond), SolarError::TimeZone) << "zone " << zone;
    }

    SolarPositionData place = cityRecord(2020, 367, 12, 0, 0, 0.0f, 90.5f, -180.5f);
    place.interval = 28801;
    EXPECT_EQ(computeSolarPosition(place), SolarError::DayOfYear | SolarError::Latitude |
                                               SolarError::Longitude | SolarError::Interval);

    // Month and day are checked only when they are the input.
    SolarPositionData byDate = cityRecord(2020, 0, 12, 0, 0, 0.0f, 0.0f, 0.0f);
    byDate.stepMask &= ~SolarStep::DayOfYearInput;
    byDate.month = 13;
    byDate.dayOfMonth = 0;
    EXPECT_EQ(computeSolarPosition(byDate), SolarError::Month | SolarError::DayOfMonth);

    // Without the geometry step nothing is validated.
    SolarPositionData noGeometry{};
    noGeometry.year = 3000;
    EXPECT_EQ(computeSolarPosition(noGeometry), 0);
}

TEST(SolarPosition, ConvertsBetweenDayOfYearAndDate) {
    struct Case {
        int year, dayOfYear, month, day;
    };
    for (const Case& c :
         {Case{2026, 1, 1, 1}, Case{2026, 59, 2, 28}, Case{2026, 60, 3, 1}, Case{2028, 60, 2, 29},
          Case{2028, 366, 12, 31}, Case{2000, 60, 2, 29}, Case{2026, 365, 12, 31}}) {
        SolarPositionData d = cityRecord(c.year, c.dayOfYear, 12, 0, 0, 0.0f, 0.0f, 0.0f);
        ASSERT_EQ(computeSolarPosition(d), 0);
        EXPECT_EQ(d.month, c.month) << c.year << " day " << c.dayOfYear;
        EXPECT_EQ(d.dayOfMonth, c.day) << c.year << " day " << c.dayOfYear;

        SolarPositionData byDate = cityRecord(c.year, 0, 12, 0, 0, 0.0f, 0.0f, 0.0f);
        byDate.stepMask &= ~SolarStep::DayOfYearInput;
        byDate.month = c.month;
        byDate.dayOfMonth = c.day;
        ASSERT_EQ(computeSolarPosition(byDate), 0);
        EXPECT_EQ(byDate.dayOfYear, c.dayOfYear) << c.year << "-" << c.month << "-" << c.day;
    }
}

TEST(SolarPosition, PolarNightAndPolarDay) {
    SolarPositionData december = cityRecord(2026, 355, 12, 0, 0, 1.0f, 80.0f, 15.0f);
    ASSERT_EQ(computeSolarPosition(december), 0);
    EXPECT_EQ(december.sunrise, 2999.0f) << "no sunrise in the polar night";
    EXPECT_EQ(december.sunset, -2999.0f);
    EXPECT_LT(december.elevationNoRefraction, 0.0f);

    SolarPositionData june = cityRecord(2026, 172, 12, 0, 0, 1.0f, 80.0f, 15.0f);
    ASSERT_EQ(computeSolarPosition(june), 0);
    EXPECT_EQ(june.sunrise, -2999.0f) << "no sunrise in the polar day either";
    EXPECT_EQ(june.sunset, 2999.0f);

    // Zenith capped at 99: the sun deep below the horizon at local midnight.
    SolarPositionData midnight = cityRecord(2026, 355, 0, 0, 0, 0.0f, 60.0f, 0.0f);
    ASSERT_EQ(computeSolarPosition(midnight), 0);
    EXPECT_EQ(midnight.zenithNoRefraction, 99.0f);
    EXPECT_EQ(midnight.elevationNoRefraction, -9.0f);
}

// On 1 January (day 1) sunrise and sunset are ordinary, and the sun stands on the
// horizon at the computed times.
TEST(SolarPosition, FirstOfJanuarySunriseIsOnTheHorizon) {
    SolarPositionData d{};
    setUtcInstant(d, 1767225600); // 2026-01-01 00:00:00 UTC
    EXPECT_EQ(d.year, 2026);
    EXPECT_EQ(d.dayOfYear, 1);
    EXPECT_EQ(d.hour, 0);
    d.timeZone = 1.0f;
    d.latitude = 52.52f; // Berlin
    d.longitude = 13.40f;
    d.stepMask = SolarStep::SunriseSunsetMask;
    ASSERT_EQ(computeSolarPosition(d), 0);
    EXPECT_EQ(d.month, 1);
    EXPECT_EQ(d.dayOfMonth, 1);
    // Berlin, 1 January: sunrise about 08:17, sunset about 16:03 local time (the
    // centre of the disc without refraction is a few minutes later and earlier).
    EXPECT_NEAR(d.sunrise, 8 * 60 + 22, 10.0);
    EXPECT_NEAR(d.sunset, 15 * 60 + 58, 10.0);

    for (float minutes : {d.sunrise, d.sunset}) {
        SolarPositionData at = d;
        const int whole = static_cast<int>(minutes);
        at.hour = whole / 60;
        at.minute = whole % 60;
        at.second = static_cast<int>((minutes - static_cast<float>(whole)) * 60.0f);
        at.stepMask = SolarStep::ShadowMask;
        ASSERT_EQ(computeSolarPosition(at), 0);
        // The declination of midnight is used for the whole day; by the afternoon it
        // has moved by under a tenth of a degree.
        EXPECT_NEAR(at.elevationNoRefraction, 0.0, 0.15)
            << "the sun should be on the horizon at " << minutes << " minutes";
    }
}

TEST(SolarPosition, EquinoxNoonAtTheEquator) {
    // 2026-03-20 12:00 UTC at the equator: the sun is high over longitude ~ -2 (the
    // equation of time shifts solar noon by about 7.5 minutes).
    SolarPositionData d{};
    setUtcInstant(d, 1774008000);
    d.stepMask = SolarStep::ShadowMask;
    ASSERT_EQ(computeSolarPosition(d), 0);
    EXPECT_NEAR(d.declination, 0.0, 0.5);
    EXPECT_GT(d.elevationNoRefraction, 87.0f);
    d.longitude = 92.0f;
    ASSERT_EQ(computeSolarPosition(d), 0);
    EXPECT_NEAR(d.elevationNoRefraction, 0.0, 1.0);
    d.longitude = -88.0f;
    ASSERT_EQ(computeSolarPosition(d), 0);
    EXPECT_NEAR(d.elevationNoRefraction, 0.0, 1.0);
}

} // namespace
} // namespace chronvale
