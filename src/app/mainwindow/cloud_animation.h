#pragma once
// The cloud animation: Previous, Next, Play and Stop over the frames of the cloud
// service, the 250 ms timer of Play and the rules of a step (which frame comes
// next, passing over frames that cannot be shown, looping, refreshing a stale
// frame list first and resuming after it).

#include "net/cloud_service.h"
#include "render/earth_image.h"

#include <QObject>
#include <QTimer>
#include <ctime>
#include <functional>

namespace chronvale {

class Compositor;
class HttpClient;

class CloudAnimation final : public QObject {
public:
    static constexpr int PeriodMs = 250;
    // Where a step may start besides a frame number: the first (newest) and the
    // last (oldest) frame. TowardsNewest is the step towards frame 0; any other
    // direction steps towards older frames.
    static constexpr int FirstFrame = -2;
    static constexpr int LastFrame = -3;
    static constexpr int TowardsNewest = -1;
    // A frame list older than this is fetched again before a step (seconds).
    static constexpr std::time_t ListLifetime = 10800;

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
        // A step shows this frame, decoded from the cache: the lit map becomes the
        // frame's clouds over the day or night image, and the map is repainted.
        std::function<void(const EarthImage& frame)> showFrame;
        // The present instant, by the clock the cloud service stamps its lists with.
        std::function<std::time_t()> now;
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

    // One step from frame `from` (or FirstFrame, LastFrame) in `direction`. Frames
    // whose cached image is gone or unreadable are passed over; a frame without a
    // time stamp, or one that failed too often, ends the step on it; a frame not
    // cached yet is downloaded (it shows when it arrives). Nothing happens while a
    // transfer is active. A stale list is fetched first, and the step is remembered
    // for resume(). Passing frame 0 starts again at the oldest frame while the
    // animation runs with loop on; with loop off it stops the timer on frame 0.
    void stepFrames(int from, int direction);
    // The step that resume() runs.
    int resumeFrom() const { return resumeFrom_; }
    int resumeDirection() const { return resumeDirection_; }

private:
    void tick();

    CloudService& cloud_;
    Compositor& compositor_;
    HttpClient& http_;
    Hooks hooks_;
    QTimer timer_;
    bool running_ = false;
    bool tickBusy_ = false;
    int resumeFrom_ = FirstFrame;
    int resumeDirection_ = 1;
};

} // namespace chronvale
