#pragma once
// Desktops whose wallpaper is set by running a program and cannot be read back:
// LXQt (pcmanfm-qt --set-wallpaper), sway and other wlroots compositors with
// swaymsg (which restarts swaybg with the new picture), and plain X11 window
// managers (feh --bg-center, xwallpaper --center). readState has nothing to give,
// so the user's own picture cannot be put back when the mode ends.

#include "desktop/wallpaper/wallpaper_backend.h"

#include <QString>
#include <QStringList>

namespace chronvale {

struct WallpaperCommand {
    QString desktop;       // "LXQt"
    QString program;       // "pcmanfm-qt"
    QStringList arguments; // with "%f" standing for the picture's path
};

WallpaperCommand lxqtCommand();
WallpaperCommand swayCommand();
WallpaperCommand fehCommand();
WallpaperCommand xwallpaperCommand();

class CommandBackend final : public WallpaperBackend {
public:
    explicit CommandBackend(WallpaperCommand command);

    std::string name() const override;
    bool available() const override;
    std::optional<DesktopWallpaperState> readState() override { return std::nullopt; }
    bool show(const std::string& path) override;
    // Nothing was read, so nothing can be given back; true.
    bool restore(const DesktopWallpaperState&) override { return true; }

private:
    WallpaperCommand command_;
};

} // namespace chronvale
