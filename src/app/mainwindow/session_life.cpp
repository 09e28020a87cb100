#include "app/mainwindow/session_life.h"

#include "app/mainwindow/main_window.h"
#include "app/startup/world.h"

#include <QApplication>
#include <QSessionManager>

namespace chronvale {

SessionLife::SessionLife(MainWindow& window, World& world, Options options)
    : window_(window), world_(world),
      saver_(std::make_shared<DebouncedSaver>([this] { save(); }, options.saveTimer
                                                                      ? std::move(options.saveTimer)
                                                                      : makeQtSaveTimer())),
      clockJump_(options.clocks.value_or(Clocks::system())) {
    // The listeners outlive this object (the board and the world keep them):
    // they reach the saver only while it is there.
    const std::weak_ptr<DebouncedSaver> saver = saver_;
    const auto changed = [saver] {
        if (const auto live = saver.lock()) {
            live->changed();
        }
    };
    world_.switchBoard.listen([changed](const DisplaySwitches&) { changed(); });
    world_.listenToMarks(changed);

    connect(&quitSignals_, &QuitSignals::quitRequested, this, [this](int signalNumber) {
        // As Exit: the window saves and closes, and the program quits.
        if (!closed_) {
            window_.exitProgram();
        }
        QCoreApplication::quit();
        emit quitBySignal(signalNumber);
    });
    connect(&window_, &MainWindow::closed, this, [this] {
        closed_ = true;
        saver_->cancel(); // the close saved
    });
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        connect(app, &QGuiApplication::commitDataRequest, this, &SessionLife::commitData);
        connect(app, &QGuiApplication::saveStateRequest, this, &SessionLife::commitData);
    }
    connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this, [this] {
        if (!closed_) {
            save();
        }
    });

    connect(&window_.clockTimer(), &QTimer::timeout, this, [this] {
        if (clockJump_.check()) {
            renewMap();
        }
    });
    connect(&resume_, &ResumeWatcher::resumed, this, &SessionLife::renewMap);
}

SessionLife::~SessionLife() = default;

void SessionLife::save() {
    saver_->cancel();
    window_.saveSettings();
}

void SessionLife::commitData(QSessionManager&) {
    // The session may end without another word: everything goes to disk now.
    if (!closed_) {
        save();
    }
}

void SessionLife::renewMap() {
    ++renewals_;
    // The shadow (and with it the wallpaper) at the new now; the next regular
    // renewal a whole period later.
    window_.refreshTick();
    if (window_.refreshTimer().isActive()) {
        window_.restartRefreshTimer(window_.refreshTimer().interval() / kMillisecondsPerMinute);
    }
}

} // namespace chronvale
