#pragma once
// The wallpaper mode's switch and the desktop's saved state in the program's
// settings file (wallpaper, wallpaperfile, wallpapertile, wallpaperstyle, and
// wallpaperbackend for the back end that saved them), read and written on their
// own: the state is written the moment the mode is switched on, so that a crash
// or a kill still leaves the user's own wallpaper recoverable, and
// `chronvale --wallpaper` keeps them without loading the window.

#include "desktop/wallpaper/wallpaper_backend.h"

class QSettings;

namespace chronvale {

struct StoredWallpaper {
    bool on = false;
    DesktopWallpaperState saved;
    std::string backend; // the key of the back end that saved it; empty when unknown
};

// Absent or unreadable values read as off and empty texts.
StoredWallpaper readStoredWallpaper(const QSettings& program);

// Writes the values and flushes the file; false when it could not be written.
bool writeStoredWallpaper(QSettings& program, const StoredWallpaper& stored);

} // namespace chronvale
