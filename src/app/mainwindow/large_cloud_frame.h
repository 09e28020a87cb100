#pragma once
// The 4096 x 2048 copy of the shown cloud frame for the pane composed denser than
// the frames' 1024 x 512 (zoomed in, or a screen scale above 1): the cached copy
// first, otherwise fetched from the image server; the 1024 frame serves until it
// is there, and the pane is composed again when it arrives.
//
// One copy is held, that of the frame shown last; release() frees it (a minimised
// window, a view back at the map's pixels).

#include "net/hires_frames.h"
#include "render/earth_image.h"

#include <functional>
#include <optional>
#include <string>

namespace chronvale {

class LargeCloudFrame {
public:
    // `arrived` runs when a fetched copy came (the pane composes again).
    LargeCloudFrame(HiresCloudFrames& frames, std::function<void()> arrived);

    // The copy of frame t: from memory, else from the cache folder; none while it
    // is fetched (started here when the client is free) or when there is none.
    const EarthImage* frameFor(const std::string& t);

    void release();

    // Whether a fetch is under way (for tests).
    bool fetching() const { return fetching_.has_value(); }

private:
    HiresCloudFrames& frames_;
    std::function<void()> arrived_;
    std::string heldFor_;
    ImagePtr held_;
    std::optional<std::string> fetching_; // the frame asked of the server
    std::string missing_;                 // the last frame with no copy to be had
};

} // namespace chronvale
