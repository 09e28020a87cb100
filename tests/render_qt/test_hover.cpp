#include "render/qt/hover.h"
#include "render_qt_test_support.h"

#include <gtest/gtest.h>

namespace chronvale {
namespace {

using test::cityAtMapPixel;

// A view of the map's top-left corner in a pane at (10, 20): window point of map
// pixel (x, y) at scale 1 is (x + 10, y + 20).
MapView cornerView(float scale = 1.0f) {
    MapView view;
    view.mapArea = PaneRect{10, 20, 300, 200};
    view.scale = scale;
    return view;
}

TEST(FindHover, PicksTheNearestCityWithinTheRadiusAndTheFirstOfEqualOnes) {
    const MapView view = cornerView();
    const CityList cities = {cityAtMapPixel("Near", 58, 40), cityAtMapPixel("TwinA", 53, 40),
                             cityAtMapPixel("TwinB", 47, 40), cityAtMapPixel("TwinC", 53, 40)};
    // Pointer at map (50, 40): Near is 8 pixels away, the twins 3.
    HoverState hover = findHover(view, cities, Point{60, 60}, kHoverRadius, false);
    EXPECT_EQ(hover.city, std::optional<std::size_t>(1)) << "the first of the nearest";

    // Truncated distance 9 is within 10 pixels; 10 is not.
    const CityList single = {cityAtMapPixel("One", 50, 40)};
    EXPECT_TRUE(findHover(view, single, Point{69, 60}, kHoverRadius, false).city);
    EXPECT_TRUE(findHover(view, single, Point{67, 67}, kHoverRadius, false).city)
        << "sqrt(98) = 9.9 truncates to 9";
    EXPECT_FALSE(findHover(view, single, Point{70, 60}, kHoverRadius, false).city);
    // The radius grows with the scale: 19 window pixels at scale 2.
    const MapView zoomed = cornerView(2.0f);
    EXPECT_TRUE(findHover(zoomed, single, Point{110 + 19, 100}, kHoverRadius, false).city);
    EXPECT_FALSE(findHover(zoomed, single, Point{110 + 20, 100}, kHoverRadius, false).city);

    // City Names off: nothing is hovered and nothing needs repainting.
    hover = findHover(view, single, Point{60, 60}, 0, false);
    EXPECT_EQ(hover, HoverState{});
    EXPECT_TRUE(hover.region().isEmpty());
    EXPECT_EQ(findHover(view, {}, Point{60, 60}, kHoverRadius, true), HoverState{});
}

TEST(FindHover, RegionsAreWindowRectanglesAroundTheBoxTheLabelAndTheNeighbourhood) {
    MapView view = cornerView(2.0f);
    view.panX = 20;
    view.panY = 10;
    // Map (70, 50) at scale 2 with pan (20, 10): window (10 + 100, 20 + 80).
    const CityList cities = {cityAtMapPixel("Target", 70, 50)};
    const Point city{110, 100};
    const Point pointer{115, 104};

    // All Cities on: the label (x + 9, y + 6, x + 117, y + 27) and the box.
    HoverState hover = findHover(view, cities, pointer, kHoverRadius, true);
    ASSERT_EQ(hover.city, std::optional<std::size_t>(0));
    EXPECT_EQ(hover.boxRegion, QRect(city.x - 4, city.y - 4, 8, 8));
    EXPECT_TRUE(hover.hoverRegion.contains(QRect(city.x + 9, city.y + 6, 108, 21)));
    EXPECT_FALSE(hover.hoverRegion.contains(QPoint(pointer.x - 20, pointer.y)))
        << "no dots near the pointer to clear";

    // All Cities off: the pointer's neighbourhood (b = 40 x scale) and the label.
    hover = findHover(view, cities, pointer, kHoverRadius, false);
    const int b = 80;
    EXPECT_TRUE(hover.hoverRegion.contains(
        QRect(pointer.x - b - 10, pointer.y - b - 10, 2 * b + 100, 2 * b + 20)));
    EXPECT_TRUE(hover.region().contains(QRect(city.x - 4, city.y - 4, 8, 8)));

    // Nobody near: the neighbourhood only, or nothing at all while All Cities is on.
    const Point far{260, 200};
    hover = findHover(view, cities, far, kHoverRadius, false);
    EXPECT_FALSE(hover.city);
    EXPECT_EQ(hover.hoverRegion, QRect(far.x - b - 10, far.y - b - 10, 2 * b + 100, 2 * b + 20));
    EXPECT_TRUE(hover.boxRegion.isEmpty());
    EXPECT_TRUE(findHover(view, cities, far, kHoverRadius, true).region().isEmpty());
}

} // namespace
} // namespace chronvale
