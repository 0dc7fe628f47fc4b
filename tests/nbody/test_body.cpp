#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "nbody/body.h"

namespace {

const double AU = 1.49598e11;

std::vector<vec3d> trail_of(const nbBody& b) {
    std::vector<vec3d> points;
    for (std::size_t i = 0; i < b.trail_size(); ++i)
        points.push_back(b.trail().oldest(i));
    return points;
}

TEST(Body, PullsAreEqualOppositeAndOfNewtonianMagnitude) {
    const double m1 = 5.9736e24, m2 = 7.3e22;
    nbBody a("A", m1, 1, vec3d(0, 0, 0), vec3d());
    nbBody b("B", m2, 1, vec3d(AU, 0, 0), vec3d());
    a.add_pull(b);
    b.add_pull(a);
    const double expected = 6.673e-11 * m1 * m2 / (AU * AU);
    EXPECT_NEAR(a.force().x, expected, expected * 1e-15);
    EXPECT_EQ(a.force().x, -b.force().x);
    EXPECT_EQ(a.force().y, 0);
    EXPECT_EQ(b.force().z, 0);
}

TEST(Body, PullOfABodyOnItselfIsIgnored) {
    nbBody a("A", 1e20, 1, vec3d(1, 2, 3), vec3d());
    a.add_pull(a);
    EXPECT_EQ(a.force().x, 0);
    EXPECT_EQ(a.force().y, 0);
    EXPECT_EQ(a.force().z, 0);
}

TEST(Body, AdvanceMovesByTheNewVelocityAndClearsTheForce) {
    // Two bodies pulling each other from rest: a semi-implicit step moves by
    // (F/m) dt^2; an explicit Euler step would not move them at all.
    const double m = 1e25, dt = 1000;
    nbBody a("A", m, 1, vec3d(0, 0, 0), vec3d(1, 0, 0));
    nbBody b("B", m, 1, vec3d(AU, 0, 0), vec3d());
    a.add_pull(b);
    const double f = a.force().x;
    a.advance(dt, 0);
    const double v = 1 + f / m * dt;
    EXPECT_DOUBLE_EQ(a.velocity().x, v);
    EXPECT_DOUBLE_EQ(a.position().x, v * dt);
    EXPECT_EQ(a.force().x, 0);
    EXPECT_EQ(a.force().y, 0);
    EXPECT_EQ(a.force().z, 0);
}

TEST(Body, DisplayRadiusIsStoredOrDerivedFromTheMass) {
    nbBody stored("Earth", 5.9736e24, 6371, vec3d(), vec3d());
    EXPECT_EQ(stored.display_radius(), 6371);
    nbBody derived("X", 5.9736e24, -1, vec3d(), vec3d());
    EXPECT_NEAR(derived.display_radius(), 1.373e7, 0.001e7);
    derived.set_radius(0);
    EXPECT_NEAR(derived.display_radius(), 1.373e7, 0.001e7);
    derived.set_radius(NAN);
    EXPECT_NEAR(derived.display_radius(), 1.373e7, 0.001e7);
}

TEST(Body, TrailRecordsFirstStepThenWaitsTwiceTheDistanceInDays) {
    // At 1 AU a point is recorded only when more than 2 days have passed.
    nbBody b("comet", 1e10, 1, vec3d(AU, 0, 0), vec3d());
    b.advance(1, 12345.0);
    EXPECT_EQ(b.trail_size(), 1u);
    b.advance(1, 12345.1);
    EXPECT_EQ(b.trail_size(), 1u);
    b.advance(1, 12347.0); // exactly 2 days: not strictly more
    EXPECT_EQ(b.trail_size(), 1u);
    b.advance(1, 12348.0);
    EXPECT_EQ(b.trail_size(), 2u);
    // Near the origin the interval is at least 0.2 days.
    nbBody near("near", 1e10, 1, vec3d(1e3, 0, 0), vec3d());
    near.advance(1, 0.0);
    near.advance(1, 0.15);
    near.advance(1, 0.21);
    EXPECT_EQ(near.trail_size(), 2u);
    EXPECT_EQ(trail_of(near).back().x, near.position().x);
}

struct CapacityCase {
    const char* name;
    std::size_t capacity;
};

class TrailCapacity : public testing::TestWithParam<CapacityCase> {};

TEST_P(TrailCapacity, KeepsTheNewestPointsUpToTheNamedCapacity) {
    // At the origin every step more than 10 days apart records a point.
    nbBody b(GetParam().name, 1e10, 1, vec3d(), vec3d(1, 0, 0));
    const std::size_t steps = 7400;
    for (std::size_t k = 0; k < steps; ++k)
        b.advance(1, 11.0 * k);
    ASSERT_EQ(b.trail_size(), GetParam().capacity);
    const std::vector<vec3d> trail = trail_of(b);
    EXPECT_DOUBLE_EQ(trail.back().x, double(steps));
    EXPECT_DOUBLE_EQ(trail.front().x, double(steps - GetParam().capacity + 1));
}

INSTANTIATE_TEST_SUITE_P(ByName, TrailCapacity,
                         testing::Values(CapacityCase{"Sun", 7300}, CapacityCase{"Mercury", 85},
                                         CapacityCase{"Venus", 140}, CapacityCase{"Earth", 170},
                                         CapacityCase{"Mars", 210}, CapacityCase{"Halley", 300},
                                         CapacityCase{"sun", 300}),
                         [](const testing::TestParamInfo<CapacityCase>& info) {
                             return std::string(info.param.name) + "_" +
                                    std::to_string(info.param.capacity);
                         });

TEST(Body, SunRecordsEveryTenDaysWhateverItsDistance) {
    nbBody sun("Sun", 2e30, 1, vec3d(), vec3d());
    sun.advance(1, 0.0);
    sun.advance(1, 9.9);
    sun.advance(1, 10.0);
    EXPECT_EQ(sun.trail_size(), 1u);
    sun.advance(1, 10.01);
    EXPECT_EQ(sun.trail_size(), 2u);
}

TEST(Body, StrideFollowsNameAndClosestApproach) {
    struct Case {
        const char* name;
        double distance_au;
        int stride;
    };
    const Case cases[] = {
        {"Sun", 0.0, 5},    {"Mercury", 0.4, 1}, {"Venus", 0.7, 2}, {"Earth", 1.0, 3},
        {"Earth", 40.0, 3}, {"Mars", 1.5, 4},    {"Mars", 5.0, 10}, {"comet", 0.05, 4},
        {"comet", 2.9, 4},  {"comet", 3.0, 10},
    };
    for (const Case& c : cases) {
        nbBody b(c.name, 1e10, 1, vec3d(c.distance_au * AU, 0, 0), vec3d());
        EXPECT_EQ(b.trail_stride(), 10) << c.name;
        b.advance(1, 0);
        EXPECT_EQ(b.trail_stride(), c.stride) << c.name << " at " << c.distance_au;
    }
    // Once within 3 AU, a body keeps the smaller stride after it recedes.
    nbBody comet("comet", 1e10, 1, vec3d(2 * AU, 0, 0), vec3d());
    comet.advance(1, 0);
    comet.position() = vec3d(30 * AU, 0, 0);
    comet.advance(1, 100);
    EXPECT_EQ(comet.trail_stride(), 4);
}

TEST(Body, SatelliteHasNoLabelAndNoDrawnTrail) {
    nbBodySatellite moon("Moon", 7.3e22, 1.7e6, vec3d(), vec3d());
    const nbBody& as_body = moon;
    EXPECT_EQ(as_body.display_name(), "");
    EXPECT_EQ(as_body.name(), "Moon");
    EXPECT_FALSE(as_body.shows_trail());
    nbBody plain("Earth", 1, 1, vec3d(), vec3d());
    EXPECT_EQ(plain.display_name(), "Earth");
    EXPECT_TRUE(plain.shows_trail());
}

TEST(Body, NewBodyIsWhiteWithoutTail) {
    nbBody b("X", 1, 1, vec3d(), vec3d());
    const nbColour& c = b.graphics()->colour();
    EXPECT_EQ(c.red(), 255);
    EXPECT_EQ(c.green(), 255);
    EXPECT_EQ(c.blue(), 255);
    EXPECT_FALSE(b.graphics()->has_tail());
}

TEST(DefaultGraphics, TableHoldsTheBuiltInColoursAndAddsWhiteForUnknownNames) {
    init_default_graphics();
    const nbColour& sun = default_graphics("Sun").colour();
    EXPECT_EQ(sun.red(), 255);
    EXPECT_EQ(sun.green(), 150);
    EXPECT_EQ(sun.blue(), 30);
    const nbColour& pluto = default_graphics("Pluto").colour();
    EXPECT_EQ(pluto.red(), 130);
    EXPECT_EQ(pluto.green(), 150);
    EXPECT_EQ(pluto.blue(), 190);

    // A name no other test gives a body, so that the entry is new here.
    const std::string name = "DefaultGraphics-test-object";
    nbGraphics& unknown = default_graphics(name);
    EXPECT_EQ(unknown.colour().red(), 255);
    EXPECT_EQ(unknown.colour().blue(), 255);
    EXPECT_FALSE(unknown.has_tail());
    unknown.set_has_tail(true);
    EXPECT_TRUE(default_graphics(name).has_tail()); // the same entry, now stored
    unknown.set_has_tail(false);                    // the table is the process's: leave it as found
}

} // namespace
