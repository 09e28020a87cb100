#pragma once
// The replies that change only when the folder does (the frame list, the newest
// check, the earthquakes, the credits, the frames' bytes), built once per state
// of the folder and shared by every request until the folder changes.

#include "frame_folder.h"

#include <QString>
#include <chrono>
#include <ctime>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <shared_mutex>
#include <string>
#include <vector>

namespace chronvale::imaged {

// A built reply body with the time it was last modified.
struct BuiltReply {
    int status = 200;
    std::string body;
    std::time_t modified = 0;
};

// What one state of the folder answers. The lists for each n and the frames'
// bytes are built on first use; everything else when the state is taken.
class FolderSnapshot {
public:
    QString folder;                 // the folder the frames are in
    std::vector<FrameFile> frames;  // newest first
    std::time_t framesModified = 0; // of the newest-modified frame
    bool demoFrames = false;
    bool demoQuakes = false; // the earthquake file holds made-up events
    std::string newest; // the newest check's markup
    QString quakesPath; // the earthquake file served
    BuiltReply quakes;  // status 500 when the earthquake file is broken
    BuiltReply credits;

    // The frame list of up to n frames (n within 0 to 1000).
    std::shared_ptr<const std::string> list(int n, const std::string& note) const;
    // The frame named t, or the newest when t is empty; none when there is no
    // such frame or it cannot be read.
    std::optional<FrameFile> frame(const std::string& t) const;
    std::shared_ptr<const std::string> frameBytes(const FrameFile& frame) const;

private:
    mutable std::mutex mutex_;
    mutable std::map<int, std::shared_ptr<const std::string>> lists_;
    mutable std::map<std::string, std::shared_ptr<const std::string>> frameBytes_;
};

class FolderReplies {
public:
    // quakesFile: the earthquake file given on the command line, or empty for the
    // folder's own. The folder lock is held shared while the folder is read.
    FolderReplies(QString folder, QString quakesFile, std::shared_mutex& folderLock,
                  std::time_t started);

    // The replies for the folder as it is now: the same snapshot as long as the
    // folder, its earthquake file and its credits stay unchanged.
    std::shared_ptr<const FolderSnapshot> current();

    // How many snapshots were built so far.
    int builds() const;

private:
    struct Stamp {
        long long mtimeNs = -1;
        long long size = -1;
        unsigned long long inode = 0;
        bool operator==(const Stamp&) const = default;
    };
    std::vector<Stamp> stamps() const;
    std::shared_ptr<const FolderSnapshot> build() const;

    QString folder_;
    QString quakesFile_;
    std::vector<std::string> watched_; // paths whose stamps tell a change
    std::shared_mutex& folderLock_;
    std::time_t started_;

    mutable std::mutex mutex_;
    std::shared_ptr<const FolderSnapshot> snapshot_;
    std::vector<Stamp> stamps_;
    std::chrono::system_clock::time_point builtAt_{};
    int builds_ = 0;
};

// The earthquake file served: the one given, else quakes.xml of the folder, else
// its quakes.geojson.
QString quakesPath(const QString& folder, const QString& quakesFile);

} // namespace chronvale::imaged
