#pragma once
// The cloud-image service: the list of the newest satellite cloud images, the
// images themselves, their cache and the number of the frame shown. Which frame
// the animation shows next is the animation's business (it steps with these
// operations).
//
// Everything goes through the HTTP client, one transfer at a time: an operation
// that would start a transfer does nothing while any transfer is active. Files
// live in the current folder (the user folder): cache/T.jpg for each frame's
// image, cache/T.tmp for images set aside during a list refresh and cache.tmp for
// the last list reply.

#include "net/cloud_frame.h"
#include "net/data_source.h"
#include "net/service_owner.h"
#include "net/url_template.h"
#include "render/earth_image.h"

#include <cstdint>
#include <ctime>
#include <functional>
#include <string>
#include <string_view>

namespace chronvale {

class HttpClient;
class HttpRequest;

// What the cloud service needs from the main window besides the status texts and
// boxes of ServiceOwner.
class CloudOwner : public ServiceOwner {
public:
    // A frame image was decoded from the cache: it becomes the current cloud image,
    // the Clouds display option is switched on and the lit map is composed again.
    virtual void setCloudImage(ImagePtr image) = 0;
    // A frame was loaded; repaint and update the controls (queued by the owner).
    virtual void frameLoaded() = 0;
    // A list refresh ended; the step of the animation that asked for it runs again
    // once the current event has been handled.
    virtual void frameListArrived() = 0;
    // A download failed: the owner stops the animation, sets the current frame to
    // 0 and cancels all transfers, once the current event has been handled.
    virtual void stopAnimation() = 0;
};

// An owner that wants the frames alone: a command or a measurement with no window
// to show texts, boxes or images in.
class QuietCloudOwner : public CloudOwner {
public:
    void showStatus(ServiceStatus, const std::string&) override {}
    void showErrorBox(const std::string&, const std::string&) override {}
    void serverErrorReported() override {}
    void setCloudImage(ImagePtr) override {}
    void frameLoaded() override {}
    void frameListArrived() override {}
    void stopAnimation() override {}
};

class CloudService {
public:
    // imageServer is "host" or "host:port"; context fills $ID and $MID.
    CloudService(
        HttpClient& http, CloudOwner& owner, std::string imageServer, UrlContext context,
        std::function<std::time_t()> clock = [] { return std::time(nullptr); });

    // The table, restored from and saved to the settings by the application.
    CloudFrameTable& frames() { return frames_; }
    const CloudFrameTable& frames() const { return frames_; }
    // The frame shown, or what the animation set (below 0 before a step).
    int currentFrame() const { return currentFrame_; }
    void setCurrentFrame(int index) { currentFrame_ = index; }
    // When the list was last read; 0 before the first.
    std::time_t lastListTime() const { return lastListTime_; }
    // What the server said about its frames with the last list or newest check
    // (the credit to show with them, why nothing newer came).
    const DataSource& source() const { return source_; }
    // Whether any transfer of the HTTP client is under way: then nothing starts.
    bool transferActive() const;

    // Removes cache.tmp, the last list reply; on a clean quit, when it is no longer
    // of use. The cached images stay.
    void removeListReply();

    // Starts the download of the list of the newest 12 images.
    bool requestFrameList();
    // Asks the server for its newest image; loads it from the cache or downloads it.
    bool checkNewestImage();
    // Loads frame `index` from the cache or starts its download. False when a
    // transfer is active, the frame failed 3 times or has no time stamp.
    bool downloadFrame(int index);
    // Decodes cache/T.jpg and makes it frame `index`'s image and the current cloud
    // image. False when it is not there or cannot be decoded.
    bool loadCachedFrame(const std::string& t, int index);

    // The completion functions of the three kinds of transfer.
    int onFrameListReply(HttpRequest& request, std::intptr_t userData);
    int onNewestReply(HttpRequest& request, std::intptr_t userData);
    int onImageReply(HttpRequest& request, std::intptr_t userData);

    // The cache file of a time stamp, under the current folder.
    static std::string cachePath(const std::string& t, const char* extension = ".jpg");

private:
    std::string requestUrl(const std::string& suffix) const;
    bool start(const std::string& suffix, std::intptr_t userData,
               int (CloudService::*completion)(HttpRequest&, std::intptr_t));
    void readFrameList(std::string_view body);

    HttpClient& http_;
    CloudOwner& owner_;
    std::string imageServer_;
    UrlContext context_;
    std::function<std::time_t()> clock_;

    CloudFrameTable frames_;
    int currentFrame_ = 0;
    std::time_t lastListTime_ = 0;
    DataSource source_;
};

} // namespace chronvale
