// The force pass 2 bodies at a time (128-bit vectors); this file alone is
// compiled for that instruction set and runs only where the CPU has it.
#include <emmintrin.h>

#include "nbody/force/force_lanes.h"

namespace {

typedef double V __attribute__((vector_size(16)));
V root(V v) {
    return _mm_sqrt_pd(v);
}
using Kernel = Lanes<V, 2, root>;

} // namespace

std::size_t forces_sse2(const ForceArrays& s, std::size_t first, std::size_t last, double* fx,
                        double* fy, double* fz) {
    return Kernel::blocks(s, first, last, fx, fy, fz);
}

std::size_t pulls_sse2(const ForceArrays& s, std::size_t first, std::size_t last, double* ax,
                       double* ay, double* az) {
    return Kernel::particle_blocks(s, first, last, ax, ay, az);
}
