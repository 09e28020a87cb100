// A city's properties at an instant: civil-time sunrise and sunset against
// published almanac values, the polar texts, the daylight-saving period, the
// codes and the coordinates. The test main pins the computer's zone to UTC, where
// the daylight-saving switches are placed.

#include "cityinfo/city_facts.h"
#include "geo/geo_tables.h"

#include <gtest/gtest.h>

namespace chronvale {
namespace {

// 2026-07-15 and 2027-01-15, 12:00:00 UTC.
constexpr std::time_t kJuly15_2026 = 1784116800;
constexpr std::time_t kJanuary15_2027 = 1800014400;
constexpr std::time_t kJune21_2026 = 1782043200;
constexpr std::time_t kDecember21_2026 = 1797854400;
constexpr std::time_t kNovember15_2026 = 1794744000;

CityRecord city(std::string zoneKey, std::string name, float latitude, float longitude) {
    CityRecord c;
    c.zoneKey = std::move(zoneKey);
    c.name = std::move(name);
    c.latitude = latitude;
    c.longitude = longitude;
    return c;
}

// The shipped tables' rules: the European one (last Sunday of March to the last
// Sunday of October) and south-east Australia's (first Sunday of October to the
// first Sunday of April).
GeoTables tables() {
    GeoTables t;
    t.zones = {
        {"United Kingdom", "London", "EU", 0, 0}, {"Australia", "Sydney", "AU-SE", 0, 0},
        {"Norway", "Oslo", "EU", 0, 0},           {"Ghana", "Accra", "", 0, 0},
        {"Tonga", "Tongatapu", "", 0, 0},
    };
    t.rules = {
        {"EU", {0, 0, 3, 60}, {0, 0, 10, 0}},
        {"AU-SE", {0, 1, 10, 60}, {0, 1, 4, 0}},
    };
    t.areaCodes = {
        {"United Kingdom", std::nullopt, "44"},
        {"United Kingdom", "London", "20"},
        {"Australia", std::nullopt, "61"},
        {"Australia", "Sydney", "2"},
    };
    return t;
}

int minutesOf(int seconds) {
    return seconds / 60;
}

// Reference times from timeanddate.com's sunrise tables, which agree with the
// NOAA Solar Calculator to the minute: London (51.50 N, 0.12 W) on 15 July,
// sunrise 05:01 and sunset 21:12 BST; Sydney (33.92 S, 151.19 E) on 15 January,
// sunrise 06:00 and sunset 20:09 AEDT. Both are in daylight saving then, so a
// time in standard time would be an hour early.
TEST(CityFacts, SunriseAndSunsetAgreeWithTheAlmanacInCivilTime) {
    const GeoTables t = tables();
    constexpr int kToleranceMinutes = 2;

    const CityFacts london =
        cityFacts(city("London", "London ", 51.5f, -0.1167f), t, 0.0f, kJuly15_2026);
    ASSERT_EQ(london.sunEvents, SunEvents::Times);
    EXPECT_EQ(london.dstMinutes, 60);
    EXPECT_NEAR(minutesOf(london.sunriseSeconds), 5 * 60 + 1, kToleranceMinutes) << london.sunrise;
    EXPECT_NEAR(minutesOf(london.sunsetSeconds), 21 * 60 + 12, kToleranceMinutes) << london.sunset;
    EXPECT_EQ(london.sunrise.substr(0, 3), "05:");
    EXPECT_EQ(london.localTime, "07/15/26 13:00:00");

    const CityFacts sydney =
        cityFacts(city("Sydney", "Sydney ", -33.92f, 151.1852f), t, 10.0f, kJanuary15_2027);
    ASSERT_EQ(sydney.sunEvents, SunEvents::Times);
    EXPECT_EQ(sydney.dstMinutes, 60);
    EXPECT_NEAR(minutesOf(sydney.sunriseSeconds), 6 * 60, kToleranceMinutes) << sydney.sunrise;
    EXPECT_NEAR(minutesOf(sydney.sunsetSeconds), 20 * 60 + 9, kToleranceMinutes) << sydney.sunset;
    EXPECT_EQ(sydney.localTime, "01/15/27 23:00:00");
}

// The events are those of the city's own date: at 23:30 UTC on 15 January it is
// already 16 January in Sydney, and after the UTC date's sunset the times still
// belong to one day (sunrise before sunset).
TEST(CityFacts, SunEventsBelongToTheCitysLocalDate) {
    const GeoTables t = tables();
    const CityRecord sydney = city("Sydney", "Sydney ", -33.92f, 151.1852f);
    const CityFacts late = cityFacts(sydney, t, 10.0f, kJanuary15_2027 + 11 * 3600 + 1800);
    EXPECT_EQ(late.localTime.substr(0, 8), "01/16/27");
    ASSERT_EQ(late.sunEvents, SunEvents::Times);
    EXPECT_LT(late.sunriseSeconds, late.sunsetSeconds);
}

TEST(CityFacts, PolarDayAndNightShowTheirTexts) {
    const GeoTables t = tables();
    const CityRecord tromso = city("Oslo", "Tromsø ", 69.6351f, 18.992f);
    CityFactsTexts texts;
    texts.polarDay = "Polartag";
    texts.polarNight = "Polarnacht";

    const CityFacts june = cityFacts(tromso, t, 1.0f, kJune21_2026, texts);
    EXPECT_EQ(june.sunEvents, SunEvents::PolarDay);
    EXPECT_EQ(june.sunrise, "Polartag");
    EXPECT_EQ(june.sunset, "Polartag");

    const CityFacts december = cityFacts(tromso, t, 1.0f, kDecember21_2026);
    EXPECT_EQ(december.sunEvents, SunEvents::PolarNight);
    EXPECT_EQ(december.sunrise, "Polar night");
    EXPECT_EQ(december.sunset, "Polar night");
}

// Offsets beyond 12 hours (Tonga's 13) give the same clock times as the offset a
// day less, where the solar position would reject them.
TEST(CityFacts, OffsetsBeyondTwelveHoursStillGiveTimes) {
    const GeoTables t = tables();
    const CityRecord nukualofa = city("Tongatapu", "Nuku'alofa ", -21.14f, -175.2f);
    const CityFacts plus13 = cityFacts(nukualofa, t, 13.0f, kJanuary15_2027);
    const CityFacts minus11 = cityFacts(nukualofa, t, -11.0f, kJanuary15_2027);
    ASSERT_EQ(plus13.sunEvents, SunEvents::Times);
    EXPECT_NEAR(plus13.sunriseSeconds, minus11.sunriseSeconds, 60);
    EXPECT_NEAR(plus13.sunsetSeconds, minus11.sunsetSeconds, 60);
    EXPECT_NE(plus13.sunrise, "00:00:00");
}

TEST(CityFacts, YearsTheSunCannotBeComputedForLeaveTheTimesEmpty) {
    const GeoTables t = tables();
    constexpr std::time_t k2051 = 2557483200; // 2051-01-16
    const CityFacts facts = cityFacts(city("Accra", "Accra ", 5.55f, -0.2f), t, 0.0f, k2051);
    EXPECT_EQ(facts.sunEvents, SunEvents::Unknown);
    EXPECT_TRUE(facts.sunrise.empty());
    EXPECT_TRUE(facts.sunset.empty());
}

TEST(CityFacts, DaylightSavingPeriod) {
    const GeoTables t = tables();
    const CityRecord sydney = city("Sydney", "Sydney ", -33.92f, 151.1852f);
    // A rule from October to March: in January it started last October.
    const CityFacts january = cityFacts(sydney, t, 10.0f, kJanuary15_2027);
    EXPECT_EQ(january.dstStarted, "10/04/26 00:00:00");
    EXPECT_EQ(january.dstEnds, "04/04/27 00:00:00");
    // In November the period in force started this October and ends next April.
    const CityFacts november = cityFacts(sydney, t, 10.0f, kNovember15_2026);
    EXPECT_EQ(november.dstStarted, "10/04/26 00:00:00");
    EXPECT_EQ(november.dstEnds, "04/04/27 00:00:00");

    const CityFacts london =
        cityFacts(city("London", "London ", 51.5f, -0.12f), t, 0.0f, kJuly15_2026);
    EXPECT_EQ(london.dstStarted, "03/29/26 00:00:00");
    EXPECT_EQ(london.dstEnds, "10/25/26 00:00:00");

    const CityFacts accra = cityFacts(city("Accra", "Accra ", 5.55f, -0.2f), t, 0.0f, kJuly15_2026);
    EXPECT_TRUE(accra.dstStarted.empty());
    EXPECT_TRUE(accra.dstEnds.empty());
}

TEST(CityFacts, NamesCodesAndCoordinates) {
    const GeoTables t = tables();
    // The table's name keeps the blank before "(state)": the codes still match.
    const CityFacts sydney =
        cityFacts(city("Sydney", "Sydney ", -33.87f, 151.21f), t, 10.0f, kJanuary15_2027);
    EXPECT_EQ(sydney.name, "Sydney");
    EXPECT_EQ(sydney.country, "Australia");
    EXPECT_EQ(sydney.diallingCode, "61");
    EXPECT_EQ(sydney.areaCodes, "2");
    EXPECT_EQ(sydney.latitude, "-33.87");
    EXPECT_EQ(sydney.longitude, "151.21");

    // At 0 degrees in the zone of offset 0, without daylight saving, the local
    // time is the UTC time, month first.
    const CityFacts accra = cityFacts(city("Accra", "Accra", 5.55f, 0.0f), t, 0.0f, kJuly15_2026);
    EXPECT_EQ(accra.localTime, "07/15/26 12:00:00");
    EXPECT_EQ(accra.longitude, "0.00");

    // No zone record: no country, codes or daylight saving.
    const CityFacts nowhere =
        cityFacts(city("Atlantis", "Atlantis", 10.0f, -30.0f), t, -2.0f, kJuly15_2026);
    EXPECT_TRUE(nowhere.country.empty());
    EXPECT_TRUE(nowhere.diallingCode.empty());
    EXPECT_TRUE(nowhere.areaCodes.empty());
    EXPECT_EQ(nowhere.dstMinutes, 0);
    EXPECT_EQ(nowhere.localTime, "07/15/26 10:00:00");
}

} // namespace
} // namespace chronvale
