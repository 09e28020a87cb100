#pragma once
// The one owner of the wallpaper mode's values in the program's settings file:
// the switch (wallpaper), the desktop's own state saved when the mode went on
// (wallpaperfile, wallpapertile, wallpaperstyle) and the back end that saved it
// (wallpaperbackend). They are read and written on their own, apart from the
// other settings: the state is written the moment the mode is switched on, so
// that a crash or a kill still leaves the user's own wallpaper recoverable, and
// `chronvale --wallpaper` keeps them without loading the window. Both may change
// them at any time, so whoever changes them loads them afresh and saves them
// while holding the WallpaperLock.

#include "desktop/wallpaper/wallpaper_backend.h"

#include <QString>
#include <vector>

class QSettings;

namespace chronvale {

struct StoredWallpaper {
    bool on = false;
    DesktopWallpaperState saved;
    std::string backend; // the key of the back end that saved it; empty when unknown
};

// The values as the file holds them; absent or unreadable values read as off and
// empty texts.
StoredWallpaper readStoredWallpaper(const QSettings& program);

// Writes the values and flushes the file; false when it could not be written.
bool writeStoredWallpaper(QSettings& program, const StoredWallpaper& stored);

// The monitors the window saw last (wallpaperscreens, as `WxH+X+Y,...`), for
// `chronvale --wallpaper` run without a display; empty when none or unreadable.
std::vector<WallpaperScreen> readLastScreens(const QSettings& program);
// Writes them when they changed; false when the file could not be written.
bool writeLastScreens(QSettings& program, const std::vector<WallpaperScreen>& screens);

class WallpaperStore {
public:
    // Loads the values of `program`, which must outlive the store.
    explicit WallpaperStore(QSettings& program);

    // The values as last loaded or saved.
    const StoredWallpaper& current() const { return current_; }
    bool on() const { return current_.on; }

    // Reads the values afresh from the file, as another process may have left it.
    const StoredWallpaper& load();
    // Writes `stored` and flushes the file; once written it is the current value.
    // False (and the current value stays) when the file could not be written.
    bool save(const StoredWallpaper& stored);

    // The settings file, for messages.
    QString fileName() const;

private:
    QSettings& program_;
    StoredWallpaper current_;
};

} // namespace chronvale
