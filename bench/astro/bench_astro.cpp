// One solar position evaluation with each of the two masks the program uses.

#include "astro/solar_position.h"

#include <benchmark/benchmark.h>

namespace chronvale {
namespace {

void evaluate(benchmark::State& state, int32_t mask) {
    SolarPositionData data{};
    setUtcInstant(data, 1774008000); // 2026-03-20 12:00:00 UTC
    data.stepMask = mask;
    float longitude = -180.0f;
    for (auto _ : state) {
        data.latitude = 48.0f;
        data.longitude = longitude;
        longitude = longitude >= 179.0f ? -180.0f : longitude + 0.35f;
        benchmark::DoNotOptimize(computeSolarPosition(data));
        benchmark::DoNotOptimize(data.elevationNoRefraction);
    }
}

void BM_SolarPositionShadowMask(benchmark::State& state) {
    evaluate(state, SolarStep::ShadowMask);
}
BENCHMARK(BM_SolarPositionShadowMask);

void BM_SolarPositionSunriseMask(benchmark::State& state) {
    evaluate(state, SolarStep::SunriseSunsetMask);
}
BENCHMARK(BM_SolarPositionSunriseMask);

} // namespace
} // namespace chronvale
