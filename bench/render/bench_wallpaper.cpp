// One renewal of the wallpaper at 3840 pixels wide: the lit map composed with the
// sun's shadow from the installed earth images, resampled to 3840 × 2048 (a
// wallpaper twice as wide as a 1920 pixel desktop) and written as a BMP file under
// the next of the two names. The desktop's own work after that is not ours.

#include "core/load_errors.h"
#include "render/compositor.h"
#include "render/wallpaper_image.h"

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
    const int width = static_cast<int>(state.range(0));
    const int desktop = static_cast<int>(state.range(1));
    for (auto _ : state) {
        if (compose) {
            compositor.composeMap(switches, kSolsticeMorning);
        }
        const WallpaperWrite write =
            writeWallpaperFile(compositor.litMap(), width, desktop, folder.path.string());
        if (!write.written) {
            state.SkipWithError("the wallpaper file could not be written");
            return;
        }
    }
}

// What the shadow timer does in Wallpaper Mode: compose, then renew the file.
void BM_WallpaperRenewal(benchmark::State& state) {
    renewal(state, true);
}
BENCHMARK(BM_WallpaperRenewal)
    ->Args({3840, 1920})
    ->Args({3840, 3840}) // as wide as the desktop: the map unscaled
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ComputeStatistics("min", fastest);

// The export alone, after the window has composed the map.
void BM_WallpaperFileOnly(benchmark::State& state) {
    renewal(state, false);
}
BENCHMARK(BM_WallpaperFileOnly)
    ->Args({3840, 1920})
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ComputeStatistics("min", fastest);

} // namespace
} // namespace chronvale
