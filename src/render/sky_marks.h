#pragma once
// What the sky overlays show for one instant, worked out once for every surface
// that draws them (the window's painter, the headless render, the wallpaper):
// where the sun and the moon stand overhead, how the moon is lit, and the
// twilight lines as paths on the map, broken where they leave one edge of the
// plate carrée and come back at the other.

#include "astro/moon_position.h"
#include "astro/sky_point.h"

#include <array>
#include <cstdint>
#include <ctime>
#include <optional>
#include <vector>

namespace chronvale {

struct SkyRgb {
    uint8_t red = 0, green = 0, blue = 0;
};

// One twilight line: where the sun stands `elevation` degrees (below 0), its colour
// and its dash pattern in pixels.
struct TwilightLineStyle {
    double elevation = 0.0;
    SkyRgb colour;
    int dashOn = 1;
    int dashOff = 1;
};

// Civil, nautical and astronomical, in that order.
extern const std::array<TwilightLineStyle, 3> kTwilightLines;

struct MoonMark {
    GroundPoint subLunar;
    double illuminatedFraction = 0.0;
    bool waxing = false;
};

struct SkyMarks {
    std::optional<GroundPoint> sun; // none outside 1950 ... 2050 or when not asked for
    std::optional<MoonMark> moon;
    // For each of kTwilightLines, its paths; empty when not asked for.
    std::array<std::vector<std::vector<GroundPoint>>, 3> twilight;
};

// The marks of an instant: the sun and moon when `sunMoon`, the twilight lines
// when `twilight` (and the sun's position is known).
SkyMarks skyMarksAt(std::time_t instant, bool sunMoon, bool twilight);

// Splits a closed ring of points where it crosses the 180th meridian, ending and
// starting the pieces on it, so that no segment runs across the whole map.
std::vector<std::vector<GroundPoint>> splitAtDateLine(const std::vector<GroundPoint>& ring);

// Whether the point (dx, dy) from the centre of a moon disc of the given radius
// (y down) lies on its lit part, as the moon is seen from the northern
// hemisphere: lit on the right while waxing, on the left while waning; the
// terminator is a half ellipse.
bool moonPixelLit(double dx, double dy, double radius, double fraction, bool waxing);

// The symbols' size and colours, shared by every surface.
inline constexpr int kSunSymbolRadius = 5;
inline constexpr int kMoonSymbolRadius = 6;
inline constexpr SkyRgb kSunFill{255, 220, 0};
inline constexpr SkyRgb kSunRim{230, 120, 0};
inline constexpr SkyRgb kMoonLit{240, 240, 225};
inline constexpr SkyRgb kMoonDark{55, 55, 70};
inline constexpr SkyRgb kMoonRim{150, 150, 150};

// The colour of each pixel of a symbol's square (side 2 r + 1 plus the sun's
// rays), or none where the map shows through. (x, y) from the top-left corner.
int sunSymbolSize();
std::optional<SkyRgb> sunSymbolPixel(int x, int y);
int moonSymbolSize();
std::optional<SkyRgb> moonSymbolPixel(int x, int y, const MoonMark& moon);

} // namespace chronvale
