// A curve in space parametrised by time: three cubic splines x(t), y(t),
// z(t) through sampled positions. Its derivative gives the velocity of a
// body known only by its positions.
#pragma once

#include <map>
#include <memory>

#include "nbody/vec3d.h"

// Positions (m) by time (JD, days), ascending.
using TrackSamples = std::map<double, vec3d>;

class spline3d {
public:
    // Parabolically terminated cubic splines through the samples. Fewer than
    // two samples, or a sample that is not finite, leave the spline invalid.
    explicit spline3d(const TrackSamples& samples);
    virtual ~spline3d();
    spline3d(const spline3d&) = delete;
    spline3d& operator=(const spline3d&) = delete;

    bool valid() const { return impl_ != nullptr; }

    // Position at t; beyond the samples the end pieces are extended. An
    // invalid spline gives the zero vector.
    vec3d position(double t) const;
    // First derivative at t, metres per day; zero for an invalid spline.
    vec3d derivative(double t) const;

private:
    struct Coefficients;
    std::unique_ptr<Coefficients> impl_;
};
