// The set of bodies under mutual Newtonian gravity and the simulation clock.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "nbody/body.h"

class nbAccurateIntegrator;

// The time step a simulation starts with, and the range users may choose
// from, in days.
constexpr double DEFAULT_STEP_DAYS = 0.26;
constexpr double MIN_STEP_DAYS = 0.001;
constexpr double MAX_STEP_DAYS = 30;

class nbSystem {
public:
    using BodyMap = std::map<std::string, std::unique_ptr<nbBody>>;

    // How step carries the bodies over a tick: one semi-implicit Euler step
    // (the program's own method), or the high-accuracy mode's adaptive
    // integrator with sub-steps inside the tick.
    enum class Integrator { SemiImplicitEuler, HighAccuracy };

    explicit nbSystem(double jd);
    virtual ~nbSystem();
    nbSystem(const nbSystem&) = delete;
    nbSystem& operator=(const nbSystem&) = delete;

    // Simulation time, a Julian date.
    double time() const { return time_; }

    nbBody* find(const std::string& name) const;

    // Stores the body under `name` and takes it from `body`. A null body, an
    // empty name or a taken name store nothing, return false and leave the
    // body with the caller.
    bool add(const std::string& name, std::unique_ptr<nbBody>&& body);
    bool remove(const std::string& name);
    std::size_t size() const { return bodies_.size(); }

    // Iteration by name in ascending byte order.
    BodyMap::const_iterator begin() const { return bodies_.begin(); }
    BodyMap::const_iterator end() const { return bodies_.end(); }

    Integrator integrator() const { return integrator_; }
    void set_integrator(Integrator integrator);
    // The high-accuracy mode's integrator, null in the other mode.
    const nbAccurateIntegrator* accurate_integrator() const { return accurate_.get(); }

    // One step of dt seconds with the system's integrator. Semi-implicit
    // Euler: all forces from the positions at the start of the step, then
    // each body's update in name order, then the clock.
    void step(double dt);
    // The semi-implicit Euler step written plainly, add_pull for every
    // ordered pair then each body's advance: what step must match bit for
    // bit outside the high-accuracy mode.
    void step_straightforward(double dt);

    // Shifts every velocity alike so that the total momentum is zero.
    void zero_momentum();

private:
    void rebuild_order();

    void step_semi_implicit_euler(double dt);

    double time_;
    Integrator integrator_ = Integrator::SemiImplicitEuler;
    std::unique_ptr<nbAccurateIntegrator> accurate_;
    BodyMap bodies_;
    // The bodies in name order, kept beside the map so that the step walks
    // a flat array rather than the tree.
    std::vector<nbBody*> order_;
    // Scratch arrays of the force pass (positions, masses, forces by body),
    // kept between steps so that the step allocates nothing.
    std::vector<double> px_, py_, pz_, mass_, fx_, fy_, fz_;
};

// The name of the first body, in name order, with a non-finite component of
// position or velocity; empty when every state is finite. One such body
// makes every force of the next step non-finite, so whoever steps the
// system checks this and stops there.
std::string first_non_finite_body(const nbSystem& system);
