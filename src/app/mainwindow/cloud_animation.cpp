#include "app/mainwindow/cloud_animation.h"

#include "net/http_client.h"
#include "render/compositor.h"

namespace chronvale {

CloudAnimation::CloudAnimation(CloudService& cloud, Compositor& compositor, HttpClient& http,
                               Hooks hooks)
    : cloud_(cloud), compositor_(compositor), http_(http), hooks_(std::move(hooks)) {
    connect(&timer_, &QTimer::timeout, this, &CloudAnimation::tick);
}

void CloudAnimation::halt() {
    timer_.stop();
    running_ = false;
}

void CloudAnimation::next() {
    halt();
    if (!hooks_.cloudsOn()) {
        hooks_.showClouds();
    }
    cloud_.stepFrames(cloud_.currentFrame(), CloudService::TowardsNewest);
    hooks_.buttonsChanged();
}

void CloudAnimation::previous() {
    halt();
    if (!hooks_.cloudsOn()) {
        cloud_.setCurrentFrame(-1); // the step towards older frames starts at the newest
        hooks_.showClouds();
    }
    cloud_.stepFrames(cloud_.currentFrame(), 1);
    hooks_.buttonsChanged();
}

void CloudAnimation::play() {
    if (!running_) {
        // The animation shows clouds: the switch says so, as Next and Previous do.
        if (!hooks_.cloudsOn()) {
            hooks_.showClouds();
        }
        cloud_.setCurrentFrame(CloudService::LastFrame); // begin at the oldest
        timer_.start(PeriodMs);
        running_ = true;
    }
    hooks_.buttonsChanged();
}

void CloudAnimation::stop() {
    halt();
    cloud_.setCurrentFrame(0);
    http_.httpCancelAll();
    hooks_.buttonsChanged();
}

void CloudAnimation::stopTimer() {
    halt();
    // The caller may still change the current frame: the buttons follow after it.
    QMetaObject::invokeMethod(
        this, [this] { hooks_.buttonsChanged(); }, Qt::QueuedConnection);
}

void CloudAnimation::showNewest() {
    cloud_.stepFrames(CloudService::FirstFrame, 1);
}

void CloudAnimation::resume() {
    cloud_.stepFrames(cloud_.resumeFrom(), cloud_.resumeDirection());
    hooks_.buttonsChanged();
}

void CloudAnimation::tick() {
    // A blend under way or a tick still being handled: this tick is skipped.
    if (compositor_.blendBusy() || tickBusy_) {
        return;
    }
    tickBusy_ = true;
    cloud_.stepFrames(cloud_.currentFrame(), CloudService::TowardsNewest);
    tickBusy_ = false;
}

} // namespace chronvale
