#include "mirror.h"

#include "cloud_map.h"
#include "demo.h"
#include "frame_folder.h"
#include "replies.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace chronvale::imaged {

namespace {

using Clock = PullSchedule::Clock;

QString text(const std::string& value) {
    return QString::fromStdString(value);
}

QString minutesText(std::chrono::seconds delay) {
    if (delay.count() % 60 != 0) {
        return QStringLiteral("%1 s").arg(delay.count());
    }
    return QStringLiteral("%1 min").arg(delay.count() / 60);
}

} // namespace

std::vector<MirrorSource> defaultCloudSources() {
    // The Live cloud maps, 4096 wide, so that large maps get a sharp copy; behind
    // them, another provider and other satellites: NASA GIBS's infrared images of
    // GOES-East, GOES-West and Himawari in one map (no Meteosat, so Europe, Africa
    // and the Indian Ocean stay clear), 2048 wide to stay within map-service size
    // limits. SSEC RealEarth's global infrared composite is not among them: its
    // terms of use could not be confirmed (docs/image-server.md); a site may add it.
    return {{"https://clouds.matteason.co.uk/images/4096x2048/clouds.jpg", {}},
            {"https://matteason.github.io/live-cloud-maps/images/4096x2048/clouds.jpg", {}},
            {kGibsInfraredUrl, kGibsInfraredCredit, CloudImageKind::Infrared}};
}

std::vector<MirrorSource> defaultQuakeSources() {
    return {{"https://earthquake.usgs.gov/earthquakes/feed/v1.0/summary/2.5_week.geojson", {}}};
}

std::optional<int> validateQuakeFeed(const QByteArray& json, std::string& reason) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError) {
        const QByteArray start = json.left(64).trimmed().toLower();
        reason = start.startsWith("<") ? "markup (such as an HTML page), not GeoJSON"
                                       : "not JSON (" + error.errorString().toStdString() +
                                             " at byte " + std::to_string(error.offset) + ")";
        return std::nullopt;
    }
    const QJsonObject root = document.object();
    if (!document.isObject() ||
        root.value(QLatin1String("type")).toString() != QLatin1String("FeatureCollection")) {
        reason = "JSON, but not a GeoJSON FeatureCollection";
        return std::nullopt;
    }
    const QJsonValue features = root.value(QLatin1String("features"));
    if (!features.isArray() || !quakeMarkupFromGeoJson(json)) {
        reason = "a FeatureCollection without a list of features";
        return std::nullopt;
    }
    return static_cast<int>(features.toArray().size());
}

Mirror::Mirror(MirrorSettings settings, std::shared_mutex& folderLock, Log log)
    : settings_(std::move(settings)), folderLock_(folderLock), log_(std::move(log)),
      cloudSchedule_(settings_.cloudPeriod, settings_.firstRetry, settings_.longestRetry),
      quakeSchedule_(settings_.quakePeriod, settings_.firstRetry, settings_.longestRetry) {}

Mirror::~Mirror() {
    stop();
}

void Mirror::start() {
    if (!worker_.joinable()) {
        stopping_ = false;
        worker_ = std::thread([this] { run(); });
    }
}

void Mirror::stop() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    if (worker_.joinable()) {
        worker_.join();
    }
}

void Mirror::run() {
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        const Clock::time_point now = Clock::now();
        if (!settings_.quakes.empty() && now >= quakeSchedule_.next()) {
            lock.unlock();
            pullQuakes();
            lock.lock();
            continue;
        }
        if (!settings_.clouds.empty() && now >= cloudSchedule_.next()) {
            lock.unlock();
            pullClouds();
            lock.lock();
            continue;
        }
        std::optional<Clock::time_point> next;
        if (!settings_.quakes.empty()) {
            next = quakeSchedule_.next();
        }
        if (!settings_.clouds.empty()) {
            next = next ? std::min(*next, cloudSchedule_.next()) : cloudSchedule_.next();
        }
        if (next) {
            wake_.wait_until(lock, *next, [this] { return stopping_.load(); });
        } else {
            wake_.wait(lock, [this] { return stopping_.load(); });
        }
    }
}

FetchRequest Mirror::requestFor(const std::string& url, bool haveCopy) const {
    FetchRequest request;
    request.url = url;
    request.maxBytes = settings_.maxBytes;
    request.cancel = &stopping_;
    const auto known = validators_.find(url);
    if (haveCopy && known != validators_.end()) {
        request.ifModifiedSince = known->second.lastModified;
        request.etag = known->second.etag;
    }
    return request;
}

void Mirror::logFailure(DataKind data, const PullSchedule& schedule, std::chrono::seconds delay) {
    // The replies say why before the log does, so that a reader of the log finds
    // the problem served.
    noteOutcome(data, false);
    const char* kind = data == DataKind::Clouds ? "clouds" : "quakes";
    log_(QStringLiteral("%1: no source answered with usable data (%2 failed pulls in a row); "
                        "the folder keeps what it has; next try in %3")
             .arg(QLatin1String(kind))
             .arg(schedule.failures())
             .arg(minutesText(delay)));
}

void Mirror::noteOutcome(DataKind kind, bool ok) {
    const std::lock_guard lock(outcomeLock_);
    Outcome& outcome = kind == DataKind::Clouds ? clouds_ : quakes_;
    outcome.failing = !ok;
    if (ok) {
        outcome.lastGood = std::time(nullptr);
    }
}

std::string Mirror::problem(DataKind kind) const {
    const std::lock_guard lock(outcomeLock_);
    const Outcome& outcome = kind == DataKind::Clouds ? clouds_ : quakes_;
    if (!outcome.failing) {
        return {};
    }
    const std::time_t since = outcome.lastGood != 0 ? outcome.lastGood : started_;
    std::tm parts{};
    gmtime_r(&since, &parts);
    char when[32];
    // The day too when it is not today's.
    const std::time_t now = std::time(nullptr);
    std::strftime(when, sizeof when, now - since < 20 * 3600 ? "%H:%M UTC" : "%d %b %H:%M UTC",
                  &parts);
    return std::string(kind == DataKind::Clouds ? "no cloud source has answered"
                                                : "no earthquake feed has answered") +
           " since " + when;
}

bool Mirror::pullClouds() {
    const bool ok = pullCloudsOnce();
    noteOutcome(DataKind::Clouds, ok);
    return ok;
}

bool Mirror::pullQuakes() {
    const bool ok = pullQuakesOnce();
    noteOutcome(DataKind::Quakes, ok);
    return ok;
}

bool Mirror::pullCloudsOnce() {
    const Clock::time_point now = Clock::now();
    for (const MirrorSource& source : settings_.clouds) {
        const Validators known = validators_[source.url];
        const bool haveCopy = !known.frame.empty() && findFrame(settings_.folder, known.frame) &&
                              !demoFiles(settings_.folder).contains(text(known.frame) + ".jpg");
        const FetchRequest request = requestFor(source.url, haveCopy);
        if (stopping_) {
            return false;
        }
        const FetchResult reply = fetchUrl(request);
        const QString url = text(source.url);
        if (!reply.ok || (reply.notModified && !haveCopy)) {
            log_(QStringLiteral("clouds: %1: %2")
                     .arg(url, reply.ok ? QStringLiteral("304 to an unconditional request")
                                        : text(reply.error)));
            continue;
        }
        if (reply.notModified) {
            log_(QStringLiteral("clouds: %1: not modified; frame %2 is current")
                     .arg(url, text(known.frame)));
            std::optional<Clock::time_point> renewed;
            if (known.lastModified) {
                renewed = Clock::from_time_t(*known.lastModified);
            }
            cloudSchedule_.succeeded(now, renewed);
            return true;
        }
        const CloudFrameImage frame =
            cloudFrameFromImage(reply.body, kFrameWidth, kFrameHeight, true, source.kind);
        if (!frame.error.empty()) {
            log_(QStringLiteral("clouds: %1: the reply (%2 bytes) is %3")
                     .arg(url)
                     .arg(reply.body.size())
                     .arg(text(frame.error)));
            continue;
        }
        const std::time_t when = reply.lastModified.value_or(Clock::to_time_t(now));
        const std::string t = slotTimeStamp(when);
        if (!storeFrame(t, frame, source)) {
            break; // the folder cannot take it; another source would not help
        }
        log_(QStringLiteral("clouds: %1: %2 x %3 map stored as frame %4 (%5 bytes)")
                 .arg(url)
                 .arg(frame.sourceWidth)
                 .arg(frame.sourceHeight)
                 .arg(text(t))
                 .arg(frame.jpeg.size()));
        validators_[source.url] = {reply.lastModified, reply.etag, t};
        std::optional<Clock::time_point> renewed;
        if (reply.lastModified) {
            renewed = Clock::from_time_t(*reply.lastModified);
        }
        cloudSchedule_.succeeded(now, renewed);
        return true;
    }
    logFailure(DataKind::Clouds, cloudSchedule_, cloudSchedule_.failed(now));
    return false;
}

bool Mirror::storeFrame(const std::string& t, const CloudFrameImage& frame,
                        const MirrorSource& source) {
    const std::unique_lock lock(folderLock_);
    const QString& folder = settings_.folder;
    const QString name = text(t) + QStringLiteral(".jpg");
    const QStringList demo = demoFiles(folder);
    if (findFrame(folder, t) && !demo.contains(name)) {
        log_(QStringLiteral("clouds: the folder holds frame %1 already; it is kept (a frame "
                            "never changes)")
                 .arg(text(t)));
    } else {
        if (hasDemoFrames(demo)) {
            if (!retireDemoContent(folder, true, false)) {
                log_(QStringLiteral("clouds: cannot remove all demo frames of %1").arg(folder));
            }
            log_(QStringLiteral("clouds: real cloud maps replace the demo frames"));
        }
        if (!writeFileAtomically(QDir(folder).filePath(name), frame.jpeg)) {
            log_(QStringLiteral("clouds: cannot write %1").arg(QDir(folder).filePath(name)));
            return false;
        }
        // The large copy is a bonus: the frame stands without it.
        const QString hires = hiresFramePath(folder, t);
        if (!frame.hiresJpeg.isEmpty() &&
            !(QDir().mkpath(hiresFolder(folder)) && writeFileAtomically(hires, frame.hiresJpeg))) {
            log_(QStringLiteral("clouds: cannot write %1").arg(hires));
        }
    }
    pruneFrames();
    const std::string credit =
        source.credit.empty() ? defaultCredit(source.url, DataKind::Clouds) : source.credit;
    if (!recordCredit(folder, DataKind::Clouds, source.url, credit)) {
        log_(QStringLiteral("clouds: cannot write %1").arg(QLatin1String(kCreditsFile)));
    }
    return true;
}

void Mirror::pruneFrames() {
    const std::vector<FrameFile> frames = listFrames(settings_.folder);
    for (size_t i = static_cast<size_t>(std::max(settings_.keepFrames, 1)); i < frames.size();
         ++i) {
        if (QFile::remove(frames[i].path)) {
            log_(QStringLiteral("clouds: removed the old frame %1").arg(text(frames[i].t)));
        }
    }
    // Large copies whose frame is gone go too.
    const QDir hires(hiresFolder(settings_.folder));
    for (const QString& name : hires.entryList({QStringLiteral("*.jpg")}, QDir::Files)) {
        if (!findFrame(settings_.folder, QFileInfo(name).completeBaseName().toStdString())) {
            QFile::remove(hires.filePath(name));
        }
    }
}

bool Mirror::pullQuakesOnce() {
    const Clock::time_point now = Clock::now();
    const QString path = QDir(settings_.folder).filePath(QLatin1String(kQuakeFeedFile));
    for (const MirrorSource& source : settings_.quakes) {
        const bool haveCopy = QFile::exists(path) &&
                              !demoFiles(settings_.folder).contains(QLatin1String(kQuakeFeedFile));
        const FetchRequest request = requestFor(source.url, haveCopy);
        if (stopping_) {
            return false;
        }
        const FetchResult reply = fetchUrl(request);
        const QString url = text(source.url);
        if (!reply.ok || (reply.notModified && !haveCopy)) {
            log_(QStringLiteral("quakes: %1: %2")
                     .arg(url, reply.ok ? QStringLiteral("304 to an unconditional request")
                                        : text(reply.error)));
            continue;
        }
        if (reply.notModified) {
            log_(QStringLiteral("quakes: %1: not modified").arg(url));
            quakeSchedule_.succeeded(now);
            return true;
        }
        std::string reason;
        const std::optional<int> count = validateQuakeFeed(reply.body, reason);
        if (!count) {
            log_(QStringLiteral("quakes: %1: the reply (%2 bytes) is %3; the earthquakes held "
                                "are kept")
                     .arg(url)
                     .arg(reply.body.size())
                     .arg(text(reason)));
            continue;
        }
        if (!storeQuakes(reply.body, *count, source)) {
            break;
        }
        validators_[source.url] = {reply.lastModified, reply.etag, {}};
        quakeSchedule_.succeeded(now);
        return true;
    }
    logFailure(DataKind::Quakes, quakeSchedule_, quakeSchedule_.failed(now));
    return false;
}

bool Mirror::storeQuakes(const QByteArray& json, int count, const MirrorSource& source) {
    const std::unique_lock lock(folderLock_);
    const QString& folder = settings_.folder;
    const QString path = QDir(folder).filePath(QLatin1String(kQuakeFeedFile));
    if (!writeFileAtomically(path, json)) {
        log_(QStringLiteral("quakes: cannot write %1").arg(path));
        return false;
    }
    if (demoFiles(folder).contains(QLatin1String(kQuakeFeedFile))) {
        retireDemoContent(folder, false, true);
        log_(QStringLiteral("quakes: real earthquakes replace the demo ones"));
    }
    // The credit first: once the log says so, the credits name the feed.
    const std::string credit =
        source.credit.empty() ? defaultCredit(source.url, DataKind::Quakes) : source.credit;
    if (!recordCredit(folder, DataKind::Quakes, source.url, credit)) {
        log_(QStringLiteral("quakes: cannot write %1").arg(QLatin1String(kCreditsFile)));
    }
    log_(QStringLiteral("quakes: %1: stored %2 earthquakes in %3")
             .arg(text(source.url))
             .arg(count)
             .arg(path));
    return true;
}

} // namespace chronvale::imaged
