// The city selector's search on every keystroke: all cities of the shipped
// table filtered and ranked for a query (target: under 2 ms per keystroke).

#include "cityinfo/city_search.h"
#include "core/load_errors.h"
#include "geo/city.h"

#include <benchmark/benchmark.h>
#include <string>

namespace {

const chronvale::CityList& shippedCities() {
    static const chronvale::CityList cities = [] {
        chronvale::RecordingLoadErrorSink errors;
        return chronvale::loadCityDatabase(std::string(CHRONVALE_SOURCE_DIR) + "/data/location.dat",
                                           errors);
    }();
    return cities;
}

// The queries of typing "São Paulo" one keystroke at a time, then a long and
// a one-letter query (the widest result).
void BM_FilterPerKeystroke(benchmark::State& state) {
    const chronvale::CitySearch search(shippedCities());
    static const char* const kQueries[] = {"s",     "sa",     "sã",      "são",      "são ",
                                           "são p", "são pa", "são pau", "são paul", "são paulo"};
    const char* query = kQueries[state.range(0)];
    for (auto _ : state) {
        benchmark::DoNotOptimize(search.find(query));
    }
    state.counters["cities"] = static_cast<double>(search.size());
    state.SetLabel(query);
}
BENCHMARK(BM_FilterPerKeystroke)->DenseRange(0, 9)->Unit(benchmark::kMicrosecond);

void BM_FilterOneLetter(benchmark::State& state) {
    const chronvale::CitySearch search(shippedCities());
    for (auto _ : state) {
        benchmark::DoNotOptimize(search.find("a"));
    }
}
BENCHMARK(BM_FilterOneLetter)->Unit(benchmark::kMicrosecond);

// Folding every name once, when the selector opens.
void BM_BuildIndex(benchmark::State& state) {
    for (auto _ : state) {
        chronvale::CitySearch search(shippedCities());
        benchmark::DoNotOptimize(search.size());
    }
}
BENCHMARK(BM_BuildIndex)->Unit(benchmark::kMillisecond);

} // namespace
