#include "app/mainwindow/wallpaper_controller.h"

#include "app/startup/world.h"
#include "app/wallpaper/session_screens.h"
#include "app/wallpaper/wallpaper_painter.h"
#include "desktop/wallpaper/wallpaper_lock.h"
#include "i18n/messages.h"
#include "i18n/string_table.h"

#include <QSettings>

namespace chronvale {

// What a job found, for the window's thread.
struct WallpaperOutcome {
    bool lockHeld = true;
    bool noDesktop = false;
    std::vector<std::string> lookedFor;
    std::string desktopName;
    std::optional<StoredWallpaper> stored; // as the file holds it after the job
    std::optional<WallpaperApplied> applied;
    std::optional<WallpaperRestoreResult> restored;
    std::optional<WallpaperRenewal> renewal;
    bool unwritable = false;
};

namespace {

// The window waits no longer than this for `chronvale --wallpaper` to finish one
// change; it waits on the worker, never on the window's thread.
constexpr int kToggleLockWaitMs = 45000;

QString joinedNames(const std::vector<std::string>& names) {
    QString joined;
    for (const std::string& name : names) {
        joined +=
            (joined.isEmpty() ? QString() : QStringLiteral(", ")) + QString::fromStdString(name);
    }
    return joined.isEmpty()
               ? QStringLiteral("GNOME, Cinnamon, MATE, KDE Plasma, XFCE, LXQt, sway, Hyprland, "
                                "feh, xwallpaper")
               : joined;
}

} // namespace

WallpaperController::WallpaperController(World& world, BackendFinder finder, Hooks hooks)
    : world_(world), finder_(std::move(finder)), hooks_(std::move(hooks)),
      store_(*world.programSettings), settingsFile_(store_.fileName()) {}

WallpaperController::~WallpaperController() = default;

WallpaperBackend* WallpaperController::backend(std::vector<std::string>& lookedFor) {
    if (!backend_) {
        BackendChoice choice = finder_();
        lookedFor = choice.lookedFor;
        backend_ = std::move(choice.backend);
    }
    return backend_.get();
}

void WallpaperController::releaseWhenMinimised() {
    if (hooks_.minimised()) {
        world_.compositor.releaseEarthImages();
        world_.compositor.releaseLitMap();
        hooks_.releaseView();
    }
}

WallpaperOrder WallpaperController::order() const {
    std::vector<WallpaperScreen> screens = hooks_.screens ? hooks_.screens() : sessionScreens();
    static const CloudFrameTable kNoFrames{};
    return buildWallpaperOrder(world_.settings, world_.tables().cities,
                               hooks_.cloudFrames ? hooks_.cloudFrames() : kNoFrames,
                               hooks_.shownFrame ? hooks_.shownFrame() : 0, std::move(screens), {},
                               world_.folders.data.toStdString(),
                               world_.folders.user.toStdString() + "/cache", hooks_.now(),
                               hooks_.cloudCredit ? hooks_.cloudCredit() : std::string());
}

WallpaperOutcome WallpaperController::work(bool toggle, bool switchingOn,
                                           const WallpaperOrder& order) {
    WallpaperOutcome outcome;
    const WallpaperRequest& request = order.request;
    const EarthPainter painter = wallpaperPainter(order);
    const std::string folder = world_.folders.user.toStdString();
    WallpaperBackend* desktop = backend(outcome.lookedFor);
    outcome.noDesktop = desktop == nullptr;
    if (desktop != nullptr) {
        outcome.desktopName = desktop->name();
    }
    // A timer's renewal that finds another Chronvale at work is needless.
    const WallpaperLock lock(folder, toggle ? kToggleLockWaitMs : 0);
    if (!lock.held()) {
        outcome.lockHeld = false;
        return outcome;
    }
    QSettings program(settingsFile_, QSettings::IniFormat);
    // For `chronvale --wallpaper` from a timer, which has no screens to ask.
    writeLastScreens(program, request.screens);
    StoredWallpaper stored = readStoredWallpaper(program);
    const auto persist = [&program, &outcome](const StoredWallpaper& s) {
        const bool written = writeStoredWallpaper(program, s);
        outcome.unwritable = outcome.unwritable || !written;
        return written;
    };
    if (!toggle) {
        if (stored.on && desktop != nullptr && savedThrough(stored, *desktop)) {
            outcome.renewal = refreshWallpaper(*desktop, request, painter, folder);
        }
    } else if (desktop == nullptr) {
        if (stored.on && !switchingOn) {
            // On from a session of another desktop: off, with nothing to give back
            // to; the saved values stay.
            stored.on = false;
            persist(stored);
        }
    } else if (switchingOn) {
        if (stored.on && savedThrough(stored, *desktop)) {
            // `chronvale --wallpaper` switched it on meanwhile: the state it saved stays.
            outcome.renewal = refreshWallpaper(*desktop, request, painter, folder);
        } else {
            // On under another desktop only: this desktop's state is added.
            outcome.applied = applyWallpaper(*desktop, request, painter, folder, stored, persist);
        }
    } else if (stored.on) {
        outcome.restored = restoreWallpaper(*desktop, stored, folder, persist);
    }
    outcome.stored = readStoredWallpaper(program);
    return outcome;
}

void WallpaperController::reload() {
    const bool wasOn = store_.on();
    if (store_.load().on != wasOn && hooks_.switched) {
        hooks_.switched();
    }
}

void WallpaperController::finish(const WallpaperOutcome& outcome) {
    if (outcome.stored) {
        reload(); // the job wrote the file through its own handle
    }
    const QString desktop = QString::fromStdString(outcome.desktopName);
    const auto refused = [&] {
        hooks_.status(formatMessage(world_.language.getText(str::WallpaperRefused), {desktop}));
    };
    if (outcome.unwritable) {
        showError(world_.messages, world_.language.getText(str::UnableToWriteFile),
                  {settingsFile_});
    }
    if (outcome.applied) {
        switch (outcome.applied->result) {
        case WallpaperApplyResult::StateUnreadable:
            showMessage(world_.messages, world_.language.getText(str::ServerErrorCaption),
                        world_.language.getText(str::WallpaperStateUnreadable), {desktop},
                        MessageSink::Icon::Warning);
            break;
        case WallpaperApplyResult::NotPersisted:
            break; // said above
        case WallpaperApplyResult::Shown:
            if (!outcome.applied->stateReadBack) {
                hooks_.status(world_.language.getText(str::WallpaperNotReadBack));
            }
            if (!outcome.applied->renewal.shown) {
                refused();
            }
            break;
        }
    }
    if (outcome.restored == WallpaperRestoreResult::Refused) {
        refused();
    }
    if (outcome.renewal && !outcome.renewal->shown) {
        refused();
    }
    if (hooks_.switched) {
        hooks_.switched();
    }
}

void WallpaperController::toggle() {
    // What the user asked for, from the check mark as it was shown.
    const bool switchingOn = !store_.on();
    const WallpaperOrder what = order();
    releaseWhenMinimised();
    jobs_.start(
        [this, switchingOn, what]() -> std::function<void()> {
            WallpaperOutcome outcome = work(true, switchingOn, what);
            return [this, outcome = std::move(outcome)] {
                if (!outcome.lockHeld) {
                    hooks_.status(world_.language.getText(str::WallpaperBusy));
                    return;
                }
                if (outcome.noDesktop && !outcome.stored->on) {
                    showMessage(world_.messages, world_.language.getText(str::ServerErrorCaption),
                                world_.language.getText(str::WallpaperNoDesktop),
                                {joinedNames(outcome.lookedFor)}, MessageSink::Icon::Warning);
                }
                finish(outcome);
            };
        },
        true);
}

void WallpaperController::refresh() {
    if (jobs_.busy()) {
        return; // the job at work renews it
    }
    // `chronvale --wallpaper` may have switched it meanwhile: the file says.
    reload();
    if (!store_.on()) {
        return;
    }
    const WallpaperOrder what = order();
    releaseWhenMinimised();
    jobs_.start(
        [this, what]() -> std::function<void()> {
            WallpaperOutcome outcome = work(false, false, what);
            return [this, outcome = std::move(outcome)] {
                if (outcome.lockHeld) {
                    finish(outcome);
                }
            };
        },
        false);
}

} // namespace chronvale
