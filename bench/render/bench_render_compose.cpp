// The lit map's composition at the map's size: the shadow's reference and fast
// paths side by side, and the cloud and time-zone blends.

#include "core/load_errors.h"
#include "render/compositor.h"
#include "render/layer_blend.h"
#include "render/sun_shadow.h"

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

// On a shared machine the fastest repetition is the figure that other programs
// disturb least; report it beside the mean and median.
double fastest(const std::vector<double>& v) {
    return *std::min_element(v.begin(), v.end());
}

// 2026-03-20 12:00:00 UTC
constexpr std::time_t kEquinoxNoon = 1774008000;

ImagePtr noiseImage(uint32_t seed) {
    ImagePtr image = createImage(1024, 512, 24, 256);
    uint32_t state = seed * 2654435761u + 1u;
    for (int r = 0; r < image->height(); ++r) {
        uint8_t* p = image->row(r);
        for (int x = 0; x < image->width() * 3; ++x) {
            state ^= state << 13;
            state ^= state >> 17;
            state ^= state << 5;
            p[x] = static_cast<uint8_t>(state >> 24);
        }
    }
    return image;
}

// A smooth picture like a cloud field over a dark sky: bands of brightness from a
// few sine waves, clipped at zero, so that neighbouring pixels are alike.
ImagePtr smoothImage(float phase) {
    ImagePtr image = createImage(1024, 512, 24, 256);
    for (int r = 0; r < image->height(); ++r) {
        uint8_t* p = image->row(r);
        for (int x = 0; x < image->width(); ++x, p += 3) {
            const float v = 120.0f * std::sin(0.021f * static_cast<float>(x) + phase) +
                            90.0f * std::sin(0.037f * static_cast<float>(r) - phase) +
                            60.0f * std::sin(0.011f * static_cast<float>(x + 2 * r));
            const uint8_t level = static_cast<uint8_t>(std::clamp(v, 0.0f, 255.0f));
            p[0] = level;
            p[1] = static_cast<uint8_t>(level * 7 / 8);
            p[2] = static_cast<uint8_t>(level * 3 / 4);
        }
    }
    return image;
}

// A data folder of synthetic earth images, for as long as the program runs.
class SyntheticDataFolder {
public:
    SyntheticDataFolder() {
        std::string pattern = (fs::temp_directory_path() / "chronvale-bench-XXXXXX").string();
        if (!mkdtemp(pattern.data())) {
            std::abort();
        }
        path = pattern;
        fs::create_directories(path / "images");
        int seed = 1;
        for (const char* name : {kDayImageName, kNightImageName, kTimeZoneImageName}) {
            ImagePtr image = noiseImage(static_cast<uint32_t>(seed++));
            if (!saveBmpFile(image.get(), (path / name).string())) {
                std::abort();
            }
        }
    }
    ~SyntheticDataFolder() { fs::remove_all(path); }
    fs::path path;
};

const SyntheticDataFolder& dataFolder() {
    static const SyntheticDataFolder folder;
    return folder;
}

void composeWithShadow(benchmark::State& state, ShadowMethod method) {
    RecordingLoadErrorSink errors;
    Compositor compositor(dataFolder().path.string(), errors);
    compositor.setShadowMethod(method);
    DisplaySwitches switches;
    switches.sunShadow = true;
    compositor.loadEarthImages(switches, kEquinoxNoon);
    if (!errors.files.empty()) {
        state.SkipWithError("the synthetic images did not load");
        return;
    }
    for (auto _ : state) {
        compositor.composeMap(switches, kEquinoxNoon);
        benchmark::DoNotOptimize(compositor.litMap()->pixels());
    }
    state.counters["pixels/s"] =
        benchmark::Counter(1024.0 * 512.0, benchmark::Counter::kIsIterationInvariantRate);
}

void BM_ComposeMapShadowReference(benchmark::State& state) {
    composeWithShadow(state, ShadowMethod::Reference);
}
BENCHMARK(BM_ComposeMapShadowReference)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ComputeStatistics("min", fastest);

void BM_ComposeMapShadowFast(benchmark::State& state) {
    composeWithShadow(state, ShadowMethod::Fast);
}
BENCHMARK(BM_ComposeMapShadowFast)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ComputeStatistics("min", fastest);

// Noise: every pixel takes the weighted blend (the worst case).
void BM_BlendClouds(benchmark::State& state) {
    const ImagePtr base = noiseImage(4);
    const ImagePtr cloud = noiseImage(5);
    ImagePtr out = createImage(1024, 512, 24, 256);
    for (auto _ : state) {
        blendCloudLayer(*out, *base, *cloud);
        benchmark::DoNotOptimize(out->pixels());
    }
}

BENCHMARK(BM_BlendClouds)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ComputeStatistics("min", fastest);

// Smooth fields with dark gaps, closer to a real cloud image over a map.
void BM_BlendCloudsSmooth(benchmark::State& state) {
    const ImagePtr base = smoothImage(0.5f);
    const ImagePtr cloud = smoothImage(2.0f);
    ImagePtr out = createImage(1024, 512, 24, 256);
    for (auto _ : state) {
        blendCloudLayer(*out, *base, *cloud);
        benchmark::DoNotOptimize(out->pixels());
    }
}
BENCHMARK(BM_BlendCloudsSmooth)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ComputeStatistics("min", fastest);
void BM_TintTimeZones(benchmark::State& state) {
    const ImagePtr day = noiseImage(6);
    const ImagePtr zones = noiseImage(7);
    ImagePtr out = createImage(1024, 512, 24, 256);
    for (auto _ : state) {
        tintTimeZones(*out, *day, *zones);
        benchmark::DoNotOptimize(out->pixels());
    }
}
BENCHMARK(BM_TintTimeZones)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ComputeStatistics("min", fastest);

} // namespace
} // namespace chronvale
