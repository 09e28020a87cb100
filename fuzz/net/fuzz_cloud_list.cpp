// Any bytes as the reply to the cloud frame-list request, read by the service's own
// completion function in a scratch folder: the reply is kept as cache.tmp and the
// frames are filled from its image elements. Whatever the reply says, every time
// stamp taken is a plain file name and nothing appears outside cache/ but cache.tmp.

#include "net/cloud_frame.h"
#include "net/cloud_service.h"
#include "net/http_client.h"
#include "net/http_request.h"
#include "net/http_response.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <string_view>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

class SilentOwner final : public chronvale::CloudOwner {
public:
    void showStatus(chronvale::ServiceStatus, const std::string&) override {}
    void showErrorBox(const std::string&, const std::string&) override {}
    void serverErrorReported() override {}
    void setCloudImage(chronvale::ImagePtr) override {}
    void frameLoaded() override {}
    void frameListArrived() override {}
    void stopAnimation() override {}
};

// The scratch folder the service works in. libFuzzer keeps its corpus paths relative
// to the folder it was started in, so each input goes there and back again.
int scratchFolder() {
    static const int folder = [] {
        std::string path = (fs::temp_directory_path() / "fuzz_cloud_list.XXXXXX").string();
        if (!mkdtemp(path.data())) {
            std::abort();
        }
        fs::create_directories(fs::path(path) / "cache");
        return ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    }();
    return folder;
}

class InScratchFolder {
public:
    InScratchFolder() : back_(::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
        if (back_ < 0 || scratchFolder() < 0 || ::fchdir(scratchFolder()) != 0) {
            std::abort();
        }
    }
    ~InScratchFolder() {
        if (::fchdir(back_) != 0) {
            std::abort();
        }
        ::close(back_);
    }
    InScratchFolder(const InScratchFolder&) = delete;
    InScratchFolder& operator=(const InScratchFolder&) = delete;

private:
    int back_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static chronvale::HttpClient http;
    static SilentOwner owner;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    chronvale::HttpRequest request;
    if (request.response.append(bytes) != chronvale::ResponseBuffer::AppendResult::Stored) {
        return 0;
    }
    request.received = static_cast<int>(size);
    if (const auto end = chronvale::findHeaderEnd(bytes)) {
        request.headersComplete = true;
        request.headerLength = static_cast<int>(*end);
        request.status = chronvale::parseStatus(bytes);
    }
    request.flags = chronvale::HttpRequest::Succeeded;

    const InScratchFolder inScratch;
    chronvale::CloudService service(http, owner, "127.0.0.1", {}, [] { return std::time_t{0}; });
    (void)service.onFrameListReply(request, 0);
    for (const chronvale::CloudFrame& frame : service.frames()) {
        if (frame.t && !chronvale::isFrameTimeStamp(*frame.t)) {
            __builtin_trap();
        }
    }
    for (const fs::directory_entry& entry : fs::directory_iterator(".")) {
        const std::string name = entry.path().filename().string();
        if (name != "cache" && name != "cache.tmp") {
            __builtin_trap();
        }
    }
    for (const fs::directory_entry& entry : fs::directory_iterator("cache")) {
        (void)entry;
        __builtin_trap(); // no image is ever downloaded here
    }
    return 0;
}
