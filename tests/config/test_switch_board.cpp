// The one place where the display switches change.

#include "config/switch_board.h"

#include <gtest/gtest.h>
#include <vector>

namespace chronvale {
namespace {

TEST(SwitchBoard, TellsItsListenersOfEveryChangeAndOfNothingElse) {
    DisplaySwitches stored;
    SwitchBoard board(stored);
    std::vector<DisplaySwitches> heard;
    int second = 0;
    board.listen([&](const DisplaySwitches& s) { heard.push_back(s); });
    board.listen([&](const DisplaySwitches&) { ++second; });

    DisplaySwitches next;
    next.grid = true;
    EXPECT_TRUE(board.set(next));
    EXPECT_TRUE(stored.grid); // the record the board was given holds the value
    ASSERT_EQ(heard.size(), 1u);
    EXPECT_EQ(heard[0], next);
    EXPECT_EQ(second, 1);

    // The same value again is no change.
    EXPECT_FALSE(board.set(next));
    EXPECT_FALSE(board.change([](DisplaySwitches& s) { s.grid = true; }));
    EXPECT_EQ(heard.size(), 1u);

    // A change of the names' radius alone is a change.
    EXPECT_TRUE(board.change([](DisplaySwitches& s) { s.cityNames = kNamesOn; }));
    ASSERT_EQ(heard.size(), 2u);
    EXPECT_EQ(heard[1].cityNames, kNamesOn);
    EXPECT_TRUE(heard[1].grid);

    board.clearListeners();
    EXPECT_TRUE(board.change([](DisplaySwitches& s) { s.grid = false; }));
    EXPECT_EQ(heard.size(), 2u);
    EXPECT_EQ(second, 2);
}

TEST(SwitchBoard, AListenerMayAddAnotherWhileBeingTold) {
    DisplaySwitches stored;
    SwitchBoard board(stored);
    int late = 0;
    board.listen([&](const DisplaySwitches&) {
        if (late == 0) {
            board.listen([&](const DisplaySwitches&) { ++late; });
        }
    });
    board.change([](DisplaySwitches& s) { s.clouds = true; });
    EXPECT_EQ(late, 1); // the one added is told of the same change
    board.change([](DisplaySwitches& s) { s.clouds = false; });
    EXPECT_EQ(late, 2);
}

} // namespace
} // namespace chronvale
