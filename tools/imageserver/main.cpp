// chronvale-imaged: a small image server for Chronvale. It serves the cloud
// frames of a folder and an earthquake file over the image server protocol, so
// the program can be run, tested and mirrored without the maker's server.

#include "credits.h"
#include "demo.h"
#include "fetch.h"
#include "frame_folder.h"
#include "http_date.h"
#include "mirror.h"
#include "net/link_config.h"
#include "replies.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <httplib.h>
#include <mutex>
#include <optional>
#include <shared_mutex>
#include <string>
#include <thread>
#include <vector>

using namespace chronvale;
using namespace chronvale::imaged;

namespace {

constexpr int kFallbackPort = 8470;

const char* const kHelp = R"(Usage: chronvale-imaged [OPTIONS]
       chronvale-imaged ingest IMAGE [--time YYYYMMDDHH] [--folder DIR]

Serves cloud frames and earthquakes to Chronvale over HTTP, speaking the image
server protocol:
  /clouds/cloudv2.php?...&checkonly=1&n=N  the newest N frames, newest first
  /clouds/cloudv2.php?...&checkonly=1      the newest frame's time stamp
  /clouds/cloudv2.php?...&f=1              the newest frame (JPEG)
  /clouds/cloudv2.php?...&f=1&t=T          frame T (JPEG); 404 when there is none
  /earthquake.cgi                          the earthquakes as QUAKE elements
  /credits                                 who made the data served (text)

Frames are the JPEG files of the folder named by their UTC time stamp,
YYYYMMDDHH.jpg. Earthquakes come from quakes.geojson (a USGS GeoJSON feed, such as
a saved copy of the 7-day feed) or quakes.xml (QUAKE markup) in the folder.

Options:
  --folder DIR         the folder of frames and earthquakes
                       (default: ~/.local/share/chronvale-imaged)
  --port N             the port to listen on; 0 picks a free one. Default: the
                       port of `server` in chronvale.ini, else 8470
  --bind ADDRESS       the address to listen on (default: 127.0.0.1)
  --config FILE        the chronvale.ini that gives the default port (default:
                       the one of the program's data folder)
  --demo               when the folder holds no frames of its own, fill it with
                       12 procedural demo frames 3 hours apart ending now, and a
                       demo earthquake file (made up, and logged as such); with
                       --mirror, real data replaces them at the first good pull
  --mirror             pull real cloud maps (every 3 hours, at the source's
                       renewal) and the earthquake feed (every 15 minutes) into
                       the folder on a worker thread, serving at once from what
                       the folder holds. Cloud maps of any size (plate carree)
                       become 1024 x 512 JPEG frames named by their 3-hour slot;
                       the newest 48 frames are kept. Failed pulls are logged and
                       retried after 1, 2, 4 ... 60 minutes; nothing held is lost
  --clouds-url URL     a cloud map source for --mirror; repeat for more, tried in
                       order (default: the Live cloud maps of clouds.matteason.co.uk
                       and its GitHub Pages copy)
  --quakes-url URL     an earthquake GeoJSON feed for --mirror; repeat for more
                       (default: the USGS feed of magnitude 2.5+ in the past week)
  --credit TEXT        the credit of the source given just before (stored in
                       CREDITS.txt and served at /credits)
  --pull-period S      seconds between cloud pulls (default 10800)
  --quake-period S     seconds between earthquake pulls (default 900)
  --retry-after S      the first back-off after a failed pull (default 60); it
                       doubles up to 60 times this
  --max-bytes N        refuse upstream replies larger than N bytes (default 64 MiB)
  --quakes FILE        the earthquake file (GeoJSON feed or QUAKE markup)
  --list FILE          answer frame-list requests with the markup in FILE
  --error N:TEXT       answer every request with the server error element
                       <ERROR n="N">TEXT</ERROR>
  --redirect           answer every request with a 302 redirect to the same
                       request under /moved
  --image-status CODE  answer image requests with this HTTP status (404, 500 ...)
  --slow MS            wait MS milliseconds before every reply
  -h, --help           show this text

ingest IMAGE adds a frame: a JPEG file is copied, any other image (PNG, BMP, GIF)
is re-encoded as JPEG. --time gives its time stamp (default: the current UTC hour).

The first line on standard output names the address served; every request is
logged on standard error.
)";

struct Options {
    QString folder;
    std::optional<int> port;
    std::string bind = "127.0.0.1";
    QString config;
    bool demo = false;
    QString quakes;
    QString list;
    std::optional<std::pair<int, std::string>> error;
    bool redirect = false;
    int imageStatus = 0;
    int slowMs = 0;
    // mirror
    bool mirror = false;
    std::vector<MirrorSource> clouds;
    std::vector<MirrorSource> quakeFeeds;
    int pullPeriod = 3 * 3600;
    int quakePeriod = 15 * 60;
    int retryAfter = 60;
    long long maxBytes = static_cast<long long>(kDefaultFetchLimit);
    // ingest
    bool ingest = false;
    QString image;
    std::string time;
};

void fail(const std::string& message) {
    std::fprintf(stderr, "chronvale-imaged: %s\nTry 'chronvale-imaged --help'.\n", message.c_str());
    std::exit(2);
}

int toInt(const std::string& text, const char* option, int low, int high) {
    size_t used = 0;
    int value = 0;
    try {
        value = std::stoi(text, &used);
    } catch (...) {
        used = 0;
    }
    if (used != text.size() || text.empty() || value < low || value > high) {
        fail(std::string(option) + " needs a number from " + std::to_string(low) + " to " +
             std::to_string(high) + ", not '" + text + "'");
    }
    return value;
}

Options parseOptions(const QStringList& arguments) {
    Options options;
    // The source a following --credit belongs to.
    std::vector<MirrorSource>* lastList = nullptr;
    for (int i = 1; i < arguments.size(); ++i) {
        const std::string arg = arguments[i].toStdString();
        auto value = [&]() -> std::string {
            if (i + 1 >= arguments.size()) {
                fail(arg + " needs a value");
            }
            return arguments[++i].toStdString();
        };
        if (arg == "-h" || arg == "--help") {
            std::fputs(kHelp, stdout);
            std::exit(0);
        } else if (arg == "ingest" && i == 1) {
            options.ingest = true;
            if (i + 1 >= arguments.size()) {
                fail("ingest needs an image file");
            }
            options.image = arguments[++i];
        } else if (arg == "--time" && options.ingest) {
            options.time = value();
        } else if (arg == "--folder") {
            options.folder = QString::fromStdString(value());
        } else if (arg == "--port") {
            options.port = toInt(value(), "--port", 0, 65535);
        } else if (arg == "--bind") {
            options.bind = value();
        } else if (arg == "--config") {
            options.config = QString::fromStdString(value());
        } else if (arg == "--demo") {
            options.demo = true;
        } else if (arg == "--quakes") {
            options.quakes = QString::fromStdString(value());
        } else if (arg == "--list") {
            options.list = QString::fromStdString(value());
        } else if (arg == "--error") {
            const std::string text = value();
            const size_t colon = text.find(':');
            if (colon == std::string::npos) {
                fail("--error needs N:TEXT, such as 3:Service closed for maintenance");
            }
            options.error = {toInt(text.substr(0, colon), "--error", -1000000, 1000000),
                             text.substr(colon + 1)};
        } else if (arg == "--redirect") {
            options.redirect = true;
        } else if (arg == "--image-status") {
            options.imageStatus = toInt(value(), "--image-status", 100, 599);
        } else if (arg == "--slow") {
            options.slowMs = toInt(value(), "--slow", 0, 600000);
        } else if (arg == "--mirror") {
            options.mirror = true;
        } else if (arg == "--clouds-url") {
            options.clouds.push_back({value(), {}});
            lastList = &options.clouds;
        } else if (arg == "--quakes-url") {
            options.quakeFeeds.push_back({value(), {}});
            lastList = &options.quakeFeeds;
        } else if (arg == "--credit") {
            if (lastList == nullptr) {
                fail("--credit follows the --clouds-url or --quakes-url it belongs to");
            }
            lastList->back().credit = value();
        } else if (arg == "--pull-period") {
            options.pullPeriod = toInt(value(), "--pull-period", 1, 7 * 24 * 3600);
        } else if (arg == "--quake-period") {
            options.quakePeriod = toInt(value(), "--quake-period", 1, 7 * 24 * 3600);
        } else if (arg == "--retry-after") {
            options.retryAfter = toInt(value(), "--retry-after", 1, 24 * 3600);
        } else if (arg == "--max-bytes") {
            options.maxBytes = toInt(value(), "--max-bytes", 1, 1 << 30);
        } else {
            fail("unknown argument '" + arg + "'");
        }
    }
    if (options.clouds.empty()) {
        options.clouds = defaultCloudSources();
    }
    if (options.quakeFeeds.empty()) {
        options.quakeFeeds = defaultQuakeSources();
    }
    if (options.folder.isEmpty()) {
        options.folder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                         QStringLiteral("/chronvale-imaged");
    }
    return options;
}

// True when this executable lies in the build tree it was built in.
bool runsFromBuildTree() {
    const QString build = QFileInfo(QStringLiteral(CHRONVALE_BUILD_DIR)).canonicalFilePath();
    const QString here = QFileInfo(QCoreApplication::applicationDirPath()).canonicalFilePath();
    return !build.isEmpty() && !here.isEmpty() &&
           (here == build || here.startsWith(build + QLatin1Char('/')));
}

// The chronvale.ini of the program's data folder, looked up in the program's
// order: $CHRONVALE_DATA, the installed data folder, and for a build tree's
// executable the source tree's data/ (an installed one never reads it).
QString findProgramConfig() {
    QStringList folders;
    const QString fromEnvironment = qEnvironmentVariable("CHRONVALE_DATA");
    if (!fromEnvironment.isEmpty()) {
        folders << fromEnvironment;
    }
    folders << QDir(QCoreApplication::applicationDirPath())
                   .filePath(QStringLiteral(CHRONVALE_DATA_FROM_BIN));
    if (runsFromBuildTree()) {
        folders << QStringLiteral(CHRONVALE_SOURCE_DATA);
    }
    for (const QString& folder : folders) {
        const QString path = QDir(folder).filePath(QStringLiteral("chronvale.ini"));
        if (QFileInfo::exists(path)) {
            return path;
        }
    }
    return {};
}

int defaultPort(const Options& options) {
    const QString config = options.config.isEmpty() ? findProgramConfig() : options.config;
    if (config.isEmpty()) {
        return kFallbackPort;
    }
    const std::string server = loadLinkConfig(config, QString()).imageServer();
    return server.find(':') == std::string::npos ? kFallbackPort : hostPort(server);
}

void logLine(const QString& text) {
    std::fprintf(stderr, "chronvale-imaged: %s\n", qPrintable(text));
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// What the request handlers share. They run on the server's threads and read
// the folder under the folder lock held shared; the mirror changes it only with
// the lock held exclusively.
struct Serving {
    const Options& options;
    std::shared_mutex folderLock;
    std::time_t started = std::time(nullptr);
};

constexpr const char* kImmutable = "public, max-age=31536000, immutable";
constexpr const char* kFiveMinutes = "public, max-age=300";
constexpr const char* kDemoNote =
    "DEMO: procedural cloud frames made up by chronvale-imaged, not satellite images";

std::time_t modifiedTime(const QString& path, std::time_t otherwise) {
    const QFileInfo info(path);
    return info.exists() ? static_cast<std::time_t>(info.lastModified().toSecsSinceEpoch())
                         : otherwise;
}

void setCaching(httplib::Response& response, const char* cacheControl, std::time_t modified) {
    response.set_header("Cache-Control", cacheControl);
    response.set_header("Last-Modified", httpDate(modified));
}

void answerCloud(Serving& serving, const httplib::Request& request, httplib::Response& response) {
    const Options& options = serving.options;
    const std::shared_lock lock(serving.folderLock);
    const auto frames = listFrames(options.folder);
    if (request.get_param_value("f") == "1") {
        if (options.imageStatus != 0) {
            response.status = options.imageStatus;
            response.set_content("Image refused by --image-status\n", "text/plain");
            return;
        }
        std::optional<FrameFile> frame;
        const bool named = request.has_param("t");
        if (named) {
            frame = findFrame(options.folder, request.get_param_value("t"));
        } else if (!frames.empty()) {
            frame = frames.front();
        }
        // A frame removed since it was listed is missing too; an empty file is
        // served as it is.
        QFile file(frame ? frame->path : QString());
        if (!frame || !file.open(QIODevice::ReadOnly)) {
            response.status = 404;
            response.set_content("No such frame\n", "text/plain");
            return;
        }
        const QByteArray bytes = file.readAll();
        response.set_content(bytes.constData(), static_cast<size_t>(bytes.size()), "image/jpeg");
        // A named frame never changes; the newest one does every few hours.
        setCaching(response, named ? kImmutable : kFiveMinutes,
                   modifiedTime(frame->path, serving.started));
        return;
    }
    if (request.get_param_value("checkonly") == "1") {
        std::time_t modified = serving.started;
        for (const FrameFile& frame : frames) {
            modified = std::max(modified, modifiedTime(frame.path, modified));
        }
        if (request.has_param("n")) {
            if (!options.list.isEmpty()) {
                response.set_content(readAll(options.list).toStdString(), "text/xml");
                setCaching(response, kFiveMinutes, modifiedTime(options.list, serving.started));
                return;
            }
            int n = 12;
            try {
                n = std::stoi(request.get_param_value("n"));
            } catch (...) {
            }
            const bool demo = hasDemoFrames(demoFiles(options.folder));
            response.set_content(
                frameListMarkup(frames, std::clamp(n, 0, 1000), demo ? kDemoNote : ""), "text/xml");
        } else {
            response.set_content(newestMarkup(frames), "text/xml");
        }
        setCaching(response, kFiveMinutes, modified);
        return;
    }
    response.status = 400;
    response.set_content("Ask with checkonly=1 or f=1\n", "text/plain");
}

void answerQuakes(Serving& serving, httplib::Response& response) {
    const Options& options = serving.options;
    const std::shared_lock lock(serving.folderLock);
    QString path = options.quakes;
    if (path.isEmpty()) {
        const QDir dir(options.folder);
        path = dir.exists(QStringLiteral("quakes.xml"))
                   ? dir.filePath(QStringLiteral("quakes.xml"))
                   : dir.filePath(QLatin1String(kQuakeFeedFile));
    }
    if (!QFileInfo::exists(path)) {
        response.set_content("<?xml version=\"1.0\"?>\n<quakes>\n</quakes>\n", "text/xml");
        setCaching(response, kFiveMinutes, serving.started);
        return;
    }
    const auto reply = quakeReplyFromFile(path);
    if (!reply) {
        logLine(QStringLiteral("%1 is not a readable earthquake file").arg(path));
        response.status = 500;
        response.set_content("Broken earthquake file\n", "text/plain");
        return;
    }
    response.set_content(*reply, "text/xml");
    setCaching(response, kFiveMinutes, modifiedTime(path, serving.started));
}

void answerCredits(Serving& serving, httplib::Response& response) {
    const QString& folder = serving.options.folder;
    const std::shared_lock lock(serving.folderLock);
    const QStringList demo = demoFiles(folder);
    const QByteArray text =
        creditsText(folder, hasDemoFrames(demo), demo.contains(QLatin1String(kQuakeFeedFile)));
    response.set_content(text.toStdString(), "text/plain; charset=utf-8");
    setCaching(response, kFiveMinutes,
               modifiedTime(QDir(folder).filePath(QLatin1String(kCreditsFile)), serving.started));
}

MirrorSettings mirrorSettings(const Options& options) {
    MirrorSettings settings;
    settings.folder = options.folder;
    settings.clouds = options.clouds;
    settings.quakes = options.quakeFeeds;
    settings.cloudPeriod = std::chrono::seconds(options.pullPeriod);
    settings.quakePeriod = std::chrono::seconds(options.quakePeriod);
    settings.firstRetry = std::chrono::seconds(options.retryAfter);
    settings.longestRetry = std::chrono::seconds(options.retryAfter) * 60;
    settings.maxBytes = static_cast<size_t>(options.maxBytes);
    return settings;
}

int runIngest(const Options& options) {
    std::string t = options.time;
    if (t.empty()) {
        t = hourTimeStamp(std::time(nullptr));
    }
    if (const auto error = ingestImage(options.folder, options.image, t)) {
        logLine(*error);
        return 1;
    }
    logLine(QStringLiteral("added frame %1 to %2").arg(QString::fromStdString(t), options.folder));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const Options options = parseOptions(QCoreApplication::arguments());
    if (options.ingest) {
        return runIngest(options);
    }
    if (options.demo) {
        if (!makeDemoContent(options.folder, std::time(nullptr), logLine)) {
            return 1;
        }
    } else if (!QDir().mkpath(options.folder)) {
        logLine(QStringLiteral("cannot create the folder %1").arg(options.folder));
        return 1;
    }

    Serving serving{options, {}, std::time(nullptr)};
    httplib::Server server;
    // Wraps a handler with the fault options that apply to every protocol request.
    auto protocol = [&options](bool mayRedirect, auto answer) {
        return [&options, mayRedirect, answer](const httplib::Request& request,
                                               httplib::Response& response) {
            if (options.slowMs > 0) {
                std::this_thread::sleep_for(std::chrono::milliseconds(options.slowMs));
            }
            if (mayRedirect && options.redirect) {
                response.set_redirect("/moved" + request.target, 302);
                return;
            }
            if (options.error) {
                response.set_content(errorMarkup(options.error->first, options.error->second),
                                     "text/xml");
                return;
            }
            answer(request, response);
        };
    };
    auto cloud = [&serving](const httplib::Request& request, httplib::Response& response) {
        answerCloud(serving, request, response);
    };
    auto quakes = [&serving](const httplib::Request&, httplib::Response& response) {
        answerQuakes(serving, response);
    };
    server.Get("/clouds/cloudv2.php", protocol(true, cloud));
    server.Get("/moved/clouds/cloudv2.php", protocol(false, cloud));
    server.Get("/earthquake.cgi", protocol(true, quakes));
    server.Get("/moved/earthquake.cgi", protocol(false, quakes));
    server.Get("/credits", [&serving](const httplib::Request&, httplib::Response& response) {
        answerCredits(serving, response);
    });
    // Every reply carries a Last-Modified; those without caching rules of their
    // own (errors, redirects) are not to be kept by caches.
    server.set_post_routing_handler(
        [&serving](const httplib::Request&, httplib::Response& response) {
            if (!response.has_header("Last-Modified")) {
                response.set_header("Last-Modified", httpDate(serving.started));
            }
            if (!response.has_header("Cache-Control")) {
                response.set_header("Cache-Control", "no-cache");
            }
        });
    server.set_logger([](const httplib::Request& request, const httplib::Response& response) {
        std::fprintf(stderr, "chronvale-imaged: %s %s -> %d (%zu bytes)\n", request.method.c_str(),
                     request.target.c_str(), response.status, response.body.size());
    });

    const int wanted = options.port ? *options.port : defaultPort(options);
    const int port = wanted == 0 ? server.bind_to_any_port(options.bind)
                                 : (server.bind_to_port(options.bind, wanted) ? wanted : -1);
    if (port <= 0) {
        logLine(QStringLiteral("cannot listen on %1:%2")
                    .arg(QString::fromStdString(options.bind))
                    .arg(wanted));
        return 1;
    }
    std::printf("chronvale-imaged: serving %s at http://%s:%d/\n",
                qPrintable(QDir(options.folder).absolutePath()), options.bind.c_str(), port);
    std::fflush(stdout);
    {
        const std::shared_lock lock(serving.folderLock);
        const size_t count = listFrames(options.folder).size();
        const bool demo = hasDemoFrames(demoFiles(options.folder));
        logLine(QStringLiteral("%1 frames in the folder%2")
                    .arg(count)
                    .arg(demo ? QStringLiteral(" (DEMO frames, made up, not satellite images)")
                              : QString()));
    }
    std::optional<Mirror> mirror;
    if (options.mirror) {
        initFetching();
        mirror.emplace(mirrorSettings(options), serving.folderLock, logLine);
        logLine(QStringLiteral("mirroring %1 cloud map source(s) every %2 s and %3 earthquake "
                               "feed(s) every %4 s")
                    .arg(options.clouds.size())
                    .arg(options.pullPeriod)
                    .arg(options.quakeFeeds.size())
                    .arg(options.quakePeriod));
        mirror->start();
    }
    const bool served = server.listen_after_bind();
    if (mirror) {
        mirror->stop();
    }
    return served ? 0 : 1;
}
