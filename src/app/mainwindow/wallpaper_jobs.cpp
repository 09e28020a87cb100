#include "app/mainwindow/wallpaper_jobs.h"

#include <QMetaObject>
#include <QPointer>
#include <memory>
#include <mutex>

namespace chronvale {

struct WallpaperJobs::Slot {
    std::mutex mutex;
    std::function<void()> result;
};

WallpaperJobs::WallpaperJobs() = default;

WallpaperJobs::~WallpaperJobs() {
    queued_ = nullptr;
    if (worker_.joinable()) {
        worker_.join();
    }
}

bool WallpaperJobs::start(Work work, bool queue) {
    if (busy()) {
        if (!queue) {
            return false;
        }
        queued_ = std::move(work);
        return true;
    }
    const int generation = ++generation_;
    QPointer<WallpaperJobs> self(this);
    auto slot = std::make_shared<Slot>();
    worker_ = std::thread([self, slot, generation, work = std::move(work)] {
        std::function<void()> result = work();
        {
            const std::lock_guard<std::mutex> lock(slot->mutex);
            slot->result = std::move(result);
        }
        // Back to the window's thread; nothing happens when the runner is gone
        // or the result was taken by finishNow.
        QMetaObject::invokeMethod(
            self.data(),
            [self, slot, generation] {
                if (self && self->generation_ == generation && self->worker_.joinable()) {
                    self->worker_.join();
                    std::function<void()> result;
                    {
                        const std::lock_guard<std::mutex> lock(slot->mutex);
                        result = std::move(slot->result);
                    }
                    self->finished(result);
                }
            },
            Qt::QueuedConnection);
    });
    slot_ = slot;
    return true;
}

void WallpaperJobs::finished(const std::function<void()>& result) {
    slot_.reset();
    if (result) {
        result();
    }
    if (queued_ && !busy()) {
        Work next = std::move(queued_);
        queued_ = nullptr;
        start(std::move(next), false);
    }
}

void WallpaperJobs::finishNow() {
    queued_ = nullptr;
    if (!worker_.joinable()) {
        return;
    }
    worker_.join();
    ++generation_; // the queued delivery is stale now
    std::function<void()> result;
    if (slot_) {
        const std::lock_guard<std::mutex> lock(slot_->mutex);
        result = std::move(slot_->result);
    }
    finished(result);
}

} // namespace chronvale
