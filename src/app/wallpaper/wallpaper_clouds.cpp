#include "app/wallpaper/wallpaper_clouds.h"

#include "core/product.h"
#include "desktop/image_server_launcher.h"
#include "desktop/links.h"
#include "net/cloud_service.h"
#include "net/hires_frames.h"
#include "net/http_client.h"
#include "net/machine_id.h"
#include "net/proxy_settings.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <filesystem>

namespace chronvale {

namespace {

// A command has no window to show texts or boxes in: the frames are all it wants.
class QuietOwner final : public QuietCloudOwner, public HttpEventSink {
public:
    void httpEvent(HttpEvent, HttpRequest&, std::string_view, int) override {}
};

// Runs the event loop until `done` holds or the time is up.
template <typename Done> void runUntil(const QElapsedTimer& clock, int boundMs, Done done) {
    while (!done() && clock.elapsed() < boundMs) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
}

} // namespace

bool fetchNewestWallpaperClouds(const LinkConfig& installation, QSettings& program,
                                CloudFrameTable& frames, bool large, int boundMs,
                                std::string* credit) {
    const std::string server = installation.imageServer();
    if (server.empty()) {
        return false;
    }
    QElapsedTimer clock;
    clock.start();
    ImageServerLauncher launcher;
    launcher.ensureRunningAndWait(server);

    QuietOwner owner;
    HttpClient http;
    http.httpInit(&owner, applicationName);
    ProxySettings proxy;
    loadProxySettings(proxy);
    http.httpSetProxy(proxy.type, proxy.host.value_or(std::string()), proxy.port,
                      proxy.userName.value_or(std::string()),
                      proxy.password.value_or(std::string()));
    const UrlContext context = makeUrlContext(installation, machineIdentifier(program));
    CloudService cloud(http, owner, server, context);
    cloud.frames() = frames;
    if (!cloud.checkNewestImage()) {
        return false;
    }
    // The check's reply starts the download of a frame the cache lacks.
    runUntil(clock, boundMs, [&http] { return http.transferCount() == 0; });
    frames = cloud.frames();
    if (credit != nullptr) {
        *credit = cloud.source().credit;
    }
    const std::optional<std::string>& t = frames[0].t;
    std::error_code error;
    if (large && t && !std::filesystem::exists(HiresCloudFrames::cachePath(*t), error)) {
        HiresCloudFrames hires(http, server, context);
        bool done = false;
        if (hires.fetch(*t, [&done](ImagePtr) { done = true; })) {
            runUntil(clock, boundMs, [&done] { return done; });
        }
    }
    return frames[0].t.has_value();
}

} // namespace chronvale
