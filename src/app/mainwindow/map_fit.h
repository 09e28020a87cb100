#pragma once
// The window's size that shows the whole map from edge to edge: the pane as wide as
// it is, as high as the map that Fit to Screen puts in it, so that the map's bottom
// edge meets the status bar and no black band is left below it. Plain arithmetic
// over sizes, so that it is tested without a window.

#include <optional>

namespace chronvale {

// The pane's first rows hold the etched separator below the toolbar.
inline constexpr int kPaneSeparatorRows = 2;

struct WindowSize {
    int width = 0;
    int height = 0;
    bool operator==(const WindowSize&) const = default;
};

// The pane rows the map fills at the scale Fit to Screen gives a pane this wide
// (pane row j shows map row trunc(j / scale), as the crop takes it).
int fittedMapRows(int paneWidth);

// The window's inner size for a map that fills its pane: the window and its pane as
// they are now, the largest inner height the screen leaves and the window's minimum.
// Where the pane's width would make the window too high, the pane is narrowed until
// it fits. None when no such size keeps the minimum.
std::optional<WindowSize> windowSizeForMap(WindowSize window, WindowSize pane, int maxHeight,
                                           WindowSize minimum);

} // namespace chronvale
