#pragma once
// The mirror: pulls world cloud maps and the earthquake feed from public
// sources into the folder on a worker thread, while the server goes on answering
// from what the folder holds. Every change of the folder is made under the
// folder lock held exclusively; readers hold it shared.

#include "cloud_map.h"
#include "credits.h"
#include "fetch.h"
#include "pull_schedule.h"

#include <QString>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <ctime>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <shared_mutex>
#include <string>
#include <thread>
#include <vector>

namespace chronvale::imaged {

struct MirrorSource {
    std::string url;
    std::string credit;                           // empty: the source's default credit
    CloudImageKind kind = CloudImageKind::Clouds; // what a cloud source's picture shows
};

struct MirrorSettings {
    QString folder;
    std::vector<MirrorSource> clouds; // tried in order; the first usable map wins
    std::vector<MirrorSource> quakes; // the same for the earthquake feed
    std::chrono::seconds cloudPeriod{3 * 3600};
    std::chrono::seconds quakePeriod{15 * 60};
    std::chrono::seconds firstRetry{60};
    std::chrono::seconds longestRetry{3600};
    size_t maxBytes = kDefaultFetchLimit;
    int keepFrames = 48;
};

// The public sources pulled when none is given.
std::vector<MirrorSource> defaultCloudSources();
std::vector<MirrorSource> defaultQuakeSources();

// A feed that is a GeoJSON FeatureCollection of earthquakes: the number of
// events, or none (with the reason) when it is not one.
std::optional<int> validateQuakeFeed(const QByteArray& json, std::string& reason);

class Mirror {
public:
    using Log = std::function<void(const QString&)>;

    Mirror(MirrorSettings settings, std::shared_mutex& folderLock, Log log);
    ~Mirror();
    Mirror(const Mirror&) = delete;
    Mirror& operator=(const Mirror&) = delete;

    // Starts the worker thread, which pulls both kinds at once and then on their
    // schedules; stop() (or the destructor) ends it and waits for it.
    void start();
    void stop();

    // One pull of each kind, as the worker runs them: true when a source
    // delivered usable data or confirmed the copy held.
    bool pullClouds();
    bool pullQuakes();

    // Why the data of a kind may be old, in words for the user ("no cloud source
    // has answered since 09:00 UTC"); empty while its last pull succeeded. Safe
    // to call from any thread.
    std::string problem(DataKind kind) const;

private:
    // What a source said last time, for conditional requests.
    struct Validators {
        std::optional<std::time_t> lastModified;
        std::string etag;
        std::string frame; // the frame stored from that reply (clouds)
    };

    void run();
    bool pullCloudsOnce();
    bool pullQuakesOnce();
    FetchRequest requestFor(const std::string& url, bool haveCopy) const;
    bool storeFrame(const std::string& t, const CloudFrameImage& frame, const MirrorSource& source);
    bool storeQuakes(const QByteArray& json, int count, const MirrorSource& source);
    void pruneFrames();
    void logFailure(DataKind kind, const PullSchedule& schedule, std::chrono::seconds delay);
    void noteOutcome(DataKind kind, bool ok);

    MirrorSettings settings_;
    std::shared_mutex& folderLock_;
    Log log_;
    PullSchedule cloudSchedule_;
    PullSchedule quakeSchedule_;
    // Touched by the pulling thread only.
    std::map<std::string, Validators> validators_;
    std::optional<std::time_t> cloudsRenewed_;

    // The outcome of the last pulls, read by the serving threads.
    struct Outcome {
        bool failing = false;
        std::time_t lastGood = 0; // 0: none since the start
    };
    mutable std::mutex outcomeLock_;
    Outcome clouds_;
    Outcome quakes_;
    std::time_t started_ = std::time(nullptr);

    std::mutex mutex_;
    std::condition_variable wake_;
    std::atomic<bool> stopping_{false};
    std::thread worker_;
};

} // namespace chronvale::imaged
