#include "net/hires_frames.h"

#include "core/file_io.h"
#include "net/cloud_frame.h"
#include "net/http_client.h"

#include <QDir>
#include <filesystem>
#include <span>

namespace chronvale {

namespace {

constexpr int kFrameWidth = 1024;
constexpr int kFrameHeight = 512;

} // namespace

bool wantsLargeFrames(int width, int height) {
    return width > kFrameWidth || height > kFrameHeight;
}

HiresCloudFrames::HiresCloudFrames(HttpClient& http, std::string imageServer, UrlContext context,
                                   std::function<std::time_t()> clock)
    : http_(http), imageServer_(std::move(imageServer)), context_(std::move(context)),
      clock_(std::move(clock)) {}

std::string HiresCloudFrames::cachePath(const std::string& t) {
    return QDir::currentPath().toStdString() + "/cache/" + t + "-4096.jpg";
}

ImagePtr HiresCloudFrames::cached(const std::string& t) const {
    return isFrameTimeStamp(t) ? loadImage(cachePath(t)) : nullptr;
}

bool HiresCloudFrames::fetch(const std::string& t, Done done) {
    if (http_.transferCount() > 0 || !isFrameTimeStamp(t) || withoutCopy_.count(t) != 0) {
        return false;
    }
    const std::string url = expandUrlTemplate(
        "http://" + imageServer_ + "/clouds/cloudv2.php?s=$ID&i=$MID&q=1&f=1&t=" + t + "&w=4096",
        nullptr, clock_(), context_);
    http_.httpGet(url, 0, [this, t, done = std::move(done)](HttpRequest& request, std::intptr_t) {
        return onReply(request, t, done);
    });
    return true;
}

int HiresCloudFrames::onReply(HttpRequest& request, const std::string& t, const Done& done) {
    if (request.flags & HttpRequest::Redirected) {
        return HttpFollowRedirect;
    }
    if (request.flags & HttpRequest::Failed) {
        done(nullptr);
        return 0;
    }
    const std::string_view body = request.body();
    ImagePtr image = decodeImage(
        std::span(reinterpret_cast<const uint8_t*>(body.data()), body.size()), ImageKind::Jpeg);
    // No larger than a frame: the server has no copy and sent the frame itself.
    if (!image || !wantsLargeFrames(image->width(), image->height())) {
        withoutCopy_.insert(t);
        done(nullptr);
        return 1;
    }
    std::error_code error;
    std::filesystem::create_directories("cache", error);
    writeFileAtomically(cachePath(t), body);
    done(std::move(image));
    return 1;
}

} // namespace chronvale
