// The high-accuracy mode's step: every body carried over the tick by an
// adaptive Bulirsch-Stoer integrator (Boost.Odeint) in as many sub-steps as
// its tolerance asks for. Bodies too light to pull anything measurably move
// as test particles in the field of the others.
#pragma once

#include <memory>
#include <vector>

#include "nbody/body.h"

class nbAccurateIntegrator {
public:
    // Bodies lighter than this pull nothing (see nbBody).
    static constexpr double TEST_PARTICLE_MASS = nbBody::TEST_PARTICLE_MASS;
    // The error allowed per sub-step, relative to each coordinate and to
    // its change over the sub-step.
    static constexpr double RELATIVE_TOLERANCE = 1e-13;
    // Sub-steps tried within one tick before the rest of it is crossed in
    // fixed steps: a body grazing another must not hold the program.
    static constexpr long MAX_SUBSTEPS = 1000;

    nbAccurateIntegrator();
    ~nbAccurateIntegrator();
    nbAccurateIntegrator(const nbAccurateIntegrator&) = delete;
    nbAccurateIntegrator& operator=(const nbAccurateIntegrator&) = delete;

    // Carries the bodies (in the system's name order) dt seconds on from
    // `time` (JD, start of the tick), records their trails at `time` as the
    // plain step does and clears their forces. Where a pull is not finite
    // (two bodies on one point) the bodies concerned are left non-finite
    // and the others where they had got to.
    void step(const std::vector<nbBody*>& bodies, double dt, double time);

    // Counts since construction, for tests and benchmarks.
    long substeps() const;
    long evaluations() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};
