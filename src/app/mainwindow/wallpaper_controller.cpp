#include "app/mainwindow/wallpaper_controller.h"

#include "app/startup/world.h"
#include "desktop/wallpaper/wallpaper_mode.h"
#include "desktop/wallpaper/wallpaper_settings.h"
#include "i18n/messages.h"
#include "i18n/string_table.h"

namespace chronvale {

namespace {

StoredWallpaper storedFrom(const Settings& settings) {
    return {settings.wallpaper != 0,
            {settings.wallpaperfile.value_or(std::string()),
             settings.wallpapertile.value_or(std::string()),
             settings.wallpaperstyle.value_or(std::string())}};
}

void copyInto(Settings& settings, const StoredWallpaper& stored) {
    settings.wallpaper = stored.on ? 1 : 0;
    settings.wallpaperfile = stored.saved.file;
    settings.wallpapertile = stored.saved.tile;
    settings.wallpaperstyle = stored.saved.style;
}

} // namespace

WallpaperController::WallpaperController(World& world, BackendFinder finder, Hooks hooks)
    : world_(world), finder_(std::move(finder)), hooks_(std::move(hooks)) {}

WallpaperController::~WallpaperController() = default;

WallpaperBackend* WallpaperController::backend(bool tellUser) {
    if (!backend_) {
        BackendChoice choice = finder_();
        if (!choice.backend) {
            if (!tellUser) {
                return nullptr;
            }
            QString names;
            for (const std::string& name : choice.lookedFor) {
                names += (names.isEmpty() ? QString() : QStringLiteral(", ")) +
                         QString::fromStdString(name);
            }
            if (names.isEmpty()) {
                names = QStringLiteral(
                    "GNOME, Cinnamon, MATE, KDE Plasma, XFCE, LXQt, sway, feh, xwallpaper");
            }
            showMessage(world_.messages, world_.language.getText(str::ServerErrorCaption),
                        world_.language.getText(str::WallpaperNoDesktop), {names},
                        MessageSink::Icon::Warning);
            return nullptr;
        }
        backend_ = std::move(choice.backend);
    }
    return backend_.get();
}

const EarthImage* WallpaperController::litMapForExport() {
    Compositor& compositor = world_.compositor;
    const bool minimised = hooks_.minimised();
    if (!compositor.dayImage() || !compositor.timeZoneImage()) {
        compositor.loadSourceImages(true); // a failure shows "Unable to load file"
    }
    if (minimised || !compositor.litMap()) {
        DisplaySwitches switches = world_.settings.switches;
        compositor.composeMap(switches, hooks_.now());
    }
    return compositor.litMap();
}

void WallpaperController::releaseWhenMinimised() {
    if (hooks_.minimised()) {
        world_.compositor.releaseEarthImages();
        world_.compositor.releaseLitMap();
        hooks_.releaseView();
    }
}

void WallpaperController::reportRenewal(bool shown, const WallpaperBackend& backend) {
    if (!shown) {
        hooks_.status(formatMessage(world_.language.getText(str::WallpaperRefused),
                                    {QString::fromStdString(backend.name())}));
    }
}

void WallpaperController::toggle() {
    Settings& settings = world_.settings;
    WallpaperBackend* desktop = backend(true);
    if (desktop == nullptr) {
        if (settings.wallpaper != 0) {
            // On from a session of another desktop: off, with nothing to give back
            // to; the saved values stay.
            StoredWallpaper stored = storedFrom(settings);
            stored.on = false;
            copyInto(settings, stored);
            writeStoredWallpaper(*world_.programSettings, stored);
            switched_ = true;
        }
        return;
    }
    StoredWallpaper stored = storedFrom(settings);
    const std::string folder = world_.folders.user.toStdString();
    switched_ = true;
    const auto persist = [this](const StoredWallpaper& s) {
        copyInto(world_.settings, s);
        return writeStoredWallpaper(*world_.programSettings, s);
    };
    if (settings.wallpaper == 0) {
        const EarthImage* map = litMapForExport();
        const WallpaperApplied applied =
            applyWallpaper(*desktop, map, {settings.wallpaperWidth, settings.desktop.width()},
                           folder, stored, persist);
        if (!applied.stateReadBack) {
            hooks_.status(world_.language.getText(str::WallpaperNotReadBack));
        }
        reportRenewal(applied.renewal.shown, *desktop);
    } else {
        reportRenewal(restoreWallpaper(*desktop, stored, folder, persist), *desktop);
    }
    releaseWhenMinimised();
}

void WallpaperController::beforeSave() {
    if (!switched_ && world_.programSettings) {
        world_.programSettings->sync();
        copyInto(world_.settings, readStoredWallpaper(*world_.programSettings));
    }
}

void WallpaperController::refresh() {
    if (world_.settings.wallpaper == 0) {
        return;
    }
    // The user was told when the mode was switched on; a session without a back
    // end (the mode was on in another desktop) only skips the renewal.
    WallpaperBackend* desktop = backend(false);
    if (desktop == nullptr) {
        return;
    }
    const EarthImage* map = litMapForExport();
    const WallpaperRenewal renewal = refreshWallpaper(
        *desktop, map, {world_.settings.wallpaperWidth, world_.settings.desktop.width()},
        world_.folders.user.toStdString());
    reportRenewal(renewal.shown, *desktop);
    releaseWhenMinimised();
}

} // namespace chronvale
