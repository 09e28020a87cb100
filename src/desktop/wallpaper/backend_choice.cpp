#include "desktop/wallpaper/backend_choice.h"

#include "desktop/wallpaper/command_backend.h"
#include "desktop/wallpaper/gsettings_backend.h"
#include "desktop/wallpaper/kde_backend.h"
#include "desktop/wallpaper/xfce_backend.h"

#include <QString>
#include <QStringList>
#include <algorithm>
#include <cstdlib>

namespace chronvale {

namespace {

std::string variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// The desktop a name of XDG_CURRENT_DESKTOP or DESKTOP_SESSION stands for.
std::optional<WallpaperDesktop> desktopNamed(const QString& name) {
    const QString n = name.trimmed().toLower();
    if (n == QLatin1String("gnome") || n == QLatin1String("unity") ||
        n == QLatin1String("budgie") || n == QLatin1String("budgie-desktop") ||
        n == QLatin1String("pantheon") || n == QLatin1String("ubuntu") ||
        n == QLatin1String("gnome-classic") || n == QLatin1String("gnome-xorg") ||
        n == QLatin1String("gnome-flashback")) {
        return WallpaperDesktop::Gnome;
    }
    if (n == QLatin1String("x-cinnamon") || n == QLatin1String("cinnamon")) {
        return WallpaperDesktop::Cinnamon;
    }
    if (n == QLatin1String("mate")) {
        return WallpaperDesktop::Mate;
    }
    if (n == QLatin1String("kde") || n == QLatin1String("plasma") ||
        n == QLatin1String("plasmawayland") || n == QLatin1String("plasmax11")) {
        return WallpaperDesktop::Kde;
    }
    if (n == QLatin1String("xfce") || n == QLatin1String("xfce4") ||
        n == QLatin1String("xubuntu")) {
        return WallpaperDesktop::Xfce;
    }
    if (n == QLatin1String("lxqt")) {
        return WallpaperDesktop::Lxqt;
    }
    if (n == QLatin1String("sway")) {
        return WallpaperDesktop::Sway;
    }
    if (n == QLatin1String("hyprland")) {
        return WallpaperDesktop::Hyprland;
    }
    return std::nullopt;
}

} // namespace

SessionEnvironment SessionEnvironment::fromProcess() {
    return {variable("XDG_CURRENT_DESKTOP"), variable("DESKTOP_SESSION"), variable("SWAYSOCK"),
            variable("DISPLAY")};
}

std::vector<WallpaperDesktop> wallpaperDesktops(const SessionEnvironment& environment) {
    std::vector<WallpaperDesktop> desktops;
    const auto add = [&desktops](WallpaperDesktop desktop) {
        if (std::find(desktops.begin(), desktops.end(), desktop) == desktops.end()) {
            desktops.push_back(desktop);
        }
    };
    // The first name the program knows wins ("Budgie:GNOME", "ubuntu:GNOME").
    for (const QString& name :
         QString::fromStdString(environment.currentDesktop).split(QLatin1Char(':'))) {
        if (const auto desktop = desktopNamed(name)) {
            add(*desktop);
            break;
        }
    }
    if (desktops.empty()) {
        // A display manager's session name ("plasma", "xfce", "/usr/share/xsessions/mate").
        const QString session =
            QString::fromStdString(environment.desktopSession).section(QLatin1Char('/'), -1);
        if (const auto desktop = desktopNamed(session)) {
            add(*desktop);
        }
    }
    if (!environment.swaySocket.empty()) {
        add(WallpaperDesktop::Sway);
    }
    if (desktops.empty() && !environment.display.empty()) {
        add(WallpaperDesktop::Feh);
        add(WallpaperDesktop::Xwallpaper);
    }
    return desktops;
}

std::unique_ptr<WallpaperBackend> makeWallpaperBackend(WallpaperDesktop desktop) {
    switch (desktop) {
    case WallpaperDesktop::Gnome:
        return std::make_unique<GsettingsBackend>(gnomeBackgroundSchema());
    case WallpaperDesktop::Cinnamon:
        return std::make_unique<GsettingsBackend>(cinnamonBackgroundSchema());
    case WallpaperDesktop::Mate:
        return std::make_unique<GsettingsBackend>(mateBackgroundSchema());
    case WallpaperDesktop::Kde:
        return std::make_unique<KdeBackend>();
    case WallpaperDesktop::Xfce:
        return std::make_unique<XfceBackend>();
    case WallpaperDesktop::Lxqt:
        return std::make_unique<CommandBackend>(lxqtCommand());
    case WallpaperDesktop::Sway:
        return std::make_unique<CommandBackend>(swayCommand());
    case WallpaperDesktop::Hyprland:
        return std::make_unique<CommandBackend>(hyprlandCommand());
    case WallpaperDesktop::Feh:
        return std::make_unique<CommandBackend>(fehCommand());
    case WallpaperDesktop::Xwallpaper:
        return std::make_unique<CommandBackend>(xwallpaperCommand());
    }
    return nullptr;
}

BackendChoice chooseWallpaperBackend(const SessionEnvironment& environment) {
    BackendChoice choice;
    for (const WallpaperDesktop desktop : wallpaperDesktops(environment)) {
        std::unique_ptr<WallpaperBackend> backend = makeWallpaperBackend(desktop);
        choice.lookedFor.push_back(backend->name());
        if (backend->available()) {
            choice.backend = std::move(backend);
            return choice;
        }
    }
    return choice;
}

} // namespace chronvale
