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

bool savedThrough(const StoredWallpaper& stored, const WallpaperBackend& backend) {
    return stored.backend.empty() || stored.backend == backend.key();
}

WallpaperRenewal refreshWallpaper(WallpaperBackend& backend, const EarthImage* litMap,
                                  const WallpaperSizing& sizing, const std::string& folder) {
    const WallpaperWrite write = sizing.size ? writeWallpaperFile(litMap, sizing.size, folder)
                                             : writeWallpaperFile(litMap, sizing.wallpaperWidth,
                                                                  sizing.desktopWidth, folder);
    WallpaperRenewal renewal;
    renewal.path = write.path;
    renewal.written = write.written;
    renewal.shown = backend.show(fs::absolute(write.path).string());
    return renewal;
}

WallpaperApplied applyWallpaper(WallpaperBackend& backend, const EarthImage* litMap,
                                const WallpaperSizing& sizing, const std::string& folder,
                                StoredWallpaper& stored, const PersistWallpaper& persist) {
    WallpaperApplied applied;
    const std::optional<DesktopWallpaperState> state = backend.readState();
    applied.stateReadBack = state.has_value();
    if (!state && backend.keepsState()) {
        applied.result = WallpaperApplyResult::StateUnreadable;
        return applied;
    }
    StoredWallpaper next = stored;
    if (!state) {
        next.saved = {};
        next.backend = backend.key();
    } else if (!showsOwnFile(*state)) {
        next.saved = *state;
        next.backend = backend.key();
    }
    next.on = true;
    if (!persist(next)) {
        applied.result = WallpaperApplyResult::NotPersisted;
        return applied;
    }
    stored = next;
    applied.renewal = refreshWallpaper(backend, litMap, sizing, folder);
    return applied;
}

WallpaperRestoreResult restoreWallpaper(WallpaperBackend& backend, StoredWallpaper& stored,
                                        const std::string& folder,
                                        const PersistWallpaper& persist) {
    const bool sameDesktop = savedThrough(stored, backend);
    if (sameDesktop && !backend.restore(stored.saved)) {
        return WallpaperRestoreResult::Refused;
    }
    StoredWallpaper next = stored;
    next.on = false;
    if (!persist(next)) {
        return WallpaperRestoreResult::NotPersisted;
    }
    stored = next;
    if (!sameDesktop) {
        return WallpaperRestoreResult::OtherDesktop;
    }
    std::error_code error;
    for (const char* name : {kWallpaperNameA, kWallpaperNameB}) {
        fs::remove(fs::path(folder) / name, error);
    }
    return WallpaperRestoreResult::Restored;
}

} // namespace chronvale
