#include "folder_replies.h"

#include "credits.h"
#include "demo.h"
#include "replies.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <sys/stat.h>

namespace chronvale::imaged {

namespace {

// File systems stamp changes with a coarse clock (a tick of up to 10 ms, a second
// on some): a change made within this of a stamp may leave it unchanged. A
// snapshot built that soon after a change is built again after kRecheck, so a
// second change in the same tick shows within kRecheck.
constexpr std::chrono::seconds kCoarseStamp{2};
constexpr std::chrono::milliseconds kRecheck{100};

std::time_t modifiedTime(const QString& path, std::time_t otherwise) {
    const QFileInfo info(path);
    return info.exists() ? static_cast<std::time_t>(info.lastModified().toSecsSinceEpoch())
                         : otherwise;
}

} // namespace

QString quakesPath(const QString& folder, const QString& quakesFile) {
    if (!quakesFile.isEmpty()) {
        return quakesFile;
    }
    const QDir dir(folder);
    return dir.exists(QStringLiteral("quakes.xml")) ? dir.filePath(QStringLiteral("quakes.xml"))
                                                    : dir.filePath(QLatin1String(kQuakeFeedFile));
}

std::shared_ptr<const std::string> FolderSnapshot::list(int n, const std::string& note) const {
    n = std::clamp(n, 0, 1000);
    const std::lock_guard lock(mutex_);
    auto& built = lists_[n];
    if (!built) {
        built = std::make_shared<const std::string>(frameListMarkup(frames, n, note));
    }
    return built;
}

std::optional<FrameFile> FolderSnapshot::frame(const std::string& t) const {
    if (frames.empty()) {
        return std::nullopt;
    }
    if (t.empty()) {
        return frames.front();
    }
    const auto it = std::find_if(frames.begin(), frames.end(),
                                 [&t](const FrameFile& frame) { return frame.t == t; });
    return it == frames.end() ? std::nullopt : std::optional<FrameFile>(*it);
}

std::shared_ptr<const std::string> FolderSnapshot::frameBytes(const FrameFile& frame) const {
    {
        const std::lock_guard lock(mutex_);
        if (const auto it = frameBytes_.find(frame.t); it != frameBytes_.end()) {
            return it->second;
        }
    }
    // Read outside the lock: other frames and lists are served meanwhile.
    QFile file(frame.path);
    if (!file.open(QIODevice::ReadOnly)) {
        return nullptr; // removed since the folder was listed
    }
    const QByteArray bytes = file.readAll();
    auto read =
        std::make_shared<const std::string>(bytes.constData(), static_cast<size_t>(bytes.size()));
    const std::lock_guard lock(mutex_);
    return frameBytes_.emplace(frame.t, std::move(read)).first->second;
}

FolderReplies::FolderReplies(QString folder, QString quakesFile, std::shared_mutex& folderLock,
                             std::time_t started)
    : folder_(std::move(folder)), quakesFile_(std::move(quakesFile)), folderLock_(folderLock),
      started_(started) {
    const QDir dir(folder_);
    for (const QString& path :
         {folder_, dir.filePath(QStringLiteral("quakes.xml")),
          dir.filePath(QLatin1String(kQuakeFeedFile)), dir.filePath(QLatin1String(kCreditsFile)),
          dir.filePath(QLatin1String(kDemoMarker)), quakesFile_}) {
        if (!path.isEmpty()) {
            watched_.push_back(QFile::encodeName(path).toStdString());
        }
    }
}

std::vector<FolderReplies::Stamp> FolderReplies::stamps() const {
    std::vector<Stamp> out;
    out.reserve(watched_.size());
    for (const std::string& path : watched_) {
        struct stat info {};
        Stamp stamp;
        if (::stat(path.c_str(), &info) == 0) {
            stamp.mtimeNs =
                static_cast<long long>(info.st_mtim.tv_sec) * 1000000000LL + info.st_mtim.tv_nsec;
            stamp.size = static_cast<long long>(info.st_size);
            stamp.inode = static_cast<unsigned long long>(info.st_ino);
        }
        out.push_back(stamp);
    }
    return out;
}

std::shared_ptr<const FolderSnapshot> FolderReplies::current() {
    const std::vector<Stamp> now = stamps();
    const auto clock = std::chrono::system_clock::now();
    const std::lock_guard lock(mutex_);
    bool fresh = snapshot_ && now == stamps_;
    if (fresh && clock - builtAt_ >= kRecheck) {
        // A stamp as young as the clock's coarseness may hide a later change.
        const long long builtNs =
            std::chrono::duration_cast<std::chrono::nanoseconds>(builtAt_.time_since_epoch())
                .count();
        const long long coarseNs =
            std::chrono::duration_cast<std::chrono::nanoseconds>(kCoarseStamp).count();
        fresh = std::none_of(stamps_.begin(), stamps_.end(), [&](const Stamp& stamp) {
            return stamp.mtimeNs > builtNs - coarseNs;
        });
    }
    if (!fresh) {
        snapshot_ = build();
        stamps_ = now;
        builtAt_ = clock;
        ++builds_;
    }
    return snapshot_;
}

int FolderReplies::builds() const {
    const std::lock_guard lock(mutex_);
    return builds_;
}

std::shared_ptr<const FolderSnapshot> FolderReplies::build() const {
    auto snapshot = std::make_shared<FolderSnapshot>();
    const std::shared_lock lock(folderLock_);
    snapshot->frames = listFrames(folder_);
    snapshot->framesModified = started_;
    for (const FrameFile& frame : snapshot->frames) {
        snapshot->framesModified =
            std::max(snapshot->framesModified, modifiedTime(frame.path, started_));
    }
    const QStringList demo = demoFiles(folder_);
    snapshot->folder = folder_;
    snapshot->demoFrames = hasDemoFrames(demo);
    snapshot->demoQuakes = demo.contains(QLatin1String(kQuakeFeedFile));
    snapshot->newest = newestMarkup(snapshot->frames);

    const QString quakes = quakesPath(folder_, quakesFile_);
    snapshot->quakesPath = quakes;
    if (!QFileInfo::exists(quakes)) {
        snapshot->quakes = {200, "<?xml version=\"1.0\"?>\n<quakes>\n</quakes>\n", started_};
    } else if (const auto reply = quakeReplyFromFile(quakes)) {
        snapshot->quakes = {200, *reply, modifiedTime(quakes, started_)};
    } else {
        snapshot->quakes = {500, "Broken earthquake file\n", started_};
    }

    const QByteArray credits =
        creditsText(folder_, snapshot->demoFrames, snapshot->demoQuakes);
    snapshot->credits = {
        200, credits.toStdString(),
        modifiedTime(QDir(folder_).filePath(QLatin1String(kCreditsFile)), started_)};
    return snapshot;
}

} // namespace chronvale::imaged
