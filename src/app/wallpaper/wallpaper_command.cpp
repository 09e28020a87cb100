#include "app/cli/wallpaper_command.h"

#include "app/cli/folders.h"
#include "app/wallpaper/session_screens.h"
#include "app/wallpaper/wallpaper_clouds.h"
#include "app/wallpaper/wallpaper_painter.h"
#include "core/load_errors.h"
#include "core/product.h"
#include "desktop/wallpaper/backend_choice.h"
#include "desktop/wallpaper/wallpaper_lock.h"
#include "desktop/wallpaper/wallpaper_mode.h"
#include "render/compositor.h"

#include <QDir>
#include <QSettings>

namespace chronvale {

namespace {

std::string joined(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) {
        text += (text.empty() ? "" : ", ") + name;
    }
    return text.empty() ? "none (no desktop was recognised)" : text;
}

// Longer than the window or another run holds the lock for one change.
constexpr int kLockWaitMs = 45000;

} // namespace

int runWallpaperCommand(const WallpaperOptions& options, const Folders& folders, std::ostream& out,
                        std::ostream& err, std::time_t now) {
    if (!enterUserFolder(folders)) {
        err << "chronvale: cannot use the user folder " << folders.user.toStdString() << "\n";
        return 1;
    }
    const std::string userFolder = folders.user.toStdString();
    const WallpaperLock lock(userFolder, kLockWaitMs);
    if (!lock.held()) {
        err << "chronvale: another Chronvale is changing the wallpaper (" << userFolder << "/"
            << kWallpaperLockName << ")\n";
        return 1;
    }
    QSettings program(QSettings::IniFormat, QSettings::UserScope,
                      QString::fromLatin1(organisationName),
                      QString::fromLatin1(settingsApplication));
    WallpaperStore store(program);
    StoredWallpaper stored = store.current();
    const auto persist = [&store](const StoredWallpaper& s) { return store.save(s); };
    const auto unwritable = [&store, &err] {
        err << "chronvale: cannot write the settings file " << store.fileName().toStdString()
            << "\n";
        return 1;
    };

    BackendChoice choice = chooseWallpaperBackend(SessionEnvironment::fromProcess());
    if (!choice.backend) {
        err << "chronvale: no way to set the desktop wallpaper was found; looked for: "
            << joined(choice.lookedFor) << "\n";
        return 1;
    }
    WallpaperBackend& backend = *choice.backend;

    if (options.off) {
        if (!stored.on) {
            out << "Wallpaper Mode is off already.\n";
            return 0;
        }
        switch (restoreWallpaper(backend, stored, userFolder, persist)) {
        case WallpaperRestoreResult::Restored:
            out << "Wallpaper Mode is off; the desktop's own wallpaper is back (" << backend.name()
                << ").\n";
            return 0;
        case WallpaperRestoreResult::Refused:
            err << "chronvale: " << backend.name()
                << " did not take the saved wallpaper back; Wallpaper Mode stays on\n";
            return 1;
        case WallpaperRestoreResult::NotPersisted:
            return unwritable();
        case WallpaperRestoreResult::OtherDesktop:
            out << "Wallpaper Mode is off. No wallpaper of " << backend.name()
                << " was saved; the other desktops' saved wallpapers are kept for them.\n";
            return 0;
        }
        return 1;
    }
    // What the window would make from the same settings (wallpaper_order.h).
    if (!loadImage(folders.data.toStdString() + "/" + kDayImageName)) {
        err << unableToLoadText(kDayImageName) << "\n";
        return 1;
    }
    // The newest cloud frame as the window would get it, the server of this
    // computer started when nothing answers.
    const auto freshenClouds = [&folders, &program](CloudFrameTable& frames,
                                                    const StoredSettings&) {
        const LinkConfig installation =
            loadLinkConfig(QDir(folders.data).filePath(QStringLiteral("chronvale.ini")));
        std::string credit;
        fetchNewestWallpaperClouds(installation, program, frames, true, 30000, &credit);
        return credit;
    };
    const WallpaperOrder order =
        storedWallpaperOrder({options.width, options.placement}, folders, program,
                             commandScreens(options.screens, program), now, freshenClouds);
    const WallpaperRequest& request = order.request;
    const EarthPainter painter = wallpaperPainter(order);

    WallpaperRenewal renewal;
    // On in another desktop's session only: this desktop's own state is added.
    if (stored.on && savedThrough(stored, backend)) {
        renewal = refreshWallpaper(backend, request, painter, userFolder);
    } else {
        const WallpaperApplied applied =
            applyWallpaper(backend, request, painter, userFolder, stored, persist);
        if (applied.result == WallpaperApplyResult::StateUnreadable) {
            err << "chronvale: " << backend.name()
                << " did not tell its own wallpaper, so it was left alone\n";
            return 1;
        }
        if (applied.result == WallpaperApplyResult::NotPersisted) {
            return unwritable();
        }
        renewal = applied.renewal;
        if (!applied.stateReadBack) {
            out << backend.name()
                << " cannot tell its own wallpaper; 'chronvale --wallpaper off' will not "
                   "bring it back.\n";
        }
    }
    std::string paths;
    for (const std::string& path : renewal.paths) {
        paths += (paths.empty() ? "" : ", ") + path;
    }
    if (!renewal.written) {
        err << "chronvale: cannot write " << paths << "\n";
        return 1;
    }
    if (renewal.otherShown) {
        err << "chronvale: " << backend.name() << " was pointed at " << paths
            << " but shows another picture (changed at the same moment?)\n";
        return 1;
    }
    if (!renewal.shown) {
        err << "chronvale: " << backend.name() << " did not take the wallpaper " << paths << "\n";
        return 1;
    }
    out << "The desktop shows " << paths << " (" << backend.name() << ").\n";
    return 0;
}

} // namespace chronvale
