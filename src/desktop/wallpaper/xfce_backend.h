#pragma once
// XFCE: xfdesktop keeps a picture and a placement for every screen, monitor and
// workspace in the xfconf channel xfce4-desktop
// (/backdrop/screenN/monitorNAME/workspaceN/last-image and image-style); they are
// read and written with xfconf-query, every one that exists. Each monitor gets
// its own picture: the one made for the screen of its name, else the monitors
// in the channel's order take the pictures in the screens' order.
//
// Saved state: file = one line "PROPERTY<TAB>VALUE" per last-image, tile = the
// same for image-style; a line with the property alone was absent before, and
// restoring removes it again. style stays empty.

#include "desktop/wallpaper/wallpaper_backend.h"

#include <QString>
#include <QStringList>

namespace chronvale {

class XfceBackend final : public WallpaperBackend {
public:
    std::string name() const override;
    std::string key() const override;
    bool available() const override;
    std::optional<DesktopWallpaperState> readState() override;
    MonitorPictures monitorPictures() const override { return MonitorPictures::PerMonitor; }
    bool show(const WallpaperFiles& files) override;
    std::optional<std::vector<std::string>> shownPictures() override;
    bool restore(const DesktopWallpaperState& state) override;

private:
    struct Listing {
        QStringList folders;    // /backdrop/…/workspaceN with a picture or a placement
        QStringList properties; // the picture and placement properties there are
    };
    // What the channel holds; none when it cannot be listed. A channel without
    // any gives the first workspace of a new installation.
    std::optional<Listing> list() const;
    // The picture of each folder of the listing.
    static QStringList picturesFor(const Listing& listing, const WallpaperFiles& files);
};

} // namespace chronvale
