#include "nbody/system.h"

#include <algorithm>
#include <cmath>
#include <functional>

#include "nbody/accurate_integrator.h"
#include "nbody/force_pass.h"
#include "nbody/worker_pair.h"

nbSystem::nbSystem(double jd) : time_(jd) {}

nbSystem::~nbSystem() {
    // Name order, as bodies are removed everywhere else.
    for (auto& entry : bodies_) {
        entry.second->bind_state(nullptr);
        entry.second.reset();
    }
    bodies_.clear();
}

nbBody* nbSystem::find(const std::string& name) const {
    auto it = bodies_.find(name);
    return it == bodies_.end() ? nullptr : it->second.get();
}

bool nbSystem::add(const std::string& name, std::unique_ptr<nbBody>&& body) {
    if (!body || name.empty())
        return false;
    auto inserted = bodies_.try_emplace(name);
    if (!inserted.second)
        return false;
    inserted.first->second = std::move(body);
    order_stale_ = true;
    return true;
}

bool nbSystem::remove(const std::string& name) {
    auto it = bodies_.find(name);
    if (it == bodies_.end())
        return false;
    bodies_.erase(it);
    order_stale_ = true;
    return true;
}

void nbSystem::ensure_order() const {
    if (order_stale_)
        rebuild_order();
}

void nbSystem::rebuild_order() const {
    order_stale_ = false;
    ++arrangement_;
    order_.clear();
    order_.reserve(bodies_.size());
    for (auto& entry : bodies_)
        if (!nbBody::is_test_particle_mass(entry.second->mass()))
            order_.push_back(entry.second.get());
    n_active_ = order_.size();
    for (auto& entry : bodies_)
        if (nbBody::is_test_particle_mass(entry.second->mass()))
            order_.push_back(entry.second.get());
    // The states move into a new store before any body points at it: the
    // old store still holds those not yet copied.
    std::vector<nbBodyState> next;
    next.reserve(order_.size());
    for (nbBody* body : order_)
        next.push_back(body->state());
    store_.swap(next);
    for (std::size_t k = 0; k < order_.size(); ++k)
        order_[k]->bind_state(&store_[k]);
}

bool nbSystem::steps_in_parallel() const {
    ensure_order();
    return parallel_ && (order_.size() - n_active_) * n_active_ >= PARALLEL_PAIRS &&
           nbWorkerPair::worthwhile();
}

void nbSystem::set_integrator(Integrator integrator) {
    integrator_ = integrator;
    if (integrator_ == Integrator::HighAccuracy && !accurate_)
        accurate_ = std::make_unique<nbAccurateIntegrator>();
    if (integrator_ == Integrator::SemiImplicitEuler)
        accurate_.reset();
}

void nbSystem::step(double dt) {
    ensure_order();
    const double start = time_;
    // Only forward in time: the watch looks for distances that fall, then
    // rise.
    watching_ = watch_.on() && dt > 0 && n_active_ > 0 && order_.size() > n_active_;
    if (watching_)
        watch_.begin_step(store_.data(), order_, n_active_, dt, arrangement_);
    if (integrator_ == Integrator::HighAccuracy) {
        if (watching_)
            watch_.scan(store_.data(), n_active_, order_.size(), 0);
        accurate_->step(order_, dt, time_);
        time_ = time_ + dt / SECONDS_PER_DAY;
    } else {
        // The plain step scans its particles while they are in the cache.
        step_semi_implicit_euler(dt);
    }
    if (watching_)
        watch_.end_step(store_.data(), order_, start, dt,
                        integrator_ == Integrator::HighAccuracy
                            ? nbApproachWatch::Scheme::RungeKutta4
                            : nbApproachWatch::Scheme::SemiImplicitEuler);
    watching_ = false;
}

void nbSystem::step_semi_implicit_euler(double dt) {
    const std::size_t n = order_.size();
    for (auto* v : {&px_, &py_, &pz_, &mass_, &fx_, &fy_, &fz_})
        v->resize(n);
    // The sources first: every share reads them.
    for (std::size_t k = 0; k < n_active_; ++k) {
        const nbBodyState& b = store_[k];
        px_[k] = b.position.x;
        py_[k] = b.position.y;
        pz_[k] = b.position.z;
        mass_[k] = b.mass;
    }
    if (steps_in_parallel()) {
        if (!workers_)
            workers_ = std::make_unique<nbWorkerPair>();
        const std::function<void(int)> share = [this, dt](int part) { step_share(part, 2, dt); };
        workers_->run(share);
    } else {
        step_share(0, 1, dt);
    }
    time_ = time_ + dt / SECONDS_PER_DAY;
}

void nbSystem::step_share(int part, int parts, double dt) {
    const std::size_t n = order_.size(), na = n_active_;
    const ForceArrays s{px_.data(), py_.data(), pz_.data(), mass_.data(), n, na};
    const ForcePath path = force_path();
    if (part == 0) {
        accumulate_forces(path, s, 0, na, fx_.data(), fy_.data(), fz_.data());
        for (std::size_t k = 0; k < na; ++k) {
            nbBodyState& b = store_[k];
            b.force += vec3d(fx_[k], fy_[k], fz_[k]);
            if (nbBody::advance_state(b, dt, time_))
                order_[k]->record_point(b.position);
        }
    }
    // Shares split on whole blocks of the widest vectors, so that every
    // particle takes the same kernel whatever the number of shares.
    const std::size_t light = n - na;
    std::size_t half = (light / parts + 7) / 8 * 8;
    const std::size_t first = na + std::min(light, half * part);
    const std::size_t last = part + 1 == parts ? n : na + std::min(light, half * (part + 1));
    // The particles in chunks small enough to stay in the first-level
    // cache between reading their positions and writing their new states,
    // so that the store is walked once. The chunk's arrays hold the sources
    // first, as the kernels expect.
    constexpr std::size_t CHUNK = 64;
    // The watch reads its pieces straight from the chunk's arrays.
    static_assert(CHUNK <= nbApproachWatch::PIECE);
    std::vector<double>* c = chunk_[part];
    for (int k = 0; k < 7; ++k)
        c[k].resize(na + CHUNK);
    double *cx = c[0].data(), *cy = c[1].data(), *cz = c[2].data(), *cm = c[3].data();
    double *ax = c[4].data(), *ay = c[5].data(), *az = c[6].data();
    std::copy(px_.begin(), px_.begin() + na, cx);
    std::copy(py_.begin(), py_.begin() + na, cy);
    std::copy(pz_.begin(), pz_.begin() + na, cz);
    std::copy(mass_.begin(), mass_.begin() + na, cm);
    std::vector<std::uint32_t>& due = due_[part];
    due.clear();
    for (std::size_t from = first; from < last; from += CHUNK) {
        const std::size_t count = std::min(CHUNK, last - from);
        for (std::size_t j = 0; j < count; ++j) {
            const vec3d& p = store_[from + j].position;
            cx[na + j] = p.x;
            cy[na + j] = p.y;
            cz[na + j] = p.z;
        }
        const ForceArrays chunk{cx, cy, cz, cm, na + count, na};
        accumulate_pulls(path, chunk, na, na + count, ax, ay, az);
        // The states are in the cache now, as yet unchanged.
        if (watching_)
            watch_.scan_piece(cx + na, cy + na, cz + na, store_.data(), from, count, part);
        for (std::size_t j = 0; j < count; ++j) {
            nbBodyState& b = store_[from + j];
            if (nbBody::advance_particle(b, vec3d(ax[na + j], ay[na + j], az[na + j]), dt, time_))
                due.push_back(std::uint32_t(from + j));
        }
    }
    nbBody::record_points(order_.data(), store_.data(), due);
}

void nbSystem::zero_momentum() {
    vec3d p;
    double m = 0;
    // In name order, whatever the step's order.
    for (const auto& [name, body] : bodies_) {
        p += body->velocity() * body->mass();
        m += body->mass();
    }
    if (bodies_.empty())
        return;
    const vec3d s = p * (-1 / m);
    for (const auto& [name, body] : bodies_)
        body->add_velocity(s);
}

std::string first_non_finite_body(const nbSystem& system) {
    auto finite = [](const vec3d& v) {
        return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
    };
    // Asked after every step: the flat array first, the names only when
    // something is wrong.
    bool all_finite = true;
    for (const nbBody* body : system.bodies())
        all_finite = all_finite && finite(body->position()) && finite(body->velocity());
    if (all_finite)
        return std::string();
    for (const auto& [name, body] : system)
        if (!finite(body->position()) || !finite(body->velocity()))
            return name;
    return std::string();
}

std::string body_within(const nbSystem& system, const vec3d& p, double metres) {
    for (const auto& [name, body] : system)
        if (body->position().distance_squared(p) <= metres * metres)
            return name;
    return std::string();
}

std::string step_and_check(nbSystem& system, double dt) {
    system.step(dt);
    return first_non_finite_body(system);
}
