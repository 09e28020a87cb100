#include "render/qt/map_painter.h"
#include "render/qt/overlays.h"
#include "render_qt_test_support.h"

#include <QPainter>
#include <gtest/gtest.h>

namespace chronvale {
namespace {

using test::cityAtMapPixel;
using test::countPixels;
using test::nearColour;
using test::pixel;

const QColor kYellow(255, 255, 0);
const QColor kGreen(0, 255, 0);

// 2024-01-01 00:00:00 UTC
constexpr std::time_t kNewYear = 1704067200;

// A pane of 400 x 300 at (0, 2) of a 420 x 320 device, so that the separator has
// its two rows above it; the whole map at scale 1 with a coordinate lit map.
class MapPainterTest : public ::testing::Test {
protected:
    MapPainterTest()
        : litMap(test::coordinateMap()),
          tables(test::tablesWith(
              {cityAtMapPixel("Dotville", 100, 100), cityAtMapPixel("Markton", 200, 150)})) {
        view.mapArea = PaneRect{0, 2, 400, 300};
        inputs.tables = &tables;
        inputs.litMap = litMap.get();
        inputs.now = kNewYear;
    }

    MapPaintReport paint() {
        image = test::blankCanvas(420, 320, QColor(1, 2, 3));
        QPainter painter(&image);
        return mapPainter.paintMap(painter, view, inputs);
    }

    // Window point of map pixel (x, y) at scale 1 without pan.
    static QPoint at(int x, int y) { return QPoint(x, y + 2); }

    ImagePtr litMap;
    GeoTables tables;
    MapView view;
    MapPaintInputs inputs;
    MapPainter mapPainter;
    QImage image;
};

TEST_F(MapPainterTest, CropsOnceAndKeepsTheCropWhileNothingChanges) {
    MapPaintReport report = paint();
    EXPECT_TRUE(report.cropped);
    EXPECT_TRUE(report.baseDrawn);
    EXPECT_EQ(pixel(image, 5, 9), QColor(5, 7, 77)) << "map pixel (5, 7) at window (5, 9)";
    EXPECT_EQ(pixel(image, 399, 301), QColor(399 & 255, 299 & 255, 77));
    EXPECT_EQ(pixel(image, 405, 100), QColor(1, 2, 3)) << "nothing drawn beside the pane";

    report = paint();
    EXPECT_FALSE(report.cropped) << "nothing changed: no new crop";
    EXPECT_EQ(pixel(image, 5, 9), QColor(5, 7, 77));

    view.dirty = true;
    EXPECT_TRUE(paint().cropped) << "the lit map changed";
    EXPECT_FALSE(view.dirty);
    view.panX = 10;
    EXPECT_TRUE(paint().cropped) << "the pan changed";
    EXPECT_EQ(pixel(image, 5, 9), QColor(15, 7, 77));
}

TEST_F(MapPainterTest, ShowsTheDayImageUntilThereIsALitMap) {
    const ImagePtr day = test::plainMap(QColor(10, 100, 200));
    inputs.litMap = nullptr;
    inputs.dayImage = day.get();
    paint();
    EXPECT_EQ(pixel(image, 50, 50), QColor(10, 100, 200));

    inputs.dayImage = nullptr;
    view.releaseView();
    paint();
    EXPECT_EQ(pixel(image, 50, 50), QColor(0, 0, 0)) << "no image at all: a black pane";
}

TEST_F(MapPainterTest, GridStopsWhereTheMapEndsInAWidePane) {
    view.mapArea = PaneRect{0, 2, 1100, 600};
    inputs.switches.grid = true;
    image = test::blankCanvas(1120, 620);
    {
        QPainter painter(&image);
        mapPainter.paintMap(painter, view, inputs);
    }
    EXPECT_EQ(view.colsFilled, 1024);
    EXPECT_EQ(view.rowsFilled, 512);
    // Parallel 10 degrees from the top at map row 28.
    EXPECT_EQ(pixel(image, 1023, 30), QColor(0, 140, 0));
    EXPECT_EQ(pixel(image, 1024, 30), QColor(0, 0, 0));
    // Meridian 10 degrees from the left at map column 28.
    EXPECT_EQ(pixel(image, 28, 513), QColor(0, 140, 0));
    EXPECT_EQ(pixel(image, 28, 515), QColor(0, 0, 0)) << "row 514 holds the -90 parallel";
}

TEST_F(MapPainterTest, TheCreditLineStaysClearOfTheLongitudeLabels) {
    // The whole map at scale 1 fills its pane, rows 2..513: the longitude labels
    // stand inside the map's bottom edge.
    view.mapArea = PaneRect{0, 2, 1024, 512};
    inputs.cloudTimeStamp = "2024010100";
    inputs.cloudCredit = QStringLiteral("Contains modified EUMETSAT data");
    const auto plateTop = [&](bool grid) {
        inputs.switches.grid = grid;
        view.releaseView();
        image = test::blankCanvas(1040, 530);
        {
            QPainter painter(&image);
            mapPainter.paintMap(painter, view, inputs);
        }
        // The plate's black rows in the column just left of the credit's text.
        for (int y = 2; y < 514; ++y) {
            if (pixel(image, 2, y) == QColor(0, 0, 0)) {
                return y;
            }
        }
        return -1;
    };
    const int withoutGrid = plateTop(false);
    const int withGrid = plateTop(true);
    ASSERT_GT(withoutGrid, 400) << "the plate sits in the lower left corner";
    const int labelTop = meridianLabelTop(view.mapArea, 2 + 512);
    EXPECT_LT(withGrid, withoutGrid);
    EXPECT_LE(withGrid + 15, labelTop) << "the plate ends above the longitude labels";
}

TEST_F(MapPainterTest, ALongCreditEndsWithinTheMap) {
    // The fixture's map is 400 pixels wide: a long credit is cut off inside it.
    inputs.cloudTimeStamp = "2024010100";
    inputs.cloudCredit =
        QString(QStringLiteral("Clouds from a source with a long credit. ")).repeated(6);
    paint();
    int plateRow = -1;
    for (int y = 300; y > 2 && plateRow < 0; --y) {
        plateRow = pixel(image, 2, y) == QColor(0, 0, 0) ? y : -1;
    }
    ASSERT_GT(plateRow, 200) << "the plate sits in the lower left corner";
    EXPECT_EQ(pixel(image, 200, plateRow), QColor(0, 0, 0)) << "the plate runs across";
    EXPECT_NE(pixel(image, 397, plateRow), QColor(0, 0, 0)) << "and ends before the map does";
}

TEST_F(MapPainterTest, ClockTickKeepsTheBaseLayerAndDrawsTheSecondGroupAgain) {
    inputs.switches.allCities = true;
    paint();
    ASSERT_EQ(pixel(image, at(100, 100).x(), at(100, 100).y()), kYellow);

    // The tick: the base overlays are not drawn again (the switch now says no
    // dots, yet the kept dot stays), the view is not cropped, and the second
    // group is drawn over the kept base.
    tables.cities[1].marked = true;
    inputs.switches.allCities = false;
    inputs.switches.markedCities = true;
    view.overlaysOnly = true;
    MapPaintReport report = paint();
    EXPECT_FALSE(report.cropped);
    EXPECT_FALSE(report.baseDrawn);
    EXPECT_FALSE(view.overlaysOnly) << "cleared by the paint";
    EXPECT_EQ(pixel(image, at(100, 100).x(), at(100, 100).y()), kYellow);
    const QPoint box = at(200, 150);
    EXPECT_EQ(pixel(image, box.x(), box.y()), kGreen) << "the marked city's box";
    const QRect label(box.x() + 8, box.y() + 8, 60, 13);
    EXPECT_GT(countPixels(image, label, [](QColor c) { return nearColour(c, kGreen); }), 20);

    // The kept base holds none of the second group: with City Selection off the
    // next tick shows the bare map where the label was.
    inputs.switches.markedCities = false;
    view.overlaysOnly = true;
    paint();
    EXPECT_EQ(pixel(image, label.left(), label.top()),
              QColor(label.left() & 255, label.top() - 2, 77));
    EXPECT_EQ(countPixels(image, label, [](QColor c) { return nearColour(c, kGreen, 30); }), 0);
}

TEST_F(MapPainterTest, ClockTickAfterTheViewChangedMakesTheBaseAgain) {
    paint();
    view.panX = 30;
    view.overlaysOnly = true;
    MapPaintReport report = paint();
    EXPECT_TRUE(report.cropped);
    EXPECT_TRUE(report.baseDrawn);
    EXPECT_EQ(pixel(image, 5, 9), QColor(35, 7, 77)) << "never a stale base";

    mapPainter.release();
    view.overlaysOnly = true;
    report = paint();
    EXPECT_FALSE(report.cropped) << "the view image itself was kept";
    EXPECT_TRUE(report.baseDrawn);
    EXPECT_EQ(pixel(image, 5, 9), QColor(35, 7, 77));
}

TEST_F(MapPainterTest, TheHoveredCityIsDrawnFromTheGivenHoverAndKeptByTicks) {
    inputs.switches.cityNames = kHoverRadius;
    inputs.pointer = Point{103, 106};
    inputs.hover = findHover(view, tables.cities, inputs.pointer, kHoverRadius, false);
    ASSERT_EQ(inputs.hover.city, std::optional<std::size_t>(0));
    MapPaintReport report = paint();
    EXPECT_EQ(report.hoveredCityStatus, "Testland");
    EXPECT_EQ(pixel(image, at(100, 100).x(), at(100, 100).y()), QColor(255, 255, 255));

    // The pointer moved away, but a tick given the kept hover draws it again.
    inputs.pointer = Point{300, 252};
    view.overlaysOnly = true;
    report = paint();
    EXPECT_EQ(report.hoveredCityStatus, "Testland");
    EXPECT_EQ(pixel(image, at(100, 100).x(), at(100, 100).y()), QColor(255, 255, 255));

    // The next paint with the hover found for the new pointer has none.
    inputs.hover = findHover(view, tables.cities, inputs.pointer, kHoverRadius, false);
    report = paint();
    EXPECT_FALSE(inputs.hover.city.has_value());
    EXPECT_FALSE(report.hoveredCityStatus.has_value());
}

// The marked cities' labels are drawn on whatever background the overlays before
// them left: the earthquake legend leaves it transparent, so in a full paint with
// earthquakes the label has no black box; a tick draws no earthquakes and the
// label gets its black background again.
TEST_F(MapPainterTest, MarkedLabelBackgroundFollowsTheOverlaysBeforeIt) {
    const std::vector<QuakeMark> quakes = {{10.0f, 10.0f, 5.0f}};
    inputs.quakes = quakes;
    inputs.switches.earthquakes = true;
    inputs.switches.markedCities = true;
    tables.cities[1].marked = true;
    const QPoint box = at(200, 150);
    const QPoint cellCorner(box.x() + 8, box.y() + 8);

    paint();
    EXPECT_EQ(pixel(image, cellCorner.x(), cellCorner.y()), QColor(cellCorner.x() & 255, 158, 77))
        << "transparent: the map shows through";
    view.overlaysOnly = true;
    paint();
    EXPECT_EQ(pixel(image, cellCorner.x(), cellCorner.y()), QColor(0, 0, 0)) << "opaque black";
}

TEST_F(MapPainterTest, SecondGroupStaysInThePaneAndTheSeparatorAboveIt) {
    CityRecord nearEdge = cityAtMapPixel("A long name by the right edge", 395, 150);
    nearEdge.marked = true;
    tables.cities.push_back(nearEdge);
    inputs.switches.markedCities = true;
    paint();
    EXPECT_EQ(
        countPixels(image, QRect(400, 0, 20, 320), [](QColor c) { return c != QColor(1, 2, 3); }),
        3)
        << "only the separator's ends reach beyond the pane";
    EXPECT_EQ(pixel(image, 0, 0), QColor(240, 240, 240));
    EXPECT_EQ(pixel(image, 401, 0), QColor(240, 240, 240));
    EXPECT_EQ(pixel(image, 0, 1), QColor(140, 140, 140));
    EXPECT_EQ(pixel(image, 400, 1), QColor(140, 140, 140));
}

} // namespace
} // namespace chronvale
