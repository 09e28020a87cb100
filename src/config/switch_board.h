#pragma once
// Where the display switches change: every change goes through set(), which
// tells the listeners (the menus' check marks, the toolbar) when the value is
// different from before.

#include "render/display_switches.h"

#include <functional>
#include <vector>

namespace chronvale {

class SwitchBoard {
public:
    using Listener = std::function<void(const DisplaySwitches& switches)>;

    // The switches live in `value` (the settings' record), which must outlive the
    // board.
    explicit SwitchBoard(DisplaySwitches& value) : value_(value) {}
    SwitchBoard(const SwitchBoard&) = delete;
    SwitchBoard& operator=(const SwitchBoard&) = delete;

    const DisplaySwitches& switches() const { return value_; }

    // Stores `next`; when it differs from the value before, every listener is
    // called with it, in the order they were added. Returns whether it differed.
    bool set(const DisplaySwitches& next);
    // Changes the switches through `change` (as set() with the changed copy).
    bool change(const std::function<void(DisplaySwitches&)>& change);

    // Adds a listener; it stays until clearListeners().
    void listen(Listener listener) { listeners_.push_back(std::move(listener)); }
    void clearListeners() { listeners_.clear(); }

private:
    DisplaySwitches& value_;
    std::vector<Listener> listeners_;
};

} // namespace chronvale
