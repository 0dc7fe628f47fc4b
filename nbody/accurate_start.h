// How the high-accuracy mode places the built-in bodies: every position in
// the ecliptic and equinox of J2000.0 and in metres of the IAU's
// astronomical unit, each velocity first the time derivative of its
// position and then fitted so that the integrated motion follows the
// theories, and masses whose pulls are those of the JPL ephemeris DE430.
#pragma once

#include <functional>
#include <vector>

#include "nbody/solar_bodies.h"

class nbBody;

// The IAU's astronomical unit, m. The theories give AU; the program's own
// rounded unit would make every orbit 0.9 ppm too large, and its period
// 1.3 ppm too long, for the gravitational parameters below.
constexpr double IAU_ASTRONOMICAL_UNIT = 1.495978707e11;

// Heliocentric position (m) of a planet, the Moon or Pluto at jd in the
// ecliptic and mean equinox of J2000.0: the planets and the Moon precessed
// from the ecliptic of the date, the nutation taken out of the Moon's
// longitude. The Sun is at the origin.
vec3d j2000_position(SolarBody body, double jd);

// The velocity (m/s) of a body whose position (m) at JD t is position_at(t):
// the central difference of eighth order over 1/8 day either side, which
// for the theories' terms matches their exact derivative to about 1e-12.
vec3d difference_velocity(const std::function<vec3d(double)>& position_at, double jd);

// The mass (kg) that gives the body the gravitational parameter of DE430
// with the program's gravitational constant (the planets with their moons,
// Pluto with Charon): the program's own masses put the Sun 153 ppm too
// heavy, which alone turns the Earth 12 arcminutes a year too far.
double accurate_mass(SolarBody body);

// The state a built-in body starts from before fit_velocities: the Sun at
// rest at the origin, the others at j2000_position with difference_velocity.
BodyState accurate_body_state(SolarBody body, double jd);

// A built-in body of a system about to start in the high-accuracy mode.
struct StartingBody {
    SolarBody id;
    nbBody* body;
};

// The span after the start, days, over which the velocities are fitted.
constexpr double FIT_DAYS = 180;

// Replaces the velocities of the planets, the Moon and Pluto (heliocentric,
// the Sun at rest at the origin) by those whose integrated motion over the
// next FIT_DAYS follows the theories best, in the least-squares sense (a
// sample a day). The truncated series' short-period terms make the exact
// derivative wrong by some parts in 1e5 (the Moon) or 1e6 (Mercury, the
// Earth): enough to turn the Moon half a degree a year. The Earth and the
// Moon are fitted as their barycentre and the Moon's offset from the
// Earth. `bodies` are the Sun and the ten others, the Sun at the origin.
void fit_velocities(const std::vector<StartingBody>& bodies, double jd);
