// Loading the city table and the lookups done on every repaint.
//
// Targets: a 7,000-city location.dat loads in under 5 ms; a zone colour lookup
// takes under 50 ns.

#include "core/load_errors.h"
#include "core/packed_file.h"
#include "geo/city.h"
#include "geo/dst.h"
#include "geo/time_zone.h"
#include "geo/zone_colours.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace chronvale {
namespace {

constexpr int benchCityCount = 7000;

// A location.dat text shaped like the real one: zone key, latitude, longitude,
// name, every third city with a state.
std::string generatedCityText(int count) {
    std::string text;
    char line[160];
    for (int i = 0; i < count; ++i) {
        const double latitude = -60.0 + (i * 37 % 12000) / 100.0;
        const double longitude = -180.0 + (i * 53 % 36000) / 100.0;
        int length =
            std::snprintf(line, sizeof line, "Zone_%d\t%.2f\t%.2f\tGenerated City %d%s\r\n",
                          i % 400, latitude, longitude, i, i % 3 == 0 ? " (Some State)" : "");
        text.append(line, static_cast<std::size_t>(length));
    }
    return text;
}

void BM_LoadCityDatabase(benchmark::State& state) {
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("chronvale-bench-location-" + std::to_string(::getpid()) + ".dat"))
                                 .string();
    if (!savePackedTextFile(path, generatedCityText(benchCityCount))) {
        state.SkipWithError("cannot write the generated location.dat");
        return;
    }
    RecordingLoadErrorSink errors;
    std::size_t cities = 0;
    for (auto _ : state) {
        CityList list = loadCityDatabase(path, errors);
        cities = list.size();
        benchmark::DoNotOptimize(list.data());
    }
    std::filesystem::remove(path);
    if (cities != benchCityCount || !errors.files.empty()) {
        state.SkipWithError("the generated location.dat did not load whole");
    }
    state.counters["cities"] = static_cast<double>(cities);
}
BENCHMARK(BM_LoadCityDatabase)->Unit(benchmark::kMillisecond);

void BM_ParseCityDatabase(benchmark::State& state) {
    const std::string text = generatedCityText(benchCityCount);
    for (auto _ : state) {
        CityList list = parseCityDatabase(text);
        benchmark::DoNotOptimize(list.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_ParseCityDatabase)->Unit(benchmark::kMillisecond);

// The colour of row 38 (+11.5), late in the table.
void BM_ZoneOffsetForColourLateRow(benchmark::State& state) {
    std::uint8_t red = 132, green = 74, blue = 156;
    for (auto _ : state) {
        benchmark::DoNotOptimize(red);
        benchmark::DoNotOptimize(green);
        benchmark::DoNotOptimize(blue);
        benchmark::DoNotOptimize(zoneOffsetForColour(red, green, blue));
    }
}
BENCHMARK(BM_ZoneOffsetForColourLateRow);

// A colour in no row: the whole table is searched.
void BM_ZoneOffsetForColourUnknown(benchmark::State& state) {
    std::uint8_t red = 1, green = 2, blue = 3;
    for (auto _ : state) {
        benchmark::DoNotOptimize(red);
        benchmark::DoNotOptimize(green);
        benchmark::DoNotOptimize(blue);
        benchmark::DoNotOptimize(zoneOffsetForColour(red, green, blue));
    }
}
BENCHMARK(BM_ZoneOffsetForColourUnknown);

// The daylight saving of one marked city, as the overlays ask every second.
void BM_DstOffsetMinutes(benchmark::State& state) {
    std::string zoneText = "country\tlat\tlong\tzone\ta\tb\trule\r\n";
    for (int i = 0; i < 400; ++i) {
        zoneText += "Country " + std::to_string(i) + "\t0\t0\tArea/Zone_" + std::to_string(i) +
                    "\tx\ty\tEU\t\r\n";
    }
    const ZoneTable zones = parseTimeZoneTable(zoneText);
    const DstRuleTable rules = parseDstRules("EU\t-\t0\t0\t3\t1\t\r\nEU\t-\t0\t0\t10\t0\t\r\n");
    CityRecord city;
    city.zoneKey = "zone_399";          // the last zone: a full walk of the table
    const std::time_t now = 1718452800; // 2024-06-15 12:00 UTC
    for (auto _ : state) {
        benchmark::DoNotOptimize(dstOffsetMinutes(city, zones, rules, now));
    }
}
BENCHMARK(BM_DstOffsetMinutes);

} // namespace
} // namespace chronvale
