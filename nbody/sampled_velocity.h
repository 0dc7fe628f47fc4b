// The velocity of a body known only by its positions: a cubic spline through
// five positions one day apart, differentiated at the middle one.
#pragma once

#include <functional>

#include "nbody/vec3d.h"

// position_at(t) gives the position in metres at JD t; the result is in m/s.
vec3d sampled_velocity(const std::function<vec3d(double)>& position_at, double jd);
