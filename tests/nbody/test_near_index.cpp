#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "nbody/near_index.h"
#include "nbody/system.h"

namespace {

TEST(NearIndex, FindsWhatLiesWithinTheDistanceAcrossCellBordersOnly) {
    nbNearIndex index;
    index.insert("A", vec3d(1.5e11, -2.25e11, 3.0e9));
    index.insert("Border", vec3d(999.9999, 0, 0)); // one cell below 1000
    const struct {
        vec3d p;
        const char* found;
    } cases[] = {
        {vec3d(1.5e11, -2.25e11, 3.0e9), "A"},
        {vec3d(1.5e11 + 0.6, -2.25e11 - 0.6, 3.0e9 + 0.5), "A"}, // 0.98 m
        {vec3d(1.5e11 + 0.8, -2.25e11 - 0.8, 3.0e9), ""},        // 1.13 m
        {vec3d(1.5e11 + 2, -2.25e11, 3.0e9), ""},
        {vec3d(1000.0001, 0, 0), "Border"},
        {vec3d(1001.1, 0, 0), ""},
        {vec3d(std::nan(""), 0, 0), ""},
        {vec3d(HUGE_VAL, 0, 0), ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(index.find(c.p), c.found) << c.p.x << " " << c.p.y << " " << c.p.z;

    index.insert("Lost", vec3d(std::nan(""), 0, 0));
    EXPECT_EQ(index.find(vec3d(0, 0, 0)), "") << "a non-finite point is not indexed";
    // Far beyond any orbit, and still exact.
    index.insert("Far", vec3d(-4e20, 4e20, 1e19));
    EXPECT_EQ(index.find(vec3d(-4e20, 4e20, 1e19)), "Far");
}

// The index tells what the plain search over the system tells, on a crowd
// with near twins in it.
TEST(NearIndex, AgreesWithThePlainSearchOverASystem) {
    nbSystem system(2451545.0);
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> au(-5 * 1.496e11, 5 * 1.496e11);
    std::uniform_real_distribution<double> metres(-1.2, 1.2);
    std::vector<vec3d> probes;
    for (int k = 0; k < 2000; ++k) {
        const vec3d p(au(random), au(random), au(random) / 10);
        system.add("B" + std::to_string(k), std::make_unique<nbBody>("B", 1e10, 1, p, vec3d()));
        probes.push_back(p + vec3d(metres(random), metres(random), metres(random)));
        probes.push_back(vec3d(au(random), au(random), 0));
    }
    const nbNearIndex index(system);
    int near = 0;
    for (const vec3d& p : probes) {
        const std::string plain = body_within(system, p);
        const std::string indexed = index.find(p);
        EXPECT_EQ(indexed.empty(), plain.empty());
        if (!indexed.empty()) {
            EXPECT_LE(system.find(indexed)->position().distance(p), 1.0);
        }
        near += !plain.empty();
    }
    EXPECT_GT(near, 100) << "the crowd holds too few near points to tell anything";
}

} // namespace
