#include "nbody/planets.h"

#include <cmath>

#include "nbody/body.h"
#include "nbody/tables/meeus_tables.h"

namespace {

constexpr double J2000 = 2451545.0;
constexpr double DAYS_PER_MILLENNIUM = 365250.0;
// Amplitudes are in units of 1e-8 rad or AU.
constexpr double AMPLITUDE_UNIT = 1e8;

// One routine for all 24 (planet, coordinate) series: each power of t sums
// its terms in table order, then the powers are combined lowest first.
double evaluate(const meeus::VsopCoordinate& coordinate, double jd) {
    const double t = (jd - J2000) / DAYS_PER_MILLENNIUM;
    double value = 0.0;
    double t_power = 1.0;
    for (int k = 0; k < coordinate.count; ++k) {
        const meeus::VsopSeries& series = coordinate.powers[k];
        double sum = 0.0;
        for (int n = 0; n < series.count; ++n) {
            const meeus::VsopTerm& term = series.terms[n];
            sum += term.a * std::cos(term.phi + term.nu * t);
        }
        value += sum * t_power;
        t_power *= t;
    }
    return value / AMPLITUDE_UNIT;
}

const meeus::VsopPlanet& tables_of(Planet p) {
    return meeus::vsop87d[static_cast<int>(p)];
}

} // namespace

double reduce_degrees(double angle) {
    // Same result as adding or subtracting one turn at a time (each such step
    // is exact, and so is fmod), without the loop: a far date must not cost
    // thousands of iterations, nor an infinite angle hang.
    if (angle < 0) {
        const double r = std::fmod(angle, 360.0);
        return r < 0 ? r + 360.0 : 0.0;
    }
    if (angle > 360) {
        const double r = std::fmod(angle, 360.0);
        return r == 0 ? 360.0 : r;
    }
    return angle;
}

double series_longitude(Planet p, double jd) {
    return reduce_degrees(evaluate(tables_of(p).l, jd) * DEGREES_PER_RADIAN);
}

double series_latitude(Planet p, double jd) {
    return evaluate(tables_of(p).b, jd) * DEGREES_PER_RADIAN;
}

double series_radius(Planet p, double jd) {
    return evaluate(tables_of(p).r, jd);
}

vec3d spherical_position(double longitude_deg, double latitude_deg, double distance_m) {
    const double lambda = longitude_deg * RADIANS_PER_DEGREE;
    const double beta = latitude_deg * RADIANS_PER_DEGREE;
    const double r = distance_m;
    return vec3d(r * std::cos(beta) * std::cos(lambda), r * std::cos(beta) * std::sin(lambda),
                 r * std::sin(beta));
}

vec3d planet_position(Planet p, double jd) {
    return spherical_position(series_longitude(p, jd), series_latitude(p, jd),
                              series_radius(p, jd) * ASTRONOMICAL_UNIT);
}
