#pragma once
// Keeps the session's choices and the lit map true over the program's life
// outside its own menus:
// - every way out saves: SIGTERM, SIGINT and SIGHUP (the window closes as Exit
//   closes it), the session manager's commit and save-state requests, and the
//   application's aboutToQuit;
// - a change of the marks or the switches is saved DebouncedSaver::DelayMs later;
// - after a resume, or a jump of the wall clock against the monotonic one
//   (checked on the window's 1-second tick), the lit map and the wallpaper are
//   renewed at once.

#include "app/mainwindow/clock_jump.h"
#include "app/mainwindow/debounced_saver.h"
#include "app/startup/quit_signals.h"

#include <QObject>
#include <memory>
#include <optional>

class QSessionManager;

namespace chronvale {

class MainWindow;
class World;

class SessionLife : public QObject {
    Q_OBJECT

public:
    // What tests replace; none: the system's clocks and a QTimer.
    struct Options {
        std::optional<Clocks> clocks;
        std::unique_ptr<SaveTimer> saveTimer;
    };

    // The window and the world must outlive this object.
    SessionLife(MainWindow& window, World& world, Options options = {});
    ~SessionLife() override;

    // The map renewals done after a clock jump or a resume.
    int renewals() const { return renewals_; }
    DebouncedSaver& saver() { return *saver_; }

signals:
    // A quit signal arrived and the window has been closed (the settings saved).
    void quitBySignal(int signalNumber);

private:
    void save();
    void renewMap();
    void commitData(QSessionManager& manager);

    MainWindow& window_;
    World& world_;
    std::shared_ptr<DebouncedSaver> saver_;
    ClockJumpWatcher clockJump_;
    QuitSignals quitSignals_;
    ResumeWatcher resume_;
    bool closed_ = false;
    int renewals_ = 0;
};

} // namespace chronvale
