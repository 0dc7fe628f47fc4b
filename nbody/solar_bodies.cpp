#include "nbody/solar_bodies.h"

#include "nbody/moon.h"
#include "nbody/planets.h"
#include "nbody/pluto.h"
#include "nbody/sampled_velocity.h"

namespace {

// Masses are multiples of the Earth's 5.9736e24 kg, as doubles.
const BuiltInBody BUILT_IN[BUILT_IN_COUNT] = {
    {SolarBody::Sun, "Sun", false, 1.9891000207439997e30, 6.955e8},
    {SolarBody::Mercury, "Mercury", false, 3.5841599999999996e23, 2.4397e6},
    {SolarBody::Venus, "Venus", false, 4.898352e24, 6.0518e6},
    {SolarBody::Earth, "Earth", false, 5.9736e24, 6.371e6},
    {SolarBody::Moon, "Moon", true, 7.3475279999999995e22, 1.7381e6},
    {SolarBody::Mars, "Mars", false, 6.570959999999999e23, 3.3962e6},
    {SolarBody::Jupiter, "Jupiter", false, 1.89841008e27, 7.1492e7},
    {SolarBody::Saturn, "Saturn", false, 5.6868671999999994e26, 6.0268e7},
    {SolarBody::Uranus, "Uranus", false, 8.721455999999998e25, 2.5559e7},
    {SolarBody::Neptune, "Neptune", false, 1.0274591999999998e26, 2.4764e7},
    {SolarBody::Pluto, "Pluto", false, 1.2544559999999998e22, 1.195e6},
};

} // namespace

const BuiltInBody* built_in_bodies() {
    return BUILT_IN;
}

const BuiltInBody& built_in(SolarBody id) {
    return BUILT_IN[static_cast<int>(id)];
}

vec3d theory_position(SolarBody body, double jd) {
    switch (body) {
    case SolarBody::Mercury:
        return planet_position(Planet::Mercury, jd);
    case SolarBody::Venus:
        return planet_position(Planet::Venus, jd);
    case SolarBody::Earth:
        return planet_position(Planet::Earth, jd);
    case SolarBody::Mars:
        return planet_position(Planet::Mars, jd);
    case SolarBody::Jupiter:
        return planet_position(Planet::Jupiter, jd);
    case SolarBody::Saturn:
        return planet_position(Planet::Saturn, jd);
    case SolarBody::Uranus:
        return planet_position(Planet::Uranus, jd);
    case SolarBody::Neptune:
        return planet_position(Planet::Neptune, jd);
    case SolarBody::Moon:
        return moon_position(jd);
    case SolarBody::Pluto:
        return pluto_position(jd);
    case SolarBody::Sun:
        break;
    }
    return vec3d();
}

BodyState body_state(SolarBody body, double jd) {
    if (body == SolarBody::Sun)
        return sun_state(jd);
    BodyState state;
    state.position = theory_position(body, jd);
    state.velocity = sampled_velocity([body](double t) { return theory_position(body, t); }, jd);
    return state;
}

vec3d barycentre_offset(double jd, const vec3d& sun) {
    const SolarBody others[] = {SolarBody::Mercury, SolarBody::Venus,   SolarBody::Earth,
                                SolarBody::Mars,    SolarBody::Jupiter, SolarBody::Saturn,
                                SolarBody::Uranus,  SolarBody::Neptune, SolarBody::Pluto};
    double w = built_in(SolarBody::Sun).mass;
    vec3d s = sun * w;
    for (SolarBody body : others) {
        const double m = built_in(body).mass;
        w += m;
        s += theory_position(body, jd) * m;
    }
    return vec3d(-s.x / w, -s.y / w, -s.z / w);
}

BodyState sun_state(double jd) {
    // The second pass starts from the first result, so the Sun ends close to
    // where the weighted mean puts it.
    const vec3d s1 = barycentre_offset(jd, vec3d());
    const vec3d s2 = barycentre_offset(jd, s1);
    return {s2, vec3d()};
}
