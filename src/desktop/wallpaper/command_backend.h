#pragma once
// Desktops whose wallpaper is set by running a program and cannot be read back:
// LXQt (pcmanfm-qt --set-wallpaper, one picture for every screen), sway and other
// wlroots compositors with swaymsg (each output its own, swaybg restarted with
// it), Hyprland through hyprpaper (hyprctl hyprpaper, each monitor its own), and
// plain X11 window managers (feh, else xwallpaper: one picture over the whole
// root window). readState has nothing to give, so the user's own picture cannot
// be put back when the mode ends.

#include "desktop/wallpaper/wallpaper_backend.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace chronvale {

struct WallpaperCommand {
    QString desktop; // "LXQt"
    QString program; // "pcmanfm-qt"
    MonitorPictures pictures = MonitorPictures::Spanned;
    // The runs for each picture, in order; "%f" stands for the picture's path and
    // "%o" for its output's name ("*" when the names are not known).
    std::vector<QStringList> eachPicture;
    // The runs after all pictures (hyprpaper: release the pictures no longer shown).
    std::vector<QStringList> afterwards;
    // The program reads its arguments as one command line of its own (swaymsg):
    // the path goes in double quotes, or a space, "," or ";" in it would split it.
    bool quotesPath = false;
};

// `path` in double quotes, with quotes and backslashes escaped, as swaymsg takes it.
QString quotedCommandPath(const QString& path);

WallpaperCommand lxqtCommand();
WallpaperCommand swayCommand();
WallpaperCommand hyprlandCommand();
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
    MonitorPictures monitorPictures() const override { return command_.pictures; }
    bool show(const WallpaperFiles& files) override;
    // Nothing was read, so nothing can be given back; true.
    bool restore(const DesktopWallpaperState&) override { return true; }

private:
    WallpaperCommand command_;
};

} // namespace chronvale
