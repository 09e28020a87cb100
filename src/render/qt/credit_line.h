#pragma once
// The lines drawn on the map about the cloud frame shown: the credit its source
// asks for, in the lower left corner of the map while clouds are shown, and the
// frame's time and age beside the info text.

#include <QString>

namespace chronvale {

class OverlayCanvas;
struct MapView;

// The credit, on a dark plate in the lower left corner of the map (or of the
// pane, when the map ends above it); `mapBottom` is the last row the map fills.
void drawCreditLine(OverlayCanvas& canvas, const MapView& view, int mapBottom,
                    const QString& credit);

// "14:00 UTC, 3 h ago", one line above the info text's image date.
void drawFrameAge(OverlayCanvas& canvas, const MapView& view, const QString& age);

} // namespace chronvale
