// The lit map at any size: 3840 x 1920 with the exact shadow from the 4096 x 2048
// images, the whole 1024 x 512 map the same way for comparison with the compositor's
// fast path, a zoomed device-resolution view, and a memcpy of a large block for the
// machine's memory bandwidth (the bound the composition is measured against).

#include "render/detailed_earth.h"
#include "render/earth_image.h"
#include "render/lit_area.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

namespace chronvale {
namespace {

// On a shared machine the fastest repetition is the figure that other programs
// disturb least; report it beside the mean and median.
double fastest(const std::vector<double>& v) {
    return *std::min_element(v.begin(), v.end());
}

// 2027-03-20 12:00:00 UTC
constexpr std::time_t kEquinoxNoon = 1805544000;

struct Images {
    ImagePtr day =
        loadDetailedImage(std::string(CHRONVALE_SOURCE_DIR) + "/data/" + kDetailedDayImageName);
    ImagePtr night =
        loadDetailedImage(std::string(CHRONVALE_SOURCE_DIR) + "/data/" + kDetailedNightImageName);
    ImagePtr day1024 = loadImage(std::string(CHRONVALE_SOURCE_DIR) + "/data/images/earth_day.bmp");
    ImagePtr night1024 =
        loadImage(std::string(CHRONVALE_SOURCE_DIR) + "/data/images/earth_night.bmp");
};

const Images& images() {
    static const Images loaded;
    return loaded;
}

void compose(benchmark::State& state, bool detailed, LitAreaRequest request) {
    const Images& in = images();
    const EarthLayers layers = detailed ? EarthLayers{in.day.get(), in.night.get()}
                                        : EarthLayers{in.day1024.get(), in.night1024.get()};
    if (!layers.day || !layers.night) {
        state.SkipWithError("the earth images of the source tree's data folder did not load");
        return;
    }
    request.now = kEquinoxNoon;
    request.switches.dayMap = true;
    request.switches.sunShadow = true;
    for (auto _ : state) {
        ImagePtr out = composeLitArea(layers, request);
        benchmark::DoNotOptimize(out->pixels());
    }
    state.counters["pixels/s"] =
        benchmark::Counter(static_cast<double>(request.width) * request.height,
                           benchmark::Counter::kIsIterationInvariantRate);
}

void BM_LitArea3840x1920Shadow(benchmark::State& state) {
    LitAreaRequest request;
    request.width = 3840;
    request.height = 1920;
    compose(state, true, request);
}
BENCHMARK(BM_LitArea3840x1920Shadow)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ComputeStatistics("min", fastest);

void BM_LitArea1024x512Shadow(benchmark::State& state) {
    compose(state, false, LitAreaRequest{});
}
BENCHMARK(BM_LitArea1024x512Shadow)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ComputeStatistics("min", fastest);

// A 1600 x 900 pane at scale 2, zoomed 4x over Europe: 3200 x 1800 device pixels
// magnifying the 4096 image twice (bilinear).
void BM_LitAreaZoomedView(benchmark::State& state) {
    LitAreaRequest request;
    request.area = MapArea{462.0, 70.0, 200.0, 112.5};
    request.width = 3200;
    request.height = 1800;
    compose(state, true, request);
}
BENCHMARK(BM_LitAreaZoomedView)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ComputeStatistics("min", fastest);

// The memory bandwidth: a copy of 3840 x 1920 x 3 bytes (22 MB, far beyond the
// caches); bytes/s counts the bytes read plus the bytes written.
void BM_MemcpyLarge(benchmark::State& state) {
    const size_t bytes = size_t{3840} * 1920 * 3;
    std::vector<uint8_t> from(bytes, 1);
    std::vector<uint8_t> to(bytes, 2);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.counters["bytes/s"] = benchmark::Counter(2.0 * static_cast<double>(bytes),
                                                   benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_MemcpyLarge)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ComputeStatistics("min", fastest);

} // namespace
} // namespace chronvale
