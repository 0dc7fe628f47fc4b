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

    // Targets a .. a+W-1 against every source; a target skips itself.
    static void block(const ForceArrays& s, std::size_t a, double* fx, double* fy, double* fz) {
        const V ax = load(s.px + a), ay = load(s.py + a), az = load(s.pz + a), am = load(s.m + a);
        const V g = splat(GRAVITATIONAL_CONSTANT);
        V sx{}, sy{}, sz{};
        auto pull = [&](std::size_t b) {
            V f = splat(s.m[b]) * am * g;
            const V ux = splat(s.px[b]) - ax;
            const V uy = splat(s.py[b]) - ay;
            const V uz = splat(s.pz[b]) - az;
            const V d2 = ux * ux + uy * uy + uz * uz;
            f = f / d2;
            const V l = SQRT(d2);
            struct Sum {
                V x, y, z;
            };
            return Sum{sx + ux / l * f, sy + uy / l * f, sz + uz / l * f};
        };
        for (std::size_t b = 0; b < a; ++b) {
            const auto t = pull(b);
            sx = t.x, sy = t.y, sz = t.z;
        }
        // The W sources that are targets too: each lane leaves its own out.
        for (int k = 0; k < W; ++k) {
            const auto t = pull(a + k);
            for (int lane = 0; lane < W; ++lane)
                if (lane != k) {
                    sx[lane] = t.x[lane];
                    sy[lane] = t.y[lane];
                    sz[lane] = t.z[lane];
                }
        }
        for (std::size_t b = a + W; b < s.n; ++b) {
            const auto t = pull(b);
            sx = t.x, sy = t.y, sz = t.z;
        }
        store(fx + a, sx);
        store(fy + a, sy);
        store(fz + a, sz);
    }

    // The whole blocks from `first`; returns where they end.
    static std::size_t blocks(const ForceArrays& s, std::size_t first, double* fx, double* fy,
                              double* fz) {
        std::size_t a = first;
        for (; a + W <= s.n; a += W)
            block(s, a, fx, fy, fz);
        return a;
    }

    // The hardware's floor for this width: the same five operations per
    // pair, nothing else (no self test, every source for every target).
    static void floor(const ForceArrays& s, double* fx, double* fy, double* fz) {
        const V g = splat(GRAVITATIONAL_CONSTANT);
        for (std::size_t a = 0; a + W <= s.n; a += W) {
            const V ax = load(s.px + a), ay = load(s.py + a), az = load(s.pz + a),
                    am = load(s.m + a);
            V sx{}, sy{}, sz{};
            for (std::size_t b = 0; b < s.n; ++b) {
                V f = splat(s.m[b]) * am * g;
                const V ux = splat(s.px[b]) - ax;
                const V uy = splat(s.py[b]) - ay;
                const V uz = splat(s.pz[b]) - az;
                const V d2 = ux * ux + uy * uy + uz * uz;
                f = f / d2;
                const V l = SQRT(d2);
                sx = sx + ux / l * f;
                sy = sy + uy / l * f;
                sz = sz + uz / l * f;
            }
            store(fx + a, sx);
            store(fy + a, sy);
            store(fz + a, sz);
        }
    }
};

} // namespace
