#pragma once
// The names overlay's hover state, found without painting: the city under the
// pointer and the window rectangles that its marks and name label cover. The
// window keeps it, reads the hovered city from it and, when the pointer moves,
// invalidates the old and the new rectangles; the map painter draws from it.

#include "geo/city.h"
#include "render/hover_pick.h"
#include "render/map_view.h"

#include <QRect>
#include <QRegion>
#include <cstddef>
#include <optional>

class QPaintDevice;

namespace chronvale {

struct HoverState {
    std::optional<std::size_t> city; // index into the CityList
    // The pointer's neighbourhood with the dots near it, widened to the name
    // label; while All Cities is on only the label (empty when no city is hovered).
    QRect hoverRegion;
    QRect boxRegion; // the hovered city's box

    // Everything the hover's marks and label cover.
    QRegion region() const { return QRegion(hoverRegion).united(boxRegion); }
    bool operator==(const HoverState&) const = default;
};

// The hover for the pointer in the window's coordinates (those of mapArea) with
// City Names at `radius` (0: off, no hover). The label's width is measured in the
// overlay font on `device` (the screen's metrics when none).
HoverState findHover(const MapView& view, const CityList& cities, Point pointer, int radius,
                     bool allCities, const QPaintDevice* device = nullptr);

} // namespace chronvale
