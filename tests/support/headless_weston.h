#pragma once
// A Wayland compositor for one test program: weston with its headless back end,
// in a runtime folder of its own, so that a window really runs under Wayland
// with nothing on any screen. Started without Qt (a test may make its
// QApplication on Wayland afterwards); stopped with the object.

#include <string>
#include <vector>

namespace chronvale::test {

class HeadlessWeston {
public:
    // Starts weston and waits (bounded) until its socket is there; running() is
    // false when weston is missing or did not come up. `outputOptions` go to the
    // headless back end ("--width=1200", "--scale=2").
    explicit HeadlessWeston(const std::vector<std::string>& outputOptions = {});
    ~HeadlessWeston();
    HeadlessWeston(const HeadlessWeston&) = delete;
    HeadlessWeston& operator=(const HeadlessWeston&) = delete;

    bool running() const { return pid_ > 0; }
    // XDG_RUNTIME_DIR and WAYLAND_DISPLAY of a client.
    const std::string& runtimeFolder() const { return runtime_; }
    const std::string& display() const { return display_; }
    // What weston wrote (for a failure's message).
    std::string log() const;

private:
    int pid_ = 0;
    std::string runtime_;
    std::string display_ = "chronvale-test-wayland";
};

} // namespace chronvale::test
