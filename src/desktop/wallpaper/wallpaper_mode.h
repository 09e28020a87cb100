#pragma once
// The wallpaper mode's three operations over one back end, shared by the window
// and `chronvale --wallpaper`. The caller brings the lit map (composing it first
// if need be), holds the WallpaperLock and keeps the stored switch and state.
//
//   applyWallpaper    save the desktop's state (persisted at once through the
//                     callback), write the file, point the desktop at it
//   refreshWallpaper  write the file again under the other name and point the
//                     desktop at it; the saved state is not touched
//   restoreWallpaper  give the desktop its saved state back
//
// The user's own wallpaper is never put at risk: the desktop is changed only once
// its state is in the settings file, and the mode goes off only once that state is
// given back.

#include "desktop/wallpaper/wallpaper_backend.h"
#include "desktop/wallpaper/wallpaper_store.h"
#include "render/wallpaper_layout.h"
#include "render/wallpaper_picture.h"

#include <functional>
#include <optional>
#include <string>

namespace chronvale {

// What a renewal makes: a picture for each monitor, as the user chose them, laid
// out the way the desktop takes them.
struct WallpaperRequest {
    std::vector<WallpaperScreen> screens; // at least one
    WallpaperLook look;
};

// The layout of `request` for the desktop's way of taking pictures.
WallpaperLayout wallpaperLayoutFor(const WallpaperRequest& request, MonitorPictures pictures);

struct WallpaperRenewal {
    std::vector<std::string> paths; // the files the desktop was pointed at
    bool written = false;           // the files were written
    bool shown = false;             // the desktop took them
    // The desktop, asked afterwards, shows a picture that is not ours (another
    // program or the user changed it at the same moment); shown is false then.
    bool otherShown = false;
};

enum class WallpaperApplyResult {
    Shown,           // the mode is on and the renewal says how the picture went
    StateUnreadable, // the desktop keeps a state and it could not be read
    NotPersisted,    // the settings file could not be written
};

struct WallpaperApplied {
    WallpaperApplyResult result = WallpaperApplyResult::Shown;
    WallpaperRenewal renewal;
    bool stateReadBack = false; // false: the desktop's own state could not be read
};

enum class WallpaperRestoreResult {
    Restored,     // the desktop has its own state back and the mode is off
    Refused,      // the desktop did not take it; the mode stays on
    NotPersisted, // given back, but the settings file still says on
    OtherDesktop, // saved by another desktop's interface: not given to this one
};

using PersistWallpaper = std::function<bool(const StoredWallpaper&)>;

// Whether `stored` holds a state saved through `backend` (or by a version that
// did not say which, or none at all): the mode, when on, shows there.
bool savedThrough(const StoredWallpaper& stored, const WallpaperBackend& backend);

// Whether the desktop's state shows one of the program's own files in `folder`
// (as a path or a file URI, anywhere in a saved text).
bool showsOwnFile(const DesktopWallpaperState& state, const std::string& folder);

// Makes the pictures with `painter`, writes them (in `folder`) and points the
// desktop at them, whether or not the write succeeded (a desktop pointed at a
// missing file shows no stale map); then reads back what the desktop shows.
WallpaperRenewal refreshWallpaper(WallpaperBackend& backend, const WallpaperRequest& request,
                                  const EarthPainter& painter, const std::string& folder);

// Turns the mode on in `stored`, saves the desktop's state there as this back
// end's own (the states of other back ends stay) and persists it, then writes
// the file and points the desktop at it. A state that already shows this
// program's own file (the mode was on when a crash hit and the settings
// survived, or it was switched off under another desktop) keeps the state saved
// before. When the state cannot be read (on a desktop that keeps one) or not
// persisted, `stored` and the desktop stay as they were.
WallpaperApplied applyWallpaper(WallpaperBackend& backend, const WallpaperRequest& request,
                                const EarthPainter& painter, const std::string& folder,
                                StoredWallpaper& stored, const PersistWallpaper& persist);

// Gives the desktop its own saved state back, then turns the mode off in
// `stored`, persists it and removes the wallpaper files. A refusal leaves the mode
// on, so that it can be tried again. The states of other back ends are never
// given to this one: they stay saved for their desktops (with no state of this
// one the mode goes off: OtherDesktop).
WallpaperRestoreResult restoreWallpaper(WallpaperBackend& backend, StoredWallpaper& stored,
                                        const std::string& folder, const PersistWallpaper& persist);

} // namespace chronvale
