// The force pass 8 bodies at a time (512-bit vectors); this file alone is
// compiled for that instruction set and runs only where the CPU has it.
#include <immintrin.h>

#include "nbody/force/force_lanes.h"

namespace {

typedef double V __attribute__((vector_size(64)));
V root(V v) {
    // The zero-masked form: GCC 12 warns on the plain one's undefined start.
    return _mm512_maskz_sqrt_pd(0xFF, v);
}
using Kernel = Lanes<V, 8, root>;

} // namespace

std::size_t forces_avx512(const ForceArrays& s, std::size_t first, std::size_t last, double* fx,
                          double* fy, double* fz) {
    return Kernel::blocks(s, first, last, fx, fy, fz);
}

std::size_t pulls_avx512(const ForceArrays& s, std::size_t first, std::size_t last, double* ax,
                         double* ay, double* az) {
    return Kernel::particle_blocks(s, first, last, ax, ay, az);
}
