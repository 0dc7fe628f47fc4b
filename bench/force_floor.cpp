#include "bench/force_floor.h"

#include "nbody/force_pass.h"

namespace {

// The widest path this CPU and this build can run, whatever a test chose.
ForcePath widest() {
    return available_force_paths().back();
}

} // namespace

void force_floor(const double* px, const double* py, const double* pz, const double* mass,
                 std::size_t n, double* fx, double* fy, double* fz) {
    const ForceArrays s{px, py, pz, mass, n, n};
    switch (widest()) {
    case ForcePath::Avx512:
        floor_avx512(s, fx, fy, fz);
        break;
    case ForcePath::Avx:
        floor_avx(s, fx, fy, fz);
        break;
    case ForcePath::Sse2:
        floor_sse2(s, fx, fy, fz);
        break;
    case ForcePath::Scalar:
        accumulate_forces(ForcePath::Scalar, s, 0, n, fx, fy, fz);
        break;
    }
}

int force_floor_width() {
    switch (widest()) {
    case ForcePath::Scalar:
        return 1;
    case ForcePath::Sse2:
        return 2;
    case ForcePath::Avx:
        return 4;
    case ForcePath::Avx512:
        return 8;
    }
    return 1;
}
