#include "nbody/moon.h"

#include <cmath>
#include <cstdlib>

#include "nbody/planets.h"
#include "nbody/tables/meeus_tables.h"

namespace {

constexpr double J2000 = 2451545.0;
constexpr double DAYS_PER_CENTURY = 36525.0;

double centuries_since_j2000(double jd) {
    return (jd - J2000) / DAYS_PER_CENTURY;
}

double sin_deg(double degrees) {
    return std::sin(degrees * RADIANS_PER_DEGREE);
}

// Fundamental arguments of the lunar theory, degrees reduced to [0, 360],
// and the eccentricity factor E.
struct LunarArguments {
    double l_prime, d, m, m_prime, f, a1, a2, a3, e;
};

LunarArguments lunar_arguments(double jd) {
    const double t = centuries_since_j2000(jd);
    const double t2 = t * t, t3 = t2 * t, t4 = t3 * t;
    LunarArguments a;
    a.l_prime = reduce_degrees(218.3164477 + 481267.88123421 * t - 0.0015786 * t2 + t3 / 538841 -
                               t4 / 65194000);
    a.d = reduce_degrees(297.8501921 + 445267.1114034 * t - 0.0018819 * t2 + t3 / 545868 -
                         t4 / 113065000);
    a.m = reduce_degrees(357.5291092 + 35999.0502909 * t - 0.0001536 * t2 + t3 / 24490000);
    a.m_prime = reduce_degrees(134.9633964 + 477198.8675055 * t + 0.0087414 * t2 + t3 / 69699 -
                               t4 / 14712000);
    a.f = reduce_degrees(93.2720950 + 483202.0175233 * t - 0.0036539 * t2 - t3 / 3526000 +
                         t4 / 863310000);
    a.a1 = reduce_degrees(119.75 + 131.849 * t);
    a.a2 = reduce_degrees(53.09 + 479264.290 * t);
    a.a3 = reduce_degrees(313.45 + 481266.484 * t);
    a.e = 1 - 0.002516 * t - 0.0000074 * t2;
    return a;
}

// The argument d·D + m·M + m'·M' + f·F of a table row, degrees.
template <class Term> double row_argument(const Term& row, const LunarArguments& a) {
    return row.d * a.d + row.m * a.m + row.mp * a.m_prime + row.f * a.f;
}

} // namespace

double nutation_longitude(double jd) {
    const double t = centuries_since_j2000(jd);
    const double t2 = t * t, t3 = t2 * t;
    const double d = reduce_degrees(297.85036 + 445267.111480 * t - 0.0019142 * t2 + t3 / 189474);
    const double m = reduce_degrees(357.52772 + 35999.050340 * t - 0.0001603 * t2 - t3 / 300000);
    const double m_prime =
        reduce_degrees(134.96298 + 477198.867398 * t + 0.0086972 * t2 + t3 / 56250);
    const double f = reduce_degrees(93.27191 + 483202.017538 * t - 0.0036825 * t2 + t3 / 327270);
    const double omega = reduce_degrees(125.04452 - 1934.136261 * t + 0.0020708 * t2 + t3 / 450000);
    double psi = 0.0;
    for (const meeus::NutationTerm& row : meeus::nutation) {
        const double argument =
            row.d * d + row.m * m + row.mp * m_prime + row.f * f + row.omega * omega;
        psi += sin_deg(argument) * (row.psi_sin + row.psi_sin_t * t) * 0.0001;
    }
    return psi;
}

double eccentricity_factor(int m, double e) {
    switch (std::abs(m)) {
    case 1:
        return e;
    case 2:
        return e * e;
    default:
        return 1.0;
    }
}

double moon_longitude(double jd) {
    const LunarArguments a = lunar_arguments(jd);
    double sum = 0.0;
    for (const meeus::MoonLongitudeDistanceTerm& row : meeus::moon_longitude_distance)
        sum += row.sigma_l * eccentricity_factor(row.m, a.e) * sin_deg(row_argument(row, a));
    // Venus, Jupiter and the flattening of the Earth.
    sum += 3958 * sin_deg(a.a1) + 1962 * sin_deg(a.l_prime - a.f) + 318 * sin_deg(a.a2);
    return reduce_degrees(a.l_prime + sum / 1000000 + nutation_longitude(jd) / 3600);
}

double moon_latitude(double jd) {
    const LunarArguments a = lunar_arguments(jd);
    double sum = 0.0;
    for (const meeus::MoonLatitudeTerm& row : meeus::moon_latitude)
        sum += row.sigma_b * eccentricity_factor(row.m, a.e) * sin_deg(row_argument(row, a));
    sum += -2235 * sin_deg(a.l_prime) + 382 * sin_deg(a.a3) + 175 * sin_deg(a.a1 - a.f) +
           175 * sin_deg(a.a1 + a.f) + 127 * sin_deg(a.l_prime - a.m_prime) -
           115 * sin_deg(a.l_prime + a.m_prime);
    return sum / 1000000;
}

double moon_distance(double jd) {
    const LunarArguments a = lunar_arguments(jd);
    double sum = 0.0;
    for (const meeus::MoonLongitudeDistanceTerm& row : meeus::moon_longitude_distance)
        sum += row.sigma_r * eccentricity_factor(row.m, a.e) *
               std::cos(row_argument(row, a) * RADIANS_PER_DEGREE);
    return 385000.56 + sum / 1000;
}

vec3d moon_position(double jd) {
    return planet_position(Planet::Earth, jd) +
           spherical_position(moon_longitude(jd), moon_latitude(jd), moon_distance(jd) * 1000);
}
