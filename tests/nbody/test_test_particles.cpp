// Light bodies as test particles: what the step gains must cost no
// position anyone can see, and the heavy bodies must not notice them.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "common/temp_dir.h"
#include "nbody/elements.h"
#include "nbody/factory.h"
#include "nbody/force_pass.h"
#include "nbody/system.h"
#include "nbody/worker_pair.h"

namespace {

const double AU = ASTRONOMICAL_UNIT;
const double JD = 2451545.0;
const std::string CRITICAL = std::string(ZENORB_TEST_DATA) + "/mpc/Soft06CritList-2014-05-23.txt";

// The factory's solar system copied into a system of the test's own, with
// `asteroids` light bodies: the real critical list first, then main-belt
// asteroids drawn at random.
std::unique_ptr<nbSystem> solar_system_with(int asteroids) {
    init_default_graphics();
    nbFactory factory;
    const nbSystem* solar = factory.create_solar_system(JD);
    auto own = std::make_unique<nbSystem>(JD);
    for (const auto& [name, b] : *solar)
        own->add(name, std::make_unique<nbBody>(name, b->mass(), 1, b->position(), b->velocity()));
    TempDir dir;
    dir.copy_from(CRITICAL, nbFactory::CRITICAL_FILE);
    factory.load_catalogues(dir.path(), false);
    int added = 0;
    for (auto it = factory.catalogue_begin(); it != factory.catalogue_end() && added < asteroids;
         ++it)
        if (auto b = factory.create_body(**it, JD))
            added += own->add((*it)->name(), std::move(b));
    std::mt19937_64 rng(1801);
    std::uniform_real_distribution<double> a(2.1, 3.3), e(0, 0.3), i(0, 25), angle(0, 360);
    for (int k = 0; added < asteroids; ++k) {
        const std::string name = "(" + std::to_string(k + 1) + ") Test";
        nbOrbitalElementsAsteroid set(name, a(rng), e(rng), i(rng), angle(rng), angle(rng), 0, JD,
                                      angle(rng));
        if (auto b = factory.create_body(set, JD))
            added += own->add(name, std::move(b));
    }
    return own;
}

// The all-pairs step, every body pulling every other (the flat pass is
// checked against add_pull bit for bit elsewhere).
void step_all_pairs(nbSystem& s, double dt) {
    std::vector<nbBody*> bodies;
    std::vector<double> px, py, pz, m;
    for (const auto& [name, b] : s) {
        bodies.push_back(b.get());
        px.push_back(b->position().x);
        py.push_back(b->position().y);
        pz.push_back(b->position().z);
        m.push_back(b->mass());
    }
    const std::size_t n = bodies.size();
    std::vector<double> fx(n), fy(n), fz(n);
    accumulate_forces(px.data(), py.data(), pz.data(), m.data(), n, fx.data(), fy.data(),
                      fz.data());
    for (std::size_t k = 0; k < n; ++k) {
        bodies[k]->add_force(vec3d(fx[k], fy[k], fz[k]));
        bodies[k]->advance(dt, s.time());
    }
}

bool same_state(const nbBody& a, const nbBody& b) {
    return a.position().x == b.position().x && a.position().y == b.position().y &&
           a.position().z == b.position().z && a.velocity().x == b.velocity().x &&
           a.velocity().y == b.velocity().y && a.velocity().z == b.velocity().z;
}

TEST(TestParticles, TenYearsOfAThousandAsteroidsAgreeWithTheAllPairsRun) {
    const auto particles = solar_system_with(1000);
    const auto all_pairs = solar_system_with(1000);
    ASSERT_EQ(particles->size(), 1011u);
    EXPECT_EQ(particles->heavy_count(), 11u);
    // Ten years in steps of two days: the all-pairs side is a million pairs
    // a step.
    const double dt = 2 * SECONDS_PER_DAY;
    for (int k = 0; k < 1826; ++k) {
        // The trails are not compared, so the all-pairs clock may stand.
        step_all_pairs(*all_pairs, dt);
        particles->step(dt);
    }
    double worst = 0;
    std::string worst_name;
    for (const auto& [name, b] : *particles) {
        const double d = b->position().distance(all_pairs->find(name)->position()) / AU;
        if (!(d <= worst)) {
            worst = d;
            worst_name = name;
        }
    }
    EXPECT_LT(worst, 1e-9) << worst_name;
    char text[32];
    std::snprintf(text, sizeof text, "%.3g", worst);
    RecordProperty("largest_difference_au", text);
}

TEST(TestParticles, HeavyBodiesDoNotDependOnHowManyParticlesThereAre) {
    std::vector<std::unique_ptr<nbSystem>> systems;
    for (int n : {0, 1, 7, 500})
        systems.push_back(solar_system_with(n));
    for (int k = 0; k < 400; ++k)
        for (auto& s : systems)
            s->step(DEFAULT_STEP_DAYS * SECONDS_PER_DAY);
    for (const auto& [name, b] : *systems.front())
        for (std::size_t s = 1; s < systems.size(); ++s)
            EXPECT_TRUE(same_state(*b, *systems[s]->find(name))) << name << " in system " << s;
}

TEST(TestParticles, TwoThreadsGiveTheBitsOfOne) {
    if (!nbWorkerPair::worthwhile())
        GTEST_SKIP() << "one core: the step never splits";
    const auto parallel = solar_system_with(5000);
    const auto serial = solar_system_with(5000);
    serial->set_parallel(false);
    ASSERT_TRUE(parallel->steps_in_parallel());
    ASSERT_FALSE(serial->steps_in_parallel());
    for (int k = 0; k < 300; ++k) {
        parallel->step(DEFAULT_STEP_DAYS * SECONDS_PER_DAY);
        serial->step(DEFAULT_STEP_DAYS * SECONDS_PER_DAY);
    }
    std::size_t differing = 0;
    for (const auto& [name, b] : *serial) {
        const nbBody& p = *parallel->find(name);
        differing += !same_state(*b, p) || b->trail_size() != p.trail_size();
    }
    EXPECT_EQ(differing, 0u);
}

TEST(TestParticles, AMassAtTheLimitPullsAndOneBelowItDoesNot) {
    for (double mass : {nbBody::TEST_PARTICLE_MASS, nbBody::TEST_PARTICLE_MASS * 0.999}) {
        nbSystem s(JD);
        s.add("Sun", std::make_unique<nbBody>("Sun", 1.9891e30, 1, vec3d(), vec3d()));
        s.add("x", std::make_unique<nbBody>("x", mass, 1, vec3d(AU, 0, 0), vec3d(0, 3e4, 0)));
        s.step(SECONDS_PER_DAY);
        const bool pulls = s.find("Sun")->velocity().x != 0;
        EXPECT_EQ(pulls, !nbBody::is_test_particle_mass(mass)) << mass;
        EXPECT_EQ(s.heavy_count(), pulls ? 2u : 1u);
    }
}

// The particle kernels on every path against the scalar law, for every
// count of particles up to past two blocks of the widest vectors.
TEST(TestParticles, PullsGiveTheSameBitsOnEveryPath) {
    std::mt19937_64 rng(11);
    std::uniform_real_distribution<double> coordinate(-30 * AU, 30 * AU), log_mass(20, 30);
    const ForcePath before = force_path();
    for (std::size_t heavy : {1u, 3u, 11u})
        for (std::size_t light = 0; light <= 19; ++light) {
            const std::size_t n = heavy + light;
            std::vector<double> px(n), py(n), pz(n), m(n);
            for (std::size_t k = 0; k < n; ++k) {
                px[k] = coordinate(rng), py[k] = coordinate(rng), pz[k] = coordinate(rng);
                m[k] = k < heavy ? std::pow(10.0, log_mass(rng)) : 3e10;
            }
            const ForceArrays s{px.data(), py.data(), pz.data(), m.data(), n, heavy};
            std::vector<double> rx(n), ry(n), rz(n);
            accumulate_pulls(ForcePath::Scalar, s, heavy, n, rx.data(), ry.data(), rz.data());
            for (std::size_t k = heavy; k < n; ++k) {
                // The law itself: towards the sources, of the right size.
                double ax = 0;
                for (std::size_t b = 0; b < heavy; ++b) {
                    const double d = std::hypot(px[b] - px[k], py[b] - py[k], pz[b] - pz[k]);
                    ax += GRAVITATIONAL_CONSTANT * m[b] * (px[b] - px[k]) / (d * d * d);
                }
                EXPECT_NEAR(rx[k], ax, 1e-12 * std::abs(ax) + 1e-300);
            }
            for (ForcePath path : available_force_paths()) {
                std::vector<double> ax(n), ay(n), az(n);
                accumulate_pulls(path, s, heavy, n, ax.data(), ay.data(), az.data());
                for (std::size_t k = heavy; k < n; ++k) {
                    EXPECT_EQ(ax[k], rx[k]) << force_path_name(path) << " particle " << k;
                    EXPECT_EQ(ay[k], ry[k]) << force_path_name(path) << " particle " << k;
                    EXPECT_EQ(az[k], rz[k]) << force_path_name(path) << " particle " << k;
                }
            }
        }
    use_force_path(before);
}

} // namespace
