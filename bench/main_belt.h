// Plausible main-belt asteroids of the catalogue's mass at a date, the same
// ones for every benchmark that carries many light bodies.
#pragma once

#include <memory>
#include <random>
#include <string>

#include "nbody/elements.h"
#include "nbody/factory.h"
#include "nbody/near_index.h"
#include "nbody/system.h"

// n asteroids joined to the factory's system at its date, as the catalogue
// page joins the sets a user checked.
inline void add_main_belt(nbFactory& factory, int n) {
    const double jd = factory.system()->time();
    nbNearIndex placed(*factory.system());
    std::mt19937_64 rng(1801);
    std::uniform_real_distribution<double> a(2.1, 3.3), e(0, 0.3), i(0, 25), angle(0, 360);
    for (int k = 0; k < n; ++k) {
        const std::string name = "(" + std::to_string(k + 1) + ") Bench";
        nbOrbitalElementsAsteroid set(name, a(rng), e(rng), i(rng), angle(rng), angle(rng), 0, jd,
                                      angle(rng));
        factory.join(set, &placed);
    }
}

// The solar system at jd with n main-belt asteroids, in a system of the
// caller's own that outlives the factory which built it; plain bodies of a
// metre, in their colours, with the momentum zeroed.
inline std::unique_ptr<nbSystem> main_belt_system(double jd, int n) {
    nbFactory factory;
    factory.create_solar_system(jd);
    add_main_belt(factory, n);
    auto own = std::make_unique<nbSystem>(jd);
    for (const auto& [name, b] : *factory.system()) {
        auto copy = std::make_unique<nbBody>(name, b->mass(), 1, b->position(), b->velocity());
        copy->graphics()->set_colour(b->graphics()->colour());
        own->add(name, std::move(copy));
    }
    own->zero_momentum();
    return own;
}
