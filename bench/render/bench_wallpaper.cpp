// One renewal of the wallpaper: each monitor's picture composed at its own size
// with the sun's shadow and the clouds over day and night, from the installed
// 4096 x 2048 day and night images, and written as a JPEG file under the next
// letter; for one 3840 × 2160 monitor and for three (1920 × 1080, 2560 × 1440,
// 3840 × 2160). The desktop's own work after that is not ours.

#include "core/load_errors.h"
#include "render/compositor.h"
#include "render/detailed_earth.h"
#include "render/wallpaper_earth.h"
#include "render/wallpaper_image.h"
#include "render/wallpaper_layout.h"
#include "render/wallpaper_picture.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cmath>
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

// The decoded images a renewal composes from: the 1024 x 512 maps, the 4096 x 2048
// day and night images and a 4096 x 2048 cloud frame (soft bands of cloud).
struct Sources {
    explicit Sources(bool withCloud = true) {
        const std::string data = std::string(CHRONVALE_SOURCE_DIR) + "/data/";
        day = loadImage(data + kDayImageName);
        night = loadImage(data + kNightImageName);
        hiresDay = loadDetailedImage(data + kDetailedDayImageName);
        hiresNight = loadDetailedImage(data + kDetailedNightImageName);
        if (!withCloud) {
            return;
        }
        cloud = createImage(4096, 2048, 24, 0);
        for (int y = 0; y < 2048; ++y) {
            uint8_t* row = cloud->row(y);
            for (int x = 0; x < 4096; ++x) {
                const double v = std::sin(x * 0.004 + y * 0.011) * std::cos(y * 0.007 - x * 0.002);
                std::fill_n(row + x * 3, 3, static_cast<uint8_t>(std::max(0.0, v) * 230.0));
            }
        }
    }
    bool complete() const { return day && night && hiresDay && hiresNight && cloud; }
    ImagePtr day;
    ImagePtr night;
    ImagePtr hiresDay;
    ImagePtr hiresNight;
    ImagePtr cloud;
};

std::vector<WallpaperScreen> screensOf(int64_t count) {
    if (count == 3) {
        return {{0, 0, 1920, 1080, {}}, {1920, 0, 2560, 1440, {}}, {4480, 0, 3840, 2160, {}}};
    }
    return {{0, 0, 3840, 2160, {}}};
}

// One renewal as the job makes it: each monitor's picture composed at its own
// size with the shadow and the clouds over day and night, then written.
void renewal(benchmark::State& state, bool write) {
    static const Sources sources;
    if (!sources.complete()) {
        state.SkipWithError("the earth images of data/ did not load");
        return;
    }
    DisplaySwitches shown;
    shown.clouds = true;
    const DisplaySwitches switches = wallpaperSwitches(shown);
    const EarthLayers standard{sources.day.get(), sources.night.get(), nullptr,
                               sources.cloud.get()};
    const EarthLayers detailed{sources.hiresDay.get(), sources.hiresNight.get(), nullptr, nullptr};
    const ScratchFolder folder;
    const WallpaperLayout layout = layoutWallpaper(screensOf(state.range(0)), {}, false);
    for (auto _ : state) {
        const std::vector<ImagePtr> images = renderWallpaperImages(
            layout, [&](const MapRegion& region, EarthImage& picture, const PixelRect& rect) {
                return composeWallpaperRegion(standard, detailed, region, kSolsticeMorning,
                                              switches, picture, rect);
            });
        if (images.empty()) {
            state.SkipWithError("the pictures could not be composed");
            return;
        }
        if (write &&
            !writeWallpaperFiles(images, layout.images.size(), folder.path.string()).written) {
            state.SkipWithError("the wallpaper file could not be written");
            return;
        }
    }
}

// What the wallpaper job does on each shadow-timer tick once its images are decoded.
void BM_WallpaperRenewal(benchmark::State& state) {
    renewal(state, true);
}
BENCHMARK(BM_WallpaperRenewal)
    ->Arg(1) // one 3840 x 2160 monitor
    ->Arg(3) // 1920 x 1080, 2560 x 1440 and 3840 x 2160
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ComputeStatistics("min", fastest);

// The composition alone, without the JPEG files.
void BM_WallpaperCompose(benchmark::State& state) {
    renewal(state, false);
}
BENCHMARK(BM_WallpaperCompose)
    ->Arg(1)
    ->Arg(3)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ComputeStatistics("min", fastest);

// Decoding what a renewal composes from (the job does it on its worker each time,
// so that a window in the tray holds no images between renewals).
void BM_WallpaperSourcesDecode(benchmark::State& state) {
    for (auto _ : state) {
        const Sources sources(false);
        benchmark::DoNotOptimize(sources.hiresNight.get());
    }
}
BENCHMARK(BM_WallpaperSourcesDecode)->Unit(benchmark::kMillisecond)->Repetitions(3);

} // namespace
} // namespace chronvale
