#include <gtest/gtest.h>

#include "common/printed.h"

#include <cmath>

#include "nbody/moon.h"
#include "nbody/planets.h"

namespace {

const double PI = 3.14159265358979323846;

// Meeus' worked example 47.a, 1992 April 12 0h.
TEST(Moon, PublishedWorkedExample) {
    const double jd = 2448724.5;
    EXPECT_NEAR(nutation_longitude(jd), 16.595, printed(3));
    EXPECT_NEAR(moon_longitude(jd), 133.167264, printed(6));
    EXPECT_NEAR(moon_latitude(jd), -3.229126, printed(6));
    EXPECT_NEAR(moon_distance(jd), 368409.68, printed(2));
}

// Nutation at 1987 April 10 0h, Meeus' worked example 22.a: -3.788".
TEST(Moon, NutationSecondWorkedExample) {
    EXPECT_NEAR(nutation_longitude(2446895.5), -3.788, printed(3));
}

TEST(Moon, EccentricityScalesTermsByTheirMultiplierOfM) {
    const double e = 0.99;
    const struct {
        int m;
        double factor;
    } cases[] = {{0, 1.0}, {1, e}, {-1, e}, {2, e * e}, {-2, e * e}};
    for (const auto& c : cases)
        EXPECT_EQ(eccentricity_factor(c.m, e), c.factor) << c.m;
}

TEST(Moon, LongitudeStaysWithinOneTurnAtAnyDate) {
    for (double jd = 2000000.5; jd < 2800000; jd += 12345.67) {
        const double l = moon_longitude(jd);
        EXPECT_GE(l, 0.0) << jd;
        EXPECT_LE(l, 360.0) << jd;
        EXPECT_LE(std::fabs(moon_latitude(jd)), 5.4) << jd; // the orbit's inclination
        const double d = moon_distance(jd);
        EXPECT_GT(d, 356000) << jd; // perigee and apogee
        EXPECT_LT(d, 407000) << jd;
    }
}

TEST(MoonPosition, IsTheEarthPlusTheGeocentricOffset) {
    const double jd = 2448724.5;
    const vec3d offset = moon_position(jd) - planet_position(Planet::Earth, jd);
    EXPECT_NEAR(offset.length(), moon_distance(jd) * 1000, 1e-3);
    EXPECT_NEAR(std::atan2(offset.y, offset.x) * 180 / PI, moon_longitude(jd), 1e-8);
    EXPECT_NEAR(std::asin(offset.z / offset.length()) * 180 / PI, moon_latitude(jd), 1e-8);
}

} // namespace
