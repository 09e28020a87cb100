#pragma once
// Wallpaper Mode in the window: the command that switches it, and the renewal
// after each composition of the shadow timer. It brings the lit map the export
// needs (loading the images and composing while the window is minimised, and
// freeing them again afterwards, so that a program in the tray holds no images
// between renewals) and keeps the switch and the desktop's saved state through
// the wallpaper store. `chronvale --wallpaper` from a timer may change the file
// at any time: each operation reads it afresh under the wallpaper lock.

#include "desktop/wallpaper/backend_choice.h"
#include "desktop/wallpaper/wallpaper_store.h"
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
        std::function<void()> switched;             // the mode went on or off (the check mark)
    };
    // Finds the desktop's back end; tests give a recording one.
    using BackendFinder = std::function<BackendChoice()>;

    WallpaperController(World& world, BackendFinder finder, Hooks hooks);
    ~WallpaperController();

    // The Wallpaper Mode command: switches the mode on (applyWallpaper) or off
    // (restoreWallpaper), from the state the check mark showed. With no back end
    // an error box names what was looked for and the mode stays (or goes) off.
    void toggle();
    // After the shadow timer's composition: renews the wallpaper while the mode is
    // on; does nothing while it is off, or while another Chronvale is changing it.
    void refresh();
    // Whether the mode is on, as last read or written (the check mark).
    bool on() const { return store_.on(); }

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
    // The stored values as the file holds them now (the check mark follows).
    StoredWallpaper readStored();
    // Writes `stored` to the file.
    bool persist(const StoredWallpaper& stored);
    void reportUnwritable();
    // Switches on, or renews when the file says it is on already.
    void switchOn(WallpaperBackend& desktop, StoredWallpaper& stored, const std::string& folder);
    void switchOff(WallpaperBackend& desktop, StoredWallpaper& stored, const std::string& folder);

    World& world_;
    BackendFinder finder_;
    Hooks hooks_;
    std::unique_ptr<WallpaperBackend> backend_;
    WallpaperStore store_;
};

} // namespace chronvale
