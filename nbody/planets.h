// Heliocentric positions of the eight planets from the truncated VSOP87D
// series of J. Meeus' Astronomical Algorithms (Appendix III): ecliptic and
// mean equinox of the date, no nutation, aberration or light time.
#pragma once

#include "nbody/vec3d.h"

enum class Planet { Mercury, Venus, Earth, Mars, Jupiter, Saturn, Uranus, Neptune };

constexpr double DEGREES_PER_RADIAN = 57.29577951308232;
constexpr double RADIANS_PER_DEGREE = 0.017453292519943295;

// Brings an angle into [0, 360] by whole turns; exactly 360 stays 360.
double reduce_degrees(double angle);

// Heliocentric ecliptic longitude in degrees, in [0, 360].
double series_longitude(Planet p, double jd);
// Heliocentric ecliptic latitude in degrees.
double series_latitude(Planet p, double jd);
// Distance from the Sun in AU.
double series_radius(Planet p, double jd);

// Rectangular position: x toward longitude 0, z toward the ecliptic pole, in
// the unit of the distance.
vec3d spherical_position(double longitude_deg, double latitude_deg, double distance_m);

// Heliocentric position in metres.
vec3d planet_position(Planet p, double jd);
