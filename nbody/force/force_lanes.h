// The force pass for W target bodies at once, one per lane, written once
// for every vector width. Each lane performs exactly the scalar force law's
// operations in its order (no fused or reordered arithmetic; the build
// forbids contraction), and the sources come in index order, so every sum
// has the bits of nbBody::add_pull's. Only the divisions and square roots
// run W at a time.
//
// Included only by the per-width files, each compiled for its instruction
// set: everything here is internal to that file (static or in an unnamed
// namespace), so that no code built for a wider set can be shared with a
// caller on a narrower CPU.
#pragma once

#include <cstddef>

#include "nbody/force/force_kernels.h"
#include "nbody/units.h"

namespace {

// V: W doubles as a GCC vector; SQRT: the width's square root.
template <class V, int W, V (*SQRT)(V)> struct Lanes {
    static V load(const double* p) {
        V v;
        __builtin_memcpy(&v, p, sizeof v);
        return v;
    }
    static void store(double* p, V v) { __builtin_memcpy(p, &v, sizeof v); }
    static V splat(double x) { return V{} + x; }

    // The pull of source b on the W targets at (ax, ay, az) of masses am,
    // added to (sx, sy, sz): the scalar law's operations in its order.
    struct Sums {
        V x, y, z;
    };
    static Sums pull(const ForceArrays& s, std::size_t b, V ax, V ay, V az, V am, const Sums& sum) {
        V f = splat(s.m[b]) * am * splat(GRAVITATIONAL_CONSTANT);
        const V ux = splat(s.px[b]) - ax;
        const V uy = splat(s.py[b]) - ay;
        const V uz = splat(s.pz[b]) - az;
        const V d2 = ux * ux + uy * uy + uz * uz;
        f = f / d2;
        const V l = SQRT(d2);
        return Sums{sum.x + ux / l * f, sum.y + uy / l * f, sum.z + uz / l * f};
    }

    // Targets a .. a+W-1 against every source; a target skips itself.
    static void block(const ForceArrays& s, std::size_t a, double* fx, double* fy, double* fz) {
        const V ax = load(s.px + a), ay = load(s.py + a), az = load(s.pz + a), am = load(s.m + a);
        const std::size_t na = s.n_active;
        Sums sum{};
        for (std::size_t b = 0; b < a && b < na; ++b)
            sum = pull(s, b, ax, ay, az, am, sum);
        // The W sources that are targets too: each lane leaves its own out.
        for (int k = 0; k < W && a + k < na; ++k) {
            const Sums t = pull(s, a + k, ax, ay, az, am, sum);
            for (int lane = 0; lane < W; ++lane)
                if (lane != k) {
                    sum.x[lane] = t.x[lane];
                    sum.y[lane] = t.y[lane];
                    sum.z[lane] = t.z[lane];
                }
        }
        for (std::size_t b = a + W; b < na; ++b)
            sum = pull(s, b, ax, ay, az, am, sum);
        store(fx + a, sum.x);
        store(fy + a, sum.y);
        store(fz + a, sum.z);
    }

    // The whole blocks of [first, last); returns where they end.
    static std::size_t blocks(const ForceArrays& s, std::size_t first, std::size_t last, double* fx,
                              double* fy, double* fz) {
        std::size_t a = first;
        for (; a + W <= last; a += W)
            block(s, a, fx, fy, fz);
        return a;
    }

    // Test particles a .. a+W-1 (none of them a source): the acceleration
    // towards every source, in source order.
    static void particle_block(const ForceArrays& s, std::size_t a, double* ox, double* oy,
                               double* oz) {
        const V ax = load(s.px + a), ay = load(s.py + a), az = load(s.pz + a);
        V sx{}, sy{}, sz{};
        for (std::size_t b = 0; b < s.n_active; ++b) {
            const V ux = splat(s.px[b]) - ax;
            const V uy = splat(s.py[b]) - ay;
            const V uz = splat(s.pz[b]) - az;
            const V d2 = ux * ux + uy * uy + uz * uz;
            const V f = splat(GRAVITATIONAL_CONSTANT * s.m[b]) / (d2 * SQRT(d2));
            sx = sx + ux * f;
            sy = sy + uy * f;
            sz = sz + uz * f;
        }
        store(ox + a, sx);
        store(oy + a, sy);
        store(oz + a, sz);
    }

    static std::size_t particle_blocks(const ForceArrays& s, std::size_t first, std::size_t last,
                                       double* ox, double* oy, double* oz) {
        std::size_t a = first;
        for (; a + W <= last; a += W)
            particle_block(s, a, ox, oy, oz);
        return a;
    }
};

} // namespace
