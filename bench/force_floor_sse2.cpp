// The floor 2 bodies at a time (128-bit vectors); built for that
// instruction set alone and run only where the CPU has it.
#include <emmintrin.h>

#include "bench/force_floor.h"
#include "bench/force_floor_lanes.h"

namespace {

typedef double V __attribute__((vector_size(16)));
V root(V v) {
    return _mm_sqrt_pd(v);
}

} // namespace

void floor_sse2(const ForceArrays& s, double* fx, double* fy, double* fz) {
    floor_blocks<Lanes<V, 2, root>, V, 2>(s, fx, fy, fz);
}
