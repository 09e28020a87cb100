#pragma once
// A wallpaper back end that does what the test says and records what it was
// told, in place of a desktop. Its log is shared, so that the test still reads it
// while the window owns the back end (and runs it on a worker thread).

#include "desktop/wallpaper/wallpaper_backend.h"

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace chronvale::test {

// What the fake desktop shows, how it behaves, and what it was told.
struct DesktopLog {
    DesktopWallpaperState desktop{"'file:///home/u/own.jpg'", "'zoom'",
                                  "'file:///home/u/dark.jpg'"};
    bool keepsState = true; // false: a desktop that cannot tell its wallpaper at all
    bool readable = true;
    bool restores = true;
    int showDelayMs = 0; // a desktop tool that takes this long
    // What the desktop says it shows after show: none, what it was given ({}), or this.
    std::optional<std::vector<std::string>> readsBack;
    int reads = 0;
    std::vector<std::string> shown;
    std::vector<DesktopWallpaperState> restored;
};

class FakeDesktop final : public WallpaperBackend {
public:
    explicit FakeDesktop(std::shared_ptr<DesktopLog> log = std::make_shared<DesktopLog>())
        : log_(std::move(log)) {}

    DesktopLog& log() { return *log_; }

    std::string name() const override { return "Fake desktop"; }
    std::string key() const override { return "fake"; }
    bool available() const override { return true; }
    bool keepsState() const override { return log_->keepsState; }
    std::optional<DesktopWallpaperState> readState() override {
        ++log_->reads;
        return log_->readable ? std::optional(log_->desktop) : std::nullopt;
    }
    MonitorPictures monitorPictures() const override { return MonitorPictures::Spanned; }
    bool show(const WallpaperFiles& files) override {
        const std::string& path = files.front().path;
        std::this_thread::sleep_for(std::chrono::milliseconds(log_->showDelayMs));
        log_->shown.push_back(path);
        log_->desktop = {path, "centered", path};
        return true;
    }
    std::optional<std::vector<std::string>> shownPictures() override {
        if (!log_->readsBack) {
            return std::nullopt;
        }
        return log_->readsBack->empty() ? std::vector<std::string>{log_->shown.back()}
                                        : *log_->readsBack;
    }
    bool restore(const DesktopWallpaperState& state) override {
        log_->restored.push_back(state);
        if (!log_->restores) {
            return false;
        }
        log_->desktop = state;
        return true;
    }

private:
    std::shared_ptr<DesktopLog> log_;
};

} // namespace chronvale::test
