#include "nbody/body.h"

#include <cmath>
#include <map>

nbBody::nbBody(const std::string& name, double mass, double radius, const vec3d& position,
               const vec3d& velocity)
    : name_(name), mass_(mass), radius_(radius), position_(position), velocity_(velocity),
      graphics_(std::make_unique<nbGraphics>()), trail_rule_(trail_rule_for(name)) {}

nbBody::~nbBody() = default;

double nbBody::display_radius() const {
    if (radius_ > 0)
        return radius_;
    // A sphere of the body's mass at a tenth of the Earth's mean density.
    const double pi = 4.0 * std::atan(1.0);
    const double v = mass_ * 10 / 5515;
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
    velocity_.x += (force_.x / mass_) * dt;
    velocity_.y += (force_.y / mass_) * dt;
    velocity_.z += (force_.z / mass_) * dt;
    position_ += velocity_ * dt;
    record_trail(time);
    force_ = vec3d();
}

void nbBody::move_to(const vec3d& position, const vec3d& velocity, double time) {
    position_ = position;
    velocity_ = velocity;
    record_trail(time);
    force_ = vec3d();
}

void nbBody::record_trail(double time) {
    const double d = position_.length() / ASTRONOMICAL_UNIT;
    double e;
    if (d < 0.1) {
        e = 0.1;
        trail_stride_ = std::min(trail_stride_, 4);
    } else {
        e = d;
        if (d < 3.0)
            trail_stride_ = std::min(trail_stride_, 4);
    }
    if (trail_rule_.stride > 0)
        trail_stride_ = trail_rule_.stride;
    if (trail_rule_.interval_e > 0)
        e = trail_rule_.interval_e;

    // Points are about 2e days apart: denser near the Sun, sparse far out.
    if (trail_time_ == NO_TRAIL_TIME || 2 * e < time - trail_time_) {
        trail_.push_back(position_);
        trail_time_ = time;
    }
    while (trail_.size() > trail_rule_.capacity)
        trail_.pop_front();
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
