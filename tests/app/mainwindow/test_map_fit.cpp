// The window's size that leaves no band below the fitted map.
#include "app/mainwindow/map_fit.h"

#include <gtest/gtest.h>

namespace chronvale {
namespace {

struct RowsCase {
    int paneWidth;
    int rows;
};

TEST(MapFit, FittedMapRowsFollowTheCrop) {
    const RowsCase cases[] = {
        {1024, 512},                            // scale 1
        {2048, 1024}, {1000, 500}, {1023, 512}, // pane row 511 still shows map row 511
        {320, 160},   {100, 103}, // below the smallest scale 0.2 the map is wider than the pane
    };
    for (const RowsCase& c : cases) {
        EXPECT_EQ(fittedMapRows(c.paneWidth), c.rows) << c.paneWidth;
    }
}

struct SizeCase {
    const char* what;
    WindowSize window;
    WindowSize pane;
    int maxHeight;
    std::optional<WindowSize> fitted;
};

TEST(MapFit, WindowSizeForMapLeavesNoBand) {
    const WindowSize minimum{320, 250};
    // The window of the first start: a 54-row band below the map (72 rows of menu
    // bar, toolbar and status bar, 2 of separator).
    const SizeCase cases[] = {
        {"first start", {1024, 640}, {1024, 568}, 2000, WindowSize{1024, 586}},
        {"already fitted", {1024, 586}, {1024, 514}, 2000, WindowSize{1024, 586}},
        {"pane too low", {1024, 500}, {1024, 428}, 2000, WindowSize{1024, 586}},
        {"wide window", {2000, 1100}, {2000, 1028}, 2000, WindowSize{2000, 1074}},
        {"screen too low: narrower", {1024, 640}, {1024, 568}, 400, WindowSize{652, 400}},
        {"below the minimum", {1024, 640}, {1024, 568}, 200, std::nullopt},
        {"no pane", {1024, 640}, {0, 0}, 2000, std::nullopt},
    };
    for (const SizeCase& c : cases) {
        EXPECT_EQ(windowSizeForMap(c.window, c.pane, c.maxHeight, minimum), c.fitted) << c.what;
        if (c.fitted) {
            // The pane then holds the separator and the map's rows, nothing more.
            const int paneWidth = c.fitted->width - (c.window.width - c.pane.width);
            const int paneHeight = c.fitted->height - (c.window.height - c.pane.height);
            EXPECT_EQ(paneHeight, kPaneSeparatorRows + fittedMapRows(paneWidth)) << c.what;
            EXPECT_LE(c.fitted->height, c.maxHeight) << c.what;
        }
    }
}

} // namespace
} // namespace chronvale
