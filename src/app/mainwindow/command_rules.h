#pragma once
// What a display switch command does: the switches it changes, by the rules that
// keep them consistent, and the work the window does afterwards. Pure, so that
// the rules can be checked without a window.
//
// The rules: day and night exclude each other; time zones turn night and clouds
// off; clouds turned on turn the shadow off; the names switch is 0 or 40 (the
// highlight radius in map pixels, kNamesOn).

#include "render/display_switches.h"

#include <cstdint>

namespace chronvale {

// Whether the switch of a switch command is on (check mark, pressed button);
// false for other commands.
bool isSwitchOn(const DisplaySwitches& switches, int command);

// What the window knows that some rules depend on.
struct CommandContext {
    bool newestFrameCached = false; // cloud frame 0 has a cached image file
    bool quakesLoaded = false;      // the earthquake list has been downloaded
    bool animationRunning = false;
};

// The work after a switch command, done in the order of the bits.
enum CommandEffect : std::uint32_t {
    EffectNone = 0,
    EffectStopAnimation = 1u << 0,   // stop the animation timer
    EffectRebuild = 1u << 1,         // compose the lit map again (which repaints)
    EffectRepaint = 1u << 2,         // repaint the map as it is
    EffectShowNewestFrame = 1u << 3, // step to the newest cloud frame, fetching the list if stale
    EffectRequestQuakes = 1u << 4,   // start the earthquake download
    EffectSync = 1u << 5,            // check marks and pressed buttons follow the switches
    EffectUpdateAnimation = 1u << 6, // enable states of the animation buttons
};

struct SwitchOutcome {
    bool handled = false; // false: not a display switch command; nothing changed
    DisplaySwitches switches;
    std::uint32_t effects = EffectNone;
};

// The outcome of command `command` (a cmd:: id) on `current`.
SwitchOutcome applySwitchCommand(const DisplaySwitches& current, int command,
                                 const CommandContext& context);

} // namespace chronvale
