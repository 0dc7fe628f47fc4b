#include "nbody/ecliptic_precession.h"

#include <cmath>

namespace {
constexpr double J2000 = 2451545.0;
constexpr double DAYS_PER_CENTURY = 36525.0;
constexpr double RADIANS_PER_ARCSECOND = 4.84813681109536e-6;
constexpr double RADIANS_PER_DEGREE = 0.017453292519943295;
} // namespace

EclipticRotation EclipticRotation::to_j2000(double jd) {
    // From the epoch T (centuries after J2000) over t centuries to J2000.
    const double big_t = (jd - J2000) / DAYS_PER_CENTURY;
    const double t = -big_t;
    const double eta = ((47.0029 - 0.06603 * big_t + 0.000598 * big_t * big_t) * t +
                        (-0.03302 + 0.000598 * big_t) * t * t + 0.000060 * t * t * t) *
                       RADIANS_PER_ARCSECOND;
    const double pi =
        174.876384 * RADIANS_PER_DEGREE + (3289.4789 * big_t + 0.60622 * big_t * big_t -
                                           (869.8089 + 0.50491 * big_t) * t + 0.03536 * t * t) *
                                              RADIANS_PER_ARCSECOND;
    const double p = ((5029.0966 + 2.22226 * big_t - 0.000042 * big_t * big_t) * t +
                      (1.11113 - 0.000042 * big_t) * t * t - 0.000006 * t * t * t) *
                     RADIANS_PER_ARCSECOND;
    // Meeus' spherical formulas are linear in the unit vector (x, y, z):
    //   A' = cos(eta) (sin(Pi) x - cos(Pi) y) - sin(eta) z
    //   B' = cos(Pi) x + sin(Pi) y
    //   C' = sin(eta) (sin(Pi) x - cos(Pi) y) + cos(eta) z
    // and the new longitude is p + Pi - atan2(A', B'), so with th = p + Pi
    // the new vector is (cos(th) B' + sin(th) A', sin(th) B' - cos(th) A', C').
    const double ce = std::cos(eta), se = std::sin(eta);
    const double cp = std::cos(pi), sp = std::sin(pi);
    const double th = p + pi;
    const double ct = std::cos(th), st = std::sin(th);
    const double a[3] = {ce * sp, -ce * cp, -se};
    const double b[3] = {cp, sp, 0};
    const double c[3] = {se * sp, -se * cp, ce};
    EclipticRotation r;
    for (int k = 0; k < 3; ++k) {
        r.m_[0][k] = ct * b[k] + st * a[k];
        r.m_[1][k] = st * b[k] - ct * a[k];
        r.m_[2][k] = c[k];
    }
    return r;
}
