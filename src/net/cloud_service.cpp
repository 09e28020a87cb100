#include "net/cloud_service.h"

#include "core/file_io.h"
#include "net/http_client.h"
#include "net/markup.h"
#include "net/server_error.h"

#include <QByteArray>
#include <QDir>
#include <QString>
#include <filesystem>
#include <system_error>

namespace chronvale {

namespace {

namespace fs = std::filesystem;

constexpr const char* kCacheFolder = "cache";
constexpr const char* kListFile = "cache.tmp";

bool isBlank(char c) {
    return c == ' ' || c == '\r' || c == '\n' || c == '\t';
}

std::string_view skipBlanks(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && isBlank(text[i])) {
        ++i;
    }
    return text.substr(i);
}

void ensureCacheFolder() {
    std::error_code error;
    fs::create_directories(kCacheFolder, error);
}

bool validIndex(std::intptr_t index) {
    return index >= 0 && index < kCloudFrameCount;
}

} // namespace

CloudService::CloudService(HttpClient& http, CloudOwner& owner, std::string imageServer,
                           UrlContext context, std::function<std::time_t()> clock)
    : http_(http), owner_(owner), imageServer_(std::move(imageServer)),
      context_(std::move(context)), clock_(std::move(clock)) {}

std::string CloudService::cachePath(const std::string& t, const char* extension) {
    return QDir::currentPath().toStdString() + "/" + kCacheFolder + "/" + t + extension;
}

bool CloudService::transferActive() const {
    return http_.transferCount() > 0;
}

std::string CloudService::requestUrl(const std::string& suffix) const {
    const std::string base = "http://" + imageServer_ + "/clouds/cloudv2.php?s=$ID&i=$MID&q=1";
    return expandUrlTemplate(base + suffix, nullptr, clock_(), context_);
}

bool CloudService::start(const std::string& suffix, std::intptr_t userData,
                         int (CloudService::*completion)(HttpRequest&, std::intptr_t)) {
    http_.httpGet(requestUrl(suffix), userData,
                  [this, completion](HttpRequest& request, std::intptr_t data) {
                      return (this->*completion)(request, data);
                  });
    return true;
}

bool CloudService::requestFrameList() {
    if (transferActive()) {
        return false;
    }
    for (CloudFrame& frame : frames_) {
        frame.failures = 0;
    }
    // The status goes first: a transfer that ends while it starts shows its own text.
    owner_.showStatus(ServiceStatus::Transfer, owner_.text(kTextConnecting));
    return start("&checkonly=1&n=" + std::to_string(kCloudFrameCount), 0,
                 &CloudService::onFrameListReply);
}

void CloudService::removeListReply() {
    std::error_code error;
    fs::remove(kListFile, error);
}

int CloudService::onFrameListReply(HttpRequest& request, std::intptr_t) {
    if (request.flags & HttpRequest::Redirected) {
        return HttpFollowRedirect;
    }
    if (request.flags & HttpRequest::Failed) {
        owner_.showStatus(ServiceStatus::Transfer, owner_.text(kTextUnableToConnect));
        return 0;
    }
    // The whole reply, up to its first zero byte, is kept as cache.tmp.
    const std::string_view text = request.responseText();
    writeFileAtomically(kListFile, text.substr(0, text.find('\0')));

    const std::string_view body = request.body();
    // A reply without the element (an older server) says nothing any more.
    source_ = readDataSource(body).value_or(DataSource{});
    if (serverErrorCheck(body, owner_) == 0 && findNoCase(body, "<image ") != std::string::npos) {
        readFrameList(body);
        lastListTime_ = clock_();
        owner_.frameListArrived();
    }
    owner_.showStatus(ServiceStatus::Transfer, owner_.text(kTextComplete));
    return 1;
}

void CloudService::readFrameList(std::string_view body) {
    ensureCacheFolder();
    std::error_code error;
    // Set the cached images aside; those the new list still names are taken back.
    for (const CloudFrame& frame : frames_) {
        if (frame.path && frame.t && isFrameTimeStamp(*frame.t)) {
            fs::rename(cachePath(*frame.t), cachePath(*frame.t, ".tmp"), error);
        }
    }
    for (CloudFrame& frame : frames_) {
        frame.path.reset();
        frame.m.reset();
        frame.t.reset();
    }

    size_t next = 0;
    for (const MarkupItem& item : readMarkup(skipBlanks(body))) {
        if (next == frames_.size()) {
            break;
        }
        const std::optional<std::string> name = tagName(item);
        if (!name || !equalsNoCase(*name, "IMAGE")) {
            continue;
        }
        // The time stamp becomes a file name: nothing but 10 to 14 digits.
        std::optional<std::string> t = tagAttribute(item, "t");
        if (!t || !isFrameTimeStamp(*t)) {
            continue;
        }
        CloudFrame& frame = frames_[next++];
        frame.m = tagAttribute(item, "m");
        frame.t = std::move(t);
        frame.s = parseDecimal(tagAttribute(item, "s").value_or(std::string()));
        frame.q = parseDecimal(tagAttribute(item, "q").value_or(std::string()));
    }

    for (const CloudFrame& frame : frames_) {
        if (frame.m && frame.t) {
            fs::rename(cachePath(*frame.t, ".tmp"), cachePath(*frame.t), error);
        }
    }
    for (const fs::directory_entry& entry : fs::directory_iterator(kCacheFolder, error)) {
        if (entry.path().extension() == ".tmp") {
            fs::remove(entry.path(), error);
        }
    }
}

bool CloudService::checkNewestImage() {
    if (transferActive()) {
        return false;
    }
    frames_[0].failures = 0;
    owner_.showStatus(ServiceStatus::NewestImageCheck, owner_.text(kTextCheckingNewest));
    return start("&checkonly=1", 0, &CloudService::onNewestReply);
}

int CloudService::onNewestReply(HttpRequest& request, std::intptr_t) {
    if (request.flags & HttpRequest::Redirected) {
        return HttpFollowRedirect;
    }
    if (request.flags & HttpRequest::Failed) {
        owner_.showStatus(ServiceStatus::Transfer, owner_.text(kTextUnableToConnect));
        return 0;
    }
    const std::string_view text = request.responseText();
    size_t blankLine = text.find("\r\n\r\n");
    size_t bodyStart = blankLine + 4;
    if (blankLine == std::string_view::npos) {
        blankLine = text.find("\n\n");
        bodyStart = blankLine + 2;
    }
    if (blankLine == std::string_view::npos) {
        return 0;
    }
    const std::string_view body = skipBlanks(text.substr(bodyStart));
    // A reply without the element (an older server) says nothing any more.
    source_ = readDataSource(body).value_or(DataSource{});
    const size_t image = findNoCase(body, "<image");
    const size_t attribute =
        image == std::string_view::npos ? image : findNoCase(body, "t=", image + 6);
    if (attribute == std::string_view::npos) {
        return 1;
    }
    std::string_view value = skipBlanks(body.substr(attribute + 2));
    if (!value.empty() && value[0] == '"') {
        value.remove_prefix(1);
    }
    value = value.substr(0, value.find_first_of("\" \t\r\n>/"));
    const std::string t(value);
    if (!isFrameTimeStamp(t)) {
        return 1; // never a file name
    }
    if (!loadCachedFrame(t, 0)) {
        // A new image: it becomes frame 0. Its old file belongs to the old time stamp.
        frames_[0].t = t;
        frames_[0].path.reset();
        owner_.showStatus(ServiceStatus::NewestImageCheck, owner_.text(kTextDownloadingNewest));
        start("&f=1", 0, &CloudService::onImageReply);
    }
    return 1;
}

bool CloudService::downloadFrame(int index) {
    if (!validIndex(index) || transferActive()) {
        return false;
    }
    CloudFrame& frame = frames_[static_cast<size_t>(index)];
    if (frame.failures >= 3 || !frame.t || !isFrameTimeStamp(*frame.t)) {
        return false;
    }
    if (loadCachedFrame(*frame.t, index)) {
        return true;
    }
    owner_.showStatus(ServiceStatus::Transfer,
                      owner_.text(kTextDownloadingImage) + " (" + *frame.t + ")");
    return start("&f=1&t=" + *frame.t, index, &CloudService::onImageReply);
}

int CloudService::onImageReply(HttpRequest& request, std::intptr_t index) {
    if (request.flags & HttpRequest::Redirected) {
        return HttpFollowRedirect;
    }
    if (!validIndex(index)) {
        return 0;
    }
    CloudFrame& frame = frames_[static_cast<size_t>(index)];
    const std::string t = frame.t.value_or(std::string());
    if (request.flags & HttpRequest::Failed) {
        if (request.flags & HttpRequest::Cancelled) {
            return 0; // stopped by the user or at shutdown: not a failure of the frame
        }
        if (request.status == 404) {
            owner_.showStatus(ServiceStatus::Transfer,
                              formatText(owner_.text(kTextFileNotFound), t));
            frame.failures = kNotFound;
            currentFrame_ = static_cast<int>(index);
        } else {
            owner_.showStatus(ServiceStatus::Transfer, owner_.text(kTextUnableToConnect));
            ++frame.failures;
            owner_.stopAnimation();
        }
        return 0;
    }
    const std::string_view body = request.body();
    if (body.size() >= 5 && equalsNoCase(body.substr(0, 5), "<?xml")) {
        // The element's number is the server's own; it is no answer to the client (2
        // would ask it to follow a redirect).
        serverErrorCheck(body, owner_);
        return 0;
    }
    if (!body.empty() && isFrameTimeStamp(t)) {
        ensureCacheFolder();
        if (writeFileAtomically(cachePath(t), body)) {
            loadCachedFrame(t, static_cast<int>(index));
        }
    }
    owner_.showStatus(ServiceStatus::Transfer, owner_.text(kTextComplete));
    return 1;
}

bool CloudService::loadCachedFrame(const std::string& t, int index) {
    if (!validIndex(index) || !isFrameTimeStamp(t)) {
        return false;
    }
    const std::string path = cachePath(t);
    ImagePtr image = loadImage(path);
    if (!image) {
        return false;
    }
    frames_[static_cast<size_t>(index)].path = path;
    currentFrame_ = index;
    owner_.setCloudImage(std::move(image));
    owner_.frameLoaded();
    return true;
}

} // namespace chronvale
