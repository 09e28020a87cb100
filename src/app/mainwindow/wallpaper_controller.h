#pragma once
// Wallpaper Mode in the window: the command that switches it, and the renewal
// after each composition of the shadow timer. It brings the lit map the export
// needs (loading the images and composing while the window is minimised, and
// freeing them again afterwards, so that a program in the tray holds no images
// between renewals) and keeps the switch and the desktop's saved state in the
// settings record and, at once, in the settings file.

#include "desktop/wallpaper/backend_choice.h"
#include "render/earth_image.h"

#include <QString>
#include <ctime>
#include <functional>
#include <memory>

namespace chronvale {

class World;

class WallpaperController {
public:
    struct Hooks {
        std::function<std::time_t()> now;
        std::function<bool()> minimised;            // the window is minimised or hidden
        std::function<void()> releaseView;          // free the view bitmap
        std::function<void(const QString&)> status; // a text in the status bar
    };
    // Finds the desktop's back end; tests give a recording one.
    using BackendFinder = std::function<BackendChoice()>;

    WallpaperController(World& world, BackendFinder finder, Hooks hooks);
    ~WallpaperController();

    // The Wallpaper Mode command: switches the mode on (applyWallpaper) or off
    // (restoreWallpaper). With no back end an error box names what was looked for
    // and the mode stays (or goes) off.
    void toggle();
    // After the shadow timer's composition: renews the wallpaper while the mode is
    // on; does nothing while it is off.
    void refresh();
    // Before the settings are saved at exit: unless the mode was switched in this
    // window, takes the stored values from the file, where `chronvale --wallpaper`
    // may have changed them meanwhile, so that the exit does not undo that.
    void beforeSave();

private:
    // The back end, found the first time it is needed; none when there is none
    // (with an error box naming what was looked for when tellUser is set).
    WallpaperBackend* backend(bool tellUser);
    // The lit map for the export: composed anew while minimised, when the
    // composition of the window was skipped.
    const EarthImage* litMapForExport();
    // While minimised: frees the images, the view bitmap and the lit map.
    void releaseWhenMinimised();
    void reportRenewal(bool shown, const WallpaperBackend& backend);

    World& world_;
    BackendFinder finder_;
    Hooks hooks_;
    std::unique_ptr<WallpaperBackend> backend_;
    bool switched_ = false; // the mode was switched on or off in this window
};

} // namespace chronvale
