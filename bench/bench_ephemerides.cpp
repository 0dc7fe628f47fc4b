// Cost of the analytic theories. Building a solar system evaluates each
// planet about eight times, so one evaluation of all eight must stay well
// under a millisecond.
#include <benchmark/benchmark.h>

#include "nbody/moon.h"
#include "nbody/planets.h"
#include "nbody/pluto.h"

namespace {

const double JD = 2461018.5; // 2026-01-01

const Planet all_planets[] = {Planet::Mercury, Planet::Venus,  Planet::Earth,  Planet::Mars,
                              Planet::Jupiter, Planet::Saturn, Planet::Uranus, Planet::Neptune};

void BM_AllPlanets(benchmark::State& state) {
    for (auto _ : state)
        for (Planet p : all_planets)
            benchmark::DoNotOptimize(planet_position(p, JD));
}
BENCHMARK(BM_AllPlanets)->Unit(benchmark::kMicrosecond);

void BM_Planet(benchmark::State& state) {
    const Planet p = static_cast<Planet>(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(planet_position(p, JD));
}
BENCHMARK(BM_Planet)->DenseRange(0, 7)->Unit(benchmark::kMicrosecond);

void BM_MoonPosition(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(moon_position(JD));
}
BENCHMARK(BM_MoonPosition)->Unit(benchmark::kMicrosecond);

void BM_PlutoPosition(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(pluto_position(JD));
}
BENCHMARK(BM_PlutoPosition)->Unit(benchmark::kMicrosecond);

} // namespace
