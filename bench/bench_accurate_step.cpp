// Cost of a tick in the high-accuracy mode: the eleven built-in bodies at
// the default time step must stay under 2 ms, and with a thousand bodies
// the desktop program must still draw 17 ticks a second.
#include <benchmark/benchmark.h>

#include <string>

#include "bench/main_belt.h"
#include "nbody/accurate_integrator.h"
#include "nbody/factory.h"

namespace {

const double JD = 2461041.5; // 2026-01-24

// The solar system in the high-accuracy mode with n main-belt asteroids of
// the catalogue's mass, as the desktop benchmark adds them.
nbSystem* accurate_system(nbFactory& factory, int asteroids) {
    factory.set_high_accuracy(true);
    nbSystem* system = factory.create_solar_system(JD);
    add_main_belt(factory, asteroids);
    system->zero_momentum();
    return system;
}

void tick_counters(benchmark::State& state, const nbSystem& system, long substeps,
                   long evaluations) {
    const nbAccurateIntegrator* integrator = system.accurate_integrator();
    const double ticks = double(state.iterations());
    state.counters["substeps_per_tick"] = double(integrator->substeps() - substeps) / ticks;
    state.counters["evaluations_per_tick"] =
        double(integrator->evaluations() - evaluations) / ticks;
}

// One tick of 0.26 days: the Sun, the planets, the Moon and Pluto, plus
// range(0) asteroids moving as test particles.
void BM_AccurateTick(benchmark::State& state) {
    nbFactory factory;
    nbSystem* system = accurate_system(factory, static_cast<int>(state.range(0)));
    system->step(0.26 * SECONDS_PER_DAY); // the first tick finds its sub-step
    const long substeps = system->accurate_integrator()->substeps();
    const long evaluations = system->accurate_integrator()->evaluations();
    for (auto _ : state) {
        system->step(0.26 * SECONDS_PER_DAY);
        benchmark::ClobberMemory();
    }
    tick_counters(state, *system, substeps, evaluations);
}
BENCHMARK(BM_AccurateTick)->Arg(0)->Arg(989)->Arg(40000)->Unit(benchmark::kMicrosecond);

// The longest tick the frame allows, 30 days.
void BM_AccurateLongTick(benchmark::State& state) {
    nbFactory factory;
    nbSystem* system = accurate_system(factory, 0);
    system->step(30 * SECONDS_PER_DAY);
    const long substeps = system->accurate_integrator()->substeps();
    const long evaluations = system->accurate_integrator()->evaluations();
    for (auto _ : state) {
        system->step(30 * SECONDS_PER_DAY);
        benchmark::ClobberMemory();
    }
    tick_counters(state, *system, substeps, evaluations);
}
BENCHMARK(BM_AccurateLongTick)->Unit(benchmark::kMicrosecond);

// Building the system in each mode: start-up, "Set start date", the switch.
void BM_BuildSolarSystem(benchmark::State& state) {
    nbFactory factory;
    factory.set_high_accuracy(state.range(0) != 0);
    for (auto _ : state)
        benchmark::DoNotOptimize(factory.create_solar_system(JD));
    state.SetLabel(state.range(0) ? "high accuracy" : "own mode");
}
BENCHMARK(BM_BuildSolarSystem)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace
