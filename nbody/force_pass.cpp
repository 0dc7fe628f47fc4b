#include "nbody/force_pass.h"

#include <algorithm>
#include <cmath>

#include "nbody/body.h"
#include "nbody/force/force_kernels.h"

namespace {

bool cpu_has(ForcePath path) {
#if defined(__x86_64__) || defined(__i386__)
    switch (path) {
    case ForcePath::Scalar:
        return true;
    case ForcePath::Sse2:
        return __builtin_cpu_supports("sse2");
    case ForcePath::Avx:
        return __builtin_cpu_supports("avx");
    case ForcePath::Avx512:
        return __builtin_cpu_supports("avx512f");
    }
    return false;
#else
    return path == ForcePath::Scalar;
#endif
}

ForcePath widest() {
    ForcePath best = ForcePath::Scalar;
    for (ForcePath p : available_force_paths())
        best = p;
    return best;
}

ForcePath& chosen() {
    static ForcePath path = widest();
    return path;
}

void scalar_forces(const ForceArrays& s, std::size_t first, std::size_t last, double* fx,
                   double* fy, double* fz) {
    for (std::size_t a = first; a < last; ++a) {
        double x = 0, y = 0, z = 0;
        for (std::size_t b = 0; b < s.n_active; ++b)
            if (b != a)
                nbBody::accumulate_pull(s.px[a], s.py[a], s.pz[a], s.m[a], s.px[b], s.py[b],
                                        s.pz[b], s.m[b], x, y, z);
        fx[a] = x;
        fy[a] = y;
        fz[a] = z;
    }
}

// The vector kernels' test-particle law, lane for lane.
void scalar_pulls(const ForceArrays& s, std::size_t first, std::size_t last, double* ax, double* ay,
                  double* az) {
    for (std::size_t a = first; a < last; ++a) {
        double x = 0, y = 0, z = 0;
        for (std::size_t b = 0; b < s.n_active; ++b) {
            const double ux = s.px[b] - s.px[a];
            const double uy = s.py[b] - s.py[a];
            const double uz = s.pz[b] - s.pz[a];
            const double d2 = ux * ux + uy * uy + uz * uz;
            const double f = GRAVITATIONAL_CONSTANT * s.m[b] / (d2 * std::sqrt(d2));
            x = x + ux * f;
            y = y + uy * f;
            z = z + uz * f;
        }
        ax[a] = x;
        ay[a] = y;
        az[a] = z;
    }
}

} // namespace

const char* force_path_name(ForcePath path) {
    switch (path) {
    case ForcePath::Scalar:
        return "scalar";
    case ForcePath::Sse2:
        return "SSE2";
    case ForcePath::Avx:
        return "AVX";
    case ForcePath::Avx512:
        return "AVX-512";
    }
    return "?";
}

std::vector<ForcePath> available_force_paths() {
    std::vector<ForcePath> paths;
    for (ForcePath p : {ForcePath::Scalar, ForcePath::Sse2, ForcePath::Avx, ForcePath::Avx512})
        if (cpu_has(p))
            paths.push_back(p);
    return paths;
}

ForcePath force_path() {
    return chosen();
}

bool use_force_path(ForcePath path) {
    if (!cpu_has(path))
        return false;
    chosen() = path;
    return true;
}

void accumulate_forces(const double* px, const double* py, const double* pz, const double* mass,
                       std::size_t n, double* fx, double* fy, double* fz) {
    accumulate_forces(chosen(), px, py, pz, mass, n, fx, fy, fz);
}

void accumulate_forces(ForcePath path, const double* px, const double* py, const double* pz,
                       const double* mass, std::size_t n, double* fx, double* fy, double* fz) {
    accumulate_forces(path, ForceArrays{px, py, pz, mass, n, n}, 0, n, fx, fy, fz);
}

namespace {

using Blocks = std::size_t (*)(const ForceArrays&, std::size_t, std::size_t, double*, double*,
                               double*);
using Rest = void (*)(const ForceArrays&, std::size_t, std::size_t, double*, double*, double*);

// The widest blocks first; the targets left over go to narrower ones.
void widest_first(ForcePath path, const ForceArrays& s, std::size_t first, std::size_t last,
                  double* x, double* y, double* z, Blocks w8, Blocks w4, Blocks w2, Rest rest) {
    std::size_t a = first;
    if (path >= ForcePath::Avx512 && cpu_has(ForcePath::Avx512))
        a = w8(s, a, last, x, y, z);
    if (path >= ForcePath::Avx && cpu_has(ForcePath::Avx))
        a = w4(s, a, last, x, y, z);
    if (path >= ForcePath::Sse2 && cpu_has(ForcePath::Sse2))
        a = w2(s, a, last, x, y, z);
    rest(s, a, last, x, y, z);
}

} // namespace

void accumulate_forces(ForcePath path, const ForceArrays& s, std::size_t first, std::size_t last,
                       double* fx, double* fy, double* fz) {
    widest_first(path, s, first, last, fx, fy, fz, forces_avx512, forces_avx, forces_sse2,
                 scalar_forces);
}

void accumulate_pulls(ForcePath path, const ForceArrays& s, std::size_t first, std::size_t last,
                      double* ax, double* ay, double* az) {
    widest_first(path, s, first, last, ax, ay, az, pulls_avx512, pulls_avx, pulls_sse2,
                 scalar_pulls);
}
