// Whether a body's position and velocity are finite: the property every
// fuzz target checks of the bodies it makes.
#pragma once

#include <cmath>

#include "nbody/body.h"

inline bool finite_body(const nbBody& body) {
    const vec3d& p = body.position();
    const vec3d& v = body.velocity();
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z) && std::isfinite(v.x) &&
           std::isfinite(v.y) && std::isfinite(v.z);
}
