#pragma once
// The sky overlays of the map pane, placed with the view's projection so that they
// follow pan and zoom: the twilight lines as thin dashed curves with a small
// legend, then the moon (drawn with its phase) and the sun where they stand
// overhead. The symbols keep their size at every zoom, like the cities' dots.

#include "render/map_view.h"
#include "render/qt/overlay_canvas.h"
#include "render/sky_marks.h"

#include <QImage>
#include <array>
#include <string>

namespace chronvale {

// The three lines of the marks; the legend in the pane's bottom-left corner names
// them with `legend` (civil, nautical, astronomical), above the meridians' labels
// (or where they would be) and, with the grid on, right of the parallels' labels;
// or in the black band below the map (which ends at limitBottom) when that has
// room. Nothing when there are none.
void drawTwilightLines(OverlayCanvas& canvas, const MapView& view, const SkyMarks& marks,
                       const std::array<std::string, 3>& legend, int limitBottom, bool gridOn);

// The moon's and the sun's symbols at their points.
void drawSunAndMoon(OverlayCanvas& canvas, const MapView& view, const SkyMarks& marks);

// The symbols as pictures, transparent around them.
QImage sunPicture();
QImage moonPicture(const MoonMark& moon);

} // namespace chronvale
