#pragma once
// The one owner of the wallpaper mode's values in the program's settings file:
// the switch (wallpaper) and, for each desktop back end in whose session the mode
// went on, that desktop's own state saved then. The mode is one switch; the
// states are kept apart, so that switching on under a second desktop (GNOME one
// day, XFCE the next) never replaces the first one's.
//
// The keys of the versions that kept one state stay as they were: wallpaperfile,
// wallpapertile, wallpaperstyle and wallpaperbackend hold the state saved last,
// and a file that has only them reads as that one state. With states of more
// than one back end the array wallpaperstates holds them all (backend, file,
// tile, style each); a state the single keys hold that differs from the array's
// for the same back end was written later (by such an earlier version) and wins.
//
// They are read and written on their own, apart from the
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

// One desktop's own wallpaper, saved when the mode went on in its session.
struct SavedDesktopState {
    std::string backend; // the key of the back end that saved it; empty when unknown
    DesktopWallpaperState state;
    bool operator==(const SavedDesktopState&) const = default;
};

struct StoredWallpaper {
    StoredWallpaper() = default;
    // On or off with one saved state (none when both the back end and the state
    // are empty).
    StoredWallpaper(bool on, const DesktopWallpaperState& state, const std::string& backend);

    bool on = false;
    std::vector<SavedDesktopState> saved; // at most one per back end, the last saved last

    // The state saved through `backend`; else one whose back end is unknown (saved
    // by a version that did not say); else none.
    const SavedDesktopState* savedFor(const std::string& backend) const;
    // Keeps `state` as the back end's own, in place of the one it had; it becomes
    // the last saved.
    void keep(const std::string& backend, const DesktopWallpaperState& state);
    // Drops the back end's state (an empty key: the one of unknown back end).
    void forget(const std::string& backend);
};

// The values as the file holds them; absent or unreadable values read as off and
// no state, texts longer than 64 KiB as empty.
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
