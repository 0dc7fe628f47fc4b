// Cost of one integration step for N bodies: the all-pairs force pass
// dominates, so the figure to watch is the time per ordered pair.
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "bench/force_floor.h"
#include "bench/main_belt.h"
#include "nbody/factory.h"
#include "nbody/force_pass.h"
#include "nbody/system.h"
#include "tests/common/all_pairs_step.h"

namespace {

void fill_random_system(nbSystem& system, int n) {
    std::mt19937_64 rng(20261209);
    std::uniform_real_distribution<double> box(-20 * ASTRONOMICAL_UNIT, 20 * ASTRONOMICAL_UNIT);
    std::uniform_real_distribution<double> speed(-3e4, 3e4);
    // Masses from comets up to gas giants, spread over many decades.
    std::uniform_real_distribution<double> log_mass(10.0, 27.0);
    for (int k = 0; k < n; ++k) {
        const std::string name = "body" + std::to_string(k);
        const double mass = k == 0 ? 1.9891e30 : std::pow(10.0, log_mass(rng));
        system.add(name,
                   std::make_unique<nbBody>(name, mass, -1, vec3d(box(rng), box(rng), box(rng)),
                                            vec3d(speed(rng), speed(rng), speed(rng))));
    }
}

// Inverted rate of pairs per second: nanoseconds per ordered pair.
benchmark::Counter ns_per_pair(double pairs) {
    return benchmark::Counter(pairs * 1e-9, benchmark::Counter::kIsIterationInvariantRate |
                                                benchmark::Counter::kInvert);
}

// The program's step: the flat force pass on the widest path, then advance.
void BM_Step(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    nbSystem system(2451545.0);
    fill_random_system(system, n);
    for (auto _ : state) {
        system.step(0.26 * SECONDS_PER_DAY);
        benchmark::ClobberMemory();
    }
    state.counters["ns_per_pair"] = ns_per_pair(double(n) * n);
    state.SetLabel(force_path_name(force_path()));
}

// The same step written plainly: add_pull for every pair, then advance.
void BM_StepReference(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    nbSystem system(2451545.0);
    fill_random_system(system, n);
    double jd = system.time();
    for (auto _ : state) {
        step_all_pairs(system, 0.26 * SECONDS_PER_DAY, jd);
        benchmark::ClobberMemory();
    }
    state.counters["ns_per_pair"] = ns_per_pair(double(n) * n);
}

// The hardware's floor: the force law's four divisions and square root per
// pair on the widest vectors, with nothing else around them.
void BM_StepFloor(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    std::mt19937_64 rng(20261209);
    std::uniform_real_distribution<double> box(-20 * ASTRONOMICAL_UNIT, 20 * ASTRONOMICAL_UNIT);
    std::vector<double> px(n), py(n), pz(n), m(n, 1e24), fx(n), fy(n), fz(n);
    for (int k = 0; k < n; ++k)
        px[k] = box(rng), py[k] = box(rng), pz[k] = box(rng);
    for (auto _ : state) {
        force_floor(px.data(), py.data(), pz.data(), m.data(), n, fx.data(), fy.data(), fz.data());
        benchmark::DoNotOptimize(fx.data());
        benchmark::ClobberMemory();
    }
    // Only whole blocks of targets are taken.
    const int width = force_floor_width();
    state.counters["ns_per_pair"] = ns_per_pair(double(n - n % width) * n);
    state.SetLabel(force_path_name(available_force_paths().back()));
}

const double JD = 2461041.5;

// The solar system and n main-belt asteroids of the catalogue's mass: what
// the window carries with the whole catalogue checked.
std::unique_ptr<nbSystem> catalogue_system(int asteroids) {
    return main_belt_system(JD, asteroids);
}

// The program's step over the solar system and range(0) asteroids, which
// move as test particles, on range(1) threads, watching for close
// approaches when range(2) is 1 (as the program does) and not when 0.
void BM_StepCatalogue(benchmark::State& state) {
    const auto system = catalogue_system(static_cast<int>(state.range(0)));
    system->set_parallel(state.range(1) > 1);
    system->approaches().set_on(state.range(2) != 0);
    for (auto _ : state) {
        system->step(DEFAULT_STEP_DAYS * SECONDS_PER_DAY);
        benchmark::ClobberMemory();
    }
    state.SetLabel(std::string(force_path_name(force_path())) +
                   (system->steps_in_parallel() ? ", 2 threads" : ", 1 thread") +
                   (system->approaches().on() ? ", watching" : ""));
}

// The same bodies in the all-pairs step, every asteroid pulling every
// other: the baseline of test particles.
void BM_StepCatalogueAllPairs(benchmark::State& state) {
    const auto system = catalogue_system(static_cast<int>(state.range(0)));
    double jd = system->time();
    for (auto _ : state) {
        step_all_pairs(*system, DEFAULT_STEP_DAYS * SECONDS_PER_DAY, jd);
        benchmark::ClobberMemory();
    }
}

BENCHMARK(BM_StepCatalogue)
    ->ArgsProduct({{1000, 10000, 40000}, {1, 2}, {0, 1}})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StepCatalogueAllPairs)->Arg(1000)->Arg(4000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StepFloor)->Arg(100)->Arg(1000)->Arg(4000)->Arg(16000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Step)->Arg(11)->Arg(100)->Arg(1000)->Arg(4000)->Arg(16000)->Unit(
    benchmark::kMicrosecond);
BENCHMARK(BM_StepReference)
    ->Arg(100)
    ->Arg(1000)
    ->Arg(4000)
    ->Arg(16000)
    ->Unit(benchmark::kMicrosecond);

} // namespace
