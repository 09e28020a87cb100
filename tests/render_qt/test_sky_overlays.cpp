// The sky overlays on the pane: the twilight lines follow pan and zoom, the
// symbols sit at their points, and nothing is drawn while the switches are off.

#include "astro/sun_point.h"
#include "render/qt/map_painter.h"
#include "render/qt/sky_overlays.h"
#include "render_qt_test_support.h"

#include <QPainter>
#include <gtest/gtest.h>

namespace chronvale {
namespace {

using test::countColour;
using test::countPixels;
using test::pixel;

// The March equinox of 2027 (USNO: 20 March 20:25 UT): the sun over the equator.
constexpr std::time_t kEquinox = 1805574300;

QColor colourOf(SkyRgb c) {
    return QColor(c.red, c.green, c.blue);
}

class SkyOverlaysTest : public ::testing::Test {
protected:
    SkyOverlaysTest() : litMap(test::coordinateMap()), marks(skyMarksAt(kEquinox, true, true)) {
        view.mapArea = PaneRect{0, 2, 1024, 512};
        inputs.litMap = litMap.get();
        inputs.now = kEquinox;
        inputs.sky = &marks;
    }

    void paint() {
        image = test::blankCanvas(1024, 516, QColor(1, 2, 3));
        QPainter painter(&image);
        MapPainter mapPainter;
        mapPainter.paintMap(painter, view, inputs);
    }

    // Pixels of the colour within `reach` of window point (x, y).
    int near(int x, int y, QColor colour, int reach) const {
        return countPixels(image, QRect(x - reach, y - reach, 2 * reach + 1, 2 * reach + 1),
                           [colour](QColor c) { return c == colour; });
    }

    ImagePtr litMap;
    SkyMarks marks;
    MapView view;
    MapPaintInputs inputs;
    QImage image;
};

TEST_F(SkyOverlaysTest, CivilLineCrossesTheEquatorSixDegreesBeyondTheTerminator) {
    inputs.switches.twilight = true;
    paint();
    const double sunLon = subSolarPoint(kEquinox)->point.longitude;
    const QColor civil = colourOf(kTwilightLines[0].colour);
    const int x = static_cast<int>((wrapLongitude(sunLon + 96.0) + 180.0) / 360.0 * 1024.0);
    const int terminator =
        static_cast<int>((wrapLongitude(sunLon + 90.0) + 180.0) / 360.0 * 1024.0);
    EXPECT_GT(near(x, 2 + 256, civil, 3), 0);
    EXPECT_EQ(near(terminator, 2 + 256, civil, 3), 0);

    // At scale 2, panned by (100, 50), the same point of the earth moves with the map.
    view.scale = 2.0f;
    view.panX = 100;
    view.panY = 50;
    paint();
    const int zoomedX = (x - 100) * 2;
    if (zoomedX >= 4 && zoomedX < 1020) {
        EXPECT_GT(near(zoomedX, 2 + (256 - 50) * 2, civil, 4), 0);
    }
}

TEST_F(SkyOverlaysTest, SymbolsAtTheirPointsAndNothingWhileOff) {
    paint();
    const QColor sun = colourOf(kSunFill);
    EXPECT_EQ(countPixels(image, image.rect(), [sun](QColor c) { return c == sun; }), 0);

    inputs.switches.sunMoon = true;
    paint();
    const Point p = view.mapToScreen(static_cast<float>(marks.sun->longitude),
                                     static_cast<float>(marks.sun->latitude));
    EXPECT_EQ(pixel(image, p.x, p.y), sun);
    const Point m = view.mapToScreen(static_cast<float>(marks.moon->subLunar.longitude),
                                     static_cast<float>(marks.moon->subLunar.latitude));
    const QColor lit = colourOf(kMoonLit);
    const QColor dark = colourOf(kMoonDark);
    const int moonPixels =
        near(m.x, m.y, lit, kMoonSymbolRadius) + near(m.x, m.y, dark, kMoonSymbolRadius);
    EXPECT_GT(moonPixels, 60);
}

// With the grid on, the legend in the bottom-left corner leaves the parallels'
// labels at the pane's left edge and the meridians' labels at its bottom readable.
TEST_F(SkyOverlaysTest, TheLegendCoversNoGridLabel) {
    // A grey map, so that only the labels are green.
    const ImagePtr grey = test::plainMap(QColor(90, 90, 90));
    inputs.litMap = grey.get();
    inputs.switches.grid = true;
    paint();
    const QImage gridOnly = image;
    inputs.switches.twilight = true;
    paint();
    const auto label = [](QColor c) { return test::nearColour(c, QColor(0, 200, 0), 40); };
    int labelPixels = 0;
    int covered = 0;
    for (int y = 2 + 256; y < gridOnly.height(); ++y) {
        for (int x = 0; x < 300; ++x) {
            if (label(pixel(gridOnly, x, y))) {
                ++labelPixels;
                covered += pixel(image, x, y) == QColor(0, 0, 0) ? 1 : 0;
            }
        }
    }
    ASSERT_GT(labelPixels, 100) << "the labels are there";
    EXPECT_EQ(covered, 0);
    EXPECT_GT(countColour(image, QRect(0, 2 + 256, 300, 258), QColor(0, 0, 0)),
              countColour(gridOnly, QRect(0, 2 + 256, 300, 258), QColor(0, 0, 0)) + 500)
        << "the legend's plate is drawn";
}

} // namespace
} // namespace chronvale
