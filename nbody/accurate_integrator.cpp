#include "nbody/accurate_integrator.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <utility>

#include <boost/numeric/odeint/stepper/bulirsch_stoer.hpp>
#include <boost/numeric/odeint/stepper/runge_kutta_fehlberg78.hpp>

#include "nbody/body.h"
#include "nbody/force_pass.h"
#include "nbody/system.h"
#include "nbody/worker_pair.h"

namespace odeint = boost::numeric::odeint;

namespace {

using State = std::vector<double>;

// The equations of motion over a state laid out as the force pass wants
// it: x, y, z of every body, then vx, vy, vz, each block in body order,
// the bodies that pull first.
class Field {
public:
    void resize(const std::vector<double>& mass, std::size_t pulling) {
        mass_ = mass;
        n_ = mass.size();
        pulling_ = pulling;
        fx_.assign(pulling, 0);
        fy_.assign(pulling, 0);
        fz_.assign(pulling, 0);
        bad_.assign(n_, 0);
        any_bad_ = false;
    }

    void operator()(const State& s, State& d, double) {
        ++evaluations_;
        const std::size_t n = n_;
        const double *px = s.data(), *py = px + n, *pz = py + n;
        std::copy(s.begin() + 3 * n, s.end(), d.begin());
        double *ax = d.data() + 3 * n, *ay = ax + n, *az = ay + n;
        accumulate_forces(px, py, pz, mass_.data(), pulling_, fx_.data(), fy_.data(), fz_.data());
        for (std::size_t k = 0; k < pulling_; ++k) {
            ax[k] = fx_[k] / mass_[k];
            ay[k] = fy_[k] / mass_[k];
            az[k] = fz_[k] / mass_[k];
        }
        // Test particles: the pull of each body that pulls, on the widest
        // vectors and, with many particles, on two threads (the bits are
        // the same either way).
        const ForceArrays arrays{px, py, pz, mass_.data(), n, pulling_};
        const std::size_t light = n - pulling_;
        if (light * pulling_ >= nbSystem::PARALLEL_PAIRS && nbWorkerPair::worthwhile()) {
            if (!workers_)
                workers_ = std::make_unique<nbWorkerPair>();
            const std::size_t middle = pulling_ + (light / 2 + 7) / 8 * 8;
            const std::function<void(int)> half = [&](int part) {
                accumulate_pulls(force_path(), arrays, part == 0 ? pulling_ : std::min(middle, n),
                                 part == 0 ? std::min(middle, n) : n, ax, ay, az);
            };
            workers_->run(half);
        } else {
            accumulate_pulls(force_path(), arrays, pulling_, n, ax, ay, az);
        }
        // Only the first evaluation that goes wrong names the culprits: in
        // the next ones the non-finite values have spread to every body.
        if (any_bad_)
            return;
        for (std::size_t k = 0; k < n; ++k)
            if (!std::isfinite(ax[k] + ay[k] + az[k])) {
                bad_[k] = 1;
                any_bad_ = true;
            }
    }

    bool any_bad() const { return any_bad_; }
    bool bad(std::size_t k) const { return bad_[k] != 0; }
    long evaluations() const { return evaluations_; }

private:
    std::vector<double> mass_;
    std::size_t n_ = 0;
    std::size_t pulling_ = 0;
    std::vector<double> fx_, fy_, fz_;
    std::vector<char> bad_;
    bool any_bad_ = false;
    long evaluations_ = 0;
    std::unique_ptr<nbWorkerPair> workers_;
};

using Stepper = odeint::bulirsch_stoer<State>;
using FixedStepper = odeint::runge_kutta_fehlberg78<State>;

} // namespace

struct nbAccurateIntegrator::Impl {
    // The bodies of the last tick in state order; another set starts afresh.
    std::vector<nbBody*> bodies;
    // The last tick's bodies in name order, with their masses: a body
    // removed and another added may come back at the same address.
    std::vector<std::pair<nbBody*, double>> last_order;
    std::unique_ptr<Stepper> stepper;
    Field field;
    State state;
    // The state before the sub-step being tried: the error estimate leaves
    // non-finite coordinates out, so a step that went wrong can pass.
    State before;
    // The sub-step the last tick would have taken next had it not ended.
    double next_substep = 0;
    long substeps = 0;

    void arrange(const std::vector<nbBody*>& order);
    void finish_in_fixed_steps(double from, double to);
};

nbAccurateIntegrator::nbAccurateIntegrator() : impl_(std::make_unique<Impl>()) {}

nbAccurateIntegrator::~nbAccurateIntegrator() = default;

long nbAccurateIntegrator::substeps() const {
    return impl_->substeps;
}

long nbAccurateIntegrator::evaluations() const {
    return impl_->field.evaluations();
}

void nbAccurateIntegrator::Impl::arrange(const std::vector<nbBody*>& order) {
    bool same = stepper && order.size() == last_order.size();
    for (std::size_t k = 0; same && k < order.size(); ++k)
        same = order[k] == last_order[k].first && order[k]->mass() == last_order[k].second;
    if (same)
        return;
    last_order.clear();
    for (nbBody* b : order)
        last_order.emplace_back(b, b->mass());
    bodies.clear();
    for (nbBody* b : order)
        if (b->mass() >= TEST_PARTICLE_MASS)
            bodies.push_back(b);
    const std::size_t pulling = bodies.size();
    for (nbBody* b : order)
        if (b->mass() < TEST_PARTICLE_MASS)
            bodies.push_back(b);
    std::vector<double> mass;
    for (const nbBody* b : bodies)
        mass.push_back(b->mass());
    field.resize(mass, pulling);
    state.assign(6 * bodies.size(), 0.0);
    // A tiny absolute tolerance only keeps a coordinate that stays exactly
    // zero from dividing zero by zero.
    stepper = std::make_unique<Stepper>(1e-300, RELATIVE_TOLERANCE);
    next_substep = 0;
}

void nbAccurateIntegrator::Impl::finish_in_fixed_steps(double from, double to) {
    FixedStepper fixed;
    const int pieces = 256;
    const double h = (to - from) / pieces;
    for (int k = 0; k < pieces && !field.any_bad(); ++k)
        fixed.do_step(std::ref(field), state, from + k * h, h);
}

void nbAccurateIntegrator::step(const std::vector<nbBody*>& order, double dt, double time) {
    Impl& m = *impl_;
    m.arrange(order);
    const std::size_t n = m.bodies.size();
    // Gravity runs backwards as it runs forwards with every velocity
    // reversed: a step back is a step ahead of the reversed bodies.
    const double sense = dt < 0 ? -1.0 : 1.0;
    dt = std::fabs(dt);
    for (std::size_t k = 0; k < n; ++k) {
        const nbBody& b = *m.bodies[k];
        const vec3d &p = b.position(), &v = b.velocity();
        m.state[k] = p.x;
        m.state[n + k] = p.y;
        m.state[2 * n + k] = p.z;
        m.state[3 * n + k] = sense * v.x;
        m.state[4 * n + k] = sense * v.y;
        m.state[5 * n + k] = sense * v.z;
    }

    double t = 0;
    double h = m.next_substep > 0 ? m.next_substep : dt;
    long tries = 0;
    while (n > 0 && t < dt && !m.field.any_bad()) {
        if (++tries > MAX_SUBSTEPS) {
            m.finish_in_fixed_steps(t, dt);
            break;
        }
        // A last piece much shorter than the sub-step is taken with it.
        const bool last = dt - t <= h * 1.01;
        double try_h = last ? dt - t : h;
        m.before = m.state;
        const bool accepted =
            m.stepper->try_step(std::ref(m.field), m.state, t, try_h) == odeint::success;
        if (m.field.any_bad()) {
            m.state = m.before;
            break;
        }
        if (accepted) {
            ++m.substeps;
            if (last) {
                // The step the tolerance allows, not the piece that ended
                // the tick, is where the next tick starts from.
                h = std::max(h, try_h);
                break;
            }
        }
        h = try_h;
    }
    m.next_substep = h;

    for (std::size_t k = 0; k < n; ++k) {
        nbBody& b = *m.bodies[k];
        if (m.field.bad(k)) {
            const double nan = std::numeric_limits<double>::quiet_NaN();
            b.move_to(vec3d(nan, nan, nan), vec3d(nan, nan, nan), time);
            continue;
        }
        b.move_to(vec3d(m.state[k], m.state[n + k], m.state[2 * n + k]),
                  vec3d(m.state[3 * n + k], m.state[4 * n + k], m.state[5 * n + k]) * sense, time);
    }
    if (m.field.any_bad())
        m.stepper.reset(); // start afresh should the bodies be mended
}
