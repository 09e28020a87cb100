// The context menu's choice of nearby cities and the pointer read-out.

#include "app/mainwindow/command_ids.h"
#include "app/mainwindow/pointer_readout.h"
#include "app/mainwindow/popup_cities.h"
#include "geo/zone_colours.h"
#include "support/scratch.h"
#include "window_test_cities.h"

#include <QLocale>
#include <ctime>
#include <gtest/gtest.h>

namespace chronvale {
namespace {

using test::cityAtPixel;

TEST(PopupCities, TenNearestFirstNearestFirst) {
    CityList cities;
    // Twelve cities on a row to the right of the click at (100, 100), 3 pixels
    // apart, listed farthest first; two more share a distance.
    for (int i = 11; i >= 0; --i) {
        cities.push_back(cityAtPixel("east" + std::to_string(i), 104 + 3 * i, 100));
    }
    cities.push_back(cityAtPixel("west", 96, 100)); // 4 px, the same as east0
    cities[3].picked = true;                        // left over from the last menu

    MapView view;
    const std::vector<PopupCity> picked = pickPopupCities(cities, view, Point{100, 100});
    ASSERT_EQ(picked.size(), kPopupCityCount);
    // east0 comes before west in the list, so it wins their tie.
    EXPECT_EQ(cities[picked[0].index].name, "east0");
    EXPECT_FLOAT_EQ(picked[0].distance, 4.0f);
    EXPECT_EQ(cities[picked[1].index].name, "west");
    for (std::size_t slot = 2; slot < picked.size(); ++slot) {
        EXPECT_EQ(cities[picked[slot].index].name, "east" + std::to_string(slot - 1));
        EXPECT_GE(picked[slot].distance, picked[slot - 1].distance);
    }
    int marked = 0;
    for (const CityRecord& city : cities) {
        marked += city.picked ? 1 : 0;
    }
    EXPECT_EQ(marked, 10);
    EXPECT_FALSE(cities[0].picked); // east11, the farthest
}

TEST(PopupCities, FewerCitiesThanSlotsAndNoneTooFar) {
    CityList cities{cityAtPixel("a", 10, 10), cityAtPixel("b", 1000, 500)};
    MapView view;
    EXPECT_EQ(pickPopupCities(cities, view, Point{0, 0}).size(), 2u);

    // At a scale of 20 the second city lies about 22 000 pixels away: never picked.
    view.scale = 20.0f;
    const std::vector<PopupCity> picked = pickPopupCities(cities, view, Point{0, 0});
    ASSERT_EQ(picked.size(), 1u);
    EXPECT_EQ(picked[0].index, 0u);

    CityList none;
    EXPECT_TRUE(pickPopupCities(none, view, Point{0, 0}).empty());
}

TEST(PopupCities, PositionsFollowZoomAndPan) {
    CityList cities{cityAtPixel("near", 150, 80), cityAtPixel("far", 300, 300)};
    MapView view;
    view.scale = 2.0f;
    view.panX = 100;
    view.panY = 50;
    // Map pixel (150, 80) is pane (100, 60) at this scale and pan.
    const std::vector<PopupCity> picked = pickPopupCities(cities, view, Point{100, 60});
    ASSERT_EQ(picked.size(), 2u);
    EXPECT_EQ(picked[0].index, 0u);
    EXPECT_FLOAT_EQ(picked[0].distance, 0.0f);
}

TEST(PopupCities, OnlyACityWithinTenPixelsIsTheCityUnderTheClick) {
    EXPECT_EQ(nearbyCityCommand(cmd::NearbyCityProperties, 0, 9.99f), cmd::NearestCityProperties);
    EXPECT_EQ(nearbyCityCommand(cmd::NearbyCityProperties, 0, 10.0f), cmd::NearbyCityProperties);
    EXPECT_EQ(nearbyCityCommand(cmd::NearbyCityProperties, 1, 0.0f), 19001);
    EXPECT_EQ(nearbyCityCommand(cmd::NearbyCityWeather, 0, 0.0f), 20000);
    EXPECT_EQ(nearbyCityCommand(cmd::NearbyCityHotels, 9, 50.0f), 21009);

    EXPECT_EQ(nearbyCitySlot(cmd::NearbyCityProperties, cmd::NearestCityProperties), 0);
    EXPECT_EQ(nearbyCitySlot(cmd::NearbyCityWeather, 20004), 4);
    EXPECT_EQ(nearbyCitySlot(cmd::NearbyCityWeather, 20010), -1);
    EXPECT_EQ(nearbyCitySlot(cmd::NearbyCityHotels, 20004), -1);
}

// A zone image of one colour: the row of the table with `hours`.
ImagePtr zoneImageOf(float hours) {
    ImagePtr image = createImage(kMapWidth, kMapHeight, 24, 0);
    for (const ZoneColour& colour : zoneColourTable()) {
        if (colour.hours == hours) {
            for (int r = 0; r < kMapHeight; ++r) {
                for (int x = 0; x < kMapWidth; ++x) {
                    uint8_t* p = pixelAddress(image.get(), x, r);
                    p[0] = colour.blue;
                    p[1] = colour.green;
                    p[2] = colour.red;
                }
            }
            return image;
        }
    }
    ADD_FAILURE() << "no zone colour for " << hours;
    return image;
}

std::time_t july1Noon() {
    return test::utc(2024, 7, 1, 12);
}

class PointerReadoutTest : public ::testing::Test {
protected:
    void SetUp() override {
        tables.cities.push_back(cityAtPixel("Summerton", 200, 100, "Summerton"));
        TimeZoneRecord zone;
        zone.country = "Testland";
        zone.zoneKey = "Summerton";
        zone.ruleName = "SUMMER";
        tables.zones.push_back(zone);
        DstRule rule;
        rule.ruleName = "SUMMER";
        rule.start = DstSwitch{0, 0, 3, 60}; // last Sunday of March
        rule.end = DstSwitch{0, 0, 10, 0};   // last Sunday of October
        tables.rules.push_back(rule);
        zones = zoneImageOf(2.0f);
        inputs.tables = &tables;
        inputs.zoneImage = zones.get();
        view.mapArea = PaneRect{0, 2, 1400, 800};
    }

    GeoTables tables;
    ImagePtr zones;
    PointerInputs inputs;
    MapView view;
};

TEST_F(PointerReadoutTest, OverACityItsDaylightSavingIsAdded) {
    const PointerReadout out = readPointer(view, Point{203, 104}, july1Noon(), inputs);
    ASSERT_TRUE(out.city);
    EXPECT_EQ(*out.city, 0u);
    EXPECT_EQ(out.localTime, "07/01/24 15:00:00"); // 12:00 UTC + 2 h zone + 1 h saving
}

TEST_F(PointerReadoutTest, AwayFromEveryCityOnlyTheZoneCounts) {
    // With names off the nearest city is the city under the cursor, however far,
    // but its saving counts only within 10 pixels.
    const PointerReadout out = readPointer(view, Point{200, 110}, july1Noon(), inputs);
    ASSERT_TRUE(out.city);
    EXPECT_EQ(*out.city, 0u);
    EXPECT_EQ(out.localTime, "07/01/24 14:00:00");

    // At scale 2 the same city counts up to 20 pixels away.
    view.scale = 2.0f;
    EXPECT_EQ(readPointer(view, Point{400, 215}, july1Noon(), inputs).localTime,
              "07/01/24 15:00:00");
}

TEST_F(PointerReadoutTest, WithNamesOnTheHoveredCityIsTaken) {
    inputs.namesOn = true;
    PointerReadout out = readPointer(view, Point{203, 104}, july1Noon(), inputs);
    EXPECT_FALSE(out.city); // nothing hovered at the last paint: no search
    EXPECT_EQ(out.localTime, "07/01/24 14:00:00");

    inputs.hoveredCity = 0;
    out = readPointer(view, Point{600, 400}, july1Noon(), inputs);
    EXPECT_EQ(out.city, std::optional<std::size_t>(0));
    EXPECT_EQ(out.localTime, "07/01/24 15:00:00");
}

TEST_F(PointerReadoutTest, NegativeOffsetsTruncateTowardZero) {
    zones = zoneImageOf(-3.5f);
    inputs.zoneImage = zones.get();
    inputs.tables = nullptr;
    EXPECT_EQ(readPointer(view, Point{10, 10}, july1Noon(), inputs).localTime, "07/01/24 08:30:00");
    inputs.zoneImage = nullptr; // no image: UTC
    inputs.datePattern = "dd.MM.yy";
    EXPECT_EQ(readPointer(view, Point{10, 10}, july1Noon(), inputs).localTime, "01.07.24 12:00:00");
}

TEST_F(PointerReadoutTest, LatitudeAndLongitude) {
    PointerReadout out = readPointer(view, Point{512, 256}, july1Noon(), inputs);
    EXPECT_EQ(coordinateText(out.longitude), "0.00");
    EXPECT_EQ(coordinateText(out.latitude), "0.00");

    out = readPointer(view, Point{0, 0}, july1Noon(), inputs);
    EXPECT_EQ(coordinateText(out.longitude), "-180.00");
    EXPECT_EQ(coordinateText(out.latitude), "90.00");

    // Past the map's end there is nothing to read: no clamped -90.00.
    view.scale = 0.5f;
    out = readPointer(view, Point{700, 400}, july1Noon(), inputs);
    EXPECT_FALSE(out.onMap);
    EXPECT_EQ(out.localTime, "");
    EXPECT_FALSE(out.city);
    view.scale = 1.0f;
    EXPECT_TRUE(readPointer(view, Point{1023, 511}, july1Noon(), inputs).onMap);
    EXPECT_FALSE(readPointer(view, Point{100, 512}, july1Noon(), inputs).onMap) << "below";
    EXPECT_FALSE(readPointer(view, Point{1024, 100}, july1Noon(), inputs).onMap) << "right";
    // Outside the pane (the toolbar above it, beyond the window), even where a
    // pan would put a map pixel there.
    view.panX = 100;
    view.panY = 100;
    EXPECT_FALSE(readPointer(view, Point{50, -1}, july1Noon(), inputs).onMap) << "above";
    EXPECT_FALSE(readPointer(view, Point{-1, 50}, july1Noon(), inputs).onMap) << "left";
    EXPECT_FALSE(readPointer(view, Point{1400, 50}, july1Noon(), inputs).onMap) << "past the pane";
    view.panX = view.panY = 0;

    // Pan moves the point under the cursor.
    view.scale = 2.0f;
    view.panX = 256;
    view.panY = 128;
    out = readPointer(view, Point{512, 256}, july1Noon(), inputs);
    EXPECT_EQ(coordinateText(out.longitude), "0.00");
    EXPECT_EQ(coordinateText(out.latitude), "0.00");
    EXPECT_EQ(coordinateText(-12.5f), "-12.50");
}

} // namespace
} // namespace chronvale
