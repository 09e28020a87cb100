#pragma once
// The monitors a wallpaper is made for: each one's place on the desktop and its
// size in device pixels, and the text form `WxH+X+Y[,WxH+X+Y...]` that
// `chronvale --wallpaper --screens` takes and the settings file keeps.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace chronvale {

// Largest monitor side taken, in device pixels (16K displays).
inline constexpr int kMaxScreenSide = 16384;
// Largest offset of a monitor from the desktop's origin.
inline constexpr int kMaxScreenOffset = 65536;
inline constexpr std::size_t kMaxScreens = 16;

struct WallpaperScreen {
    int x = 0; // left edge on the desktop, device pixels
    int y = 0;
    int width = 0;
    int height = 0;
    std::string name; // the output's name ("HDMI-1"); empty when not known
    bool operator==(const WallpaperScreen&) const = default;
};

struct ScreensParse {
    std::vector<WallpaperScreen> screens; // empty when the text is refused
    std::string error;                    // why, for "--screens: <error>"
};

// Reads `WxH+X+Y` items separated by commas (offsets may be negative: `+-10` or
// `-10`). Refuses an empty list, a malformed item, a side of 0 or over
// kMaxScreenSide, an offset beyond kMaxScreenOffset and more than kMaxScreens items.
ScreensParse parseScreens(std::string_view text);

// The same list as text, `WxH+X+Y` joined by commas (names are not kept).
std::string formatScreens(const std::vector<WallpaperScreen>& screens);

// The screen a desktop without any other knowledge is taken to have: 1920 × 1080.
WallpaperScreen defaultScreen();

} // namespace chronvale
