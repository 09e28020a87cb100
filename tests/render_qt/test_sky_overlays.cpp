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

} // namespace
} // namespace chronvale
