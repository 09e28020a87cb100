#include "desktop/wallpaper/wallpaper_mode.h"

#include "render/wallpaper_image.h"

#include <QString>
#include <QUrl>
#include <filesystem>

namespace chronvale {

namespace {

namespace fs = std::filesystem;

// Whether `needle` occurs in `text` as a whole value: between the text's ends,
// quotes, tabs or line breaks.
bool containsWhole(const std::string& text, const std::string& needle) {
    const auto edge = [](char c) { return c == '\'' || c == '"' || c == '\t' || c == '\n'; };
    for (std::size_t at = text.find(needle); at != std::string::npos;
         at = text.find(needle, at + 1)) {
        const std::size_t end = at + needle.size();
        if ((at == 0 || edge(text[at - 1])) && (end == text.size() || edge(text[end]))) {
            return true;
        }
    }
    return false;
}

} // namespace

bool showsOwnFile(const DesktopWallpaperState& state, const std::string& folder) {
    for (const std::string& path : ownWallpaperPaths(folder)) {
        const std::string uri = QUrl::fromLocalFile(QString::fromStdString(path))
                                    .toString(QUrl::FullyEncoded)
                                    .toStdString();
        for (const std::string* value : {&state.file, &state.style}) {
            if (containsWhole(*value, path) || containsWhole(*value, uri)) {
                return true;
            }
        }
    }
    return false;
}

bool savedThrough(const StoredWallpaper& stored, const WallpaperBackend& backend) {
    return stored.saved.empty() || stored.savedFor(backend.key()) != nullptr;
}

WallpaperLayout wallpaperLayoutFor(const WallpaperRequest& request, MonitorPictures pictures) {
    std::vector<WallpaperScreen> screens = request.screens;
    if (screens.empty()) {
        screens.push_back(defaultScreen());
    }
    if (pictures == MonitorPictures::Primary) {
        screens.resize(1);
    }
    return layoutWallpaper(screens, request.look, pictures == MonitorPictures::Spanned);
}

WallpaperRenewal refreshWallpaper(WallpaperBackend& backend, const WallpaperRequest& request,
                                  const EarthPainter& painter, const std::string& folder) {
    const std::string absolute = fs::absolute(fs::path(folder)).lexically_normal().string();
    const WallpaperLayout layout = wallpaperLayoutFor(request, backend.monitorPictures());
    const std::vector<ImagePtr> images = renderWallpaperImages(layout, painter);
    const WallpaperWrite write = writeWallpaperFiles(images, layout.images.size(), absolute);
    WallpaperRenewal renewal;
    renewal.paths = write.paths;
    renewal.written = write.written;
    WallpaperFiles files;
    for (std::size_t i = 0; i < write.paths.size(); ++i) {
        files.push_back(
            {write.paths[i], layout.spanned ? WallpaperScreen{} : layout.pictures[i].screen});
    }
    renewal.shown = backend.show(files);
    if (renewal.shown) {
        if (const auto shown = backend.shownPictures()) {
            for (const std::string& path : *shown) {
                renewal.otherShown = renewal.otherShown || !isOwnWallpaperFile(path, absolute);
            }
            renewal.shown = !renewal.otherShown;
        }
    }
    return renewal;
}

WallpaperApplied applyWallpaper(WallpaperBackend& backend, const WallpaperRequest& request,
                                const EarthPainter& painter, const std::string& folder,
                                StoredWallpaper& stored, const PersistWallpaper& persist) {
    WallpaperApplied applied;
    const std::optional<DesktopWallpaperState> state = backend.readState();
    applied.stateReadBack = state.has_value();
    if (!state && backend.keepsState()) {
        applied.result = WallpaperApplyResult::StateUnreadable;
        return applied;
    }
    StoredWallpaper next = stored;
    const std::string key = backend.key();
    if (!state) {
        next.keep(key, {});
    } else if (!showsOwnFile(*state, folder)) {
        next.keep(key, *state);
    } else if (const SavedDesktopState* kept = stored.savedFor(key);
               kept != nullptr && kept->backend.empty()) {
        // A state of unknown back end while this desktop shows our picture: it
        // was this desktop's.
        const DesktopWallpaperState own = kept->state;
        next.forget({});
        next.keep(key, own);
    }
    next.on = true;
    if (!persist(next)) {
        applied.result = WallpaperApplyResult::NotPersisted;
        return applied;
    }
    stored = next;
    applied.renewal = refreshWallpaper(backend, request, painter, folder);
    return applied;
}

WallpaperRestoreResult restoreWallpaper(WallpaperBackend& backend, StoredWallpaper& stored,
                                        const std::string& folder,
                                        const PersistWallpaper& persist) {
    // This desktop's own state; a file of a version that kept no state at all
    // resets the desktop to its defaults, as that version did.
    std::optional<DesktopWallpaperState> own;
    if (const SavedDesktopState* saved = stored.savedFor(backend.key())) {
        own = saved->state;
    } else if (stored.saved.empty()) {
        own = DesktopWallpaperState{};
    }
    const bool sameDesktop = own.has_value();
    if (sameDesktop && !backend.restore(*own)) {
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
    removeWallpaperFiles(folder);
    return WallpaperRestoreResult::Restored;
}

} // namespace chronvale
