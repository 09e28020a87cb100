#pragma once
// The map view: the plate carree projection between longitude/latitude and map
// pixels, the zoom and pan that choose which part of the 1024 x 512 map fills the
// map pane, and the crop of the lit map into the view image that the window paints.
//
// Map pixel (0, 0) is the north-west corner (longitude -180, latitude +90); x grows
// eastward, y southward. The view holds no window: the controller passes cursor
// positions and the pane rectangle, and repaints when an operation says so.

#include "geo/city.h"
#include "render/earth_image.h"

#include <cstddef>
#include <cstdint>
#include <optional>

namespace chronvale {

inline constexpr int kMapWidth = 1024;
inline constexpr int kMapHeight = 512;
inline constexpr float kMinimumScale = 0.2f;

struct Point {
    int32_t x = 0;
    int32_t y = 0;
    bool operator==(const Point&) const = default;
};

// The map pane in the main window's client coordinates.
struct PaneRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t width = 0;
    int32_t height = 0;
    bool operator==(const PaneRect&) const = default;
};

struct LonLat {
    float longitude = 0.0f;
    float latitude = 0.0f;
};

// The values a view image was cropped for: when they still hold, the crop is kept.
struct RenderKey {
    PaneRect mapArea;
    float scale = 0.0f;
    int32_t offX = 0;
    int32_t offY = 0;
    bool operator==(const RenderKey&) const = default;
};

struct CityHit {
    std::size_t index = 0; // position in the CityList
    int32_t distance = 0;  // pane pixels, truncated
};

class MapView {
public:
    float scale = 1.0f; // screen pixels per map pixel, never below kMinimumScale
    int32_t panX = 0;   // map pixel at the pane's top-left (persisted as cx, cy)
    int32_t panY = 0;
    int32_t dragX = 0; // extra offset while a pan drag is in progress
    int32_t dragY = 0;
    float zoomStartScale = 1.0f; // the scale a zoom drag measures from
    bool userZoomed = false;     // while clear, every resize fits the map again
    PaneRect mapArea;
    ImagePtr viewImage; // the crop of the lit map, exactly the pane's size
    int32_t rowsFilled = 0;
    int32_t colsFilled = 0;
    std::optional<RenderKey> renderKey;
    bool dirty = false;        // the lit map changed: crop again
    bool overlaysOnly = false; // the next paint draws only the second overlay group

    int32_t offX() const { return panX + dragX; }
    int32_t offY() const { return panY + dragY; }

    // Projection to pane coordinates (relative to the pane's top-left) and to the
    // main window's client coordinates.
    Point mapToPane(float longitude, float latitude) const;
    Point mapToScreen(float longitude, float latitude) const;

    // The source pixel of the lit map under pane position (x, y).
    Point screenToSource(int32_t x, int32_t y) const;
    // Longitude and latitude under pane position (x, y) for a lit map of the given
    // size, clamped to [-180, 180] and [-90, 90].
    LonLat screenToLonLat(int32_t x, int32_t y, int32_t mapWidth = kMapWidth,
                          int32_t mapHeight = kMapHeight) const;
    // The first city nearest to pane position (x, y), none when the list is empty or
    // every city lies 9999 pixels or more away.
    std::optional<CityHit> nearestCity(const CityList& cities, int32_t x, int32_t y) const;
    // Kilometres of the equator per screen pixel.
    float kmPerPixel() const;

    // One zoom step in or out about the pane's centre.
    void zoomIn();
    void zoomOut();
    // Sets the scale (never below the minimum) so that the map point under pane
    // position `anchor` stays under it, as far as the pan allows: the pan stays
    // within the map and leaves no gap at the map's far end when the map is
    // longer than the pane. Ends a drag's offset first.
    void zoomAbout(Point anchor, float newScale);
    // The zoom steps of `wheelDelta` eighths of a degree (120 a notch), in or out
    // about `anchor`.
    void zoomWheel(Point anchor, int wheelDelta);
    void actualPixels();
    void fitToScreen();
    // Raises the scale so that the map's right edge reaches the pane's right edge;
    // true when it did.
    bool ensureFill(float proposedScale);
    // Takes stored pan and zoom values, bringing them into range.
    void restore(int32_t cx, int32_t cy, float zoom);

    // Left-button drag. movePan returns whether the drag offset changed (repaint).
    void beginPan(Point cursor);
    bool movePan(Point cursor);
    void endPan();
    bool panning() const { return panning_; }

    // Right-button drag: moving right zooms in. endZoomDrag returns true when the
    // gesture was a click (fewer than 2 scale changes, under 8 pixels of movement):
    // the controller then opens the map's context menu.
    void beginZoomDrag(Point cursor);
    void moveZoomDrag(Point cursor);
    bool endZoomDrag(Point cursor);
    bool zooming() const { return zooming_; }

    // Crops the lit map into a new pane-sized view image (nearest pixel, black where
    // the map ends) and records rowsFilled and colsFilled.
    void renderView(const EarthImage& litMap);
    // Crops again only when the pane, the scale, the offsets or the lit map changed
    // since the last crop; stores the render key and clears dirty. Returns whether
    // it cropped.
    bool updateView(const EarthImage& litMap);
    // Frees the view image (the window was minimised); the next update crops again.
    void releaseView();

private:
    Point dragStart_;
    bool panning_ = false;
    bool zooming_ = false;
    int zoomChanges_ = 0;
};

} // namespace chronvale
