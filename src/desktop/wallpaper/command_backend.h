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
    // The program reads its arguments as one command line of its own (swaymsg):
    // the path goes in double quotes, or a space, "," or ";" in it would split it.
    bool quotesPath = false;
};

// `path` in double quotes, with quotes and backslashes escaped, as swaymsg takes it.
QString quotedCommandPath(const QString& path);

WallpaperCommand lxqtCommand();
WallpaperCommand swayCommand();
WallpaperCommand fehCommand();
WallpaperCommand xwallpaperCommand();

class CommandBackend final : public WallpaperBackend {
public:
    explicit CommandBackend(WallpaperCommand command);

    std::string name() const override;
    std::string key() const override;
    bool available() const override;
    bool keepsState() const override { return false; }
    std::optional<DesktopWallpaperState> readState() override { return std::nullopt; }
    bool show(const std::string& path) override;
    // Nothing was read, so nothing can be given back; true.
    bool restore(const DesktopWallpaperState&) override { return true; }

private:
    WallpaperCommand command_;
};

} // namespace chronvale
