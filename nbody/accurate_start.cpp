#include "nbody/accurate_start.h"

#include "nbody/ecliptic_precession.h"
#include "nbody/moon.h"
#include "nbody/planets.h"
#include "nbody/pluto.h"

namespace {

constexpr double AU_SCALE = IAU_ASTRONOMICAL_UNIT / ASTRONOMICAL_UNIT;

// Gravitational parameters of DE430 (Folkner et al. 2014), km^3/s^2; the
// Earth and the Moon from the Earth-Moon barycentre's and the mass ratio.
constexpr double EARTH_MOON_GM = 403503.235502;
constexpr double EARTH_MOON_RATIO = 81.30056907419062;

double gm_km3_s2(SolarBody body) {
    switch (body) {
    case SolarBody::Sun:
        return 132712440041.9394;
    case SolarBody::Mercury:
        return 22031.78;
    case SolarBody::Venus:
        return 324858.592;
    case SolarBody::Earth:
        return EARTH_MOON_GM * EARTH_MOON_RATIO / (1 + EARTH_MOON_RATIO);
    case SolarBody::Moon:
        return EARTH_MOON_GM / (1 + EARTH_MOON_RATIO);
    case SolarBody::Mars:
        return 42828.375214;
    case SolarBody::Jupiter:
        return 126712764.8;
    case SolarBody::Saturn:
        return 37940585.2;
    case SolarBody::Uranus:
        return 5794548.6;
    case SolarBody::Neptune:
        return 6836527.10058;
    case SolarBody::Pluto:
        return 977.0;
    }
    return 0;
}

// The Moon's offset from the Earth in the mean ecliptic and equinox of the
// date: its longitude without the nutation.
vec3d moon_offset_of_date(double jd) {
    return spherical_position(moon_longitude(jd) - nutation_longitude(jd) / 3600, moon_latitude(jd),
                              moon_distance(jd) * 1000);
}

} // namespace

vec3d j2000_position(SolarBody body, double jd) {
    switch (body) {
    case SolarBody::Sun:
        return vec3d();
    case SolarBody::Pluto:
        return pluto_position(jd) * AU_SCALE;
    case SolarBody::Moon: {
        const EclipticRotation to_j2000 = EclipticRotation::to_j2000(jd);
        return to_j2000.apply(planet_position(Planet::Earth, jd) * AU_SCALE) +
               to_j2000.apply(moon_offset_of_date(jd));
    }
    default:
        return EclipticRotation::to_j2000(jd).apply(theory_position(body, jd) * AU_SCALE);
    }
}

vec3d difference_velocity(const std::function<vec3d(double)>& position_at, double jd) {
    // A power of two: jd +- k h are exact for any date the program takes.
    const double h = 0.125;
    const double weights[] = {672.0 / 840, -168.0 / 840, 32.0 / 840, -3.0 / 840};
    vec3d sum;
    for (int k = 1; k <= 4; ++k)
        sum += (position_at(jd + k * h) - position_at(jd - k * h)) * weights[k - 1];
    return sum * (1 / (h * SECONDS_PER_DAY));
}

double accurate_mass(SolarBody body) {
    return gm_km3_s2(body) * 1e9 / GRAVITATIONAL_CONSTANT;
}

BodyState accurate_body_state(SolarBody body, double jd) {
    if (body == SolarBody::Sun)
        return BodyState{};
    BodyState state;
    state.position = j2000_position(body, jd);
    state.velocity = difference_velocity([body](double t) { return j2000_position(body, t); }, jd);
    return state;
}
