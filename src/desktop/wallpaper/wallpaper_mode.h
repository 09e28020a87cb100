#pragma once
// The wallpaper mode's three operations over one back end, shared by the window
// and `chronvale --wallpaper`. The caller brings the lit map (composing it first
// if need be) and keeps the stored switch and state.
//
//   applyWallpaper    write the file, save the desktop's state (persisted at once
//                     through the callback), point the desktop at the file
//   refreshWallpaper  write the file again under the other name and point the
//                     desktop at it; the saved state is not touched
//   restoreWallpaper  give the desktop its saved state back

#include "desktop/wallpaper/wallpaper_backend.h"
#include "desktop/wallpaper/wallpaper_settings.h"
#include "render/earth_image.h"

#include <functional>
#include <string>

namespace chronvale {

// How wide the picture is made: unscaled when the two widths are equal.
struct WallpaperSizing {
    int wallpaperWidth = 0;
    int desktopWidth = 0;
};

struct WallpaperRenewal {
    std::string path;     // the file the desktop was pointed at
    bool written = false; // the file was written
    bool shown = false;   // the desktop took it
};

struct WallpaperApplied {
    WallpaperRenewal renewal;
    bool stateReadBack = false; // false: the desktop's own state could not be read
    bool persisted = false;     // the settings file holds the switch and the state
};

// Writes the file (in `folder`) and points the desktop at it, whether or not the
// write succeeded (a desktop pointed at a missing file shows no stale map).
WallpaperRenewal refreshWallpaper(WallpaperBackend& backend, const EarthImage* litMap,
                                  const WallpaperSizing& sizing, const std::string& folder);

// Turns the mode on in `stored` and saves the desktop's state there, then calls
// persist (which writes the settings) before the desktop changes. A state that
// already shows this program's own file (the mode was on when a crash hit and the
// settings survived) keeps the state saved before.
WallpaperApplied applyWallpaper(WallpaperBackend& backend, const EarthImage* litMap,
                                const WallpaperSizing& sizing, const std::string& folder,
                                StoredWallpaper& stored,
                                const std::function<bool(const StoredWallpaper&)>& persist);

// Gives the desktop the saved state back, turns the mode off in `stored` and
// persists it; the wallpaper files are removed. False when the desktop refused.
bool restoreWallpaper(WallpaperBackend& backend, StoredWallpaper& stored, const std::string& folder,
                      const std::function<bool(const StoredWallpaper&)>& persist);

} // namespace chronvale
