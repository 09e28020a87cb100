#include "render/qt/hover.h"
#include "render/qt/map_painter.h"
#include "render/qt/overlays.h"
#include "render_qt_test_support.h"

#include <QPainter>
#include <gtest/gtest.h>

namespace chronvale {
namespace {

using test::cityAtMapPixel;
using test::cornerView;

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

// Paints the pane with the hover found for `pointer`, as the window does.
class HoverPaintTest : public ::testing::Test {
protected:
    HoverPaintTest()
        : litMap(test::coordinateMap()),
          tables(test::tablesWith(
              {cityAtMapPixel("Left", 6, 100), cityAtMapPixel("Right edge", 392, 250),
               cityAtMapPixel("Middle", 200, 150), cityAtMapPixel("Neighbour", 225, 160),
               cityAtMapPixel("Santa Cruz de la Sierra de los Andes del Sur", 120, 40)})) {
        view.mapArea = PaneRect{0, 2, 400, 300};
        inputs.tables = &tables;
        inputs.litMap = litMap.get();
        inputs.switches.cityNames = kHoverRadius;
    }

    QImage paintAt(Point pointer) {
        inputs.pointer = pointer;
        inputs.hover = findHover(view, tables.cities, pointer, inputs.switches.cityNames,
                                 inputs.switches.allCities);
        QImage image = test::blankCanvas(420, 320, QColor(1, 2, 3));
        QPainter painter(&image);
        report = mapPainter.paintMap(painter, view, inputs);
        return image;
    }

    // The pixels that differ between two pictures, as a region.
    static QRegion changed(const QImage& a, const QImage& b) {
        QRegion region;
        for (int y = 0; y < a.height(); ++y) {
            for (int x = 0; x < a.width(); ++x) {
                if (a.pixel(x, y) != b.pixel(x, y)) {
                    region += QRect(x, y, 1, 1);
                }
            }
        }
        return region;
    }

    ImagePtr litMap;
    GeoTables tables;
    MapView view;
    MapPaintInputs inputs;
    MapPainter mapPainter;
    MapPaintReport report;
};

// What the window invalidates when the pointer moves (the old and the new hover
// regions) holds every pixel the move changes: the dots, the box and the label,
// for labels by either edge of the pane, with All Cities off and on.
TEST_F(HoverPaintTest, TheOldAndNewRegionsHoldEverythingAMoveChanges) {
    const std::vector<Point> path = {
        {7, 104},   // over Left, by the pane's left edge
        {390, 254}, // over Right edge: its label runs off the pane
        {60, 250},  // nobody near
        {203, 154}, // over Middle, Neighbour within the dots' radius
        {230, 160}, // over Neighbour
        {122, 40},  // over the long name: its label reaches far beyond the pointer
        {300, 60},  // nobody near
    };
    for (const bool allCities : {false, true}) {
        inputs.switches.allCities = allCities;
        QImage before = paintAt(Point{-500, -500});
        HoverState was = inputs.hover;
        for (const Point& p : path) {
            const QImage after = paintAt(p);
            const QRegion invalidated = was.region().united(inputs.hover.region());
            const QRegion outside = changed(before, after).subtracted(invalidated);
            EXPECT_TRUE(outside.isEmpty())
                << "allCities " << allCities << ", pointer (" << p.x << ", " << p.y
                << "): changed outside at " << outside.boundingRect().x() << ", "
                << outside.boundingRect().y();
            before = after;
            was = inputs.hover;
        }
    }
}

TEST_F(HoverPaintTest, ThePainterDrawsTheHoverItIsGivenAndFindsNone) {
    const QPoint middle(200, 152);
    paintAt(Point{203, 154});
    ASSERT_EQ(inputs.hover.city, std::optional<std::size_t>(2));
    EXPECT_EQ(report.hoveredCityStatus, "Testland");

    // A hover for another city than the one under the pointer is drawn as given.
    inputs.hover = findHover(view, tables.cities, Point{7, 104}, kHoverRadius, false);
    QImage image = test::blankCanvas(420, 320);
    {
        QPainter painter(&image);
        report = mapPainter.paintMap(painter, view, inputs);
    }
    EXPECT_EQ(test::pixel(image, 6, 102), QColor(255, 255, 255)) << "Left's white box";
    EXPECT_NE(test::pixel(image, middle.x(), middle.y()), QColor(255, 255, 255));
    EXPECT_EQ(report.hoveredCityStatus, "Testland");

    // No hover given: no box, no status, even with the pointer on a city.
    inputs.hover = HoverState{};
    image = test::blankCanvas(420, 320);
    {
        QPainter painter(&image);
        report = mapPainter.paintMap(painter, view, inputs);
    }
    EXPECT_NE(test::pixel(image, middle.x(), middle.y()), QColor(255, 255, 255));
    EXPECT_FALSE(report.hoveredCityStatus);
}

// The dots near the pointer belong to the kept base layer: a clock tick after the
// pointer moved (its repaint may be merged with the move's) makes the base again
// so that they are where the pointer is.
TEST_F(HoverPaintTest, ATickAfterThePointerMovedDrawsTheDotsWhereItIs) {
    const QImage moved = paintAt(Point{203, 154});
    paintAt(Point{60, 250});
    view.overlaysOnly = true;
    const QImage tick = paintAt(Point{203, 154});
    EXPECT_TRUE(report.baseDrawn);
    EXPECT_TRUE(changed(moved, tick).isEmpty());

    view.overlaysOnly = true;
    paintAt(Point{203, 154});
    EXPECT_FALSE(report.baseDrawn) << "the pointer stayed: the base is kept";
}

} // namespace
} // namespace chronvale
