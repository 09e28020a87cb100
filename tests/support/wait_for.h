#pragma once
// Waiting in a test for something the event loop brings about.

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>
#include <chrono>

namespace chronvale::test {

// Runs the event loop until `done` holds or `bound` passes; returns `done()`.
//
// Between checks the thread sleeps in the event dispatcher until an event arrives (a
// socket, a timer, a posted event): nothing spins. A single-shot timer at the deadline
// wakes it when nothing else comes. Needs a QCoreApplication.
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
        wake.start(std::chrono::ceil<std::chrono::milliseconds>(left));
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    return true;
}

} // namespace chronvale::test
