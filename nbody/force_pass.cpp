#include "nbody/force_pass.h"

#include "nbody/body.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

void scalar_forces(const double* px, const double* py, const double* pz, const double* mass,
                   std::size_t first, std::size_t n, double* fx, double* fy, double* fz) {
    for (std::size_t a = first; a < n; ++a) {
        double x = 0, y = 0, z = 0;
        for (std::size_t b = 0; b < n; ++b)
            if (b != a)
                nbBody::accumulate_pull(px[a], py[a], pz[a], mass[a], px[b], py[b], pz[b], mass[b],
                                        x, y, z);
        fx[a] = x;
        fy[a] = y;
        fz[a] = z;
    }
}

#if defined(__SSE2__)
// Two bodies a and a + 1 at once, one per lane. Each lane performs exactly
// the scalar operations in the scalar order (no fused or reordered
// arithmetic), so the sums are the same bits; only the divisions and square
// roots run two at a time.
struct PairPass {
    __m128d ax, ay, az, am;
    __m128d fx = _mm_setzero_pd(), fy = _mm_setzero_pd(), fz = _mm_setzero_pd();

    // The pull of body b on both lanes; `keep` masks the lanes that take it.
    template <bool MASKED> void pull(double bx, double by, double bz, double bm, __m128d keep) {
        const __m128d g = _mm_set1_pd(GRAVITATIONAL_CONSTANT);
        __m128d f = _mm_mul_pd(_mm_mul_pd(_mm_set1_pd(bm), am), g);
        const __m128d ux = _mm_sub_pd(_mm_set1_pd(bx), ax);
        const __m128d uy = _mm_sub_pd(_mm_set1_pd(by), ay);
        const __m128d uz = _mm_sub_pd(_mm_set1_pd(bz), az);
        const __m128d d2 =
            _mm_add_pd(_mm_add_pd(_mm_mul_pd(ux, ux), _mm_mul_pd(uy, uy)), _mm_mul_pd(uz, uz));
        f = _mm_div_pd(f, d2);
        const __m128d l = _mm_sqrt_pd(d2);
        const __m128d x = _mm_add_pd(fx, _mm_mul_pd(_mm_div_pd(ux, l), f));
        const __m128d y = _mm_add_pd(fy, _mm_mul_pd(_mm_div_pd(uy, l), f));
        const __m128d z = _mm_add_pd(fz, _mm_mul_pd(_mm_div_pd(uz, l), f));
        fx = MASKED ? select(keep, x, fx) : x;
        fy = MASKED ? select(keep, y, fy) : y;
        fz = MASKED ? select(keep, z, fz) : z;
    }
    static __m128d select(__m128d keep, __m128d updated, __m128d old) {
        return _mm_or_pd(_mm_and_pd(keep, updated), _mm_andnot_pd(keep, old));
    }
};
#endif

} // namespace

void accumulate_forces(const double* px, const double* py, const double* pz, const double* mass,
                       std::size_t n, double* fx, double* fy, double* fz) {
    std::size_t a = 0;
#if defined(__SSE2__)
    const __m128d low_only = _mm_castsi128_pd(_mm_set_epi64x(0, -1));
    const __m128d high_only = _mm_castsi128_pd(_mm_set_epi64x(-1, 0));
    for (; a + 1 < n; a += 2) {
        PairPass pass{_mm_loadu_pd(px + a), _mm_loadu_pd(py + a), _mm_loadu_pd(pz + a),
                      _mm_loadu_pd(mass + a)};
        const __m128d all = _mm_setzero_pd(); // unused without a mask
        for (std::size_t b = 0; b < a; ++b)
            pass.pull<false>(px[b], py[b], pz[b], mass[b], all);
        // Neither body feels itself: body a pulls a + 1 only, a + 1 pulls a.
        pass.pull<true>(px[a], py[a], pz[a], mass[a], high_only);
        pass.pull<true>(px[a + 1], py[a + 1], pz[a + 1], mass[a + 1], low_only);
        for (std::size_t b = a + 2; b < n; ++b)
            pass.pull<false>(px[b], py[b], pz[b], mass[b], all);
        _mm_storeu_pd(fx + a, pass.fx);
        _mm_storeu_pd(fy + a, pass.fy);
        _mm_storeu_pd(fz + a, pass.fz);
    }
#endif
    scalar_forces(px, py, pz, mass, a, n, fx, fy, fz);
}
