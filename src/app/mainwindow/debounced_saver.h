#pragma once
// Saves a short while after the last of a run of changes (marks, switches), so
// that a crash loses at most that while, and a burst of changes writes once.

#include <QTimer>
#include <functional>
#include <memory>

namespace chronvale {

// The one-shot timer the saver waits on; tests replace it to fire at will.
class SaveTimer {
public:
    virtual ~SaveTimer() = default;
    // (Re)starts the wait; `fired` runs once it is over, unless stopped first.
    virtual void start(int ms, std::function<void()> fired) = 0;
    virtual void stop() = 0;
    virtual bool active() const = 0;
};

// The QTimer one.
std::unique_ptr<SaveTimer> makeQtSaveTimer();

class DebouncedSaver {
public:
    static constexpr int DelayMs = 2000;

    DebouncedSaver(std::function<void()> save, std::unique_ptr<SaveTimer> timer,
                   int delayMs = DelayMs);

    // Something worth keeping changed: the save runs delayMs after the last change.
    void changed();
    // Saves now when a change waits (the save on the way out has done it: drop it).
    void flush();
    void cancel();
    bool pending() const { return timer_->active(); }

private:
    std::function<void()> save_;
    std::unique_ptr<SaveTimer> timer_;
    int delayMs_;
};

} // namespace chronvale
