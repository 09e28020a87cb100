// One renewal of the wallpaper: the lit map composed with the sun's shadow from
// the installed earth images, each monitor's picture painted at its own size and
// written as a JPEG file under the next letter; for one 3840 × 2160 monitor and
// for three (1920 × 1080, 2560 × 1440, 3840 × 2160). The desktop's own work after
// that is not ours.

#include "core/load_errors.h"
#include "render/compositor.h"
#include "render/wallpaper_image.h"
#include "render/wallpaper_layout.h"
#include "render/wallpaper_picture.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

namespace chronvale {
namespace {

namespace fs = std::filesystem;

double fastest(const std::vector<double>& v) {
    return *std::min_element(v.begin(), v.end());
}

// 2026-06-21 06:00:00 UTC: the terminator crosses the whole map.
constexpr std::time_t kSolsticeMorning = 1782021600;

class ScratchFolder {
public:
    ScratchFolder() {
        std::string pattern = (fs::temp_directory_path() / "chronvale-bench-XXXXXX").string();
        if (!mkdtemp(pattern.data())) {
            std::abort();
        }
        path = pattern;
    }
    ~ScratchFolder() { fs::remove_all(path); }
    fs::path path;
};

void renewal(benchmark::State& state, bool compose) {
    RecordingLoadErrorSink errors;
    Compositor compositor(std::string(CHRONVALE_SOURCE_DIR) + "/data", errors);
    DisplaySwitches switches;
    switches.dayMap = true;
    switches.sunShadow = true;
    if (!compositor.loadEarthImages(switches, kSolsticeMorning) || !errors.files.empty()) {
        state.SkipWithError("the earth images of data/ did not load");
        return;
    }
    const ScratchFolder folder;
    std::vector<WallpaperScreen> screens{{0, 0, 3840, 2160, {}}};
    if (state.range(0) == 3) {
        screens = {{0, 0, 1920, 1080, {}}, {1920, 0, 2560, 1440, {}}, {4480, 0, 3840, 2160, {}}};
    }
    const WallpaperLayout layout = layoutWallpaper(screens, {}, false);
    for (auto _ : state) {
        if (compose) {
            compositor.composeMap(switches, kSolsticeMorning);
        }
        const EarthImage& map = *compositor.litMap();
        const std::vector<ImagePtr> images = renderWallpaperImages(
            layout, [&map](const MapRegion& region, EarthImage& picture, const PixelRect& rect) {
                paintFromMap(map, region, picture, rect);
                return true;
            });
        const WallpaperWrite write =
            writeWallpaperFiles(images, layout.images.size(), folder.path.string());
        if (!write.written) {
            state.SkipWithError("the wallpaper file could not be written");
            return;
        }
    }
}

// What the shadow timer does in Wallpaper Mode: compose, then renew the files.
void BM_WallpaperRenewal(benchmark::State& state) {
    renewal(state, true);
}
BENCHMARK(BM_WallpaperRenewal)
    ->Arg(1) // one 3840 x 2160 monitor
    ->Arg(3) // 1920 x 1080, 2560 x 1440 and 3840 x 2160
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ComputeStatistics("min", fastest);

// The pictures and files alone, after the window has composed the map.
void BM_WallpaperFileOnly(benchmark::State& state) {
    renewal(state, false);
}
BENCHMARK(BM_WallpaperFileOnly)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ComputeStatistics("min", fastest);

} // namespace
} // namespace chronvale
