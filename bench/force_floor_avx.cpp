// The floor 4 bodies at a time (256-bit vectors); built for that
// instruction set alone and run only where the CPU has it.
#include <immintrin.h>

#include "bench/force_floor.h"
#include "bench/force_floor_lanes.h"

namespace {

typedef double V __attribute__((vector_size(32)));
V root(V v) {
    return _mm256_sqrt_pd(v);
}

} // namespace

void floor_avx(const ForceArrays& s, double* fx, double* fy, double* fz) {
    floor_blocks<Lanes<V, 4, root>, V, 4>(s, fx, fy, fz);
}
