#include "desktop/wallpaper/wallpaper_lock.h"

#include <filesystem>

namespace chronvale {

WallpaperLock::WallpaperLock(const std::string& folder, int waitMs)
    : file_(QString::fromStdString((std::filesystem::path(folder) / kWallpaperLockName).string())) {
    // Never stale by age: a desktop tool may keep a live owner at work longer
    // than any fixed time. A lock whose owner is gone (its process id no longer
    // runs that program) is taken over all the same.
    file_.setStaleLockTime(0);
    held_ = file_.tryLock(waitMs);
}

} // namespace chronvale
