#include "app/mainwindow/wallpaper_controller.h"

#include "app/startup/world.h"
#include "desktop/wallpaper/wallpaper_lock.h"
#include "desktop/wallpaper/wallpaper_mode.h"
#include "i18n/messages.h"
#include "i18n/string_table.h"

namespace chronvale {

namespace {

// A renewal by `chronvale --wallpaper` takes well under this; the window waits no
// longer for the user's command.
constexpr int kToggleLockWaitMs = 3000;

WallpaperSizing wallpaperSizing(const Settings& settings) {
    WallpaperSizing sizing;
    sizing.wallpaperWidth = settings.wallpaperWidth;
    sizing.desktopWidth = settings.desktop.width();
    return sizing;
}

} // namespace

WallpaperController::WallpaperController(World& world, BackendFinder finder, Hooks hooks)
    : world_(world), finder_(std::move(finder)), hooks_(std::move(hooks)),
      store_(*world.programSettings) {}

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

StoredWallpaper WallpaperController::readStored() {
    const bool wasOn = store_.on();
    const StoredWallpaper stored = store_.load();
    if (stored.on != wasOn && hooks_.switched) {
        hooks_.switched();
    }
    return stored;
}

bool WallpaperController::persist(const StoredWallpaper& stored) {
    return store_.save(stored);
}

void WallpaperController::reportUnwritable() {
    showError(world_.messages, world_.language.getText(str::UnableToWriteFile),
              {store_.fileName()});
}

void WallpaperController::switchOn(WallpaperBackend& desktop, StoredWallpaper& stored,
                                   const std::string& folder) {
    const WallpaperSizing sizing = wallpaperSizing(world_.settings);
    if (stored.on) {
        // `chronvale --wallpaper` switched it on meanwhile: the state it saved stays.
        if (savedThrough(stored, desktop)) {
            reportRenewal(refreshWallpaper(desktop, litMapForExport(), sizing, folder).shown,
                          desktop);
        }
        return;
    }
    const WallpaperApplied applied =
        applyWallpaper(desktop, litMapForExport(), sizing, folder, stored,
                       [this](const StoredWallpaper& s) { return persist(s); });
    switch (applied.result) {
    case WallpaperApplyResult::StateUnreadable:
        showMessage(world_.messages, world_.language.getText(str::ServerErrorCaption),
                    world_.language.getText(str::WallpaperStateUnreadable),
                    {QString::fromStdString(desktop.name())}, MessageSink::Icon::Warning);
        return;
    case WallpaperApplyResult::NotPersisted:
        reportUnwritable();
        return;
    case WallpaperApplyResult::Shown:
        break;
    }
    if (!applied.stateReadBack) {
        hooks_.status(world_.language.getText(str::WallpaperNotReadBack));
    }
    reportRenewal(applied.renewal.shown, desktop);
}

void WallpaperController::switchOff(WallpaperBackend& desktop, StoredWallpaper& stored,
                                    const std::string& folder) {
    if (!stored.on) {
        return; // `chronvale --wallpaper off` was first
    }
    switch (restoreWallpaper(desktop, stored, folder,
                             [this](const StoredWallpaper& s) { return persist(s); })) {
    case WallpaperRestoreResult::Refused:
        reportRenewal(false, desktop);
        break;
    case WallpaperRestoreResult::NotPersisted:
        reportUnwritable();
        break;
    case WallpaperRestoreResult::Restored:
    case WallpaperRestoreResult::OtherDesktop:
        break;
    }
}

void WallpaperController::toggle() {
    // What the user asked for, from the check mark as it was shown.
    const bool switchingOn = !store_.on();
    const std::string folder = world_.folders.user.toStdString();
    WallpaperBackend* desktop = backend(true);
    const WallpaperLock lock(folder, kToggleLockWaitMs);
    if (!lock.held()) {
        hooks_.status(world_.language.getText(str::WallpaperBusy));
        return;
    }
    StoredWallpaper stored = readStored();
    if (desktop == nullptr) {
        if (stored.on && !switchingOn) {
            // On from a session of another desktop: off, with nothing to give back
            // to; the saved values stay.
            stored.on = false;
            if (!persist(stored)) {
                reportUnwritable();
            }
        }
    } else if (switchingOn) {
        switchOn(*desktop, stored, folder);
    } else {
        switchOff(*desktop, stored, folder);
    }
    if (hooks_.switched) {
        hooks_.switched();
    }
    releaseWhenMinimised();
}

void WallpaperController::refresh() {
    if (!readStored().on) {
        return;
    }
    // The user was told when the mode was switched on; a session without a back
    // end (the mode was on in another desktop) only skips the renewal.
    WallpaperBackend* desktop = backend(false);
    if (desktop == nullptr) {
        return;
    }
    const std::string folder = world_.folders.user.toStdString();
    // Another Chronvale renewing it now makes this renewal needless.
    const WallpaperLock lock(folder, 0);
    if (!lock.held()) {
        return;
    }
    const StoredWallpaper stored = readStored();
    if (!stored.on || !savedThrough(stored, *desktop)) {
        return;
    }
    const WallpaperRenewal renewal =
        refreshWallpaper(*desktop, litMapForExport(), wallpaperSizing(world_.settings), folder);
    reportRenewal(renewal.shown, *desktop);
    releaseWhenMinimised();
}

} // namespace chronvale
