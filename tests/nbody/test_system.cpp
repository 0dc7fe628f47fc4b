#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "common/all_pairs_step.h"
#include "nbody/factory.h"
#include "nbody/force_pass.h"
#include "nbody/system.h"

namespace {

const double AU = 1.49598e11;

// A small system in a jumble of scales: the Sun, two planets, a satellite
// and a comet.
struct Seed {
    const char* name;
    double mass;
    vec3d p, v;
};
const Seed SEEDS[] = {
    {"Sun", 1.9891e30, vec3d(1e6, -2e6, 3e5), vec3d(1, 2, 0)},
    {"Earth", 5.9736e24, vec3d(AU, 1e9, 0), vec3d(0, 2.98e4, 10)},
    {"Jupiter", 1.9e27, vec3d(-5.2 * AU, 0.3 * AU, 1e10), vec3d(300, -1.3e4, 5)},
    {"Moon", 7.3e22, vec3d(AU + 3.8e8, 1e9, 1e7), vec3d(1e3, 2.98e4, 0)},
    {"comet", 3e10, vec3d(0.7 * AU, -2 * AU, 0.4 * AU), vec3d(-2e4, 1e4, 3e3)},
};

std::unique_ptr<nbBody> body(const std::string& name, double mass, vec3d p, vec3d v = vec3d()) {
    return std::make_unique<nbBody>(name, mass, 1.0, p, v);
}

std::vector<std::string> names(const nbSystem& s) {
    std::vector<std::string> out;
    for (const auto& entry : s)
        out.push_back(entry.first);
    return out;
}

TEST(System, EmptyStepOnlyAdvancesTheClock) {
    nbSystem s(2451545.0);
    s.step(43200);
    EXPECT_DOUBLE_EQ(s.time(), 2451545.5);
    EXPECT_EQ(s.size(), 0u);
}

TEST(System, SingleBodyMovesInAStraightLine) {
    nbSystem s(0);
    ASSERT_TRUE(s.add("probe", body("probe", 1e3, vec3d(1, 2, 3), vec3d(10, -20, 5))));
    for (int k = 0; k < 4; ++k)
        s.step(100);
    const nbBody* p = s.find("probe");
    EXPECT_DOUBLE_EQ(p->position().x, 4001);
    EXPECT_DOUBLE_EQ(p->position().y, -7998);
    EXPECT_DOUBLE_EQ(p->position().z, 2003);
    EXPECT_DOUBLE_EQ(s.time(), 400.0 / 86400);
}

TEST(System, TwoEqualMassesFallTogetherSymmetrically) {
    const double m = 1e27, dt = 3600;
    nbSystem s(0);
    s.add("a", body("a", m, vec3d(-AU / 2, 0, 0)));
    s.add("b", body("b", m, vec3d(AU / 2, 0, 0)));
    s.step(dt);
    const double f = 6.673e-11 * m * m / (AU * AU);
    const nbBody* a = s.find("a");
    const nbBody* b = s.find("b");
    EXPECT_NEAR(a->position().x, -AU / 2 + f / m * dt * dt, 1e-3);
    EXPECT_NEAR(b->position().x, AU / 2 - f / m * dt * dt, 1e-3);
    EXPECT_EQ(a->velocity().x, -b->velocity().x);
    const double va = a->velocity().x;
    s.zero_momentum();
    EXPECT_EQ(a->velocity().x, va);
    EXPECT_EQ(b->velocity().x, -va);
}

TEST(System, ZeroMomentumSubtractsTheMassWeightedMeanVelocity) {
    nbSystem s(0);
    s.add("heavy", body("heavy", 3, vec3d(0, 0, 0), vec3d(1, 0, 0)));
    s.add("light", body("light", 1, vec3d(1, 0, 0), vec3d(-1, 0, 0)));
    s.zero_momentum();
    EXPECT_DOUBLE_EQ(s.find("heavy")->velocity().x, 0.5);
    EXPECT_DOUBLE_EQ(s.find("light")->velocity().x, -1.5);
    EXPECT_DOUBLE_EQ(s.find("light")->velocity().y, 0.0);
    nbSystem empty(0);
    empty.zero_momentum(); // nothing to correct, nothing to crash on
}

TEST(System, AddRefusesNullEmptyNameAndTakenNameLeavingTheBodyWithTheCaller) {
    nbSystem s(0);
    EXPECT_FALSE(s.add("x", nullptr));
    auto nameless = body("", 1, vec3d());
    EXPECT_FALSE(s.add("", std::move(nameless)));
    EXPECT_NE(nameless, nullptr);

    auto first = body("Ceres", 1, vec3d(1, 0, 0));
    nbBody* first_raw = first.get();
    EXPECT_TRUE(s.add("Ceres", std::move(first)));
    EXPECT_EQ(first, nullptr);
    auto second = body("Ceres", 2, vec3d(2, 0, 0));
    EXPECT_FALSE(s.add("Ceres", std::move(second)));
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->mass(), 2);
    EXPECT_EQ(s.find("Ceres"), first_raw);
    EXPECT_EQ(s.size(), 1u);
}

TEST(System, RemoveDeletesKnownNamesOnly) {
    nbSystem s(0);
    s.add("a", body("a", 1, vec3d()));
    s.add("b", body("b", 1, vec3d(1, 0, 0)));
    EXPECT_FALSE(s.remove("c"));
    EXPECT_EQ(names(s), (std::vector<std::string>{"a", "b"}));
    EXPECT_TRUE(s.remove("a"));
    EXPECT_EQ(s.find("a"), nullptr);
    EXPECT_EQ(names(s), (std::vector<std::string>{"b"}));
    // The step must not touch the removed body.
    s.step(10);
    EXPECT_DOUBLE_EQ(s.find("b")->position().x, 1);
}

TEST(System, IterationIsByteWiseNameOrder) {
    nbSystem s(0);
    const char* built_in[] = {"Sun",    "Mercury", "Venus",   "Earth", "Moon",  "Mars",   "Jupiter",
                              "Saturn", "Uranus",  "Neptune", "Pluto", "ceres", "1_Ceres"};
    double x = 1;
    for (const char* n : built_in)
        s.add(n, body(n, 1, vec3d(x++, 0, 0)));
    EXPECT_EQ(names(s), (std::vector<std::string>{"1_Ceres", "Earth", "Jupiter", "Mars", "Mercury",
                                                  "Moon", "Neptune", "Pluto", "Saturn", "Sun",
                                                  "Uranus", "Venus", "ceres"}));
}

TEST(System, ResultDependsOnNamesNotOnInsertionOrder) {
    // Floating-point sums depend on their order; the step must always sum
    // in name order, however the bodies arrived.
    std::vector<int> order = {0, 1, 2, 3, 4};
    std::vector<std::vector<double>> results;
    do {
        nbSystem s(2451545.0);
        for (int k : order)
            s.add(SEEDS[k].name, body(SEEDS[k].name, SEEDS[k].mass, SEEDS[k].p, SEEDS[k].v));
        for (int k = 0; k < 50; ++k)
            s.step(0.26 * 86400);
        std::vector<double> state;
        for (const auto& entry : s) {
            const nbBody& b = *entry.second;
            for (double c : {b.position().x, b.position().y, b.position().z, b.velocity().x,
                             b.velocity().y, b.velocity().z})
                state.push_back(c);
        }
        results.push_back(state);
    } while (std::next_permutation(order.begin(), order.end()));
    for (const auto& r : results)
        ASSERT_EQ(r, results.front()); // bit for bit
}

TEST(System, ForcesComeFromPositionsAtTheStartOfTheStep) {
    // If "a" moved before "b" felt its pull, b's velocity would differ from
    // the mirror image of a's.
    const double m = 1e28;
    nbSystem s(0);
    s.add("a", body("a", m, vec3d(-1e10, 0, 0), vec3d(0, 3e4, 0)));
    s.add("b", body("b", m, vec3d(1e10, 0, 0), vec3d(0, -3e4, 0)));
    s.step(86400);
    const nbBody* a = s.find("a");
    const nbBody* b = s.find("b");
    EXPECT_EQ(a->velocity().x, -b->velocity().x);
    EXPECT_EQ(a->velocity().y, -b->velocity().y);
    EXPECT_EQ(a->position().x, -b->position().x);
}

} // namespace

namespace {

TEST(System, HeavyBodiesStepAsPairwisePullsAndTheCometIsPulledOnly) {
    // The reference is the textbook form of the step on separate bodies:
    // every heavy body pulls every other body, the comet pulls nothing.
    const double dt = 0.26 * 86400;
    nbSystem s(0);
    std::vector<std::unique_ptr<nbBody>> reference; // in name order
    for (const Seed& seed : SEEDS)
        s.add(seed.name, body(seed.name, seed.mass, seed.p, seed.v));
    for (const auto& entry : s)
        reference.push_back(body(entry.first, entry.second->mass(), entry.second->position(),
                                 entry.second->velocity()));
    EXPECT_EQ(s.heavy_count(), 4u);
    double time = 0;
    for (int k = 0; k < 20; ++k) {
        s.step(dt);
        for (auto& a : reference)
            for (auto& b : reference)
                if (!nbBody::is_test_particle_mass(b->mass()))
                    a->add_pull(*b);
        for (auto& a : reference)
            a->advance(dt, time);
        time += dt / 86400;
    }
    auto it = s.begin();
    for (const auto& r : reference) {
        const nbBody& b = *(it++)->second;
        if (nbBody::is_test_particle_mass(b.mass())) {
            // The same law written as an acceleration: equal to rounding.
            EXPECT_NEAR(b.position().x, r->position().x, 1e-12 * AU) << r->name();
            EXPECT_NEAR(b.velocity().y, r->velocity().y, 1e-9) << r->name();
            EXPECT_NE(b.velocity().x, SEEDS[4].v.x) << "the comet is pulled";
        } else {
            EXPECT_EQ(b.position().x, r->position().x) << r->name();
            EXPECT_EQ(b.position().y, r->position().y) << r->name();
            EXPECT_EQ(b.position().z, r->position().z) << r->name();
            EXPECT_EQ(b.velocity().x, r->velocity().x) << r->name();
            EXPECT_EQ(b.velocity().z, r->velocity().z) << r->name();
        }
        EXPECT_EQ(b.trail_size(), r->trail_size()) << r->name();
    }
}

TEST(System, CoincidentBodiesGiveNonFiniteValuesButNoCrash) {
    nbSystem s(0);
    s.add("a", body("a", 1e20, vec3d(1, 1, 1)));
    s.add("b", body("b", 1e20, vec3d(1, 1, 1)));
    s.step(10);
    s.step(10);
    EXPECT_FALSE(std::isfinite(s.find("a")->position().x));
}

} // namespace

namespace {

// Runs a test body on each force path the machine has, then restores the
// path the process had.
template <class F> void on_every_path(F body) {
    const ForcePath before = force_path();
    for (ForcePath path : available_force_paths()) {
        ASSERT_TRUE(use_force_path(path));
        body(path);
    }
    use_force_path(before);
}

TEST(ForcePass, GivesTheBitsOfAddPullForEveryCountOfBodiesOnEveryPath) {
    // Bodies go 8, 4 or 2 at a time where the processor allows: every count
    // up to past two blocks of the widest, and each body's own place, must
    // sum alike.
    std::mt19937_64 rng(7);
    std::uniform_real_distribution<double> coordinate(-30 * AU, 30 * AU), log_mass(10, 30);
    EXPECT_FALSE(use_force_path(static_cast<ForcePath>(99))) << "an unknown path is refused";
    for (std::size_t n = 1; n <= 19; ++n) {
        std::vector<std::unique_ptr<nbBody>> bodies;
        std::vector<double> px, py, pz, m;
        for (std::size_t k = 0; k < n; ++k) {
            bodies.push_back(body("b", std::pow(10.0, log_mass(rng)),
                                  vec3d(coordinate(rng), coordinate(rng), coordinate(rng))));
            px.push_back(bodies.back()->position().x);
            py.push_back(bodies.back()->position().y);
            pz.push_back(bodies.back()->position().z);
            m.push_back(bodies.back()->mass());
        }
        for (std::size_t a = 0; a < n; ++a)
            for (const auto& b : bodies)
                bodies[a]->add_pull(*b);
        on_every_path([&](ForcePath path) {
            std::vector<double> fx(n), fy(n), fz(n);
            accumulate_forces(px.data(), py.data(), pz.data(), m.data(), n, fx.data(), fy.data(),
                              fz.data());
            for (std::size_t a = 0; a < n; ++a) {
                EXPECT_EQ(fx[a], bodies[a]->force().x)
                    << force_path_name(path) << ", " << n << " bodies, body " << a;
                EXPECT_EQ(fy[a], bodies[a]->force().y) << force_path_name(path) << ", " << n;
                EXPECT_EQ(fz[a], bodies[a]->force().z) << force_path_name(path) << ", " << n;
            }
        });
    }
}

// The solar system and 200 random heavy bodies over a few hundred steps:
// the flat pass on each path against the plain add_pull/advance step.
TEST(ForcePass, StepsTheSolarSystemAndRandomBodiesBitForBitOnEveryPath) {
    auto build = [] {
        init_default_graphics();
        // The factory's system goes with the factory: its bodies are copied.
        nbFactory factory;
        const nbSystem* solar = factory.create_solar_system(2451545.0);
        auto own = std::make_unique<nbSystem>(solar->time());
        for (const auto& entry : *solar)
            own->add(entry.first,
                     std::make_unique<nbBody>(entry.first, entry.second->mass(), 1,
                                              entry.second->position(), entry.second->velocity()));
        std::mt19937_64 rng(2026);
        std::uniform_real_distribution<double> r(0.3, 40), angle(0, 6.2831853), z(-0.2, 0.2),
            log_mass(20, 26);
        for (int k = 0; k < 200; ++k) {
            const double d = r(rng) * AU, a = angle(rng), speed = std::sqrt(1.327e20 / d);
            own->add("random " + std::to_string(k),
                     std::make_unique<nbBody>("random", std::pow(10.0, log_mass(rng)), 1,
                                              vec3d(d * std::cos(a), d * std::sin(a), z(rng) * d),
                                              vec3d(-speed * std::sin(a), speed * std::cos(a), 0)));
        }
        return own;
    };
    const std::unique_ptr<nbSystem> reference = build();
    double reference_jd = reference->time();
    for (int k = 0; k < 300; ++k)
        step_all_pairs(*reference, 0.26 * SECONDS_PER_DAY, reference_jd);
    on_every_path([&](ForcePath path) {
        const std::unique_ptr<nbSystem> stepped = build();
        for (int k = 0; k < 300; ++k)
            stepped->step(0.26 * SECONDS_PER_DAY);
        EXPECT_EQ(stepped->time(), reference_jd);
        std::size_t differing = 0;
        for (const auto& entry : *reference) {
            const nbBody* b = stepped->find(entry.first);
            const vec3d &p = entry.second->position(), &v = entry.second->velocity();
            differing += b->position().x != p.x || b->position().y != p.y ||
                         b->position().z != p.z || b->velocity().x != v.x ||
                         b->velocity().y != v.y || b->velocity().z != v.z;
        }
        EXPECT_EQ(differing, 0u) << force_path_name(path);
    });
}

TEST(System, FirstNonFiniteBodyNamesTheFirstInNameOrderAndAfterTheStepThatSpoilsIt) {
    nbSystem s(2451545.0);
    EXPECT_EQ(first_non_finite_body(s), "");
    for (const Seed& seed : SEEDS)
        s.add(seed.name, body(seed.name, seed.mass, seed.p, seed.v));
    EXPECT_EQ(first_non_finite_body(s), "");
    s.find("comet")->velocity().z = INFINITY;
    EXPECT_EQ(first_non_finite_body(s), "comet");
    s.find("Sun")->position().y = NAN;
    EXPECT_EQ(first_non_finite_body(s), "Sun");
    s.find("Earth")->velocity().x = -INFINITY;
    EXPECT_EQ(first_non_finite_body(s), "Earth");

    // Two heavy bodies on one point: the pull is 0 / 0 and the step spoils
    // both. Two test particles there pull nothing and stay finite.
    nbSystem twins(2451545.0);
    twins.add("B", body("B", 3e22, vec3d(AU, 0, 0), vec3d(0, 3e4, 0)));
    twins.add("A", body("A", 3e22, vec3d(AU, 0, 0), vec3d(0, 3e4, 0)));
    twins.add("Sun", body("Sun", 1.9891e30, vec3d()));
    twins.add("b", body("b", 3e10, vec3d(2 * AU, 0, 0), vec3d(0, 2e4, 0)));
    twins.add("a", body("a", 3e10, vec3d(2 * AU, 0, 0), vec3d(0, 2e4, 0)));
    EXPECT_EQ(first_non_finite_body(twins), "");
    // The step that spoils them names the first at once.
    EXPECT_EQ(step_and_check(twins, 22464), "A");
    EXPECT_DOUBLE_EQ(twins.time(), 2451545.0 + 0.26);

    nbSystem light_twins(2451545.0);
    light_twins.add("Sun", body("Sun", 1.9891e30, vec3d()));
    light_twins.add("b", body("b", 3e10, vec3d(2 * AU, 0, 0), vec3d(0, 2e4, 0)));
    light_twins.add("a", body("a", 3e10, vec3d(2 * AU, 0, 0), vec3d(0, 2e4, 0)));
    EXPECT_EQ(step_and_check(light_twins, 22464), "");
    EXPECT_DOUBLE_EQ(light_twins.time(), 2451545.0 + 0.26);
}

} // namespace
