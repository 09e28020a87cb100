// The installation's first-start values: the switches by their stored names and
// the marked cities by whole name and whole degrees of longitude.

#include "config/first_start.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace chronvale {
namespace {

CityRecord city(const char* name, float lon, const char* state = nullptr) {
    CityRecord c;
    c.name = name;
    c.longitude = lon;
    if (state != nullptr) {
        c.state = state;
    }
    return c;
}

TEST(FirstStartDefaults, SetTheSwitchesAndMarkTheCitiesTheyName) {
    LinkConfig installation;
    installation.values = {
        {"Defaults/shadow", "1"},
        {"Defaults/track", "40"},
        {"Defaults/quakes", " 1 "},
        {"Defaults/grid", "0"},
        {"Defaults/cities", "on"}, // not a number: passed over
        {"Defaults/unknown", "1"},
        {"shadow", "0"}, // outside the group
        {"Defaults/marks", "London,0; Sydney,151;Atlantis,0;;London,0;Lond,0;Paris,x"},
    };
    Settings settings;
    settings.switches.grid = 1;
    // The table keeps the blank before the state in the name.
    CityList cities{city("London ", -81.25f, "Ontario"), city("London ", -0.1167f, "Westminster"),
                    city("Sydney", -60.18f), city("SYDNEY", 151.18f), city("Londonderry", 0.5f)};
    EXPECT_EQ(applyFirstStartDefaults(installation, settings, cities), 2);
    EXPECT_EQ(settings.switches.sunShadow, 1);
    EXPECT_EQ(settings.switches.cityNames, 40);
    EXPECT_EQ(settings.switches.earthquakes, 1);
    EXPECT_EQ(settings.switches.grid, 0);
    EXPECT_EQ(settings.switches.allCities, 0);
    EXPECT_FALSE(cities[0].marked); // London, Ontario lies at -81
    EXPECT_TRUE(cities[1].marked);
    EXPECT_FALSE(cities[2].marked);
    EXPECT_TRUE(cities[3].marked);
    EXPECT_FALSE(cities[4].marked);
}

TEST(FirstStartDefaults, EverySwitchNameReachesItsField) {
    Settings settings;
    for (const char* name : {"shadow", "cities", "marked", "track", "grid", "day", "night", "zones",
                             "clouds", "quakes", "info", "loop"}) {
        EXPECT_TRUE(setDefaultSwitch(settings, name, 7)) << name;
    }
    const DisplaySwitches& on = settings.switches;
    for (bool value :
         {on.sunShadow, on.allCities, on.markedCities, on.grid, on.dayMap, on.nightMap,
          on.timeZones, on.clouds, on.earthquakes, settings.showInfo, settings.loopClouds}) {
        EXPECT_TRUE(value); // 7: any non-zero value is on
    }
    EXPECT_EQ(on.cityNames, 7);      // the radius
    EXPECT_EQ(settings.refresh, 10); // not a switch
    EXPECT_FALSE(setDefaultSwitch(settings, "refresh", 1));
    EXPECT_EQ(settings.refresh, 10);
}

TEST(FirstStartDefaults, TheShippedIniNamesTenCapitals) {
    const LinkConfig installation =
        loadLinkConfig(QStringLiteral(CHRONVALE_SOURCE_DIR "/data/chronvale.ini"), QString());
    const auto marks = installation.value("Defaults/marks");
    ASSERT_TRUE(marks);
    EXPECT_EQ(std::count(marks->begin(), marks->end(), ';'), 9);
    EXPECT_EQ(installation.value("Defaults/shadow"), "1");
    EXPECT_EQ(installation.value("Defaults/clouds"), "0");
    EXPECT_EQ(installation.imageServer(), "127.0.0.1:8470"); // the other values stay
}

} // namespace
} // namespace chronvale
