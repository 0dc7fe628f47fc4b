// The floor's loop for one vector width, on the force pass's own lanes.
// Included only by the per-width files, like nbody/force/force_lanes.h.
#pragma once

#include "nbody/force/force_lanes.h"

namespace {

template <class Kernel, class V, int W>
void floor_blocks(const ForceArrays& s, double* fx, double* fy, double* fz) {
    for (std::size_t a = 0; a + W <= s.n; a += W) {
        const V ax = Kernel::load(s.px + a), ay = Kernel::load(s.py + a),
                az = Kernel::load(s.pz + a), am = Kernel::load(s.m + a);
        typename Kernel::Sums sum{};
        for (std::size_t b = 0; b < s.n; ++b)
            sum = Kernel::pull(s, b, ax, ay, az, am, sum);
        Kernel::store(fx + a, sum.x);
        Kernel::store(fy + a, sum.y);
        Kernel::store(fz + a, sum.z);
    }
}

} // namespace
