#include "nbody/pluto.h"

#include <cmath>

#include "nbody/body.h"
#include "nbody/planets.h"
#include "nbody/tables/meeus_tables.h"

namespace {

// The sine and cosine coefficients of one coordinate in a table row.
using Coefficients = double meeus::PlutoTerm::*;

// Sum of A sin(a) + B cos(a) over the table, a = i J + j S + k P, with J, S,
// P the mean longitudes of Jupiter, Saturn and Pluto (not reduced).
double periodic_sum(double jd, Coefficients a_of, Coefficients b_of) {
    const double t = (jd - 2451545.0) / 36525.0;
    const double j = 34.35 + 3034.9057 * t;
    const double s = 50.08 + 1222.1138 * t;
    const double p = 238.96 + 144.96 * t;
    double sum = 0.0;
    for (const meeus::PlutoTerm& row : meeus::pluto) {
        const double alpha = (row.i * j + row.j * s + row.k * p) * RADIANS_PER_DEGREE;
        sum += row.*a_of * std::sin(alpha) + row.*b_of * std::cos(alpha);
    }
    return sum;
}

} // namespace

double pluto_longitude(double jd) {
    const double t = (jd - 2451545.0) / 36525.0;
    const double sum = periodic_sum(jd, &meeus::PlutoTerm::lon_a, &meeus::PlutoTerm::lon_b);
    return reduce_degrees(238.958116 + 144.96 * t + sum / 1000000);
}

double pluto_latitude(double jd) {
    const double sum = periodic_sum(jd, &meeus::PlutoTerm::lat_a, &meeus::PlutoTerm::lat_b);
    return -3.908239 + sum / 1000000;
}

double pluto_radius(double jd) {
    const double sum = periodic_sum(jd, &meeus::PlutoTerm::rad_a, &meeus::PlutoTerm::rad_b);
    return 40.7241346 + sum / 10000000;
}

vec3d pluto_position(double jd) {
    return spherical_position(pluto_longitude(jd), pluto_latitude(jd),
                              pluto_radius(jd) * ASTRONOMICAL_UNIT);
}
