#pragma once
// Runs Wallpaper Mode's work off the window's thread, one job at a time. The
// desktop tools (gsettings, xfconf-query …), the Plasma shell's D-Bus calls and
// the wallpaper lock may each take seconds; on a worker thread they cannot freeze
// the window. A job's work runs on the worker and gives back what is to be done
// on the window's thread with its result (copy the stored state, show a status
// text or a message box), which runs there once the worker is finished, the lock
// released.

#include <QObject>
#include <functional>
#include <memory>
#include <thread>

namespace chronvale {

class WallpaperJobs : public QObject {
public:
    // Runs on the worker; returns what to run on the window's thread afterwards.
    using Work = std::function<std::function<void()>()>;

    WallpaperJobs();
    // Waits for a running job (its tools are bounded) and drops a queued one.
    ~WallpaperJobs() override;

    bool busy() const { return worker_.joinable(); }
    // Starts `work`; while a job runs it is run after it when `queue` is set (only
    // the last one queued), else dropped. Returns whether it was started or queued.
    bool start(Work work, bool queue);
    // Waits for the running job and runs its result; a queued one is dropped.
    // For the exit, when nothing is shown any more.
    void finishNow();

private:
    // Where a job's result waits for the window's thread, shared with the worker.
    struct Slot;
    void finished(const std::function<void()>& result);

    std::thread worker_;
    std::shared_ptr<Slot> slot_; // the running job's
    Work queued_;
    int generation_ = 0; // tells a stale delivery from the running job's
};

} // namespace chronvale
