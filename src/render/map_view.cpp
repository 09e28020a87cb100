#include "render/map_view.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace chronvale {
namespace {

constexpr float kZoomStep = 0.1f;
constexpr float kBestDistanceStart = 9999.0f;
constexpr float kEquatorKm = 40075.16f;

int32_t truncToInt(float value) {
    return static_cast<int32_t>(value);
}

// The pan clamp of one axis: never before the map's start, and never so far that
// the map's end leaves a gap before the pane's end when the map is long enough.
int32_t clampDrag(int32_t pan, int32_t drag, int32_t mapLength, int32_t paneLength, float scale) {
    if (pan + drag < 0) {
        return -pan;
    }
    if (static_cast<float>(paneLength) > static_cast<float>(mapLength - pan - drag) * scale) {
        drag = truncToInt(
            (static_cast<float>(mapLength - pan) * scale - static_cast<float>(paneLength)) / scale);
        if (pan + drag < 0) {
            drag = -pan;
        }
    }
    return drag;
}

} // namespace

Point MapView::mapToPane(float longitude, float latitude) const {
    int32_t mx = truncToInt((longitude + 180.0f) / 360.0f * static_cast<float>(kMapWidth));
    int32_t my =
        kMapHeight - truncToInt((latitude + 90.0f) / 180.0f * static_cast<float>(kMapHeight));
    mx -= offX();
    my -= offY();
    return {truncToInt(static_cast<float>(mx) * scale), truncToInt(static_cast<float>(my) * scale)};
}

Point MapView::mapToScreen(float longitude, float latitude) const {
    const Point pane = mapToPane(longitude, latitude);
    return {mapArea.left + pane.x, mapArea.top + pane.y};
}

Point MapView::screenToSource(int32_t x, int32_t y) const {
    return {truncToInt(static_cast<float>(x) / scale) + offX(),
            truncToInt(static_cast<float>(y) / scale) + offY()};
}

LonLat MapView::screenToLonLat(int32_t x, int32_t y, int32_t mapWidth, int32_t mapHeight) const {
    const Point source = screenToSource(x, y);
    LonLat result;
    result.longitude =
        static_cast<float>(source.x) * 360.0f / static_cast<float>(mapWidth) - 180.0f;
    result.latitude = 90.0f - static_cast<float>(source.y) * 180.0f / static_cast<float>(mapHeight);
    result.longitude = std::clamp(result.longitude, -180.0f, 180.0f);
    result.latitude = std::clamp(result.latitude, -90.0f, 90.0f);
    return result;
}

std::optional<CityHit> MapView::nearestCity(const CityList& cities, int32_t x, int32_t y) const {
    std::optional<CityHit> best;
    float bestDistance = kBestDistanceStart;
    for (std::size_t i = 0; i < cities.size(); ++i) {
        const Point p = mapToPane(cities[i].longitude, cities[i].latitude);
        const float dx = static_cast<float>(x - p.x);
        const float dy = static_cast<float>(y - p.y);
        const float d = std::sqrt(dx * dx + dy * dy);
        if (d < bestDistance) {
            bestDistance = d;
            best = CityHit{i, truncToInt(d)};
        }
    }
    return best;
}

float MapView::kmPerPixel() const {
    return kEquatorKm / (static_cast<float>(kMapWidth) * scale);
}

void MapView::zoomIn() {
    zoomAbout(Point{mapArea.width / 2, mapArea.height / 2}, scale + kZoomStep);
}

void MapView::zoomOut() {
    zoomAbout(Point{mapArea.width / 2, mapArea.height / 2}, scale - kZoomStep);
}

void MapView::zoomAbout(Point anchor, float newScale) {
    panX += dragX;
    panY += dragY;
    dragX = dragY = 0;
    const float oldScale = scale;
    scale = std::max(newScale, kMinimumScale);
    // The map point under the anchor, with its fraction, before and after.
    const auto axis = [this, oldScale](int32_t pan, int32_t at, int32_t mapLength,
                                       int32_t paneLength) {
        const float point = static_cast<float>(pan) + static_cast<float>(at) / oldScale;
        int32_t moved = static_cast<int32_t>(std::lround(point - static_cast<float>(at) / scale));
        const float visible = static_cast<float>(paneLength) / scale;
        const int32_t farthest =
            std::max(0, static_cast<int32_t>(std::floor(static_cast<float>(mapLength) - visible)));
        return std::clamp(moved, 0, std::min(farthest, mapLength - 1));
    };
    panX = axis(panX, anchor.x, kMapWidth, mapArea.width);
    panY = axis(panY, anchor.y, kMapHeight, mapArea.height);
}

void MapView::zoomWheel(Point anchor, int wheelDelta) {
    constexpr int kNotch = 120;
    const float steps = static_cast<float>(wheelDelta) / static_cast<float>(kNotch);
    zoomAbout(anchor, scale + steps * kZoomStep);
}

void MapView::actualPixels() {
    userZoomed = true;
    scale = zoomStartScale = 1.0f;
    panX = panY = dragX = dragY = 0;
}

void MapView::fitToScreen() {
    panX = panY = dragX = dragY = 0;
    // A pane narrower than a fifth of the map (or collapsed to nothing) would give
    // a scale below the minimum, or zero; keep the minimum instead.
    scale =
        std::max(static_cast<float>(mapArea.width) / static_cast<float>(kMapWidth), kMinimumScale);
    zoomStartScale = scale;
    userZoomed = false;
}

bool MapView::ensureFill(float proposedScale) {
    const float before = scale;
    const int32_t mapRight = truncToInt(static_cast<float>(kMapWidth) * proposedScale);
    const int32_t reached =
        truncToInt(static_cast<float>(mapRight) - proposedScale * static_cast<float>(offX()));
    if (reached < mapArea.width && offX() < kMapWidth) {
        scale = static_cast<float>(mapArea.width) / static_cast<float>(kMapWidth - offX());
    }
    if (scale < kMinimumScale) {
        scale = kMinimumScale;
    }
    return scale > before;
}

void MapView::restore(int32_t cx, int32_t cy, float zoom) {
    panX = std::clamp(cx, 0, kMapWidth - 1);
    panY = std::clamp(cy, 0, kMapHeight - 1);
    dragX = dragY = 0;
    scale = std::isfinite(zoom) ? std::max(zoom, kMinimumScale) : 1.0f;
    zoomStartScale = scale;
}

void MapView::beginPan(Point cursor) {
    dragX = dragY = 0;
    dragStart_ = cursor;
    panning_ = true;
}

bool MapView::movePan(Point cursor) {
    if (!panning_) {
        return false;
    }
    const int32_t oldX = dragX;
    const int32_t oldY = dragY;
    dragY = clampDrag(panY, dragStart_.y - cursor.y, kMapHeight, mapArea.height, scale);
    dragX = clampDrag(panX, dragStart_.x - cursor.x, kMapWidth, mapArea.width, scale);
    return dragX != oldX || dragY != oldY;
}

void MapView::endPan() {
    if (!panning_) {
        return;
    }
    panX += dragX;
    panY += dragY;
    dragX = dragY = 0;
    panning_ = false;
}

void MapView::beginZoomDrag(Point cursor) {
    dragStart_ = cursor;
    zoomStartScale = scale;
    zooming_ = true;
    zoomChanges_ = 0;
}

void MapView::moveZoomDrag(Point cursor) {
    if (!zooming_) {
        return;
    }
    const float proposed = zoomStartScale + static_cast<float>(cursor.x - dragStart_.x) / 200.0f;
    if (proposed != scale) {
        ++zoomChanges_;
    }
    scale = proposed;
    ensureFill(proposed);
    userZoomed = true;
}

bool MapView::endZoomDrag(Point cursor) {
    if (!zooming_) {
        return false;
    }
    zoomStartScale = scale;
    zooming_ = false;
    const double dx = cursor.x - dragStart_.x;
    const double dy = cursor.y - dragStart_.y;
    const int moved = static_cast<int>(std::sqrt(dx * dx + dy * dy));
    return zoomChanges_ < 2 && moved < 8;
}

void MapView::renderView(const EarthImage& litMap) {
    const int32_t w = mapArea.width;
    const int32_t h = mapArea.height;
    viewImage = createImage(w, h, 24, 256);
    rowsFilled = 0;
    colsFilled = 0;
    if (!viewImage) {
        return;
    }
    const int32_t sourceWidth = litMap.width();
    const int32_t sourceHeight = litMap.height();
    int32_t previousSourceRow = -1;
    rowsFilled = h;
    for (int32_t j = 0; j < h; ++j) {
        const int32_t sy = truncToInt(static_cast<float>(j) / scale) + offY();
        if (sy >= sourceHeight || sy < 0) {
            rowsFilled = j;
            break;
        }
        uint8_t* out = viewImage->row(j);
        if (sy == previousSourceRow) {
            std::memcpy(out, viewImage->row(j - 1), static_cast<size_t>(w) * 3);
            continue;
        }
        previousSourceRow = sy;
        const uint8_t* in = litMap.row(sy);
        int32_t i = 0;
        for (; i < w; ++i) {
            const int32_t sx = truncToInt(static_cast<float>(i) / scale) + offX();
            if (sx >= sourceWidth || sx < 0) {
                break;
            }
            std::memcpy(out + static_cast<size_t>(i) * 3, in + static_cast<size_t>(sx) * 3, 3);
        }
        colsFilled = i;
    }
}

bool MapView::updateView(const EarthImage& litMap) {
    const RenderKey key{mapArea, scale, offX(), offY()};
    if (viewImage && !dirty && renderKey && *renderKey == key) {
        return false;
    }
    renderView(litMap);
    renderKey = key;
    dirty = false;
    return true;
}

void MapView::releaseView() {
    viewImage.reset();
    renderKey.reset();
}

} // namespace chronvale
