// Cost of one integration step for N bodies: the all-pairs force pass
// dominates, so the figure to watch is the time per ordered pair.
#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "nbody/system.h"

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

void BM_Step(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    nbSystem system(2451545.0);
    fill_random_system(system, n);
    for (auto _ : state) {
        system.step(0.26 * SECONDS_PER_DAY);
        benchmark::ClobberMemory();
    }
    // Inverted rate of N*N*1e-9 pairs per second: nanoseconds per ordered pair.
    state.counters["ns_per_pair"] =
        benchmark::Counter(double(n) * n * 1e-9, benchmark::Counter::kIsIterationInvariantRate |
                                                     benchmark::Counter::kInvert);
}

BENCHMARK(BM_Step)->Arg(11)->Arg(100)->Arg(1000)->Arg(4000)->Unit(benchmark::kMicrosecond);

} // namespace
