#include "app/mainwindow/cloud_animation.h"

#include "net/http_client.h"
#include "render/compositor.h"

#include <filesystem>
#include <system_error>

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
    stepFrames(cloud_.currentFrame(), TowardsNewest);
    hooks_.buttonsChanged();
}

void CloudAnimation::previous() {
    halt();
    if (!hooks_.cloudsOn()) {
        cloud_.setCurrentFrame(-1); // the step towards older frames starts at the newest
        hooks_.showClouds();
    }
    stepFrames(cloud_.currentFrame(), 1);
    hooks_.buttonsChanged();
}

void CloudAnimation::play() {
    if (!running_) {
        // The animation shows clouds: the switch says so, as Next and Previous do.
        if (!hooks_.cloudsOn()) {
            hooks_.showClouds();
        }
        cloud_.setCurrentFrame(LastFrame); // begin at the oldest
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
    stepFrames(FirstFrame, 1);
}

void CloudAnimation::resume() {
    stepFrames(resumeFrom_, resumeDirection_);
    hooks_.buttonsChanged();
}

void CloudAnimation::tick() {
    // A blend under way or a tick still being handled: this tick is skipped.
    if (compositor_.blendBusy() || tickBusy_) {
        return;
    }
    tickBusy_ = true;
    stepFrames(cloud_.currentFrame(), TowardsNewest);
    tickBusy_ = false;
}

void CloudAnimation::stepFrames(int from, int direction) {
    if (cloud_.transferActive()) {
        return;
    }
    const std::time_t listTime = cloud_.lastListTime();
    if (listTime == 0 || hooks_.now() - listTime > ListLifetime) {
        cloud_.requestFrameList();
        resumeFrom_ = from;
        resumeDirection_ = direction;
        return;
    }
    CloudFrameTable& frames = cloud_.frames();
    int a = from;
    for (int pass = 0; pass < kCloudFrameCount; ++pass) {
        if (a == LastFrame) {
            a = kCloudFrameCount - 1;
        } else if (a == FirstFrame) {
            a = 0;
        } else if (direction != TowardsNewest) {
            if (a >= kCloudFrameCount - 1) {
                return; // there is no frame beyond the oldest
            }
            ++a;
        } else {
            --a;
        }
        if (a < 0) {
            if (!hooks_.loop()) {
                stopTimer();
                cloud_.setCurrentFrame(0);
                return;
            }
            if (!running_) {
                return;
            }
            a = kCloudFrameCount - 1;
        }
        if (a >= kCloudFrameCount) {
            return;
        }
        const CloudFrame& frame = frames[static_cast<std::size_t>(a)];
        if (!frame.t || frame.failures > 2) {
            cloud_.setCurrentFrame(a);
            return;
        }
        if (!frame.path) {
            cloud_.downloadFrame(a);
            return;
        }
        std::error_code error;
        if (std::filesystem::is_regular_file(*frame.path, error)) {
            if (const ImagePtr image = loadImage(*frame.path)) {
                cloud_.setCurrentFrame(a);
                hooks_.showFrame(*image);
                return;
            }
        }
        cloud_.setCurrentFrame(a);
    }
}

} // namespace chronvale
