// The set of bodies under Newtonian gravity and the simulation clock. Heavy
// bodies pull one another; bodies lighter than nbBody::TEST_PARTICLE_MASS
// are pulled by the heavy ones and pull nothing, so a step costs
// N_heavy x N rather than N x N.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "nbody/approach_watch.h"
#include "nbody/body.h"

class nbAccurateIntegrator;
class nbWorkerPair;

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

    // The bodies as the step walks them: the heavy ones in name order, then
    // the test particles in name order.
    const std::vector<nbBody*>& bodies() const {
        ensure_order();
        return order_;
    }
    std::size_t heavy_count() const {
        ensure_order();
        return n_active_;
    }

    // The step splits its bodies over two threads where that saves time
    // (on by default); the bits are the same either way.
    void set_parallel(bool on) { parallel_ = on; }
    bool parallel() const { return parallel_; }
    // Whether the next step of the program's own mode would use two threads.
    bool steps_in_parallel() const;
    // Below this many heavy-on-light pairs a second thread costs more than
    // it saves.
    static constexpr std::size_t PARALLEL_PAIRS = 20000;

    Integrator integrator() const { return integrator_; }
    void set_integrator(Integrator integrator);
    // The high-accuracy mode's integrator, null in the other mode.
    const nbAccurateIntegrator* accurate_integrator() const { return accurate_.get(); }

    // One step of dt seconds with the system's integrator. Semi-implicit
    // Euler: all forces from the positions at the start of the step, then
    // each body's update, then the clock.
    void step(double dt);

    // Shifts every velocity alike so that the total momentum is zero.
    void zero_momentum();

    // The close approaches of the light bodies to the heavy ones, watched
    // by step (on by default); a new system starts with none.
    nbApproachWatch& approaches() { return watch_; }
    const nbApproachWatch& approaches() const { return watch_; }

private:
    // The step's order and the store follow additions and removals at the
    // next step (or look), so that adding many bodies costs each one once.
    void ensure_order() const;
    void rebuild_order() const;

    void step_semi_implicit_euler(double dt);
    // Part `part` of 0..parts-1 of the step's work after the heavy bodies'
    // positions are gathered: part 0 the heavy bodies, every part its share
    // of the test particles.
    void step_share(int part, int parts, double dt);

    double time_;
    Integrator integrator_ = Integrator::SemiImplicitEuler;
    std::unique_ptr<nbAccurateIntegrator> accurate_;
    BodyMap bodies_;
    // The bodies heavy first, each group in name order, kept beside the
    // map so that the step walks a flat array rather than the tree.
    mutable std::vector<nbBody*> order_;
    mutable std::size_t n_active_ = 0;
    mutable bool order_stale_ = false;
    // Counts the rebuilds of the order, so that the watch knows its indices.
    mutable std::uint64_t arrangement_ = 0;
    // Every held body's state, in the step's order; each body points at its
    // own entry.
    mutable std::vector<nbBodyState> store_;
    // Per share of the step: the particles whose trails take a point.
    std::vector<std::uint32_t> due_[2];
    // Per share: a chunk's positions, masses and accelerations, the sources
    // first, kept between steps so that the step allocates nothing.
    std::vector<double> chunk_[2][7];
    bool parallel_ = true;
    nbApproachWatch watch_;
    bool watching_ = false; // within a step: whether the watch scans its particles
    std::unique_ptr<nbWorkerPair> workers_;
    // Scratch arrays of the force pass (positions, masses, forces by body),
    // kept between steps so that the step allocates nothing.
    std::vector<double> px_, py_, pz_, mass_, fx_, fy_, fz_;
};

// The name of a body within `metres` of p, empty when there is none. Two
// bodies on one point give 0 / 0 in the force law (and two test particles
// there are one body drawn twice), so a body placed there is refused.
std::string body_within(const nbSystem& system, const vec3d& p, double metres = 1.0);

// The name of the first body, in name order, with a non-finite component of
// position or velocity; empty when every state is finite. One such body
// makes every force of the next step non-finite, so whoever steps the
// system checks this and stops there.
std::string first_non_finite_body(const nbSystem& system);

// One step of dt, then first_non_finite_body: the name where whoever steps
// the system stops, empty while every state is finite.
std::string step_and_check(nbSystem& system, double dt);
