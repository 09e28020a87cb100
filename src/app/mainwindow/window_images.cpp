// What the window frees when it is minimised and loads back when it is restored:
// the earth images, the cloud frame shown and the view's caches.

#include "app/mainwindow/cloud_animation.h"
#include "app/mainwindow/command_ids.h"
#include "app/mainwindow/main_window.h"
#include "app/mainwindow/map_controller.h"
#include "app/startup/world.h"
#include "app/wallpaper/wallpaper_order.h"
#include "net/cloud_service.h"

#include <malloc.h>

namespace chronvale {

void MainWindow::releaseImages() {
    world_.compositor.releaseEarthImages();
    map_->release();
    ::malloc_trim(0); // what was freed goes back to the system
}

void MainWindow::reloadImages() {
    activateWindow();
    world_.compositor.loadSourceImages(true);
    // The minimise freed the cloud frame with the others: the shown one comes back
    // from the cache, or the map (and a wallpaper renewed from the tray) would
    // lose its clouds.
    if (world_.settings.switches.clouds && world_.compositor.cloudImage() == nullptr) {
        if (const auto t = wallpaperCloudFrame(cloud_->frames(), cloud_->currentFrame(),
                                               world_.folders.user.toStdString() + "/cache")) {
            world_.compositor.setCloudImage(loadImage(CloudService::cachePath(*t)));
        }
    }
    QMetaObject::invokeMethod(this, &MainWindow::rebuildAfterRestore, Qt::QueuedConnection);
}

void MainWindow::rebuildAfterRestore() {
    // A quick map first; the shadow, which takes longer, follows.
    const bool shadow = world_.settings.switches.sunShadow;
    world_.switchBoard.change([](DisplaySwitches& s) { s.sunShadow = false; });
    composeMap();
    activateWindow();
    raise();
    repaintMap();
    if (shadow) {
        QMetaObject::invokeMethod(
            this, [this] { runCommand(cmd::SunShadow); }, Qt::QueuedConnection);
    }
}

} // namespace chronvale
