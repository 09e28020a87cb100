#pragma once
// The 4096 x 2048 copies of the cloud frames, for maps composed larger than the
// 1024 x 512 frames (a wallpaper, a zoomed map). The image server keeps such a
// copy of a frame made from a large enough map and serves it for the frame's
// request with "&w=4096", the frame itself when it has none.
//
// Usage: where the map is composed above 1024 x 512 (wantsLargeFrames), ask
// cached(t) for the frame shown; when there is none, fetch(t, done) and compose
// with the image `done` gets. Copies are kept as cache/T-4096.jpg beside the
// frames, under the current folder like them.

#include "net/url_template.h"
#include "render/earth_image.h"

#include <ctime>
#include <functional>
#include <set>
#include <string>

namespace chronvale {

class HttpClient;
class HttpRequest;

// Whether a map composed at this size is sharper with the large frames.
bool wantsLargeFrames(int width, int height);

class HiresCloudFrames {
public:
    using Done = std::function<void(ImagePtr)>;

    HiresCloudFrames(
        HttpClient& http, std::string imageServer, UrlContext context,
        std::function<std::time_t()> clock = [] { return std::time(nullptr); });

    // The large copy of frame t from the cache; none when it is not there.
    ImagePtr cached(const std::string& t) const;

    // Starts the download of frame t's large copy, one transfer at a time like
    // every request of the client. `done` gets the copy, or nothing when the
    // server has none (it is not asked again for that frame) or the download
    // failed. False (and no call of done) when a transfer is active, t is no
    // frame time stamp, or the server is known to have no copy.
    bool fetch(const std::string& t, Done done);

    // The cache file of frame t's copy, under the current folder.
    static std::string cachePath(const std::string& t);

private:
    int onReply(HttpRequest& request, const std::string& t, const Done& done);

    HttpClient& http_;
    std::string imageServer_;
    UrlContext context_;
    std::function<std::time_t()> clock_;
    std::set<std::string> withoutCopy_;
};

} // namespace chronvale
