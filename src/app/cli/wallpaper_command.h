#pragma once
// `chronvale --wallpaper [off] [--screens WxH+X+Y,...] [--width W]`: the wallpaper mode without the
// window, for a systemd timer or cron. It turns the mode on when it is off (saving the desktop's
// own wallpaper in the settings file), renews the map when it is on, and with `off` gives the
// desktop its wallpaper back and turns the mode off.

#include "render/wallpaper_layout.h"

#include <ctime>
#include <optional>
#include <ostream>
#include <vector>

namespace chronvale {

struct Folders;

inline constexpr int kMinWallpaperWidth = 64;
inline constexpr int kMaxWallpaperWidth = 16384;

struct WallpaperOptions {
    bool off = false;         // --wallpaper off
    std::optional<int> width; // --width W: the widest a monitor's picture is made
    std::optional<std::vector<WallpaperScreen>> screens; // --screens
    std::optional<WallpaperPlacement> placement;         // --placement fit|fill
};

// Defined in app/wallpaper, and run from the window module (a QGuiApplication
// gives the session's screens and the fonts of the names). Needs a
// QGuiApplication with the program's organisation and name. Returns 0
// on success; 1 after a message to err when no desktop interface works, the map
// cannot be made or written, or the desktop refused; `out` gets what was done.
int runWallpaperCommand(const WallpaperOptions& options, const Folders& folders, std::ostream& out,
                        std::ostream& err, std::time_t now);

} // namespace chronvale
