// The window's first images and data, and what follows each round of transfers:
// the first lit map, the image server started when it does not answer, the first
// fetches of earthquakes and clouds (the newest frame with Clouds off too, asked
// again while a new server has none), and the old-data text after transfers.

#include "app/mainwindow/cloud_animation.h"
#include "app/mainwindow/data_age.h"
#include "app/mainwindow/main_window.h"
#include "app/mainwindow/window_services.h"
#include "app/startup/world.h"
#include "desktop/image_server_launcher.h"
#include "net/cloud_service.h"
#include "net/http_client.h"
#include "net/quake_feed.h"
#include "ui/status_bar.h"

#include <QTimer>
#include <malloc.h>

namespace chronvale {

void MainWindow::loadFirstImages() {
    world_.compositor.loadSourceImages(true);
    // Switches all off: the lit map is a copy of the day image.
    DisplaySwitches plain;
    world_.compositor.composeMap(plain, now());
    map_->view().dirty = true;
    repaintMap();
    syncCommandStates();
}

void MainWindow::buildFirstLitMap() {
    status_->show(StatusPresenter::Message, QString());
    composeMap();
    if (!options_.startImageServer) {
        fetchFirstData(true);
        return;
    }
    // A server of this computer that does not answer is started; the first
    // fetches wait until it answers (or the launcher gives up).
    imageServer_ = std::make_unique<ImageServerLauncher>();
    connect(imageServer_.get(), &ImageServerLauncher::ready, this,
            [this] { fetchFirstData(true); });
    connect(imageServer_.get(), &ImageServerLauncher::gaveUp, this,
            [this] { fetchFirstData(false); });
    using Outcome = ImageServerLauncher::Outcome;
    const Outcome outcome = imageServer_->ensureRunning(world_.installation.imageServer());
    if (outcome == Outcome::Answering || outcome == Outcome::NotThisComputer) {
        fetchFirstData(true);
    } else if (outcome == Outcome::NoProgram || outcome == Outcome::Failed) {
        fetchFirstData(false);
    }
}

void MainWindow::fetchFirstData(bool serverAnswers) {
    // Earthquakes on from the start (remembered, or a first start's values):
    // fetch them. The newest cloud frame is fetched while Clouds is off too when
    // the server answers (the frame turns the clouds on). One transfer runs at a
    // time, so the clouds wait for the earthquakes to be over.
    const DisplaySwitches& switches = world_.settings.switches;
    const bool quakes = switches.earthquakes && quakes_->quakeList().empty();
    if (quakes) {
        quakes_->requestQuakes();
    }
    if (!switches.clouds && !(serverAnswers && options_.newestCloudsAtStart)) {
        return;
    }
    if (world_.http.transferCount() > 0) {
        cloudsAfterTransfers_ = true;
    } else {
        fetchNewestClouds();
    }
}

void MainWindow::fetchNewestClouds() {
    if (world_.settings.switches.clouds) {
        animation_->showNewest();
    } else {
        cloud_->checkNewestImage();
    }
    // A server just started may have no frame yet: ask again every 20 s, for a
    // few minutes, until one has arrived.
    if (firstFrameTries_ < 10) {
        ++firstFrameTries_;
        QTimer::singleShot(20000, this, [this] {
            if (world_.compositor.cloudImage() == nullptr && world_.http.transferCount() == 0) {
                fetchNewestClouds();
            }
        });
    }
}

void MainWindow::transfersOver() {
    updateAnimationButtons();
    // The window is idle now: the heap that loading and decoding freed goes back to
    // the system instead of staying with the process.
    ::malloc_trim(0);
    // Old data is said plainly, with the reason the server gave.
    const DataSource& quakes = quakes_->source();
    const QString old = oldDataStatus(cloud_->frames()[0].t, cloud_->source(), &quakes, now(),
                                      static_cast<CloudOwner&>(*services_));
    if (!old.isEmpty()) {
        status_->show(StatusPresenter::Message, old);
    }
    if (cloudsAfterTransfers_) {
        cloudsAfterTransfers_ = false;
        // Not from inside the client's report: the step starts a transfer of its own.
        QMetaObject::invokeMethod(
            this, [this] { fetchNewestClouds(); }, Qt::QueuedConnection);
    }
}

} // namespace chronvale
