#include "nbody/system.h"

#include <cmath>

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

void nbSystem::step(double dt) {
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
    // Each body's pulls summed in name order, its own skipped: the same
    // bits as add_pull over the bodies, from flat arrays.
    for (std::size_t a = 0; a < n; ++a) {
        double fx = 0, fy = 0, fz = 0;
        const double ax = px_[a], ay = py_[a], az = pz_[a], am = mass_[a];
        for (std::size_t b = 0; b < n; ++b)
            if (b != a)
                nbBody::accumulate_pull(ax, ay, az, am, px_[b], py_[b], pz_[b], mass_[b], fx, fy,
                                        fz);
        order_[a]->add_force(vec3d(fx, fy, fz));
    }
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
