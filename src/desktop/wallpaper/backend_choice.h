#pragma once
// Which wallpaper back end serves this session: the desktop named by
// XDG_CURRENT_DESKTOP (a colon-separated list; DESKTOP_SESSION when it is empty),
// sway by its socket, and for a plain X11 window manager feh, else xwallpaper.

#include "desktop/wallpaper/wallpaper_backend.h"

#include <memory>
#include <string>
#include <vector>

namespace chronvale {

enum class WallpaperDesktop {
    Gnome,
    Cinnamon,
    Mate,
    Kde,
    Xfce,
    Lxqt,
    Sway,
    Hyprland,
    Feh,
    Xwallpaper
};

// The environment variables that tell the desktop.
struct SessionEnvironment {
    std::string currentDesktop; // XDG_CURRENT_DESKTOP
    std::string desktopSession; // DESKTOP_SESSION
    std::string swaySocket;     // SWAYSOCK
    std::string display;        // DISPLAY

    static SessionEnvironment fromProcess();
};

// The desktops to try, in order; empty when nothing is recognised.
std::vector<WallpaperDesktop> wallpaperDesktops(const SessionEnvironment& environment);

std::unique_ptr<WallpaperBackend> makeWallpaperBackend(WallpaperDesktop desktop);

struct BackendChoice {
    std::unique_ptr<WallpaperBackend> backend; // none: no back end works here
    std::vector<std::string> lookedFor;        // the names of those tried, for the message
};

// The first back end of wallpaperDesktops that is available.
BackendChoice chooseWallpaperBackend(const SessionEnvironment& environment);

} // namespace chronvale
