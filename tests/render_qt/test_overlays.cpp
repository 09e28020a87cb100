#include "geo/zone_colours.h"
#include "render/qt/overlays.h"
#include "render_qt_test_support.h"

#include <QPainter>
#include <gtest/gtest.h>

namespace chronvale {
namespace {

using test::cityAtMapPixel;
using test::cornerView;
using test::countColour;
using test::countPixels;
using test::nearColour;
using test::pixel;

const QColor kYellow(255, 255, 0);
const QColor kCityRim(200, 90, 0);
const QColor kHoverRim(200, 0, 0);
const QColor kBlack(0, 0, 0);

// 2024-01-01 00:00:00 UTC
constexpr std::time_t kNewYear = 1704067200;

// Paints with one overlay call on a black canvas big enough for the pane.
template <typename Draw> QImage paintWith(Draw draw) {
    QImage image = test::blankCanvas(340, 260);
    QPainter painter(&image);
    OverlayCanvas canvas(painter);
    draw(canvas);
    painter.end();
    return image;
}

TEST(AllCities, DrawsAYellowDotWithARimUnlessOnTheTopOrLeftBorder) {
    const MapView view = cornerView();
    const CityList cities = {cityAtMapPixel("Inside", 50, 40), cityAtMapPixel("OnEdge", 0, 40),
                             cityAtMapPixel("NearTop", 80, 1)};
    const QImage image = paintWith([&](OverlayCanvas& c) { drawAllCities(c, view, cities); });
    // Map (50, 40) is window (60, 60): a 5 x 5 dot from (58, 58) to (62, 62).
    EXPECT_EQ(countColour(image, QRect(58, 58, 5, 5), kYellow), 9);
    EXPECT_EQ(countColour(image, QRect(58, 58, 5, 5), kCityRim), 16);
    EXPECT_EQ(pixel(image, 60, 60), kYellow);
    EXPECT_EQ(pixel(image, 58, 58), kCityRim);
    EXPECT_EQ(pixel(image, 62, 62), kCityRim);
    EXPECT_EQ(pixel(image, 63, 60), kBlack);
    // Longitude -180 lies on the pane's left edge, latitude near 90 on its top.
    EXPECT_EQ(countColour(image, QRect(0, 50, 20, 20), kCityRim), 0);
    EXPECT_EQ(countColour(image, QRect(80, 10, 20, 20), kCityRim), 0);
}

TEST(HoverMarks, DotsCitiesNearThePointerAndPicksTheNearest) {
    const MapView view = cornerView();
    const CityList cities = {cityAtMapPixel("Far", 200, 150), cityAtMapPixel("Near", 60, 50),
                             cityAtMapPixel("Nearer", 53, 43), cityAtMapPixel("Within", 85, 40)};
    const Point pointer{60, 60}; // map (50, 40)
    const QImage image = paintWith(
        [&](OverlayCanvas& c) { drawHoverMarks(c, view, cities, pointer, kHoverRadius, false); });
    const HoverState hover = findHover(view, cities, pointer, kHoverRadius, false);
    // Near (10 px), Nearer (4 px) and Within (35 px) get dots with red rims; Far does not.
    EXPECT_EQ(pixel(image, 70, 70), kYellow);
    EXPECT_EQ(pixel(image, 63, 63), kYellow);
    EXPECT_EQ(pixel(image, 95, 60), kYellow);
    EXPECT_EQ(pixel(image, 93, 58), kHoverRim);
    EXPECT_EQ(countColour(image, QRect(205, 165, 10, 10), kYellow), 0);
    ASSERT_TRUE(hover.city.has_value());
    EXPECT_EQ(*hover.city, 2u) << "the nearest city within 10 pixels";
    EXPECT_TRUE(hover.hoverRegion.contains(QRect(60 - 50, 60 - 50, 140, 100)))
        << "the pointer's neighbourhood (p - 50, p - 50, p + 130, p + 50)";
    EXPECT_EQ(hover.boxRegion, QRect(59, 59, 8, 8)) << "(x - 4, y - 4, x + 4, y + 4) around Nearer";
}

TEST(HoverMarks, WithAllCitiesOnDrawsNothingAndTracksTheLabel) {
    const MapView view = cornerView(2.0f);
    const CityList cities = {cityAtMapPixel("Target", 50, 40)}; // window (110, 100)
    QImage image = paintWith([&](OverlayCanvas& c) {
        drawHoverMarks(c, view, cities, Point{120, 110}, kHoverRadius, true);
    });
    HoverState hover = findHover(view, cities, Point{120, 110}, kHoverRadius, true);
    EXPECT_EQ(countColour(image, image.rect(), kYellow), 0);
    ASSERT_TRUE(hover.city.has_value()) << "14 pixels away, within 10 x scale 2";
    EXPECT_TRUE(hover.hoverRegion.contains(QRect(119, 106, 108, 21)))
        << "the name label (x + 9, y + 6, x + 117, y + 27)";

    // Nobody near: the label region empties.
    hover = findHover(view, cities, Point{300, 200}, kHoverRadius, true);
    EXPECT_FALSE(hover.city.has_value());
    EXPECT_TRUE(hover.hoverRegion.isEmpty());
}

TEST(HoveredCity, ShowsAWhiteBoxAndTheNameOnRedAndReportsTheCountry) {
    const MapView view = cornerView();
    GeoTables tables = test::tablesWith(
        {cityAtMapPixel("Alphaville", 50, 40), cityAtMapPixel("Nowhere", 100, 100, "Beta")});
    HoverState hover = findHover(view, tables.cities, Point{60, 60}, kHoverRadius, false);
    ASSERT_EQ(hover.city, std::optional<std::size_t>(0));
    std::optional<std::string> status;
    const QImage image =
        paintWith([&](OverlayCanvas& c) { status = drawHoveredCity(c, view, tables, hover); });
    EXPECT_EQ(status, "Testland");
    EXPECT_EQ(countColour(image, QRect(57, 57, 7, 7), QColor(255, 255, 255)), 25);
    EXPECT_EQ(countColour(image, QRect(57, 57, 7, 7), QColor(0, 0, 255)), 24);
    // The label cell starts at (x + 9, y + 9) = (69, 69) with a red background.
    EXPECT_EQ(pixel(image, 69, 69), QColor(250, 0, 0));
    EXPECT_EQ(pixel(image, 68, 69), kBlack);
    EXPECT_GT(countPixels(image, QRect(69, 69, 60, 14),
                          [](QColor c) { return c.green() > 200 && c.blue() > 200; }),
              10)
        << "white letters";
    EXPECT_TRUE(hover.boxRegion.contains(QRect(57, 57, 7, 7)));

    // A city whose zone has no country reports its name; an index past the list
    // reports nothing.
    hover.city = 1;
    paintWith([&](OverlayCanvas& c) { status = drawHoveredCity(c, view, tables, hover); });
    EXPECT_EQ(status, "Nowhere");
    hover.city = 7;
    paintWith([&](OverlayCanvas& c) { status = drawHoveredCity(c, view, tables, hover); });
    EXPECT_FALSE(status.has_value());
}

TEST(HoveredCity, LabelRegionCoversALongName) {
    const MapView view = cornerView();
    GeoTables tables =
        test::tablesWith({cityAtMapPixel("Santa Cruz de la Sierra de los Andes del Sur", 50, 40)});
    const HoverState hover = findHover(view, tables.cities, Point{60, 60}, kHoverRadius, true);
    ASSERT_EQ(hover.city, std::optional<std::size_t>(0));
    QRect drawn;
    paintWith([&](OverlayCanvas& c) {
        drawHoveredCity(c, view, tables, hover);
        drawn = c.textCell(69, 69, QString::fromStdString(tables.cities[0].name));
    });
    ASSERT_GT(drawn.right(), 60 + 117);
    EXPECT_TRUE(hover.hoverRegion.contains(drawn)) << "no trace left when the pointer moves on";
}

// A view of the whole map in a pane wider and taller than it: black beyond.
MapView wideView(float scale) {
    MapView view;
    view.mapArea = PaneRect{10, 20, 1100, 600};
    view.scale = scale;
    view.colsFilled = 1024;
    view.rowsFilled = 512;
    return view;
}

bool isLabelGreen(QColor c) {
    return c.green() > 90 && c.red() < 60 && c.blue() < 60 && c != QColor(0, 140, 0);
}

TEST(Grid, LinesStopWhereTheCropEndsAndTheAxesAreRed) {
    const MapView view = wideView(1.0f);
    QImage image = test::blankCanvas(1140, 640);
    {
        QPainter painter(&image);
        OverlayCanvas canvas(painter);
        drawGrid(canvas, view, 10 + 1024, 20 + 512);
    }
    const QColor line(0, 140, 0);
    const QColor axis(200, 0, 0);
    // Meridian 10 degrees from the left edge: map x 28, window x 38, rows 20..531.
    EXPECT_EQ(pixel(image, 38, 20), line);
    EXPECT_EQ(pixel(image, 38, 531), line);
    // Row 532 holds the parallel of -90 degrees, drawn just below the map's end.
    EXPECT_EQ(pixel(image, 38, 533), kBlack) << "stops at the crop's bottom";
    // The prime meridian (map x 512) and the equator (map y 256) are red.
    EXPECT_EQ(pixel(image, 522, 100), axis);
    EXPECT_EQ(pixel(image, 100, 276), axis);
    // Parallel 10 degrees from the top: map y 28, from x 10 up to 1033.
    EXPECT_EQ(pixel(image, 10, 48), line);
    EXPECT_EQ(pixel(image, 1033, 48), line);
    EXPECT_EQ(pixel(image, 1034, 48), kBlack) << "stops at colsFilled";
    // The meridian on the pane's left edge (longitude -180) is not drawn.
    EXPECT_EQ(pixel(image, 10, 300), kBlack);
}

TEST(Grid, LabelsEverySecondLineUpToScaleTwoAndEveryLineAbove) {
    // Meridian labels sit 20 pixels above the crop's bottom when the map fills the
    // pane, just below it when the map ends well above the pane's bottom.
    const auto labelPixels = [](const QImage& image, int x, int y) {
        return countPixels(image, QRect(x + 2, y, 22, 12), isLabelGreen);
    };
    {
        MapView view = wideView(1.0f);
        view.mapArea.height = 512;
        QImage image = test::blankCanvas(1140, 640);
        QPainter painter(&image);
        OverlayCanvas canvas(painter);
        drawGrid(canvas, view, 10 + 1024, 20 + 512);
        painter.end();
        const int labelY = 20 + 512 - 20;
        EXPECT_GT(labelPixels(image, 10 + 56, labelY), 0) << "-160 (map x 56)";
        EXPECT_EQ(labelPixels(image, 10 + 28, labelY), 0) << "-170 unlabelled";
        EXPECT_GT(labelPixels(image, 10 + 967, labelY), 0) << "160 (map x 967)";
        // Parallels: 36 meridians used the counter, so 90 is labelled, 80 not.
        EXPECT_GT(countPixels(image, QRect(12, 22, 22, 12), isLabelGreen), 0) << "90";
        EXPECT_EQ(countPixels(image, QRect(12, 50, 22, 12), isLabelGreen), 0) << "80";
        EXPECT_GT(countPixels(image, QRect(12, 20 + 56 + 2, 22, 12), isLabelGreen), 0) << "70";
    }
    {
        // Scale 2.5: every meridian is labelled. The pane is 400 high, the map 1280.
        MapView view = wideView(2.5f);
        view.mapArea.height = 400;
        QImage image = test::blankCanvas(1140, 640);
        QPainter painter(&image);
        OverlayCanvas canvas(painter);
        drawGrid(canvas, view, 10 + 1100, 20 + 400);
        painter.end();
        const int labelY = 20 + 400 - 20;
        EXPECT_GT(labelPixels(image, 10 + 70, labelY), 0) << "-170 at x 28 x 2.5";
        EXPECT_GT(labelPixels(image, 10 + 140, labelY), 0) << "-160";
    }
}

TEST(Grid, ParallelsAboveThePaneAreLeftOut) {
    MapView view = wideView(1.0f);
    view.mapArea.height = 300;
    view.panY = 100; // the pane starts at map row 100, between 50 and 40 degrees north
    QImage image = test::blankCanvas(1140, 640);
    {
        QPainter painter(&image);
        OverlayCanvas canvas(painter);
        drawGrid(canvas, view, 10 + 1024, 20 + 300);
    }
    // Nothing is drawn along the pane's top row except where meridians cross it.
    const QColor line(0, 140, 0);
    EXPECT_EQ(pixel(image, 15, 20), kBlack);
    EXPECT_EQ(pixel(image, 300, 20), kBlack);
    // Parallel 40 degrees north (map y 142) is at window row 62.
    EXPECT_EQ(pixel(image, 15, 62), line);
    EXPECT_EQ(countPixels(image, QRect(12, 22, 22, 12), isLabelGreen), 0)
        << "no pile of labels at the top";
}

TEST(Earthquakes, ClassesByMagnitude) {
    EXPECT_EQ(quakeClass(2.0f), 0);
    EXPECT_EQ(quakeClass(2.1f), 1);
    EXPECT_EQ(quakeClass(4.5f), 3);
    EXPECT_EQ(quakeClass(8.0f), 6);
    EXPECT_EQ(quakeClass(8.5f), 7);
    EXPECT_EQ(quakeClass(-1.0f), 0);
    EXPECT_EQ(quakeClassColour(0), QColor(0, 0, 255));
    EXPECT_EQ(quakeClassColour(7), QColor(255, 255, 255));
}

TEST(Earthquakes, DrawsCirclesInClassColours) {
    const MapView view = cornerView();
    const CityRecord at = cityAtMapPixel("", 100, 80); // window (110, 100)
    const CityRecord edge = cityAtMapPixel("", 0, 80);
    const std::vector<QuakeMark> quakes = {{at.longitude, at.latitude, 6.5f},
                                           {edge.longitude, edge.latitude, 9.0f}};
    const QImage image = paintWith([&](OverlayCanvas& c) { drawEarthquakes(c, view, quakes); });
    // The circle in (x - 1, y - 1, x + 8, y + 8): centre (113, 103), class 5 orange.
    EXPECT_EQ(pixel(image, 113, 103), QColor(255, 150, 0));
    EXPECT_EQ(pixel(image, 109, 99), kBlack) << "the bounding square's corner stays clear";
    EXPECT_EQ(countColour(image, QRect(0, 90, 20, 30), QColor(255, 255, 255)), 0)
        << "the quake on the left edge is not drawn";
}

// The height of a label's cell in the overlay font.
int labelHeight() {
    QImage image = test::blankCanvas(10, 10);
    QPainter painter(&image);
    OverlayCanvas canvas(painter);
    return canvas.textCell(0, 0, QStringLiteral("00:00 X")).height();
}

const QColor kLegendPlate(235, 235, 235);
const QColor kGridLabel(0, 200, 0);

// The smallest rectangle holding every pixel of a colour; empty when there is none.
QRect boundsOf(const QImage& image, QColor colour) {
    QRect bounds;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (pixel(image, x, y) == colour) {
                bounds |= QRect(x, y, 1, 1);
            }
        }
    }
    return bounds;
}

bool gridLabelPixel(QColor c) {
    return nearColour(c, kGridLabel, 100);
}

// The pane (10, 20, 300 x 200) with the map's crop ending 45 pixels above its
// bottom: the meridians' labels sit just below the map's end, where the legend
// used to cover them.
TEST(QuakeLegend, SitsAboveTheMeridianLabelsOnALightPlate) {
    const MapView view = cornerView();
    const int mapEnd = 175;
    const QImage gridOnly = paintWith([&](OverlayCanvas& c) { drawGrid(c, view, 310, mapEnd); });
    bool leftOpaque = true;
    const QImage image = paintWith([&](OverlayCanvas& c) {
        drawGrid(c, view, 310, mapEnd);
        drawQuakeLegend(c, view, mapEnd, true, QStringLiteral("Magnitude"));
        leftOpaque = c.opaque();
    });
    const QRect labelRow(10, mapEnd, 300, 14);
    ASSERT_GT(countPixels(gridOnly, labelRow, gridLabelPixel), 40) << "the labels are there";
    EXPECT_EQ(countPixels(image, labelRow, gridLabelPixel),
              countPixels(gridOnly, labelRow, gridLabelPixel))
        << "the legend covers no meridian label";
    EXPECT_FALSE(leftOpaque) << "the background stays transparent";

    const QRect plate = boundsOf(image, kLegendPlate);
    ASSERT_FALSE(plate.isEmpty()) << "a light plate";
    EXPECT_LT(plate.bottom(), mapEnd) << "above the labels";
    EXPECT_LE(plate.right(), 309) << "inside the pane";
    EXPECT_GE(plate.left(), 10);

    // The eight classes, 30 x 6 pixels each, in their colours on one row.
    int barsLeft = -1;
    int barsTop = -1;
    for (int y = plate.top(); y <= plate.bottom() && barsLeft < 0; ++y) {
        for (int x = plate.left(); x <= plate.right(); ++x) {
            if (pixel(image, x, y) == quakeClassColour(0) &&
                pixel(image, x + 29, y) == quakeClassColour(0)) {
                barsLeft = x;
                barsTop = y;
                break;
            }
        }
    }
    ASSERT_GE(barsLeft, 0) << "the first class's bar";
    for (int k = 0; k < 8; ++k) {
        EXPECT_EQ(pixel(image, barsLeft + 30 * k, barsTop + 5), quakeClassColour(k)) << k;
        EXPECT_EQ(pixel(image, barsLeft + 30 * k + 29, barsTop), quakeClassColour(k)) << k;
    }
    const int barsRight = barsLeft + 240;
    // The digits in blue on the plate under the bars, and the 9 after the last class.
    auto blue = [](QColor c) { return c.blue() > 150 && c.red() < 120 && c.green() < 120; };
    EXPECT_GT(countPixels(image, QRect(barsLeft, barsTop + 8, 240, 16), blue), 40);
    EXPECT_GT(countPixels(image, QRect(barsRight, barsTop + 8, 12, 16), blue), 3)
        << "9 stands after the last class";
    EXPECT_EQ(countPixels(image, QRect(barsRight - 22, barsTop + 8, 22, 16), blue), 0)
        << "nothing inside the last class but its 8 at the left edge";
    EXPECT_EQ(countColour(image, QRect(barsLeft, barsTop + 8, 240, 16), kBlack), 0)
        << "no black band behind the digits";
    // The caption above the bars, dark on the plate.
    const QRect captionArea(plate.left() + 2, plate.top() + 2, plate.width() - 4,
                            barsTop - plate.top() - 3);
    EXPECT_GT(countPixels(image, captionArea, [](QColor c) { return c.lightness() < 100; }), 25);
}

TEST(QuakeLegend, ATallBandBelowTheMapTakesItAndTheGridOffLeavesItThere) {
    const MapView view = cornerView();
    const int mapEnd = 100; // the map ends 120 pixels above the pane's bottom
    for (bool gridOn : {true, false}) {
        const QImage image = paintWith([&](OverlayCanvas& c) {
            if (gridOn) {
                drawGrid(c, view, 310, mapEnd);
            }
            drawQuakeLegend(c, view, mapEnd, gridOn, QStringLiteral("Magnitude"));
        });
        const QRect plate = boundsOf(image, kLegendPlate);
        ASSERT_FALSE(plate.isEmpty());
        EXPECT_GE(plate.top(), mapEnd + (gridOn ? labelHeight() : 0))
            << "below the map and its labels";
        EXPECT_LT(plate.bottom(), 220) << "inside the pane";
    }
    // The map reaching the pane's bottom: above the labels 20 pixels above it.
    const QImage full = paintWith([&](OverlayCanvas& c) {
        drawGrid(c, view, 310, 220);
        drawQuakeLegend(c, view, 220, true, QStringLiteral("Magnitude"));
    });
    const QRect plate = boundsOf(full, kLegendPlate);
    ASSERT_FALSE(plate.isEmpty());
    EXPECT_LT(plate.bottom(), 200);
}

// A time-zone image that is +12 hours at one map pixel and 0 everywhere else.
ImagePtr zoneImagePlusTwelveAt(int x, int y) {
    ImagePtr image = createImage(1024, 512, 24, 256);
    for (const ZoneColour& row : zoneColourTable()) {
        if (row.hours == 12.0f && zoneOffsetForColour(row.red, row.green, row.blue) == 12.0f) {
            uint8_t* p = pixelAddress(image.get(), x, y);
            p[0] = row.blue;
            p[1] = row.green;
            p[2] = row.red;
            break;
        }
    }
    return image;
}

TEST(MarkedCities, LabelIsLocalTimeWithoutSecondsAndTheName) {
    const GeoTables tables = test::tablesWith({cityAtMapPixel("Aukland", 300, 200)});
    const ImagePtr zones = zoneImagePlusTwelveAt(300, 200);
    const std::time_t now = kNewYear + 3 * 3600 + 25 * 60 + 59;
    EXPECT_EQ(markedCityLabel(tables.cities[0], tables, zones.get(), now), "15:25 Aukland");
    EXPECT_EQ(markedCityLabel(tables.cities[0], tables, nullptr, now), "03:25 Aukland");
    EXPECT_EQ(markedCityLabel(tables.cities[0], tables, zones.get(), now, " - "), "15:25 Aukland")
        << "a long date separator does not shift the cut";
    GeoTables labelled = tables;
    labelled.cities[0].label = "Mum";
    EXPECT_EQ(markedCityLabel(labelled.cities[0], labelled, zones.get(), now), "15:25 Mum");
}

TEST(MarkedCities, BoxAndLabelBesideIt) {
    // Panned and zoomed: the time still comes from the city's own map pixel.
    MapView view = cornerView(2.0f);
    view.panX = 20;
    view.panY = 10;
    GeoTables tables =
        test::tablesWith({cityAtMapPixel("Here", 60, 50), cityAtMapPixel("Unmarked", 60, 90),
                          cityAtMapPixel("Leftish", 18, 60)});
    tables.cities[0].marked = true;
    tables.cities[2].marked = true;
    const ImagePtr zones = zoneImagePlusTwelveAt(60, 50);
    const QImage image = paintWith(
        [&](OverlayCanvas& c) { drawMarkedCities(c, view, tables, zones.get(), kNewYear); });
    // Map (60, 50) -> pane (80, 80) -> window (90, 100); box from (88, 98), 6 x 6.
    EXPECT_EQ(countColour(image, QRect(88, 98, 6, 6), QColor(0, 255, 0)), 16);
    EXPECT_EQ(countColour(image, QRect(88, 98, 6, 6), kBlack), 20);
    EXPECT_EQ(countColour(image, QRect(86, 176, 8, 8), QColor(0, 255, 0)), 0)
        << "the unmarked city at window (90, 180) gets no box";
    // The label cell at (x' + 10, y' + 10) = (98, 108): green text on black, reading
    // "12:00 Here" (a cell of ten characters, wider than 40 pixels).
    const QRect cell(98, 108, 60, 13);
    EXPECT_GT(countPixels(image, cell, [](QColor c) { return nearColour(c, QColor(0, 255, 0)); }),
              20);
    EXPECT_EQ(countPixels(image, QRect(0, 0, 340, 107),
                          [](QColor c) { return nearColour(c, QColor(0, 255, 0), 100); }) -
                  16,
              0)
        << "nothing green above the label but the box";

    // Map (18, 60) is window x 6: its box (x' = 4) is left of the pane but its label
    // at x' + 10 = 14 is drawn, being less than 10 pixels beyond the edge.
    EXPECT_EQ(countColour(image, QRect(0, 110, 10, 10), QColor(0, 255, 0)), 0);
    EXPECT_GT(countPixels(image, QRect(14, 128, 60, 13),
                          [](QColor c) { return nearColour(c, QColor(0, 255, 0)); }),
              20);
}

bool markedGreen(QColor c) {
    return nearColour(c, QColor(0, 255, 0));
}

TEST(MarkedCities, ALabelCutAtTheRightEdgeGoesLeftOfItsBox) {
    const MapView view = cornerView(); // the pane ends at x = 310
    GeoTables tables = test::tablesWith({cityAtMapPixel("Eastend", 290, 100)});
    tables.cities[0].marked = true;
    const QImage image =
        paintWith([&](OverlayCanvas& c) { drawMarkedCities(c, view, tables, nullptr, kNewYear); });
    // Window (300, 120): box from (298, 118); the label's row from y' + 10 = 128.
    EXPECT_EQ(countColour(image, QRect(298, 118, 6, 6), QColor(0, 255, 0)), 16) << "the box stays";
    EXPECT_EQ(countPixels(image, QRect(304, 126, 36, 20), markedGreen), 0)
        << "nothing right of the box";
    EXPECT_GT(countPixels(image, QRect(200, 128, 94, 14), markedGreen), 20)
        << "the label ends 4 pixels before the box";
    EXPECT_EQ(countPixels(image, QRect(294, 128, 4, 14), markedGreen), 0);
}

TEST(MarkedCities, AnOverlappingLabelMovesBelowThenAboveThenLeft) {
    const MapView view = cornerView();
    const int h = labelHeight();
    // Four cities a pixel or two apart, and one far away.
    GeoTables tables =
        test::tablesWith({cityAtMapPixel("First", 100, 100), cityAtMapPixel("Second", 102, 101),
                          cityAtMapPixel("Third", 101, 100), cityAtMapPixel("Fourth", 101, 101),
                          cityAtMapPixel("Alone", 200, 40)});
    for (CityRecord& city : tables.cities) {
        city.marked = true;
    }
    const QImage image =
        paintWith([&](OverlayCanvas& c) { drawMarkedCities(c, view, tables, nullptr, kNewYear); });
    // First: window (110, 120), label at (118, 128), its usual place.
    EXPECT_GT(countPixels(image, QRect(118, 128, 50, h), markedGreen), 20);
    // Second (usual place (120, 129)) moves below: (120, 129 + h).
    EXPECT_GT(countPixels(image, QRect(120, 129 + h, 50, h), markedGreen), 20) << "below";
    // Third (usual (119, 128)) finds below taken too and goes above its box:
    // bottom 4 pixels above the box's top at 118.
    EXPECT_GT(countPixels(image, QRect(119, 114 - h, 50, h), markedGreen), 20) << "above";
    // Fourth (usual (119, 129)): below, above taken; left of its box at x' = 109.
    EXPECT_GT(countPixels(image, QRect(40, 129, 65, h), markedGreen), 20) << "left";
    // Alone keeps its usual place (218, 68).
    EXPECT_GT(countPixels(image, QRect(218, 68, 50, h), markedGreen), 20);
    EXPECT_EQ(countPixels(image, QRect(150, 40, 50, 40), markedGreen), 0);
}

TEST(InfoText, ImageDateFromTheTimeStamp) {
    EXPECT_EQ(imageDateText("2023120615"), "Image Date: 06/12 3pm");
    EXPECT_EQ(imageDateText("202312060030"), "Image Date: 06/12 0am");
    EXPECT_EQ(imageDateText("2023120612"), "Image Date: 06/12 12pm");
    EXPECT_EQ(imageDateText("2023120611"), "Image Date: 06/12 11am");
    EXPECT_FALSE(imageDateText("20231206").has_value()) << "too short to hold the hour";
    EXPECT_FALSE(imageDateText("2023-12-06").has_value());
}

TEST(InfoText, ScaleAndDateAtTheBottomRight) {
    const MapView view = cornerView();
    bool opaqueAfter = false;
    const QImage image = paintWith([&](OverlayCanvas& c) {
        drawInfoText(c, view, std::string("Image Date: 06/12 3pm"));
        opaqueAfter = c.opaque();
    });
    const auto blue = [](QColor c) { return c.blue() > 120 && c.red() < 60 && c.green() < 60; };
    // Scale text from (right - 100, bottom - 20) = (210, 200); date from (65, 200).
    EXPECT_GT(countPixels(image, QRect(210, 200, 100, 14), blue), 20);
    EXPECT_GT(countPixels(image, QRect(65, 200, 140, 14), blue), 20);
    EXPECT_EQ(countPixels(image, QRect(0, 0, 340, 199), blue), 0);
    EXPECT_TRUE(opaqueAfter);
}

TEST(Separator, EtchedLineAboveThePane) {
    const PaneRect area{10, 20, 300, 200};
    const QImage image = paintWith([&](OverlayCanvas& c) { drawSeparator(c, area); });
    EXPECT_EQ(countColour(image, QRect(0, 18, 340, 1), QColor(240, 240, 240)), 304);
    EXPECT_EQ(pixel(image, 8, 18), QColor(240, 240, 240));
    EXPECT_EQ(pixel(image, 311, 18), QColor(240, 240, 240));
    EXPECT_EQ(countColour(image, QRect(0, 19, 340, 1), QColor(140, 140, 140)), 302);
    EXPECT_EQ(pixel(image, 9, 19), QColor(140, 140, 140));
    EXPECT_EQ(pixel(image, 10, 20), kBlack);
}

} // namespace
} // namespace chronvale
