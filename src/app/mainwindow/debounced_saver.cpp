#include "app/mainwindow/debounced_saver.h"

namespace chronvale {

namespace {

class QtSaveTimer : public SaveTimer {
public:
    QtSaveTimer() {
        timer_.setSingleShot(true);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (fired_) {
                fired_();
            }
        });
    }
    void start(int ms, std::function<void()> fired) override {
        fired_ = std::move(fired);
        timer_.start(ms);
    }
    void stop() override { timer_.stop(); }
    bool active() const override { return timer_.isActive(); }

private:
    QTimer timer_;
    std::function<void()> fired_;
};

} // namespace

std::unique_ptr<SaveTimer> makeQtSaveTimer() {
    return std::make_unique<QtSaveTimer>();
}

DebouncedSaver::DebouncedSaver(std::function<void()> save, std::unique_ptr<SaveTimer> timer,
                               int delayMs)
    : save_(std::move(save)), timer_(std::move(timer)), delayMs_(delayMs) {}

void DebouncedSaver::changed() {
    timer_->start(delayMs_, [this] { save_(); });
}

void DebouncedSaver::flush() {
    if (timer_->active()) {
        timer_->stop();
        save_();
    }
}

void DebouncedSaver::cancel() {
    timer_->stop();
}

} // namespace chronvale
