// The Moon's position from the lunar theory of J. Meeus' Astronomical
// Algorithms (chapter 47), with the nutation in longitude of chapter 22.
#pragma once

#include "nbody/vec3d.h"

// Nutation in longitude, arcseconds.
double nutation_longitude(double jd);

// Scale of a lunar term whose argument holds the Sun's mean anomaly M with
// multiplier m: the shrinking eccentricity of the Earth's orbit weakens such
// terms by E for |m| = 1 and by E squared for |m| = 2; others are unscaled.
double eccentricity_factor(int m, double e);

// Apparent geocentric longitude (including nutation), degrees in [0, 360].
double moon_longitude(double jd);
// Geocentric latitude, degrees.
double moon_latitude(double jd);
// Distance between the centres of the Earth and the Moon, kilometres.
double moon_distance(double jd);

// Heliocentric position in metres: the Earth's plus the geocentric offset.
vec3d moon_position(double jd);
