#pragma once
// The cloud animation: Previous, Next, Play and Stop over the frames of the cloud
// service, the 250 ms timer of Play and the rules of a step (which frame comes
// next, passing over frames that cannot be shown, looping, refreshing a stale
// frame list first and resuming after it).

#include "net/cloud_service.h"

#include <QObject>
#include <QTimer>
#include <functional>

namespace chronvale {

class Compositor;
class HttpClient;

class CloudAnimation final : public QObject {
public:
    static constexpr int PeriodMs = 250;

    // What the animation asks of the window it runs in.
    struct Hooks {
        // Whether the Clouds switch is on; switching it on (a step shows clouds)
        // makes the controls follow.
        std::function<bool()> cloudsOn;
        std::function<void()> showClouds;
        // The enable states of Previous, Next, Play and Stop may have changed.
        std::function<void()> buttonsChanged;
        // The "loop" preference: after the newest frame the animation starts again.
        std::function<bool()> loop;
    };

    CloudAnimation(CloudService& cloud, Compositor& compositor, HttpClient& http, Hooks hooks);

    bool running() const { return running_; }

    // The commands. Next and Previous stop a running animation and step once;
    // Play starts at the oldest frame; Stop also cancels every transfer and goes
    // back to the newest frame.
    void next();
    void previous();
    void play();
    void stop();
    // Stops the timer only (a download failed, the newest frame was passed); the
    // buttons follow once the current event has been handled.
    void stopTimer();
    // The timer without anything else (a switch turned the clouds off).
    void halt();
    // Shows the newest frame (Clouds switched on).
    void showNewest();
    // A frame list arrived: the step that asked for it runs again.
    void resume();

private:
    void tick();

    CloudService& cloud_;
    Compositor& compositor_;
    HttpClient& http_;
    Hooks hooks_;
    QTimer timer_;
    bool running_ = false;
    bool tickBusy_ = false;
};

} // namespace chronvale
