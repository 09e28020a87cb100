#include "desktop/wallpaper/wallpaper_mode.h"

#include "render/wallpaper_image.h"

#include <filesystem>
#include <system_error>

namespace chronvale {

namespace {

namespace fs = std::filesystem;

bool showsOwnFile(const DesktopWallpaperState& state) {
    for (const std::string* value : {&state.file, &state.style}) {
        if (value->find(kWallpaperNameA) != std::string::npos ||
            value->find(kWallpaperNameB) != std::string::npos) {
            return true;
        }
    }
    return false;
}

} // namespace

WallpaperRenewal refreshWallpaper(WallpaperBackend& backend, const EarthImage* litMap,
                                  const WallpaperSizing& sizing, const std::string& folder) {
    const WallpaperWrite write =
        writeWallpaperFile(litMap, sizing.wallpaperWidth, sizing.desktopWidth, folder);
    WallpaperRenewal renewal;
    renewal.path = write.path;
    renewal.written = write.written;
    renewal.shown = backend.show(fs::absolute(write.path).string());
    return renewal;
}

WallpaperApplied applyWallpaper(WallpaperBackend& backend, const EarthImage* litMap,
                                const WallpaperSizing& sizing, const std::string& folder,
                                StoredWallpaper& stored,
                                const std::function<bool(const StoredWallpaper&)>& persist) {
    WallpaperApplied applied;
    const WallpaperWrite write =
        writeWallpaperFile(litMap, sizing.wallpaperWidth, sizing.desktopWidth, folder);
    const std::optional<DesktopWallpaperState> state = backend.readState();
    applied.stateReadBack = state.has_value();
    if (!state) {
        stored.saved = {};
    } else if (!showsOwnFile(*state)) {
        stored.saved = *state;
    }
    stored.on = true;
    applied.persisted = persist(stored);
    applied.renewal.path = write.path;
    applied.renewal.written = write.written;
    applied.renewal.shown = backend.show(fs::absolute(write.path).string());
    return applied;
}

bool restoreWallpaper(WallpaperBackend& backend, StoredWallpaper& stored, const std::string& folder,
                      const std::function<bool(const StoredWallpaper&)>& persist) {
    const bool restored = backend.restore(stored.saved);
    stored.on = false;
    persist(stored);
    if (restored) {
        std::error_code error;
        for (const char* name : {kWallpaperNameA, kWallpaperNameB}) {
            fs::remove(fs::path(folder) / name, error);
        }
    }
    return restored;
}

} // namespace chronvale
