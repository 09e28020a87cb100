#pragma once
// Where the earth goes in the wallpaper: for each monitor, which part of the
// whole-earth map (an equirectangular picture, 360° × 180°, so always 2 : 1) is
// drawn into which rectangle of that monitor's picture, and how the monitors'
// pictures are laid out for the desktop.
//
//   Fit   the whole earth in its own proportion, as large as the screen allows,
//         centred; dark bars where the screen's proportion is not 2 : 1
//   Fill  the screen covered: a screen wider than 2 : 1 loses the polar rows,
//         a narrower one the map's left and right edges
//
// The map is turned so that the centre longitude is in the middle of each picture.
// Desktops that take one picture for all monitors (GNOME, Cinnamon and MATE
// 'spanned', plain X11) get one image as large as the monitors' bounding box, each
// monitor's region holding its own whole picture; the others one picture each.

#include "render/wallpaper_screens.h"

#include <vector>

namespace chronvale {

enum class WallpaperPlacement { Fit, Fill };

// The longitudes the centre can be given by name; a marked city gives its own.
inline constexpr double kGreenwichLongitude = 0.0;
inline constexpr double kDateLineLongitude = 180.0;

struct PixelRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const PixelRect&) const = default;
};

// A part of the whole-earth map, in degrees: from longitude `west` eastwards over
// `lonSpan` (wrapping past 180° east to 180° west), from latitude `north`
// southwards over `latSpan`.
struct MapRegion {
    double west = -180.0;
    double lonSpan = 360.0;
    double north = 90.0;
    double latSpan = 180.0;
};

// One monitor's picture: its size, and the map region drawn into `earth` (the
// rest is dark).
struct EarthPlacement {
    int width = 0;
    int height = 0;
    PixelRect earth;
    MapRegion region;
};

// The earth in a width × height picture. Sizes must be positive.
EarthPlacement placeEarth(int width, int height, WallpaperPlacement placement,
                          double centreLongitude);

// What the user chose: placement, centre, and the optional cap on each picture's
// width (0: none; the monitors' own resolution).
struct WallpaperLook {
    WallpaperPlacement placement = WallpaperPlacement::Fit;
    double centreLongitude = kGreenwichLongitude;
    int widthCap = 0;
};

// A monitor's picture and where it lies in the image it is written in: its own
// file (at 0, 0) or the spanned image.
struct MonitorPicture {
    WallpaperScreen screen;
    PixelRect at;
    EarthPlacement earth; // in picture coordinates; add `at` for the image's
};

struct WallpaperLayout {
    bool spanned = false;
    // One image (spanned: the bounding box) or one per monitor, in screen order.
    std::vector<PixelRect> images;
    std::vector<MonitorPicture> pictures; // pictures[i] lies in images[spanned ? 0 : i]
};

// The size a monitor's picture is made at: its own, scaled down (keeping its
// proportion) when the cap is narrower.
PixelRect cappedSize(const WallpaperScreen& screen, int widthCap);

// The layout of the pictures for `screens` (at least one). For a spanned image the
// monitors keep their places relative to the bounding box's corner, all scaled by
// the cap's factor for the widest monitor.
WallpaperLayout layoutWallpaper(const std::vector<WallpaperScreen>& screens,
                                const WallpaperLook& look, bool spanned);

} // namespace chronvale
