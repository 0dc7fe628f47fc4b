// The eleven built-in bodies: who they are, their masses and sizes, and
// where their analytic theories put them at a date.
#pragma once

#include "nbody/vec3d.h"

// The built-in bodies, in the order in which they are built.
enum class SolarBody {
    Sun,
    Mercury,
    Venus,
    Earth,
    Moon,
    Mars,
    Jupiter,
    Saturn,
    Uranus,
    Neptune,
    Pluto
};

struct BuiltInBody {
    SolarBody id;
    const char* name;
    bool satellite;
    double mass;   // kg
    double radius; // m
};

// The table of the built-in bodies, in building order, and its length.
const BuiltInBody* built_in_bodies();
constexpr int BUILT_IN_COUNT = 11;
const BuiltInBody& built_in(SolarBody id);

struct BodyState {
    vec3d position; // m
    vec3d velocity; // m/s
};

// Heliocentric position (m) of a planet, the Moon or Pluto at jd as its
// theory gives it: the planets in the ecliptic of the date, the Moon with
// the nutation of the date, Pluto in the ecliptic of J2000.0.
vec3d theory_position(SolarBody body, double jd);
// Heliocentric state of a planet, the Moon or Pluto at jd: position from its
// theory, velocity from a spline through five positions a day apart.
BodyState body_state(SolarBody body, double jd);
// Minus the mass-weighted mean position of the Sun (placed at `sun`) and the
// nine bodies Mercury to Neptune and Pluto at jd; the Moon is left out.
vec3d barycentre_offset(double jd, const vec3d& sun);
// The Sun, moved close to the barycentre by two passes; at rest.
BodyState sun_state(double jd);
