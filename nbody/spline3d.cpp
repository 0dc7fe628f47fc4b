#include "nbody/spline3d.h"

#include <cmath>

#include <interpolation.h>

struct spline3d::Coefficients {
    alglib::spline1dinterpolant cx, cy, cz;
};

spline3d::spline3d(const TrackSamples& samples) {
    const auto n = static_cast<alglib::ae_int_t>(samples.size());
    // ALGLIB raises an error on these; refuse them here instead.
    if (n < 2)
        return;
    alglib::real_1d_array t, x, y, z;
    t.setlength(n);
    x.setlength(n);
    y.setlength(n);
    z.setlength(n);
    alglib::ae_int_t k = 0;
    for (const auto& sample : samples) {
        const vec3d& p = sample.second;
        if (!std::isfinite(sample.first) || !std::isfinite(p.x) || !std::isfinite(p.y) ||
            !std::isfinite(p.z))
            return;
        t[k] = sample.first;
        x[k] = p.x;
        y[k] = p.y;
        z[k] = p.z;
        ++k;
    }
    auto c = std::make_unique<Coefficients>();
    // Boundary type 0 at both ends: parabolic end pieces, which reproduce a
    // parabola exactly.
    alglib::spline1dbuildcubic(t, x, n, 0, 0.0, 0, 0.0, c->cx);
    alglib::spline1dbuildcubic(t, y, n, 0, 0.0, 0, 0.0, c->cy);
    alglib::spline1dbuildcubic(t, z, n, 0, 0.0, 0, 0.0, c->cz);
    impl_ = std::move(c);
}

spline3d::~spline3d() = default;

vec3d spline3d::position(double t) const {
    if (!impl_)
        return vec3d();
    return vec3d(alglib::spline1dcalc(impl_->cx, t), alglib::spline1dcalc(impl_->cy, t),
                 alglib::spline1dcalc(impl_->cz, t));
}

vec3d spline3d::derivative(double t) const {
    if (!impl_)
        return vec3d();
    double s = 0, d2s = 0;
    vec3d ds;
    alglib::spline1ddiff(impl_->cx, t, s, ds.x, d2s);
    alglib::spline1ddiff(impl_->cy, t, s, ds.y, d2s);
    alglib::spline1ddiff(impl_->cz, t, s, ds.z, d2s);
    return ds;
}
