#pragma once
// The window and `chronvale --wallpaper` (from a timer) may change the wallpaper
// at the same moment: both write Wallpaper-a/b.bmp and the saved state. Each holds
// this lock, a file in the user folder, from reading the stored state to writing
// it back. A lock left by a killed process is taken over; one whose owner still
// runs is never taken, however old.

#include <QLockFile>
#include <string>

namespace chronvale {

inline constexpr const char* kWallpaperLockName = "wallpaper.lock";

class WallpaperLock {
public:
    // Waits up to waitMs for the lock in `folder`.
    WallpaperLock(const std::string& folder, int waitMs);
    bool held() const { return held_; }

private:
    QLockFile file_;
    bool held_ = false;
};

} // namespace chronvale
