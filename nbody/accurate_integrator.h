// The high-accuracy mode's step: every body carried over the tick by an
// adaptive Bulirsch-Stoer integrator (Boost.Odeint) in as many sub-steps as
// its tolerance asks for. Bodies too light to pull anything measurably move
// as test particles in the field of the others.
#pragma once

#include <memory>
#include <vector>

class nbBody;

class nbAccurateIntegrator {
public:
    // Bodies lighter than this, kg, pull nothing: at 0.1 AU for a whole year
    // such a body would move a planet by some 15 km, a hundredth of an
    // arcsecond as seen from the Sun, far below what the theories that
    // place the planets can tell. The catalogue's comets and asteroids
    // (3e10 kg) are all such test particles; the Moon and Pluto are not.
    static constexpr double TEST_PARTICLE_MASS = 1e20;
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
