// The sky overlays drawn into an image of the whole earth: the twilight lines where
// the sun stands 6, 12 and 18 degrees below the horizon, the sun and the moon.

#include "astro/sun_point.h"
#include "render/earth_image.h"
#include "render/render_command.h"
#include "render/sky_drawing.h"
#include "render/sky_marks.h"

#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>

namespace chronvale {
namespace {

bool hasColour(const EarthImage& image, int x, int y, SkyRgb c) {
    if (x < 0 || y < 0 || x >= image.width() || y >= image.height()) {
        return false;
    }
    const uint8_t* p = image.row(y) + x * 3;
    return p[0] == c.blue && p[1] == c.green && p[2] == c.red;
}

// Whether a pixel of the colour lies within `reach` pixels of (x, y).
bool colourNear(const EarthImage& image, int x, int y, SkyRgb c, int reach) {
    for (int dy = -reach; dy <= reach; ++dy) {
        for (int dx = -reach; dx <= reach; ++dx) {
            if (hasColour(image, x + dx, y + dy, c)) {
                return true;
            }
        }
    }
    return false;
}

int mapX(double longitude) {
    return static_cast<int>((longitude + 180.0) / 360.0 * 1024.0);
}

// At the March equinox of 2027 (USNO: 20 March 20:25 UT) the sun is over the
// equator, so on the equator each twilight line lies its depression beyond the
// terminator: 96, 102 and 108 degrees east and west of the sub-solar point.
TEST(SkyDrawing, TwilightLinesCrossTheEquatorTheirDepthBeyondTheTerminator) {
    const std::time_t equinox = *parseUtcTime("2027-03-20T20:25:00Z");
    const double sunLon = subSolarPoint(equinox)->point.longitude;
    ImagePtr image = createImage(1024, 512, 24, 0);
    drawSkyMarks(*image, skyMarksAt(equinox, false, true));
    for (const TwilightLineStyle& line : kTwilightLines) {
        const double beyond = 90.0 - line.elevation;
        for (double side : {-1.0, 1.0}) {
            const int x = mapX(wrapLongitude(sunLon + side * beyond));
            EXPECT_TRUE(colourNear(*image, x, 256, line.colour, 2))
                << line.elevation << " at " << side * beyond;
            // Not where the terminator itself is.
            const int terminator = mapX(wrapLongitude(sunLon + side * 90.0));
            EXPECT_FALSE(colourNear(*image, terminator, 256, line.colour, 2)) << line.elevation;
        }
    }
    // The lines are dashed: along the civil line's crossing, rows with no pixel of it.
    const int civilX = mapX(wrapLongitude(sunLon + 96.0));
    int gaps = 0;
    for (int y = 200; y < 312; ++y) {
        if (!colourNear(*image, civilX, y, kTwilightLines[0].colour, 1)) {
            ++gaps;
        }
    }
    EXPECT_GT(gaps, 10);
}

TEST(SkyDrawing, SymbolsSitOverTheSubSolarAndSubLunarPoints) {
    const std::time_t t = *parseUtcTime("2027-03-20T12:00:00Z");
    const SkyMarks marks = skyMarksAt(t, true, false);
    ASSERT_TRUE(marks.sun && marks.moon);
    for (const auto& lines : marks.twilight) {
        EXPECT_TRUE(lines.empty());
    }
    ImagePtr image = createImage(1024, 512, 24, 0);
    drawSkyMarks(*image, marks);
    const int sx = mapX(marks.sun->longitude);
    const int sy = static_cast<int>((90.0 - marks.sun->latitude) / 180.0 * 512.0);
    EXPECT_TRUE(hasColour(*image, sx, sy, kSunFill));
    const int mx = mapX(marks.moon->subLunar.longitude);
    const int my = static_cast<int>((90.0 - marks.moon->subLunar.latitude) / 180.0 * 512.0);
    // Two days before full: mostly lit, the dark sliver on the left (waxing).
    EXPECT_TRUE(marks.moon->waxing);
    EXPECT_TRUE(hasColour(*image, mx + 3, my, kMoonLit));
    EXPECT_TRUE(hasColour(*image, mx - 5, my, kMoonDark));
}

TEST(SkyMarks, MoonPhaseShapes) {
    // New: nothing lit; full: everything; half: the right half while waxing, the
    // left half while waning.
    EXPECT_FALSE(moonPixelLit(3, 0, 5, 0.0, true));
    EXPECT_TRUE(moonPixelLit(-4, 1, 5, 1.0, true));
    EXPECT_TRUE(moonPixelLit(2, 0, 5, 0.5, true));
    EXPECT_FALSE(moonPixelLit(-2, 0, 5, 0.5, true));
    EXPECT_TRUE(moonPixelLit(-2, 0, 5, 0.5, false));
    EXPECT_FALSE(moonPixelLit(2, 0, 5, 0.5, false));
    EXPECT_FALSE(moonPixelLit(6, 0, 5, 1.0, true)) << "outside the disc";
}

TEST(SkyMarks, RingsAreSplitOnTheDateLine) {
    const std::vector<GroundPoint> ring = {{0, 170}, {10, -170}, {20, -160}, {10, 160}};
    const auto paths = splitAtDateLine(ring);
    ASSERT_EQ(paths.size(), 2u);
    for (const auto& path : paths) {
        for (size_t i = 1; i < path.size(); ++i) {
            EXPECT_LE(std::fabs(path[i].longitude - path[i - 1].longitude), 180.0);
        }
    }
    // Each piece starts and ends on the edge, at the latitude between the points
    // on either side of it.
    EXPECT_DOUBLE_EQ(std::fabs(paths[0].back().longitude), 180.0);
    EXPECT_DOUBLE_EQ(paths[0].back().latitude, 15.0);
    EXPECT_DOUBLE_EQ(paths[1].front().latitude, 15.0);
    EXPECT_EQ(paths[0].back().longitude, -paths[1].front().longitude);
    EXPECT_DOUBLE_EQ(paths[0].front().latitude, 5.0);
    EXPECT_DOUBLE_EQ(paths[1].back().latitude, 5.0);
    EXPECT_EQ(paths[1].back().longitude, -paths[0].front().longitude);
    // A ring that stays off the date line comes back closed.
    const auto closed = splitAtDateLine({{0, 0}, {10, 10}, {0, 20}});
    ASSERT_EQ(closed.size(), 1u);
    EXPECT_EQ(closed[0].size(), 4u);
    // Outside 1950 ... 2050 there is nothing to draw.
    const SkyMarks none = skyMarksAt(*parseUtcTime("2051-01-01T00:00Z"), true, true);
    EXPECT_FALSE(none.sun || none.moon);
}

} // namespace
} // namespace chronvale
