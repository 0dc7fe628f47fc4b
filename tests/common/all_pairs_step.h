// The semi-implicit Euler step written plainly, the reference the system's
// own step is held to (and the benchmarks' baseline): add_pull for every
// ordered pair in name order, test particles pulling too, then each body's
// advance in the step's order. Where every body is heavy, nbSystem::step
// matches it bit for bit outside the high-accuracy mode.
#pragma once

#include <vector>

#include "nbody/system.h"

// The system's clock is the caller's: jd is the time the step starts at and
// comes back as the time it ends at, summed as the system sums its own.
inline void step_all_pairs(const nbSystem& system, double dt, double& jd) {
    // Asked first: the step's order settles where the bodies' states live.
    const std::vector<nbBody*>& order = system.bodies();
    for (const auto& a : system)
        for (const auto& b : system)
            a.second->add_pull(*b.second);
    for (nbBody* body : order)
        body->advance(dt, jd);
    jd = jd + dt / SECONDS_PER_DAY;
}
