// The force pass 4 bodies at a time (256-bit vectors); this file alone is
// compiled for that instruction set and runs only where the CPU has it.
#include <immintrin.h>

#include "nbody/force/force_lanes.h"

namespace {

typedef double V __attribute__((vector_size(32)));
V root(V v) {
    return _mm256_sqrt_pd(v);
}
using Kernel = Lanes<V, 4, root>;

} // namespace

std::size_t forces_avx(const ForceArrays& s, std::size_t first, std::size_t last, double* fx,
                       double* fy, double* fz) {
    return Kernel::blocks(s, first, last, fx, fy, fz);
}

std::size_t pulls_avx(const ForceArrays& s, std::size_t first, std::size_t last, double* ax,
                      double* ay, double* az) {
    return Kernel::particle_blocks(s, first, last, ax, ay, az);
}
