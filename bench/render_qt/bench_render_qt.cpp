// The map pane's painting at the map's size, with the installed cities: a full
// paint with a new crop, the repaint of a mouse move with City Names on (no new
// crop, the base overlays again), and the once-a-second clock tick (the kept base
// layer and the time-dependent overlays only). The device is a 32-bit
// premultiplied image, the format of a window's backing store.

#include "core/load_errors.h"
#include "geo/geo_tables.h"
#include "render/earth_image.h"
#include "render/qt/device_bitmap.h"
#include "render/qt/map_painter.h"

#include <QGuiApplication>
#include <QPainter>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <string>
#include <vector>

namespace chronvale {
namespace {

// 2026-03-20 12:00:00 UTC
constexpr std::time_t kEquinoxNoon = 1774008000;

double fastest(const std::vector<double>& v) {
    return *std::min_element(v.begin(), v.end());
}

struct Scene {
    GeoTables tables;
    ImagePtr day;
    ImagePtr zones;
    MapView view;
    MapPaintInputs inputs;
    MapPainter painter;
    QImage device{1024, 514, QImage::Format_ARGB32_Premultiplied};

    Scene() {
        const std::string data = std::string(CHRONVALE_SOURCE_DIR) + "/data";
        StderrLoadErrorSink errors;
        tables = loadGeoTables(data, errors);
        day = loadImage(data + "/images/earth_day.bmp");
        zones = loadImage(data + "/images/earth_tz.bmp");
        // A user's handful of marked cities spread over the list.
        for (std::size_t i = 0; i < tables.cities.size(); i += tables.cities.size() / 12 + 1) {
            tables.cities[i].marked = true;
        }
        view.mapArea = PaneRect{0, 2, 1024, 512};
        inputs.switches.allCities = true;
        inputs.switches.cityNames = kHoverRadius;
        inputs.switches.grid = true;
        inputs.switches.markedCities = true;
        inputs.showInfo = true;
        inputs.tables = &tables;
        inputs.litMap = day.get();
        inputs.zoneImage = zones.get();
        inputs.now = kEquinoxNoon;
        inputs.pointer = Point{520, 160};
        inputs.hover = findHover(view, tables.cities, inputs.pointer, kHoverRadius, true);
    }

    bool ready() const { return day && !tables.cities.empty(); }

    void paint() {
        QPainter p(&device);
        painter.paintMap(p, view, inputs);
    }
};

Scene& scene() {
    static Scene instance;
    return instance;
}

void BM_FullPaintWithCrop(benchmark::State& state) {
    Scene& s = scene();
    if (!s.ready()) {
        state.SkipWithError("the installed data is missing");
        return;
    }
    s.inputs.switches.allCities = state.range(0) != 0;
    for (auto _ : state) {
        s.view.dirty = true;
        s.paint();
    }
    s.inputs.switches.allCities = true;
}
BENCHMARK(BM_FullPaintWithCrop)
    ->ArgName("allCities")
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ComputeStatistics("fastest", fastest);

// The pointer moves a pixel at a time across Europe; each move repaints.
void BM_NamesMouseMove(benchmark::State& state) {
    Scene& s = scene();
    if (!s.ready()) {
        state.SkipWithError("the installed data is missing");
        return;
    }
    s.inputs.switches.allCities = state.range(0) != 0;
    s.paint();
    int step = 0;
    for (auto _ : state) {
        s.inputs.pointer = Point{500 + step % 80, 150 + step % 40};
        ++step;
        s.paint();
    }
    s.inputs.switches.allCities = true;
}
BENCHMARK(BM_NamesMouseMove)
    ->ArgName("allCities")
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ComputeStatistics("fastest", fastest);

void BM_ClockTick(benchmark::State& state) {
    Scene& s = scene();
    if (!s.ready()) {
        state.SkipWithError("the installed data is missing");
        return;
    }
    s.paint();
    for (auto _ : state) {
        s.view.overlaysOnly = true;
        s.paint();
    }
}
BENCHMARK(BM_ClockTick)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ComputeStatistics("fastest", fastest);

void BM_ToDeviceBitmap(benchmark::State& state) {
    Scene& s = scene();
    if (!s.ready()) {
        state.SkipWithError("the installed data is missing");
        return;
    }
    for (auto _ : state) {
        QImage bitmap = toDeviceBitmap(s.day.get());
        benchmark::DoNotOptimize(bitmap.constBits());
    }
}
BENCHMARK(BM_ToDeviceBitmap)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ComputeStatistics("fastest", fastest);

} // namespace
} // namespace chronvale

// QPainter needs a GUI application for its fonts; off screen unless a platform
// is chosen from outside.
int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
