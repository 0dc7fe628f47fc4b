// Plausible main-belt asteroids of the catalogue's mass at a date, the same
// ones for every benchmark that carries many light bodies.
#pragma once

#include <random>
#include <string>

#include "nbody/elements.h"
#include "nbody/factory.h"
#include "nbody/system.h"

inline void add_main_belt(const nbFactory& factory, nbSystem& system, int n, double jd) {
    std::mt19937_64 rng(1801);
    std::uniform_real_distribution<double> a(2.1, 3.3), e(0, 0.3), i(0, 25), angle(0, 360);
    for (int k = 0; k < n; ++k) {
        const std::string name = "(" + std::to_string(k + 1) + ") Bench";
        nbOrbitalElementsAsteroid set(name, a(rng), e(rng), i(rng), angle(rng), angle(rng), 0, jd,
                                      angle(rng));
        if (auto body = factory.create_body(set, jd))
            system.add(name, std::move(body));
    }
}
