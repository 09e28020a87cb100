#include "app/mainwindow/clock_jump.h"

#include <QDBusConnection>
#include <QDateTime>
#include <QElapsedTimer>
#include <cstdlib>

namespace chronvale {

Clocks Clocks::system() {
    return Clocks{
        .wallMs = [] { return QDateTime::currentMSecsSinceEpoch(); },
        .monotonicMs =
            [] {
                // QElapsedTimer reads the monotonic clock, which stops in suspend.
                QElapsedTimer clock;
                clock.start();
                return static_cast<std::int64_t>(clock.msecsSinceReference());
            },
    };
}

ClockJumpWatcher::ClockJumpWatcher(Clocks clocks, std::int64_t thresholdMs)
    : clocks_(std::move(clocks)), thresholdMs_(thresholdMs), wallAt_(clocks_.wallMs()),
      monotonicAt_(clocks_.monotonicMs()) {}

bool ClockJumpWatcher::check() {
    const std::int64_t wall = clocks_.wallMs();
    const std::int64_t monotonic = clocks_.monotonicMs();
    const std::int64_t drift = (wall - wallAt_) - (monotonic - monotonicAt_);
    wallAt_ = wall;
    monotonicAt_ = monotonic;
    return std::llabs(drift) > thresholdMs_;
}

ResumeWatcher::ResumeWatcher(QDBusConnection bus, QObject* parent) : QObject(parent) {
    if (!bus.isConnected()) {
        return;
    }
    listening_ = bus.connect(QStringLiteral("org.freedesktop.login1"),
                             QStringLiteral("/org/freedesktop/login1"),
                             QStringLiteral("org.freedesktop.login1.Manager"),
                             QStringLiteral("PrepareForSleep"), this, SLOT(prepareForSleep(bool)));
}

void ResumeWatcher::prepareForSleep(bool sleeping) {
    if (!sleeping) {
        emit resumed();
    }
}

} // namespace chronvale
