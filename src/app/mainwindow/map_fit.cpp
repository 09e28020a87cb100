#include "app/mainwindow/map_fit.h"

#include "render/map_view.h"

#include <algorithm>
#include <cstdint>

namespace chronvale {

int fittedMapRows(int paneWidth) {
    // The scale of MapView::fitToScreen, and the crop's test of each row.
    const float scale =
        std::max(static_cast<float>(paneWidth) / static_cast<float>(kMapWidth), kMinimumScale);
    const auto shown = [scale](int row) {
        return static_cast<int32_t>(static_cast<float>(row) / scale) < kMapHeight;
    };
    int rows = std::max(0, static_cast<int>(static_cast<float>(kMapHeight) * scale) - 2);
    while (shown(rows)) {
        ++rows;
    }
    return rows;
}

std::optional<WindowSize> windowSizeForMap(WindowSize window, WindowSize pane, int maxHeight,
                                           WindowSize minimum) {
    const int chromeWidth = window.width - pane.width;
    const int chromeHeight = window.height - pane.height + kPaneSeparatorRows;
    if (pane.width <= 0 || chromeWidth < 0 || chromeHeight < 0) {
        return std::nullopt;
    }
    int paneWidth = pane.width;
    if (chromeHeight + fittedMapRows(paneWidth) > maxHeight) {
        // Too high for the screen: as wide as the height left allows.
        paneWidth = std::min(paneWidth, 2 * (maxHeight - chromeHeight));
        while (paneWidth > 0 && chromeHeight + fittedMapRows(paneWidth) > maxHeight) {
            --paneWidth;
        }
    }
    const WindowSize fitted{chromeWidth + paneWidth, chromeHeight + fittedMapRows(paneWidth)};
    if (paneWidth <= 0 || fitted.width < minimum.width || fitted.height < minimum.height) {
        return std::nullopt;
    }
    return fitted;
}

} // namespace chronvale
