#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "nbody/elements.h"
#include "nbody/planets.h"

namespace {

const double AU = 1.49598e11;
const double PI = 4 * std::atan(1.0);

TEST(Kepler, SolvesTheEquationForAnyMeanAnomaly) {
    for (double e : {0.0, 0.1, 0.5, 0.9, 0.99999})
        for (double m : {-350.0, -90.0, -1.0, 0.25, 10.0, 100.0, 179.0, 181.0, 359.0, 1000.0}) {
            const double big_e = solve_kepler(m, e, 53) * PI / 180;
            // E - e sin E, brought into (-180, 180], must give M back.
            double back = (big_e - e * std::sin(big_e)) * 180 / PI;
            double reduced = std::fmod(m, 360.0);
            if (reduced > 180)
                reduced -= 360;
            if (reduced <= -180)
                reduced += 360;
            EXPECT_NEAR(back, reduced, 1e-9) << "M " << m << " e " << e;
        }
}

TEST(Kepler, EdgeValues) {
    EXPECT_NEAR(solve_kepler(37.5, 0, 53), 37.5, 1e-12);
    EXPECT_NEAR(solve_kepler(200, 0, 53), -160, 1e-12);
    const double at_zero = solve_kepler(0, 0.5, 53);
    EXPECT_LT(std::fabs(at_zero), 1e-12);
    EXPECT_NEAR(solve_kepler(720.5, 0.3, 53), solve_kepler(0.5, 0.3, 53), 1e-12);
    EXPECT_NEAR(solve_kepler(200, 0.9, 53), -169.445, 0.0005);
}

TEST(ElementsPosition, PerihelionAndAphelionOfAPlanarOrbit) {
    const double tp = 2451545.0;
    const vec3d peri = elements_position(1, 0.5, 0, 0, 0, tp, tp);
    EXPECT_NEAR(peri.x, 0.5 * AU, 1e-6 * AU);
    EXPECT_NEAR(peri.x, 7.4799e10, 1e5);
    EXPECT_NEAR(peri.y, 0, 1e-6 * AU);
    EXPECT_EQ(peri.z, 0);
    const vec3d aphelion = elements_position(1, 0.5, 0, 0, 0, tp, tp + 180 / 0.9856076686);
    EXPECT_NEAR(aphelion.x, -1.5 * AU, 1e-6 * AU);
    EXPECT_NEAR(aphelion.y, 0, 1e-6 * AU);
}

TEST(ElementsPosition, AnglesOrientTheOrbit) {
    // Perihelion on the ascending node at 90 degrees, orbit tilted 90
    // degrees: a quarter period later the body is straight above the Sun.
    const double tp = 2451545.0;
    const vec3d peri = elements_position(1, 0, 90, 0, 90, tp, tp);
    EXPECT_NEAR(peri.x, 0, 1e-9 * AU);
    EXPECT_NEAR(peri.y, AU, 1e-9 * AU);
    const vec3d quarter = elements_position(1, 0, 90, 0, 90, tp, tp + 90 / 0.9856076686);
    EXPECT_NEAR(quarter.z, AU, 1e-9 * AU);
    EXPECT_NEAR(quarter.length(), AU, 1e-9 * AU);
}

TEST(ElementsVelocity, MatchesTheVisVivaSpeedAtPerihelionAndAphelion) {
    // Gauss' constant: n^2 a^3 is the Sun's GM in AU and days.
    const double n = 0.9856076686 * PI / 180 / 86400; // rad/s for a = 1
    const double tp = 2451545.0;
    const double a = 1, e = 0.5;
    const vec3d vp = elements_velocity(a, e, 0, 0, 0, tp, tp);
    const double expected_peri = n * AU * std::sqrt((1 + e) / (1 - e));
    EXPECT_NEAR(vp.length(), expected_peri, 1e-4 * expected_peri);
    EXPECT_GT(vp.y, 0); // prograde
    const vec3d va = elements_velocity(a, e, 0, 0, 0, tp, tp + 180 / 0.9856076686);
    const double expected_aph = n * AU * std::sqrt((1 - e) / (1 + e));
    EXPECT_NEAR(va.length(), expected_aph, 1e-4 * expected_aph);
}

TEST(ElementsVelocity, DatesBeyondADaysResolutionGiveNoVelocityAndEnd) {
    // Past 2^53 a day no longer adds to a JD: five samples a day apart fall
    // into one, and the velocity is zero rather than the loop endless.
    for (double jd : {1e17, -1e20, 1e300, double(INFINITY)})
        EXPECT_EQ(elements_velocity(2.5, 0.1, 5, 20, 30, 2451545.0, jd).length(), 0.0) << jd;
    // A hand-made set with such an epoch is not valid.
    nbOrbitalElementsAsteroid set("A", 2.5, 0.1, 5, 20, 30, 2451545.0, 1e20, 12);
    EXPECT_FALSE(set.validate());
}

TEST(OrbitalElements, EarthDistanceFromAGivenOrTheComputedEarth) {
    // At perihelion the set lies at (0.5 AU, 0, 0).
    const double tp = 2451545.0;
    const nbOrbitalElementsComet set("x", 1.0, 0.5, 0, 0, 0, tp, tp);
    EXPECT_NEAR(set.earth_distance(tp, vec3d()), 0.5, 1e-12);
    EXPECT_NEAR(set.earth_distance(tp, vec3d(0.5 * AU, 0.3 * AU, -0.4 * AU)), 0.5, 1e-12);
    // Without a position given, the Earth is placed by its theory.
    for (double jd : {tp, tp + 100.25, tp - 3000})
        EXPECT_EQ(set.earth_distance(jd),
                  set.earth_distance(jd, planet_position(Planet::Earth, jd)));
    // The Earth is about 1 AU from the Sun, the set 0.5 AU, both near the
    // ecliptic: their distance lies between 0.5 and 1.5 AU.
    EXPECT_GT(set.earth_distance(tp), 0.49);
    EXPECT_LT(set.earth_distance(tp), 1.51);
}

TEST(OrbitalElements, ValidateRefusesUnplaceableSets) {
    struct Case {
        const char* name;
        double a, e;
        bool valid;
    };
    const Case cases[] = {
        {"good", 2.5, 0.1, true},
        {"", 2.5, 0.1, false},
        {"zero_a", 0, 0.1, false},
        {"neg_a", -1, 0.1, false},
        {"circle", 2.5, 0, false},
        {"parabola", 2.5, 1, false},
        {"hyper", 2.5, 1.5, false},
        {"nan_a", NAN, 0.1, false},
        // The bounds of the semi-major axis, and past them.
        {"smallest", MIN_SEMI_MAJOR_AXIS, 0.1, true},
        {"inside_the_sun", 0.004, 0.1, false},
        {"near_zero", 1e-300, 0.1, false},
        {"largest", MAX_SEMI_MAJOR_AXIS, 0.99999, true},
        {"beyond", 1.01e7, 0.99999, false},
        {"huge", 1e300, 0.5, false},
        {"inf_a", INFINITY, 0.5, false},
    };
    for (const Case& c : cases) {
        nbOrbitalElementsComet set(c.name, c.a, c.e, 10, 20, 30, 2451545, 2451544.5);
        EXPECT_EQ(set.validate(), c.valid) << c.name;
    }
    EXPECT_FALSE(nbOrbitalElementsAsteroid().validate());
    // validate never sets the flag again.
    nbOrbitalElementsAsteroid set;
    EXPECT_FALSE(set.validate());
    EXPECT_FALSE(set.valid());
}

TEST(OrbitalElements, OnlyFiniteMovingStatesArePlaced) {
    const double jd = 2451545.0;
    const nbOrbitalElementsAsteroid good("A", 2.5, 0.1, 5, 20, 30, jd, jd, 12);
    EXPECT_TRUE(good.placeable_at(jd));
    EXPECT_TRUE(good.placeable_at(0.0));
    EXPECT_FALSE(good.placeable_at(NAN));
    EXPECT_EQ(good.create_body(INFINITY), nullptr);

    struct Case {
        const char* what;
        nbOrbitalElementsAsteroid set;
        double mass;
    };
    const Case cases[] = {
        {"no mass: no acceleration", good, 0.0},
        {"negative mass", good, -3e10},
        {"fifty Suns and more", good, 1.1e32},
        {"NaN mass", good, NAN},
        {"NaN inclination", {"A", 2.5, 0.1, NAN, 20, 30, jd, jd, 12}, 3e10},
        {"infinite node", {"A", 2.5, 0.1, 5, 20, INFINITY, jd, jd, 12}, 3e10},
        {"infinite perihelion time", {"A", 2.5, 0.1, 5, 20, 30, -INFINITY, jd, 12}, 3e10},
        // A day's motion is lost below the last bit of the mean anomaly: the
        // body would stand still, and fall into the Sun.
        {"perihelion 1e20 days ago", {"A", 2.5, 0.1, 5, 20, 30, -1e20, jd, 12}, 3e10},
        {"e = 1 from a hand-made set", {"A", 2.5, 1.0, 5, 20, 30, jd, jd, 12}, 3e10},
    };
    for (const Case& c : cases) {
        nbOrbitalElementsAsteroid set(c.set);
        set.set_mass(c.mass);
        EXPECT_FALSE(set.placeable_at(jd)) << c.what;
        EXPECT_EQ(set.create_body(jd), nullptr) << c.what;
        EXPECT_FALSE(set.validate()) << c.what;
    }
    // Kinds that adjust the new body refuse alike.
    EXPECT_EQ(nbOrbitalElementsComet("C", 1e300, 0.5, 1, 2, 3, jd, jd).create_body(jd), nullptr);
    EXPECT_EQ(nbOrbitalElementsPlanetary("P", 0, 0.5, 1, 2, 3, jd, jd, 0).create_body(jd), nullptr);
    // The heaviest allowed body is placed.
    nbOrbitalElementsPlanetary heavy("P", 2.5, 0.1, 5, 20, 30, jd, jd, 12);
    heavy.set_mass(MAX_BODY_MASS);
    EXPECT_NE(heavy.create_body(jd), nullptr);
}

// A mass no body has, down to the subnormal doubles that lose the Sun's
// pull, and a perihelion inside the Sun are refused, and said.
TEST(OrbitalElements, PhysicalBoundsAreRefusedWithTheirReason) {
    const double jd = 2451545.0;
    struct Case {
        const char* what;
        double a, e, mass;
        std::string reason;
    };
    const Case cases[] = {
        {"the smallest subnormal mass", 2.5, 0.1, 4.9e-324,
         "the mass 4.94066e-324 kg is below the least a body may have (1 kg)"},
        {"a subnormal mass", 2.5, 0.1, 1e-320,
         "the mass 9.99989e-321 kg is below the least a body may have (1 kg)"},
        {"the smallest normal mass", 2.5, 0.1, 2.2250738585072014e-308,
         "the mass 2.22507e-308 kg is below the least a body may have (1 kg)"},
        {"half a kilogram", 2.5, 0.1, 0.5,
         "the mass 0.5 kg is below the least a body may have (1 kg)"},
        {"no mass", 2.5, 0.1, 0, "the mass 0 kg is below the least a body may have (1 kg)"},
        {"NaN mass", 2.5, 0.1, NAN, "the mass is not a number"},
        {"infinite mass", 2.5, 0.1, INFINITY,
         "the mass inf kg is above the most a body may have (1e+32 kg)"},
        {"perihelion inside the Sun", 1.0, 0.996, 3e10,
         "the perihelion distance 0.004 AU lies inside the Sun (below 0.00465 AU)"},
        {"grazing the centre", 1000, 0.9999999, 3e10,
         "the perihelion distance 0.0001 AU lies inside the Sun (below 0.00465 AU)"},
        {"a kilogram", 2.5, 0.1, MIN_BODY_MASS, ""},
        {"just above the Sun", 1.0, 0.9953, 3e10, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (int kind = 0; kind < 2; ++kind) {
            std::unique_ptr<nbOrbitalElements> set;
            if (kind == 0)
                set = std::make_unique<nbOrbitalElementsAsteroid>("A", c.a, c.e, 5, 20, 30, jd, jd,
                                                                  12);
            else
                set = std::make_unique<nbOrbitalElementsComet>("C", c.a, c.e, 5, 20, 30, jd, jd);
            set->set_mass(c.mass);
            EXPECT_EQ(set->physical_bounds_problem(), c.reason);
            EXPECT_EQ(set->placeable_at(jd), c.reason.empty());
            EXPECT_EQ(set->create_body(jd) != nullptr, c.reason.empty());
            EXPECT_EQ(set->validate(), c.reason.empty());
        }
    }
}

// A catalogue line whose perihelion lies inside the Sun is no set; the
// reader learns why.
TEST(OrbitalElements, LinesWithAPerihelionInsideTheSunAreRefusedWithTheReason) {
    struct Case {
        const char* line;
        std::string bounds;
    } cases[] = {
        {"C/2000 S1 (Test)     |2000|20001208.5   |0.004000|0.999900|  1.0000|  2.0000|  3.0000",
         "the perihelion distance 0.004 AU lies inside the Sun (below 0.00465 AU)"},
        // Parabolic: kept on e = 0.99999 with the same q.
        {"C/2000 S2 (Test)     |2000|20001208.5   |0.000100|1.000000|  1.0000|  2.0000|  3.0000",
         "the perihelion distance 0.0001 AU lies inside the Sun (below 0.00465 AU)"},
        {"C/2011 W3 (Lovejoy)  |2000|20111216.0   |0.005550|0.999930| 53.5000|327.4000| 134.300",
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        nbOrbitalElementsComet comet;
        std::string bounds;
        EXPECT_EQ(comet.parse_line(c.line, &bounds), c.bounds.empty());
        EXPECT_EQ(bounds, c.bounds);
    }
    // An asteroid line: e 0.998 and a 2 AU put q at 0.004 AU.
    nbOrbitalElementsAsteroid asteroid;
    std::string bounds;
    EXPECT_FALSE(asteroid.parse_line(
        "Test                 |2000| 1| 1.0   |0.998000|  2.000000|  3.0000|  4.0000|  5.0000|2000|"
        "  6.0000",
        &bounds));
    EXPECT_EQ(bounds, "the perihelion distance 0.004 AU lies inside the Sun (below 0.00465 AU)");
}

TEST(OrbitalElements, KindsMakeTheirOwnBodies) {
    const double jd = 2451545.0;
    nbOrbitalElementsAsteroid asteroid("A", 2.5, 0.1, 5, 20, 30, jd, jd, 12);
    nbOrbitalElementsPlanetary planetary("P", 2.5, 0.1, 5, 20, 30, jd, jd, 12);
    nbOrbitalElementsComet comet("C", 2.5, 0.1, 5, 20, 30, jd, jd);
    planetary.set_mass(6e23);

    const auto a = asteroid.create_body(jd);
    const auto p = planetary.create_body(jd);
    const auto c = comet.create_body(jd);
    EXPECT_EQ(a->name(), "A");
    EXPECT_EQ(a->mass(), 3.0e10);
    EXPECT_EQ(a->display_radius(), 6371.0);
    EXPECT_EQ(a->graphics()->colour().red(), 255);
    EXPECT_EQ(a->graphics()->colour().green(), 0);
    EXPECT_EQ(a->graphics()->colour().blue(), 255);
    EXPECT_FALSE(a->graphics()->has_tail());

    EXPECT_EQ(p->graphics()->colour().green(), 170);
    EXPECT_EQ(p->graphics()->colour().blue(), 0);
    EXPECT_GT(p->display_radius(), 1e6); // derived from 6e23 kg
    EXPECT_EQ(p->mass(), 6e23);

    EXPECT_TRUE(c->graphics()->has_tail());
    EXPECT_EQ(c->graphics()->colour().green(), 255); // white
    // Same elements, same place.
    EXPECT_EQ(a->position().x, c->position().x);
    EXPECT_EQ(a->velocity().y, c->velocity().y);

    EXPECT_EQ(asteroid.type_code(), 2);
    EXPECT_EQ(planetary.type_code(), 3);
    EXPECT_EQ(comet.type_code(), 1);
    EXPECT_EQ(planetary.type_name(), "Planetary");
    EXPECT_EQ(planetary.mean_anomaly(), 12);
    EXPECT_EQ(comet.mean_anomaly(), 0.0);
    EXPECT_DOUBLE_EQ(asteroid.perihelion_distance(), 2.25);
    const auto copy = planetary.clone();
    EXPECT_EQ(copy->type_code(), 3);
    EXPECT_EQ(copy->mass(), 6e23);
}

} // namespace
