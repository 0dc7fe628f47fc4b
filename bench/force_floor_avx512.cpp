// The floor 8 bodies at a time (512-bit vectors); built for that
// instruction set alone and run only where the CPU has it.
#include <immintrin.h>

#include "bench/force_floor.h"
#include "bench/force_floor_lanes.h"

namespace {

typedef double V __attribute__((vector_size(64)));
V root(V v) {
    // The zero-masked form: GCC 12 warns on the plain one's undefined start.
    return _mm512_maskz_sqrt_pd(0xFF, v);
}

} // namespace

void floor_avx512(const ForceArrays& s, double* fx, double* fy, double* fz) {
    floor_blocks<Lanes<V, 8, root>, V, 8>(s, fx, fy, fz);
}
