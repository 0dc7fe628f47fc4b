#include "nbody/system.h"

#include <cmath>

#include "nbody/accurate_integrator.h"
#include "nbody/force_pass.h"

nbSystem::nbSystem(double jd) : time_(jd) {}

nbSystem::~nbSystem() {
    // Name order, as bodies are removed everywhere else.
    for (auto& entry : bodies_)
        entry.second.reset();
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
    rebuild_order();
    return true;
}

bool nbSystem::remove(const std::string& name) {
    auto it = bodies_.find(name);
    if (it == bodies_.end())
        return false;
    bodies_.erase(it);
    rebuild_order();
    return true;
}

void nbSystem::rebuild_order() {
    order_.clear();
    order_.reserve(bodies_.size());
    for (auto& entry : bodies_)
        order_.push_back(entry.second.get());
}

void nbSystem::set_integrator(Integrator integrator) {
    integrator_ = integrator;
    if (integrator_ == Integrator::HighAccuracy && !accurate_)
        accurate_ = std::make_unique<nbAccurateIntegrator>();
    if (integrator_ == Integrator::SemiImplicitEuler)
        accurate_.reset();
}

void nbSystem::step(double dt) {
    if (integrator_ == Integrator::HighAccuracy) {
        accurate_->step(order_, dt, time_);
        time_ = time_ + dt / SECONDS_PER_DAY;
        return;
    }
    step_semi_implicit_euler(dt);
}

void nbSystem::step_semi_implicit_euler(double dt) {
    const std::size_t n = order_.size();
    for (auto* v : {&px_, &py_, &pz_, &mass_, &fx_, &fy_, &fz_})
        v->resize(n);
    for (std::size_t k = 0; k < n; ++k) {
        const vec3d& p = order_[k]->position();
        px_[k] = p.x;
        py_[k] = p.y;
        pz_[k] = p.z;
        mass_[k] = order_[k]->mass();
    }
    accumulate_forces(px_.data(), py_.data(), pz_.data(), mass_.data(), n, fx_.data(), fy_.data(),
                      fz_.data());
    for (std::size_t k = 0; k < n; ++k)
        order_[k]->add_force(vec3d(fx_[k], fy_[k], fz_[k]));
    for (nbBody* body : order_)
        body->advance(dt, time_);
    time_ = time_ + dt / SECONDS_PER_DAY;
}

void nbSystem::step_straightforward(double dt) {
    for (nbBody* a : order_)
        for (const nbBody* b : order_)
            a->add_pull(*b);
    for (nbBody* body : order_)
        body->advance(dt, time_);
    time_ = time_ + dt / SECONDS_PER_DAY;
}

void nbSystem::zero_momentum() {
    vec3d p;
    double m = 0;
    for (const nbBody* body : order_) {
        p += body->velocity() * body->mass();
        m += body->mass();
    }
    if (order_.empty())
        return;
    const vec3d s = p * (-1 / m);
    for (nbBody* body : order_)
        body->add_velocity(s);
}

std::string first_non_finite_body(const nbSystem& system) {
    auto finite = [](const vec3d& v) {
        return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
    };
    for (const auto& [name, body] : system)
        if (!finite(body->position()) || !finite(body->velocity()))
            return name;
    return std::string();
}
