#pragma once
// One desktop's wallpaper interface: reading the desktop's own wallpaper state,
// pointing the desktop at the wallpaper's pictures, and giving the saved state
// back. The three saved values stand for that desktop's wallpaper file (or URI),
// its placement (tiled, centred, zoomed …) and its style; each back end says what
// it keeps in them. The texts are stored as they are and handed back on restore.

#include "render/wallpaper_screens.h"

#include <optional>
#include <string>
#include <vector>

namespace chronvale {

struct DesktopWallpaperState {
    std::string file;
    std::string tile;
    std::string style;
    bool operator==(const DesktopWallpaperState&) const = default;
};

// How a desktop takes pictures for several monitors.
enum class MonitorPictures {
    Spanned,    // one picture across all monitors, laid out as they are
    PerMonitor, // one picture for each monitor
    Primary,    // one picture, shown on each monitor alike: the first monitor's
};

// A picture file and the monitor it is made for.
struct MonitorFile {
    std::string path; // absolute
    WallpaperScreen screen;
};

// What the desktop is pointed at: one file (Spanned, Primary) or one per monitor,
// in the order of the monitors.
using WallpaperFiles = std::vector<MonitorFile>;

class WallpaperBackend {
public:
    virtual ~WallpaperBackend() = default;

    // The desktop and the interface used, for messages ("GNOME (gsettings
    // org.gnome.desktop.background)").
    virtual std::string name() const = 0;
    // A short name of the interface that stays the same from one run to the next
    // ("org.gnome.desktop.background", "xfce4-desktop" …). It is saved with the
    // state, so that a state is given back only to the desktop it came from.
    virtual std::string key() const = 0;
    // Whether the interface is there to be used (its program, schema or service).
    virtual bool available() const = 0;
    // Whether this desktop's state can be read back at all. Where it can, a failed
    // readState keeps the mode off: the user's own wallpaper would be lost.
    virtual bool keepsState() const { return true; }
    // The desktop's state now; none when it cannot be read.
    virtual std::optional<DesktopWallpaperState> readState() = 0;
    virtual MonitorPictures monitorPictures() const = 0;
    // Shows the pictures, each filling its monitor (or the span); false on failure.
    virtual bool show(const WallpaperFiles& files) = 0;
    // The pictures the desktop shows now, as paths, for the check after show; none
    // when they cannot be read back, in which case show's answer stands.
    virtual std::optional<std::vector<std::string>> shownPictures() { return std::nullopt; }
    // Puts a state from readState back; an empty value resets that setting to the
    // desktop's default. False on failure.
    virtual bool restore(const DesktopWallpaperState& state) = 0;
};

} // namespace chronvale
