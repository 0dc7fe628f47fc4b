// Pluto's heliocentric position from J. Meeus' Astronomical Algorithms
// (chapter 37): a fit for the years 1885 to 2099, ecliptic and equinox
// J2000.0. Other dates are evaluated all the same, with growing error.
#pragma once

#include "nbody/vec3d.h"

// Heliocentric longitude, degrees in [0, 360].
double pluto_longitude(double jd);
// Heliocentric latitude, degrees.
double pluto_latitude(double jd);
// Distance from the Sun, AU.
double pluto_radius(double jd);

// Heliocentric position in metres.
vec3d pluto_position(double jd);
