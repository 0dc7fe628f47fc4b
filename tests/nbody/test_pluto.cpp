#include <gtest/gtest.h>

#include "common/printed.h"

#include <cmath>

#include "nbody/pluto.h"

namespace {

const double AU = 1.49598e11;
const double PI = 3.14159265358979323846;

// Meeus' worked example 37.a, 1992 October 13 0h.
TEST(Pluto, PublishedWorkedExample) {
    const double jd = 2448908.5;
    EXPECT_NEAR(pluto_longitude(jd), 232.74071, printed(5));
    EXPECT_NEAR(pluto_latitude(jd), 14.58782, printed(5));
    EXPECT_NEAR(pluto_radius(jd), 29.711111, printed(6));
}

TEST(Pluto, LongitudeStaysWithinOneTurnEvenOutsideTheFit) {
    // The fit covers 1885 to 2099; other dates degrade but still evaluate.
    for (double jd = 2000000.5; jd < 2800000; jd += 23456.7) {
        const double l = pluto_longitude(jd);
        EXPECT_GE(l, 0.0) << jd;
        EXPECT_LE(l, 360.0) << jd;
        EXPECT_TRUE(std::isfinite(pluto_latitude(jd))) << jd;
        EXPECT_TRUE(std::isfinite(pluto_radius(jd))) << jd;
    }
}

TEST(PlutoPosition, IsTheSphericalPositionInMetres) {
    const double jd = 2448908.5;
    const vec3d p = pluto_position(jd);
    const double r = pluto_radius(jd) * AU;
    EXPECT_NEAR(p.length(), r, r * 1e-14);
    double longitude = std::atan2(p.y, p.x) * 180 / PI;
    if (longitude < 0)
        longitude += 360;
    EXPECT_NEAR(longitude, pluto_longitude(jd), 1e-9);
    EXPECT_NEAR(std::asin(p.z / p.length()) * 180 / PI, pluto_latitude(jd), 1e-9);
}

} // namespace
