#include "app/mainwindow/large_cloud_frame.h"

#include <utility>

namespace chronvale {

LargeCloudFrame::LargeCloudFrame(HiresCloudFrames& frames, std::function<void()> arrived)
    : frames_(frames), arrived_(std::move(arrived)) {}

const EarthImage* LargeCloudFrame::frameFor(const std::string& t) {
    if (held_ && heldFor_ == t) {
        return held_.get();
    }
    if (t.empty() || t == missing_) {
        return nullptr;
    }
    if (ImagePtr cached = frames_.cached(t)) {
        held_ = std::move(cached);
        heldFor_ = t;
        return held_.get();
    }
    if (!fetching_ && frames_.fetch(t, [this, t](ImagePtr image) {
            fetching_.reset();
            if (!image) {
                missing_ = t; // the server has none, or the transfer failed
                return;
            }
            held_ = std::move(image);
            heldFor_ = t;
            if (arrived_) {
                arrived_();
            }
        })) {
        fetching_ = t;
    }
    return nullptr;
}

void LargeCloudFrame::release() {
    held_.reset();
    heldFor_.clear();
}

} // namespace chronvale
