// chronvale-imaged: a small image server for Chronvale. It serves the cloud
// frames of a folder and an earthquake file over the image server protocol, so
// the program can be run, tested and mirrored without the maker's server.

#include "crowd_server.h"
#include "demo.h"
#include "fetch.h"
#include "folder_replies.h"
#include "frame_folder.h"
#include "listen_socket.h"
#include "mirror.h"
#include "mirror_config.h"
#include "net/link_config.h"
#include "protocol_routes.h"
#include "replies.h"
#include "socket_activation.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <httplib.h>
#include <mutex>
#include <optional>
#include <shared_mutex>
#include <string>
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
  ...&f=1[&t=T]&w=4096                     its 4096 x 2048 copy when the list gives
                                           the frame w="4096", else the frame
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
                       order (default: cloudsN of the [Mirror] group of chronvale.ini
                       and its overrides, else the Live cloud maps of
                       clouds.matteason.co.uk, its GitHub Pages copy and NASA
                       GIBS's infrared images of GOES and Himawari). Maps
                       4096 or more
                       wide also give a 4096 x 2048 copy of each frame
  --quakes-url URL     an earthquake GeoJSON feed for --mirror; repeat for more
                       (default: quakesN of [Mirror], else the USGS feed of
                       magnitude 2.5+ in the past week)
  --credit TEXT        the credit of the source given just before (stored in
                       CREDITS.txt and served at /credits)
  --infrared           the --clouds-url given just before serves infrared maps
                       (cold cloud tops bright): they are turned into clouds,
                       their transparent parts clear
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
  --max-age S          how long caches may keep the frame lists, the newest
                       frame, the earthquakes and the credits (default 300)
  --request-timeout S  a connection that has not sent a whole request head
                       within S seconds of connecting (or of the first byte of
                       a later request) is closed (default 10)
  --keep-alive-timeout S  an idle kept-alive connection is closed after S
                       seconds (default 5)
  -h, --help           show this text

ingest IMAGE adds a frame: a JPEG file is copied, any other image (PNG, BMP, GIF)
is re-encoded as JPEG. --time gives its time stamp (default: the current UTC hour).

The server answers many clients at once: it listens with the largest backlog
the system allows, waits on all connections from one thread and answers whole
requests on a pool of workers (two per processor). A request line over 8 KiB
gets 414, a request head over 32 KiB gets 431; both close the connection.

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
    int maxAge = 300;
    int requestTimeout = 10;
    int keepAliveTimeout = 5;
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
        } else if (arg == "--max-age") {
            options.maxAge = toInt(value(), "--max-age", 0, 31536000);
        } else if (arg == "--request-timeout") {
            options.requestTimeout = toInt(value(), "--request-timeout", 1, 3600);
        } else if (arg == "--keep-alive-timeout") {
            options.keepAliveTimeout = toInt(value(), "--keep-alive-timeout", 1, 3600);
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
        } else if (arg == "--infrared") {
            if (lastList != &options.clouds) {
                fail("--infrared follows the --clouds-url it belongs to");
            }
            options.clouds.back().kind = CloudImageKind::Infrared;
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

void logLine(const QString& text) {
    std::fprintf(stderr, "chronvale-imaged: %s\n", qPrintable(text));
}

// The installation values: the program's chronvale.ini (or --config) with the
// override files of XDG_CONFIG_DIRS over it.
LinkConfig installationValues(const Options& options) {
    const QString config = options.config.isEmpty() ? findProgramConfig() : options.config;
    return loadLinkConfig(config);
}

int defaultPort(const LinkConfig& installation) {
    const std::string server = installation.imageServer();
    return server.find(':') == std::string::npos ? kFallbackPort : hostPort(server);
}

// Sources not given on the command line come from the [Mirror] group, else the
// built-in ones.
void completeSources(Options& options, const LinkConfig& installation) {
    const MirrorSources configured = mirrorSourcesFromConfig(installation, logLine);
    if (options.clouds.empty()) {
        options.clouds = configured.clouds.empty() ? defaultCloudSources() : configured.clouds;
    }
    if (options.quakeFeeds.empty()) {
        options.quakeFeeds = configured.quakes.empty() ? defaultQuakeSources() : configured.quakes;
    }
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

// The socket the server listens on, with the largest backlog the system allows:
// --bind and --port (or the port of chronvale.ini). -1, logged, on failure;
// `port` is the port listened on.
int openListener(const Options& options, const LinkConfig& installation, int& port) {
    const int wanted = options.port ? *options.port : defaultPort(installation);
    std::string error;
    const int fd = openListenSocket(options.bind, wanted, error);
    if (fd < 0) {
        logLine(QStringLiteral("cannot listen on %1:%2: %3")
                    .arg(QString::fromStdString(options.bind))
                    .arg(wanted)
                    .arg(QString::fromStdString(error)));
        return -1;
    }
    port = boundPort(fd);
    return fd;
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
    Options options = parseOptions(QCoreApplication::arguments());
    if (options.ingest) {
        return runIngest(options);
    }
    const LinkConfig installation = installationValues(options);
    if (options.mirror) {
        completeSources(options, installation);
    }
    if (options.demo) {
        if (!makeDemoContent(options.folder, std::time(nullptr), logLine)) {
            return 1;
        }
    } else if (!QDir().mkpath(options.folder)) {
        logLine(QStringLiteral("cannot create the folder %1").arg(options.folder));
        return 1;
    }

    std::shared_mutex folderLock;
    const std::time_t started = std::time(nullptr);
    FolderReplies replies(options.folder, options.quakes, folderLock, started);
    const ProtocolOptions protocol{options.list,        options.error,  options.redirect,
                                   options.imageStatus, options.slowMs, options.maxAge};
    CrowdLimits limits;
    limits.requestTimeout = std::chrono::seconds(options.requestTimeout);
    limits.keepAliveTimeout = std::chrono::seconds(options.keepAliveTimeout);
    CrowdServer server(limits);
    // Set before the server starts when mirroring; the mirror knows why a source
    // has nothing newer.
    const Mirror* mirrorOfSources = nullptr;
    const QString folder = options.folder;
    addProtocolRoutes(server, protocol, replies, started, logLine,
                      [&mirrorOfSources, folder](DataKind kind, bool demo, std::time_t updated) {
                          const std::string credit =
                              demo ? std::string(kind == DataKind::Clouds
                                                     ? "DEMO: made-up clouds, not satellite images"
                                                     : "DEMO: made-up earthquakes, not real events")
                                   : recordedCredit(folder, kind);
                          const std::string problem =
                              mirrorOfSources ? mirrorOfSources->problem(kind) : std::string();
                          return sourceMarkup(credit, problem, updated);
                      });
    server.set_logger([](const httplib::Request& request, const httplib::Response& response) {
        std::fprintf(stderr, "chronvale-imaged: %s %s -> %d (%zu bytes)\n", request.method.c_str(),
                     request.target.c_str(), response.status, response.body.size());
    });

    // A socket handed over by the service manager wins over --bind and --port.
    const HandedSocket handed = takeHandedSocket();
    if (!handed.error.empty()) {
        logLine(QString::fromStdString(handed.error));
        return 1;
    }
    int listenFd = -1;
    std::string address;
    if (handed.fd) {
        listenFd = *handed.fd;
        address = socketAddress(listenFd);
    } else {
        int port = 0;
        listenFd = openListener(options, installation, port);
        if (listenFd < 0) {
            return 1;
        }
        address = options.bind + ":" + std::to_string(port);
    }
    std::printf("chronvale-imaged: serving %s at http://%s/\n",
                qPrintable(QDir(options.folder).absolutePath()), address.c_str());
    std::fflush(stdout);
    {
        const auto folder = replies.current();
        logLine(QStringLiteral("%1 frames in the folder%2")
                    .arg(folder->frames.size())
                    .arg(folder->demoFrames
                             ? QStringLiteral(" (DEMO frames, made up, not satellite images)")
                             : QString()));
    }
    std::optional<Mirror> mirror;
    if (options.mirror) {
        initFetching();
        mirror.emplace(mirrorSettings(options), folderLock, logLine);
        mirrorOfSources = &*mirror;
        logLine(QStringLiteral("mirroring %1 cloud map source(s) every %2 s and %3 earthquake "
                               "feed(s) every %4 s")
                    .arg(options.clouds.size())
                    .arg(options.pullPeriod)
                    .arg(options.quakeFeeds.size())
                    .arg(options.quakePeriod));
        mirror->start();
    }
    const bool served = server.serve(listenFd);
    if (mirror) {
        mirror->stop();
    }
    return served ? 0 : 1;
}
