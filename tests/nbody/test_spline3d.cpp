#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "nbody/spline3d.h"

namespace {

const double T0 = 2451545.0;

void expect_near(const vec3d& v, const vec3d& expected, double tol) {
    EXPECT_NEAR(v.x, expected.x, tol);
    EXPECT_NEAR(v.y, expected.y, tol);
    EXPECT_NEAR(v.z, expected.z, tol);
}

// Five samples one day apart around the date, as the velocities are made.
TEST(Spline3d, StraightLineAtConstantSpeedGivesThatSpeed) {
    const vec3d start(1.5e11, -3.0e10, 2.0e9);
    const vec3d speed(2.5e9, -1.3e9, 4.0e7); // metres per day
    TrackSamples samples;
    for (int k = -2; k <= 2; ++k)
        samples[T0 + k] = start + speed * k;
    const spline3d spline(samples);
    ASSERT_TRUE(spline.valid());
    for (double t = T0 - 2; t <= T0 + 2; t += 0.25) {
        expect_near(spline.derivative(t), speed, 1e-4);
        expect_near(spline.position(t), start + speed * (t - T0), 1e-3);
    }
}

TEST(Spline3d, ParabolaGivesItsExactDerivativeEverywhere) {
    // Unevenly spaced samples; the check runs between them and beyond both
    // ends, where the end pieces are extended.
    const vec3d a(7.0e10, 1.2e11, -4.0e9), b(-1.1e9, 2.0e9, 3.0e7), c(4.0e6, -2.5e7, 1.0e5);
    auto parabola = [&](double t) { return a + b * (t - T0) + c * ((t - T0) * (t - T0)); };
    auto slope = [&](double t) { return b + c * (2 * (t - T0)); };
    TrackSamples samples;
    for (double dt : {-2.0, -1.0, 0.0, 1.5, 2.0})
        samples[T0 + dt] = parabola(T0 + dt);
    const spline3d spline(samples);
    ASSERT_TRUE(spline.valid());
    for (double t = T0 - 3; t <= T0 + 3; t += 0.125) {
        expect_near(spline.derivative(t), slope(t), 1e-3);
        expect_near(spline.position(t), parabola(t), 1e-3);
    }
}

TEST(Spline3d, TooFewOrNonFiniteSamplesLeaveItInvalidAndZero) {
    TrackSamples one;
    one[T0] = vec3d(1, 2, 3);
    const spline3d single(one);
    EXPECT_FALSE(single.valid());
    expect_near(single.position(T0), vec3d(), 0);
    expect_near(single.derivative(T0), vec3d(), 0);

    EXPECT_FALSE(spline3d(TrackSamples()).valid());

    TrackSamples broken = one;
    broken[T0 + 1] = vec3d(1, std::numeric_limits<double>::quiet_NaN(), 3);
    broken[T0 + 2] = vec3d(1, 2, 3);
    EXPECT_FALSE(spline3d(broken).valid());

    // Two samples are enough for a line.
    TrackSamples two = one;
    two[T0 + 2] = vec3d(5, 2, -1);
    const spline3d line(two);
    ASSERT_TRUE(line.valid());
    expect_near(line.derivative(T0 + 1), vec3d(2, 0, -2), 1e-12);
}

} // namespace
