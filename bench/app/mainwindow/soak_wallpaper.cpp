// Soak run: the longest stall of the window's main loop while Wallpaper Mode
// works, against a stand-in desktop tool (a script that sleeps): the switch-on
// with a tool that takes 5 s, then renewals after the shadow timer's ticks with a
// tool that answers at once. A 1 ms timer on the window's thread measures the
// longest gap between its ticks. Not part of `make bench` (it runs for a while):
// build/bench/app/mainwindow/soak_wallpaper [renewals].

#include "app/mainwindow/command_ids.h"
#include "app/mainwindow/main_window.h"
#include "app/startup/world.h"
#include "config/program_settings.h"
#include "core/product.h"
#include "desktop/wallpaper/command_backend.h"
#include "i18n/messages.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

using namespace chronvale;

class QuietSink final : public MessageSink {
public:
    void messageBox(const QString&, const QString&, Icon) override {}
};

// The longest gap between ticks of a 1 ms timer, less the 1 ms.
class StallMeter {
public:
    StallMeter() {
        timer_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (clock_.isValid()) {
                longest_ = std::max(longest_, clock_.nsecsElapsed());
            }
            clock_.start();
        });
    }
    // Runs the event loop until `done` holds (checked every tick); the longest stall in ms.
    double measure(const std::function<bool()>& done) {
        longest_ = 0;
        clock_.invalidate();
        timer_.start(1);
        while (!done()) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        }
        timer_.stop();
        return std::max(0.0, longest_ / 1e6 - 1.0);
    }

private:
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 longest_ = 0;
};

// CPU time of the calling thread in ms: what the window's thread itself spent,
// apart from the time other processes of a loaded machine took from it.
double threadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    QTemporaryDir home;
    for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"}) {
        ::setenv(name, QFile::encodeName(home.path()).constData(), 1);
    }
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QString::fromLatin1(organisationName));
    QCoreApplication::setApplicationName(QString::fromLatin1(settingsApplication));
    const int renewals = argc > 1 ? std::atoi(argv[1]) : 10;

    // The stand-in tool: sleeps as long as the delay file says.
    const QString delay = home.filePath(QStringLiteral("delay"));
    const QString tool = home.filePath(QStringLiteral("slow-tool"));
    {
        QFile script(tool);
        script.open(QIODevice::WriteOnly);
        script.write("#!/bin/sh\nsleep \"$(cat '" + QFile::encodeName(delay) + "')\"\n");
        script.setPermissions(script.permissions() | QFileDevice::ExeOwner);
    }
    const auto setDelay = [&delay](const char* seconds) {
        QFile file(delay);
        file.open(QIODevice::WriteOnly);
        file.write(seconds);
    };

    QuietSink messages;
    World world(Folders{QStringLiteral(CHRONVALE_SOURCE_DIR "/data"), home.path(), false},
                messages);
    world.settings.switches.dayMap = true;
    // The window's own shadow (composed on its thread at each tick) is not the
    // wallpaper's work: off, so that the stall measured is the wallpaper's alone.
    // The wallpaper is composed with the shadow all the same.
    world.settings.switches.sunShadow = std::getenv("SOAK_WINDOW_SHADOW") != nullptr;
    MainWindowOptions options;
    options.startImageServer = false;
    options.newestCloudsAtStart = false;
    options.wallpaperBackend = [tool] {
        WallpaperCommand command;
        command.desktop = QStringLiteral("Stand-in desktop");
        command.program = tool;
        command.eachPicture = {{QStringLiteral("%f")}};
        BackendChoice choice;
        choice.backend = std::make_unique<CommandBackend>(command);
        return choice;
    };
    MainWindow window(world, options);
    window.show();
    StallMeter meter;
    // The machine's own noise: the loop with nothing to do for 3 s.
    QElapsedTimer idle;
    idle.start();
    double idleCpu = threadCpuMs();
    const double idleStall = meter.measure([&idle] { return idle.elapsed() > 3000; });
    idleCpu = threadCpuMs() - idleCpu;
    std::printf("idle 3 s: longest main-loop stall %.1f ms, window thread's CPU time %.1f ms\n",
                idleStall, idleCpu);

    setDelay("5");
    QElapsedTimer took;
    took.start();
    double cpu = threadCpuMs();
    window.runCommand(cmd::WallpaperMode);
    const double onStall = meter.measure([&window] { return !window.wallpaperBusy(); });
    cpu = threadCpuMs() - cpu;
    std::printf("switch-on, tool of 5 s: took %.0f ms, longest main-loop stall %.1f ms, "
                "window thread's CPU time %.1f ms (the 1 ms meter's ticks included)\n",
                took.nsecsElapsed() / 1e6, onStall, cpu);

    setDelay("0");
    double worst = 0.0;
    double start = 0.0;
    cpu = threadCpuMs();
    for (int i = 0; i < renewals; ++i) {
        const double before = threadCpuMs();
        QMetaObject::invokeMethod(const_cast<QTimer*>(&window.refreshTimer()), "timeout");
        start = std::max(start, threadCpuMs() - before);
        worst = std::max(worst, meter.measure([&window] { return !window.wallpaperBusy(); }));
    }
    cpu = threadCpuMs() - cpu;
    std::printf("%d renewals: longest main-loop stall %.1f ms; the tick's own work on the "
                "window thread at most %.1f ms; window thread's CPU time %.1f ms a renewal "
                "(meter included)\n",
                renewals, worst, start, cpu / renewals);
    return 0;
}
