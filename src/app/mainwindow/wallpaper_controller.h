#pragma once
// Wallpaper Mode in the window: the command that switches it, and the renewal
// after each tick of the shadow timer. The window's thread only gathers what a
// job needs (the monitors, the user's choices, the shown cloud frame: one
// WallpaperOrder, built as `chronvale --wallpaper` builds it) and takes the result
// back; the job composes each monitor's picture at its own size. The job runs on a worker
// (WallpaperJobs): it takes the wallpaper lock, reads the settings file afresh (`chronvale
// --wallpaper` from a timer may change it at any time) through its own handle,
// runs the desktop's tools and writes the state; the window's WallpaperStore
// loads it afresh when the result is back. Status texts and message boxes come with the result,
// once the lock is released.

#include "app/mainwindow/wallpaper_jobs.h"
#include "app/wallpaper/wallpaper_order.h"
#include "desktop/wallpaper/backend_choice.h"
#include "desktop/wallpaper/wallpaper_mode.h"
#include "desktop/wallpaper/wallpaper_store.h"
#include "render/earth_image.h"

#include <QString>
#include <ctime>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace chronvale {

class World;
struct WallpaperOutcome;

class WallpaperController {
public:
    struct Hooks {
        std::function<std::time_t()> now;
        std::function<bool()> minimised;            // the window is minimised or hidden
        std::function<void()> releaseView;          // free the view bitmap
        std::function<void(const QString&)> status; // a text in the status bar
        std::function<void()> switched;             // the mode went on or off (the check mark)
        // The monitors; none: the session's screens (tests give their own).
        std::function<std::vector<WallpaperScreen>()> screens;
        // The cloud service's frames and the one shown (the wallpaper shows it).
        std::function<const CloudFrameTable&()> cloudFrames;
        std::function<int()> shownFrame;
        // The credit the server sent with the frames; none or empty: the default.
        std::function<std::string()> cloudCredit;
    };
    // Finds the desktop's back end; tests give a recording one. Called on the worker.
    using BackendFinder = std::function<BackendChoice()>;

    WallpaperController(World& world, BackendFinder finder, Hooks hooks);
    ~WallpaperController();

    // The Wallpaper Mode command: switches the mode on (applyWallpaper) or off
    // (restoreWallpaper), from the state the check mark showed. With no back end
    // an error box names what was looked for and the mode stays (or goes) off.
    // Queued behind a job that is running.
    void toggle();
    // After the shadow timer's tick: renews the wallpaper while the mode is on;
    // does nothing while it is off, or while a job or another Chronvale is at it.
    void refresh();
    // Whether the mode is on, as last read or written (the check mark).
    bool on() const { return store_.on(); }
    // A job is running or queued.
    bool busy() const { return jobs_.busy(); }

private:
    // What to make, from the stored settings as `chronvale --wallpaper` makes it:
    // the session's monitors, the user's choices, the shown cloud frame. The job's
    // painter decodes the images on the worker, so the window's own (freed while
    // minimised) are not touched.
    WallpaperOrder order() const;
    // While minimised: frees the images, the view bitmap and the lit map, so that a
    // window in the tray holds none between renewals.
    void releaseWhenMinimised();
    // The worker's part: the lock, the file, the desktop.
    WallpaperOutcome work(bool toggle, bool switchingOn, const WallpaperOrder& order);
    // The window's part: the state loaded afresh, texts and boxes.
    void finish(const WallpaperOutcome& outcome);
    // Loads the stored values afresh; the check mark follows a change.
    void reload();
    // The back end, found on the worker the first time it is needed.
    WallpaperBackend* backend(std::vector<std::string>& lookedFor);

    World& world_;
    BackendFinder finder_;
    Hooks hooks_;
    WallpaperStore store_; // on the window's thread; a job has its own handle
    QString settingsFile_;
    std::unique_ptr<WallpaperBackend> backend_; // used by one job at a time
    WallpaperJobs jobs_;
};

} // namespace chronvale
