#pragma once
// KDE Plasma 5 and 6: the Plasma shell runs desktop scripts given to it over the
// session bus (org.kde.plasmashell /PlasmaShell org.kde.PlasmaShell.evaluateScript)
// and answers with what they print. The scripts set every desktop to the image
// plugin with its screen's own picture filling it (FillMode 2), and read the old
// values back.
//
// Saved state: one JSON array of texts each, a value per desktop in the shell's
// order: file = the images, tile = the fill modes, style = the wallpaper plugins.

#include "desktop/wallpaper/wallpaper_backend.h"

#include <QString>

namespace chronvale {

inline constexpr const char* kPlasmaService = "org.kde.plasmashell";
inline constexpr const char* kPlasmaPath = "/PlasmaShell";
inline constexpr const char* kPlasmaInterface = "org.kde.PlasmaShell";

// The scripts, for the back end and its tests.
QString plasmaReadScript();
// The pictures' URIs in the order of the screens; a desktop on a screen without
// one of its own gets the first.
QString plasmaShowScript(const QStringList& imageUris);
// The saved values go in as one JSON object after "var saved = ", on one line.
QString plasmaRestoreScript(const DesktopWallpaperState& state);

class KdeBackend final : public WallpaperBackend {
public:
    std::string name() const override;
    std::string key() const override;
    bool available() const override;
    std::optional<DesktopWallpaperState> readState() override;
    MonitorPictures monitorPictures() const override { return MonitorPictures::PerMonitor; }
    // The shell takes a script's changes over a while: what it shows is not read
    // back at once.
    bool show(const WallpaperFiles& files) override;
    bool restore(const DesktopWallpaperState& state) override;

private:
    // What the script printed; none when the shell could not be asked.
    std::optional<QString> evaluate(const QString& script) const;
};

} // namespace chronvale
