#pragma once
// The lit map of any rectangle of the earth at any output size: the window's
// zoomed and high-density views, `--render --size` and the wallpaper compose with
// it from the 1024 x 512 images or the high-resolution ones.
//
// Every output pixel gets its own sun elevation and day/night blend, with the same
// arithmetic as the 1024 x 512 lit map, so the shadow's edge is as exact at any
// size. The day and night images and the cloud frame are sampled at the pixel's
// centre (nearest pixel when the output is no denser than the image, bilinear when
// it is); the time-zone image nearest. The whole map at 1024 x 512 from
// the 1024 x 512 images is the compositor's lit map bit for bit.

#include "render/display_switches.h"
#include "render/earth_image.h"

#include <ctime>

namespace chronvale {

// The images a composition reads. Each may be missing; any size of the earth's
// 2:1 plate carree, 24-bit.
struct EarthLayers {
    const EarthImage* day = nullptr;
    const EarthImage* night = nullptr;
    const EarthImage* timeZones = nullptr;
    const EarthImage* cloud = nullptr; // the current cloud frame
};

// A rectangle of the map in 1024 x 512 map pixels (fractions allowed): x from the
// date line at -180, y from the north pole.
struct MapArea {
    double x = 0.0;
    double y = 0.0;
    double width = 1024.0;
    double height = 512.0;
    bool operator==(const MapArea&) const = default;
};

struct LitAreaRequest {
    MapArea area;
    int width = 1024; // of the output
    int height = 512;
    std::time_t now = 0;
    DisplaySwitches switches; // only the composition's switches are read
};

// The standard layers with the day and night images of `detailed` put in where the
// output has more pixels per degree than the standard image and the detailed one
// is there (a layer missing from `detailed` keeps the standard one).
EarthLayers chooseLayers(const EarthLayers& standard, const EarthLayers& detailed,
                         const LitAreaRequest& request);
// Whether the output is denser than the 1024 x 512 map (a detailed image would show).
bool denserThanMap(const LitAreaRequest& request);

// The lit map of the request's area at its size, composed by the compositor's rules
// (the first that applies: clouds over the day map, clouds over the night map, the
// night map, the cloud frame, the time-zone tint, the day map) and shaded when Sun
// Shadow is on and the night map is not shown. With Clouds with Sun Shadow the
// night side keeps the clouds too: its lights are dimmed under thick cloud, and the
// shadow's blend leaves the clouds faint grey. None when no base image is there, the
// size is not positive or the image would be too large.
ImagePtr composeLitArea(const EarthLayers& layers, const LitAreaRequest& request);
// The same, written into the request's size at (left, top) of `target` (24-bit,
// large enough), without an image of its own (a wallpaper's monitor picture).
// False, and nothing written, when it cannot be composed.
bool composeLitAreaInto(const EarthLayers& layers, const LitAreaRequest& request,
                        EarthImage& target, int left, int top);
// Only the output rows [firstRow, endRow) of the same composition, written at
// (left, top + firstRow): the same bits as those rows of the whole, so that bands
// of one large picture can be composed at the same time.
bool composeLitAreaRowsInto(const EarthLayers& layers, const LitAreaRequest& request,
                            EarthImage& target, int left, int top, int firstRow, int endRow);

} // namespace chronvale
