#include <gtest/gtest.h>

#include "common/printed.h"

#include <cmath>
#include <limits>

#include "nbody/planets.h"

namespace {

const double AU = 1.49598e11;
const double PI = 3.14159265358979323846;

// Half a unit of the last printed decimal: the published value's own precision.
const Planet all_planets[] = {Planet::Mercury, Planet::Venus,  Planet::Earth,  Planet::Mars,
                              Planet::Jupiter, Planet::Saturn, Planet::Uranus, Planet::Neptune};

TEST(ReduceDegrees, WholeTurnsOnlyAndExactly360Stays) {
    const struct {
        double angle, expected;
    } cases[] = {
        {360, 360},           {-0.5, 359.5},        {725, 5},        {0, 0}, {720, 360}, {-360, 0},
        {1000000.25, 280.25}, {-1000000.25, 79.75}, {359.75, 359.75}};
    for (const auto& c : cases)
        EXPECT_EQ(reduce_degrees(c.angle), c.expected) << c.angle;
    // An infinite angle must come back (as NaN) rather than loop for ever.
    EXPECT_TRUE(std::isnan(reduce_degrees(std::numeric_limits<double>::infinity())));
}

// Meeus' worked examples 32.a (Venus) and 25.b (the Earth in the Sun's position).
TEST(PlanetSeries, PublishedWorkedExamples) {
    const double venus = 2448976.5;
    EXPECT_NEAR(series_longitude(Planet::Venus, venus), 26.11428, printed(5));
    EXPECT_NEAR(series_latitude(Planet::Venus, venus), -2.62070, printed(5));
    EXPECT_NEAR(series_radius(Planet::Venus, venus), 0.724603, printed(6));
    const double earth = 2448908.5;
    EXPECT_NEAR(series_longitude(Planet::Earth, earth), 19.907372, printed(6));
    EXPECT_NEAR(series_latitude(Planet::Earth, earth), -0.000179, printed(6));
    EXPECT_NEAR(series_radius(Planet::Earth, earth), 0.99760775, printed(8));
}

// Each planet's series must be wired to its own tables. The mean orbit of
// each planet (J2000.0 elements, mean motion over 1800-2050) bounds where
// the series may put it: the distance between perihelion and aphelion, the
// latitude within the inclination, the longitude within the largest
// equation of the centre of the mean longitude of the date.
struct MeanOrbit {
    Planet planet;
    double a;           // AU
    double e;           //
    double inclination; // degrees
    double l0;          // mean longitude at J2000.0, degrees
    double l_rate;      // degrees per Julian century
};
const MeanOrbit mean_orbits[] = {
    {Planet::Mercury, 0.38709927, 0.20563593, 7.00497902, 252.25032350, 149472.67411175},
    {Planet::Venus, 0.72333566, 0.00677672, 3.39467605, 181.97909950, 58517.81538729},
    {Planet::Earth, 1.00000261, 0.01671123, 0.0, 100.46457166, 35999.37244981},
    {Planet::Mars, 1.52371034, 0.09339410, 1.84969142, -4.55343205, 19140.30268499},
    {Planet::Jupiter, 5.20288700, 0.04838624, 1.30439695, 34.39644051, 3034.74612775},
    {Planet::Saturn, 9.53667594, 0.05386179, 2.48599187, 49.95424423, 1222.49362201},
    {Planet::Uranus, 19.18916464, 0.04725744, 0.77263783, 313.23810451, 428.48202785},
    {Planet::Neptune, 30.06992276, 0.00859048, 1.77004347, -55.12002969, 218.45945325},
};

double angle_between(double a, double b) {
    const double d = std::fmod(std::fabs(a - b), 360.0);
    return d > 180 ? 360 - d : d;
}

TEST(PlanetSeries, EachPlanetStaysOnItsMeanOrbit) {
    // General precession in longitude: the series use the equinox of the date.
    const double precession = 1.3970; // degrees per century
    for (const MeanOrbit& o : mean_orbits) {
        const double centre = (2 * o.e + 1.25 * o.e * o.e) * 180 / PI;
        for (double jd = 2396758.5; jd <= 2469807.5; jd += 997) { // 1850 to 2050
            const double t = (jd - 2451545.0) / 36525;
            const double r = series_radius(o.planet, jd);
            EXPECT_GT(r, o.a * (1 - o.e) * 0.99) << static_cast<int>(o.planet) << " " << jd;
            EXPECT_LT(r, o.a * (1 + o.e) * 1.01) << static_cast<int>(o.planet) << " " << jd;
            EXPECT_LE(std::fabs(series_latitude(o.planet, jd)), o.inclination + 0.05)
                << static_cast<int>(o.planet) << " " << jd;
            const double mean = o.l0 + (o.l_rate + precession) * t;
            EXPECT_LE(angle_between(series_longitude(o.planet, jd), mean), centre + 1.0)
                << static_cast<int>(o.planet) << " " << jd;
        }
    }
}

TEST(PlanetSeries, LongitudeStaysWithinOneTurnAtAnyDate) {
    // Before 2000 t is negative; far dates make the raw series many turns.
    for (Planet p : all_planets)
        for (double jd = 0; jd < 5e6; jd += 123457.7) {
            const double l = series_longitude(p, jd);
            EXPECT_GE(l, 0.0);
            EXPECT_LE(l, 360.0);
        }
}

TEST(PlanetPosition, IsTheSphericalPositionOfTheSeriesInMetres) {
    const double jd = 2415020.5; // 1900, before J2000.0
    for (Planet p : all_planets) {
        const vec3d pos = planet_position(p, jd);
        const double r = series_radius(p, jd) * AU;
        EXPECT_NEAR(pos.length(), r, r * 1e-14);
        double longitude = std::atan2(pos.y, pos.x) * 180 / PI;
        if (longitude < 0)
            longitude += 360;
        EXPECT_NEAR(longitude, series_longitude(p, jd), 1e-9);
        EXPECT_NEAR(std::asin(pos.z / pos.length()) * 180 / PI, series_latitude(p, jd), 1e-9);
    }
}

TEST(SphericalPosition, AxesPointWhereTheFrameSays) {
    const double d = 2.0;
    const struct {
        double longitude, latitude, x, y, z;
    } cases[] = {{0, 0, d, 0, 0},
                 {90, 0, 0, d, 0},
                 {180, 0, -d, 0, 0},
                 {0, 90, 0, 0, d},
                 {45, 0, std::sqrt(2.0), std::sqrt(2.0), 0},
                 {270, -30, 0, -std::sqrt(3.0), -1}};
    for (const auto& c : cases) {
        const vec3d v = spherical_position(c.longitude, c.latitude, d);
        EXPECT_NEAR(v.x, c.x, 1e-15) << c.longitude << " " << c.latitude;
        EXPECT_NEAR(v.y, c.y, 1e-15) << c.longitude << " " << c.latitude;
        EXPECT_NEAR(v.z, c.z, 1e-15) << c.longitude << " " << c.latitude;
    }
}

} // namespace
