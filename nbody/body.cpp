#include "nbody/body.h"

#include <cmath>
#include <map>

nbBody::nbBody(const std::string& name, double mass, double radius, const vec3d& position,
               const vec3d& velocity)
    : name_(name), radius_(radius), trail_rule_(trail_rule_for(name)),
      trail_(trail_rule_.capacity) {
    own_.mass = mass;
    own_.position = position;
    own_.velocity = velocity;
    own_.trail_time = NO_TRAIL_TIME;
    own_.trail_interval_e = trail_rule_.interval_e;
    own_.trail_rule_stride = trail_rule_.stride;
}

nbBody::~nbBody() = default;

double nbBody::display_radius() const {
    if (radius_ > 0)
        return radius_;
    // A sphere of the body's mass at a tenth of the Earth's mean density.
    const double pi = 4.0 * std::atan(1.0);
    const double v = mass() * 10 / 5515;
    return std::cbrt(v * 3 / (4 * pi));
}

nbBody::TrailRule nbBody::trail_rule_for(const std::string& name) {
    // Capacities chosen so that the inner planets show somewhat less than one
    // revolution and the Sun about two centuries of its wobble.
    if (name == "Sun")
        return {7300, 5, 5.0};
    if (name == "Mercury")
        return {85, 1, 0.0};
    if (name == "Venus")
        return {140, 2, 0.0};
    if (name == "Earth")
        return {170, 3, 0.0};
    if (name == "Mars")
        return {210, 0, 0.0};
    return {300, 0, 0.0};
}

void nbBody::advance(double dt, double time) {
    if (advance_state(*state_, dt, time))
        trail_.push(state_->position, state_->trail_stride);
}

bool nbBody::advance_state(nbBodyState& s, double dt, double time) {
    s.velocity.x += (s.force.x / s.mass) * dt;
    s.velocity.y += (s.force.y / s.mass) * dt;
    s.velocity.z += (s.force.z / s.mass) * dt;
    s.position += s.velocity * dt;
    s.force = vec3d();
    return trail_point_due(s, time);
}

void nbBody::record_points(nbBody* const* bodies, const nbBodyState* states,
                           const std::vector<std::uint32_t>& due) {
    const std::size_t n = due.size();
    for (std::size_t j = 0; j < n; ++j) {
        if (j + 16 < n)
            __builtin_prefetch(bodies[due[j + 16]]);
        if (j + 8 < n)
            __builtin_prefetch(bodies[due[j + 8]]->trail_.next_slot(), 1);
        bodies[due[j]]->trail_.push(states[due[j]].position, states[due[j]].trail_stride);
    }
}

void nbBody::move_to(const vec3d& position, const vec3d& velocity, double time) {
    state_->position = position;
    state_->velocity = velocity;
    state_->force = vec3d();
    record_trail(time);
}

void nbBody::record_trail(double time) {
    if (trail_point_due(*state_, time))
        trail_.push(state_->position, state_->trail_stride);
}

namespace {
std::map<std::string, nbGraphics>& graphics_table() {
    static std::map<std::string, nbGraphics> table;
    return table;
}
} // namespace

nbGraphics& default_graphics(const std::string& name) {
    return graphics_table()[name];
}

void init_default_graphics() {
    struct Row {
        const char* name;
        std::uint8_t r, g, b;
    };
    static const Row rows[] = {
        {"Sun", 255, 150, 30},   {"Mercury", 150, 150, 150}, {"Venus", 255, 255, 255},
        {"Earth", 100, 80, 255}, {"Moon", 150, 150, 150},    {"Mars", 250, 40, 20},
        {"Jupiter", 0, 255, 0},  {"Saturn", 255, 255, 0},    {"Uranus", 0, 255, 255},
        {"Neptune", 0, 0, 255},  {"Pluto", 130, 150, 190},
    };
    for (const Row& row : rows)
        default_graphics(row.name).set_colour(nbColour(row.r, row.g, row.b));
}
