// Dragging the Compare Times cursor: the panel's repaint with twelve city rows
// (and Here and UTC), the sun of a new axis, and the lit map's recomposition at
// each new instant, as the shadow timer composes it, on the installed data.

#include "app/mainwindow/compare_painter.h"
#include "render/local_clock.h"
#include "cityinfo/city_facts.h"
#include "cityinfo/city_search.h"
#include "core/load_errors.h"
#include "geo/geo_tables.h"
#include "render/compositor.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <string>
#include <vector>

namespace chronvale {
namespace {

// 2027-06-15 06:30 UTC
constexpr std::time_t kJune15 = 1813041000;
const std::string kData = std::string(CHRONVALE_SOURCE_DIR) + "/data";

double fastest(const std::vector<double>& v) {
    return *std::min_element(v.begin(), v.end());
}

const GeoTables& tables() {
    static const GeoTables loaded = [] {
        RecordingLoadErrorSink errors;
        return loadGeoTables(kData, errors);
    }();
    return loaded;
}

// The shipped tables alone (no zone image: every standard offset 0), so the figure
// does not depend on the machine's zoneinfo.
const LocalClock& clock() {
    static const LocalClock tablesOnly(&tables(), nullptr, nullptr);
    return tablesOnly;
}

// Twelve cities of every continent, with the default working hours, and the
// Here and UTC rows.
CompareScene twelveRows(const AxisSun& sun) {
    static const char* names[] = {"London", "New York",    "Tokyo",   "Sydney",
                                  "Mumbai", "Moscow",      "Beijing", "Dubai",
                                  "Paris",  "Los Angeles", "Cairo",   "Santiago"};
    const CitySearch search(tables().cities);
    CompareScene scene;
    scene.rows.push_back({"Here", systemUtcOffset(), std::nullopt, std::nullopt});
    for (const char* name : names) {
        const CityRecord& city = tables().cities[search.findBest(name).front()];
        scene.rows.push_back({name, cityUtcOffset(city, clock()),
                              GroundPoint{city.latitude, city.longitude}, WorkingHours{}});
    }
    scene.rows.push_back({"UTC", fixedUtcOffset(0), std::nullopt, std::nullopt});
    for (const CompareRow& row : scene.rows) {
        scene.names.push_back(QString::fromStdString(row.label));
    }
    for (int m = 1; m <= 12; ++m) {
        scene.monthNames << QString::number(m);
    }
    scene.axisStart = sun.start;
    scene.cursor = kJune15;
    scene.sun = &sun;
    return scene;
}

void BM_PanelRepaintTwelveRows(benchmark::State& state) {
    const AxisSun sun = axisSun(kJune15 - kJune15 % 3600 - 12 * 3600, 86400);
    CompareScene scene = twelveRows(sun);
    CompareGeometry geometry;
    geometry.area = QRect(0, 0, 1200, static_cast<int>(scene.rows.size()) * geometry.RowHeight);
    QImage image(geometry.area.size(), QImage::Format_ARGB32_Premultiplied);
    std::time_t cursor = kJune15;
    for (auto _ : state) {
        // The cursor moves five minutes a step, as a drag moves it.
        cursor += 300;
        scene.cursor = cursor;
        QPainter painter(&image);
        painter.fillRect(geometry.area, Qt::white);
        paintCompareScene(painter, scene, geometry);
    }
}
BENCHMARK(BM_PanelRepaintTwelveRows)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ComputeStatistics("fastest", fastest);

// A new axis: the sun at every quarter hour of 24 hours.
void BM_AxisSun(benchmark::State& state) {
    std::time_t start = kJune15;
    for (auto _ : state) {
        start += 3600;
        benchmark::DoNotOptimize(axisSun(start, 86400));
    }
}
BENCHMARK(BM_AxisSun)->Unit(benchmark::kMicrosecond);

void BM_RecomposeAtNewInstant(benchmark::State& state) {
    RecordingLoadErrorSink errors;
    Compositor compositor(kData, errors);
    DisplaySwitches switches;
    switches.dayMap = true;
    switches.nightMap = true;
    switches.sunShadow = true;
    compositor.loadEarthImages(switches, kJune15);
    if (!errors.files.empty()) {
        state.SkipWithError("the installed earth images did not load");
        return;
    }
    std::time_t instant = kJune15;
    for (auto _ : state) {
        instant += 300;
        compositor.composeMap(switches, instant);
        benchmark::DoNotOptimize(compositor.litMap()->pixels());
    }
}
BENCHMARK(BM_RecomposeAtNewInstant)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ComputeStatistics("fastest", fastest);

// The shadow timer's composition: the same instant again.
void BM_RecomposeAtTheSameInstant(benchmark::State& state) {
    RecordingLoadErrorSink errors;
    Compositor compositor(kData, errors);
    DisplaySwitches switches;
    switches.dayMap = true;
    switches.nightMap = true;
    switches.sunShadow = true;
    compositor.loadEarthImages(switches, kJune15);
    for (auto _ : state) {
        compositor.composeMap(switches, kJune15);
        benchmark::DoNotOptimize(compositor.litMap()->pixels());
    }
}
BENCHMARK(BM_RecomposeAtTheSameInstant)
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
