#include "desktop/wallpaper/wallpaper_lock.h"

#include <filesystem>

namespace chronvale {

namespace {

// Longer than any one change can take (three desktop tools at their bound), so
// that a lock this old belongs to a process that hangs or is gone.
constexpr int kStaleLockMs = 60000;

} // namespace

WallpaperLock::WallpaperLock(const std::string& folder, int waitMs)
    : file_(QString::fromStdString((std::filesystem::path(folder) / kWallpaperLockName).string())) {
    file_.setStaleLockTime(kStaleLockMs);
    held_ = file_.tryLock(waitMs);
}

} // namespace chronvale
