#pragma once
// Waiting in a test for something the event loop brings about.

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <chrono>

namespace chronvale::test {

inline constexpr std::chrono::milliseconds kLookAgain{25};

// Runs the event loop until `done` holds or `bound` passes; returns `done()`.
//
// Between checks the thread sleeps in the event dispatcher until an event arrives (a
// socket, a timer, a posted event), or at most kLookAgain: nothing spins, and a
// condition that no event announces is still seen soon. Needs a QCoreApplication.
template <typename Predicate>
bool waitFor(Predicate done, std::chrono::milliseconds bound = std::chrono::seconds(30)) {
    const QDeadlineTimer deadline(bound);
    QTimer wake;
    wake.setSingleShot(true);
    while (!done()) {
        const auto left = deadline.remainingTimeAsDuration();
        if (left <= std::chrono::nanoseconds::zero()) {
            return done();
        }
        // A condition no event announces (a file appearing) is looked at again
        // after a short while at the latest.
        wake.start(std::min(kLookAgain, std::chrono::ceil<std::chrono::milliseconds>(left)));
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    return true;
}

} // namespace chronvale::test
