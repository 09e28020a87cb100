#pragma once
// Runs the built chronvale executable as a user does, without any display.

#include <string>
#include <vector>

namespace chronvale::test {

struct Outcome {
    int exitCode = -1;
    std::string output; // standard output
    std::string errors; // standard error
};

// Runs the executable with the arguments, without DISPLAY, WAYLAND_DISPLAY or
// QT_QPA_PLATFORM, and collects its standard output and error.
// `environment` entries ("NAME=value") are added after that.
Outcome runChronvale(const std::vector<std::string>& args,
                     const std::vector<std::string>& environment = {});

} // namespace chronvale::test
