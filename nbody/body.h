// A point mass of the simulated solar system with its drawing attributes and
// the trail of its past positions.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "nbody/trail.h"
#include "nbody/units.h"
#include "nbody/vec3d.h"

class nbColour {
public:
    nbColour() = default;
    nbColour(std::uint8_t red, std::uint8_t green, std::uint8_t blue)
        : red_(red), green_(green), blue_(blue) {}
    virtual ~nbColour() = default;

    std::uint8_t red() const { return red_; }
    std::uint8_t green() const { return green_; }
    std::uint8_t blue() const { return blue_; }
    void set(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
        red_ = red;
        green_ = green;
        blue_ = blue;
    }

private:
    std::uint8_t red_ = 255;
    std::uint8_t green_ = 255;
    std::uint8_t blue_ = 255;
};

class nbGraphics {
public:
    nbGraphics() = default;
    virtual ~nbGraphics() = default;

    nbColour& colour() { return colour_; }
    const nbColour& colour() const { return colour_; }
    void set_colour(const nbColour& c) { colour_.set(c.red(), c.green(), c.blue()); }
    bool has_tail() const { return has_tail_; }
    void set_has_tail(bool on) { has_tail_ = on; }

private:
    nbColour colour_;
    bool has_tail_ = false;
};

// What a step reads and writes of a body, kept apart from its name, look and
// trail so that a system can hold every body's in one flat array: the step
// then walks contiguous memory instead of a heap object per body.
struct nbBodyState {
    vec3d position;
    vec3d velocity;
    vec3d force;
    double mass;
    // The trail's clock: when the last point was recorded (JD), the fixed
    // interval of the body's rule (0: from the distance) and the stride.
    double trail_time;
    double trail_interval_e = 0.0;
    int trail_stride = 10;
    int trail_rule_stride = 0; // 0: keep the stride from the distance rule
};

class nbBody {
public:
    // Lighter than this, kg, a body pulls nothing: it moves as a test
    // particle in the field of the heavier ones. At 0.1 AU for a whole year
    // such a body would move a planet by some 15 km, a hundredth of an
    // arcsecond as seen from the Sun, far below what the theories that
    // place the planets can tell. The catalogue's comets and asteroids
    // (3e10 kg) are all test particles; the Moon and Pluto are not.
    static constexpr double TEST_PARTICLE_MASS = 1e20;
    static bool is_test_particle_mass(double mass) { return mass < TEST_PARTICLE_MASS; }

    // No trail point recorded yet.
    static constexpr double NO_TRAIL_TIME = -1e10;

    nbBody(const std::string& name, double mass, double radius, const vec3d& position,
           const vec3d& velocity);
    virtual ~nbBody();
    nbBody(const nbBody&) = delete;
    nbBody& operator=(const nbBody&) = delete;

    // The label drawn for the body when satellite names are not asked for.
    virtual std::string display_name() const { return name_; }
    // Whether the scene draws the recorded trail.
    virtual bool shows_trail() const { return true; }

    const std::string& name() const { return name_; }
    double mass() const { return state_->mass; }
    double display_radius() const;
    void set_radius(double radius) { radius_ = radius; }

    vec3d& position() { return state_->position; }
    const vec3d& position() const { return state_->position; }
    vec3d& velocity() { return state_->velocity; }
    const vec3d& velocity() const { return state_->velocity; }
    const vec3d& force() const { return state_->force; }
    void add_velocity(const vec3d& v) { state_->velocity += v; }

    double distance(const nbBody& other) const { return position().distance(other.position()); }
    double distance_squared(const nbBody& other) const {
        return position().distance_squared(other.position());
    }

    // Adds the Newtonian pull of `other` on this body to the force accumulator.
    void add_pull(const nbBody& other) {
        if (&other == this)
            return;
        const vec3d &a = position(), &b = other.position();
        vec3d& f = state_->force;
        accumulate_pull(a.x, a.y, a.z, mass(), b.x, b.y, b.z, other.mass(), f.x, f.y, f.z);
    }

    // The pull of mass b at (bx, by, bz) on mass a at (ax, ay, az), added to
    // (fx, fy, fz). The force law in scalar form, shared by add_pull and the
    // system's flat force pass (which falls back to it where no vector path
    // runs). The vector kernels in nbody/force/ repeat these operations in
    // this order, lane by lane, so that heavy bodies get identical bits on
    // every path; the test-particle kernel there (accumulate_pulls) arranges
    // the same law for one division per pair, and the particles' tests hold
    // it to the all-pairs step.
    static void accumulate_pull(double ax, double ay, double az, double am, double bx, double by,
                                double bz, double bm, double& fx, double& fy, double& fz) {
        double f = bm * am * GRAVITATIONAL_CONSTANT;
        const double ux = bx - ax, uy = by - ay, uz = bz - az;
        const double d2 = ux * ux + uy * uy + uz * uz;
        f = f / d2;
        // Coincident bodies give a non-finite pull either way: dividing the
        // zero direction by its zero length gives NaN, as leaving it zero and
        // multiplying by the infinite magnitude would.
        const double l = std::sqrt(d2);
        fx += ux / l * f;
        fy += uy / l * f;
        fz += uz / l * f;
    }

    void add_force(const vec3d& f) { state_->force += f; }

    // One semi-implicit Euler step of dt seconds taken at simulation time
    // `time` (JD, start of the step); records the trail and clears the force.
    void advance(double dt, double time);
    // A state reached by other means (the high-accuracy step) taken as
    // advance would take its own: the trail recorded at `time`, the force
    // cleared.
    void move_to(const vec3d& position, const vec3d& velocity, double time);

    // advance on a state alone, for the system's flat store: true when the
    // new position is due in the trail (then push it with record_point).
    static bool advance_state(nbBodyState& s, double dt, double time);
    static bool trail_point_due(nbBodyState& s, double time);
    // The same for a test particle, from its acceleration (its force stays
    // zero).
    static bool advance_particle(nbBodyState& s, const vec3d& acceleration, double dt, double time);
    void record_point(const vec3d& p) { trail_.push(p, state_->trail_stride); }
    // Records, for bodies at the given indices of `bodies`, the positions
    // in `states`: the trails lie in memory no cache holds, so each body
    // and its next slot are asked for a few bodies ahead.
    static void record_points(nbBody* const* bodies, const nbBodyState* states,
                              const std::vector<std::uint32_t>& due);

    nbGraphics* graphics() { return &graphics_; }
    const nbGraphics* graphics() const { return &graphics_; }

    int trail_stride() const { return state_->trail_stride; }
    std::size_t trail_size() const { return trail_.size(); }
    std::size_t trail_capacity() const { return trail_.capacity(); }
    const nbTrail& trail() const { return trail_; }

private:
    // The recording rules that depend on the name alone, fixed at
    // construction so that the step compares no strings.
    struct TrailRule {
        std::size_t capacity = 300;
        int stride = 0;          // 0: keep the stride from the distance rule
        double interval_e = 0.0; // 0: keep the distance-derived interval
    };
    static TrailRule trail_rule_for(const std::string& name);
    // The trail's share of a step ending at the current position.
    void record_trail(double time);

    friend class nbSystem;
    // Where the state lives: the body's own until a system holds it in its
    // store, and back when the system lets it go.
    void bind_state(nbBodyState* slot) { state_ = slot ? slot : &own_; }
    nbBodyState& state() { return *state_; }

    std::string name_;
    double radius_;
    nbGraphics graphics_; // inline: a picture reads every body's colour
    TrailRule trail_rule_;
    nbTrail trail_; // after its rule, which gives its capacity
    nbBodyState own_;
    nbBodyState* state_ = &own_;
};

// Inline: the step asks these of every test particle.
inline bool nbBody::trail_point_due(nbBodyState& s, double time) {
    // Squared distances: the step asks this of every body, and a square
    // root per body is most of a test particle's share.
    const double au2 = ASTRONOMICAL_UNIT * ASTRONOMICAL_UNIT;
    const double d2 = s.position.length_squared() / au2;
    if (d2 < 9.0)
        s.trail_stride = std::min(s.trail_stride, 4);
    if (s.trail_rule_stride > 0)
        s.trail_stride = s.trail_rule_stride;
    if (s.trail_time == NO_TRAIL_TIME) {
        s.trail_time = time;
        return true;
    }
    // Points are about 2e days apart, e the distance in AU (at least 0.1)
    // unless the body's rule fixes it: denser near the Sun, sparse far out.
    const double since = time - s.trail_time;
    bool due;
    if (s.trail_interval_e > 0)
        due = 2 * s.trail_interval_e < since;
    else
        due = since > 0 && 4 * std::max(d2, 0.01) < since * since;
    if (due)
        s.trail_time = time;
    return due;
}

inline bool nbBody::advance_particle(nbBodyState& s, const vec3d& acceleration, double dt,
                                     double time) {
    s.velocity.x += acceleration.x * dt;
    s.velocity.y += acceleration.y * dt;
    s.velocity.z += acceleration.z * dt;
    s.position += s.velocity * dt;
    return trail_point_due(s, time);
}

// A body that orbits a planet: unlabelled unless satellite names are asked
// for, and its trail is never drawn.
class nbBodySatellite : public nbBody {
public:
    using nbBody::nbBody;
    std::string display_name() const override { return std::string(); }
    bool shows_trail() const override { return false; }
};

// The process-wide table of default colours by body name.
void init_default_graphics();
// The entry for `name`; a white, tail-less entry is added first if absent.
nbGraphics& default_graphics(const std::string& name);
