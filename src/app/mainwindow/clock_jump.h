#pragma once
// Notices that the wall clock moved against the monotonic one: a resume from
// suspend (the monotonic clock stood still while the machine slept), a clock set
// by hand or by NTP. The lit map then shows a stale sun and must be renewed.
// Also listens for logind's PrepareForSleep(false) on the system bus, which says
// the same sooner.

#include <QDBusConnection>
#include <QObject>
#include <cstdint>
#include <functional>

namespace chronvale {

// Milliseconds of the two clocks; tests replace them.
struct Clocks {
    std::function<std::int64_t()> wallMs;      // since the epoch
    std::function<std::int64_t()> monotonicMs; // since any fixed point
    static Clocks system();
};

class ClockJumpWatcher {
public:
    static constexpr std::int64_t ThresholdMs = 2 * 60 * 1000;

    explicit ClockJumpWatcher(Clocks clocks, std::int64_t thresholdMs = ThresholdMs);

    // True when, since the last check, the wall clock went further than the
    // threshold ahead of or behind the monotonic clock. Each check starts a new
    // comparison.
    bool check();

private:
    Clocks clocks_;
    std::int64_t thresholdMs_;
    std::int64_t wallAt_;
    std::int64_t monotonicAt_;
};

// Reports the end of a sleep as logind announces it; without a system bus (or
// without logind) it reports nothing, and says nothing about it.
class ResumeWatcher : public QObject {
    Q_OBJECT

public:
    // Listens on `bus` (the system bus; tests give a private one).
    explicit ResumeWatcher(QDBusConnection bus = QDBusConnection::systemBus(),
                           QObject* parent = nullptr);
    bool listening() const { return listening_; }

signals:
    void resumed();

private slots:
    void prepareForSleep(bool sleeping);

private:
    bool listening_ = false;
};

} // namespace chronvale
