#include "nbody/sampled_velocity.h"

#include "nbody/body.h"
#include "nbody/spline3d.h"

vec3d sampled_velocity(const std::function<vec3d(double)>& position_at, double jd) {
    TrackSamples samples;
    for (double t = jd - 2; t <= jd + 2; t += 1.0) {
        samples[t] = position_at(t);
        // Beyond 2^53 days a day no longer adds to a date: the samples fall
        // together (the spline then gives no velocity) rather than never end.
        if (t + 1.0 == t)
            break;
    }
    const spline3d track(samples);
    // The spline's derivative is in metres per day.
    return track.derivative(jd) * (1 / SECONDS_PER_DAY);
}
