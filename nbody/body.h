// A point mass of the simulated solar system with its drawing attributes and
// the trail of its past positions.
#pragma once

#include <cmath>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>

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

class nbBody {
public:
    using Trail = std::deque<vec3d>;

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

    std::string name() const { return name_; }
    double mass() const { return mass_; }
    double display_radius() const;
    void set_radius(double radius) { radius_ = radius; }

    vec3d& position() { return position_; }
    const vec3d& position() const { return position_; }
    vec3d& velocity() { return velocity_; }
    const vec3d& velocity() const { return velocity_; }
    const vec3d& force() const { return force_; }
    void add_velocity(const vec3d& v) { velocity_ += v; }

    double distance(const nbBody& other) const { return position_.distance(other.position_); }
    double distance_squared(const nbBody& other) const {
        return position_.distance_squared(other.position_);
    }

    // Adds the Newtonian pull of `other` on this body to the force accumulator.
    void add_pull(const nbBody& other) {
        if (&other == this)
            return;
        accumulate_pull(position_.x, position_.y, position_.z, mass_, other.position_.x,
                        other.position_.y, other.position_.z, other.mass_, force_.x, force_.y,
                        force_.z);
    }

    // The pull of mass b at (bx, by, bz) on mass a at (ax, ay, az), added to
    // (fx, fy, fz). The one place of the force law, shared by add_pull and
    // the system's flat force pass so that both give identical bits.
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

    void add_force(const vec3d& f) { force_ += f; }

    // One semi-implicit Euler step of dt seconds taken at simulation time
    // `time` (JD, start of the step); records the trail and clears the force.
    void advance(double dt, double time);
    // A state reached by other means (the high-accuracy step) taken as
    // advance would take its own: the trail recorded at `time`, the force
    // cleared.
    void move_to(const vec3d& position, const vec3d& velocity, double time);

    nbGraphics* graphics() { return graphics_.get(); }
    const nbGraphics* graphics() const { return graphics_.get(); }

    int trail_stride() const { return trail_stride_; }
    std::size_t trail_size() const { return trail_.size(); }
    std::size_t trail_capacity() const { return trail_rule_.capacity; }
    Trail::const_iterator trail_begin() const { return trail_.begin(); }
    Trail::const_iterator trail_end() const { return trail_.end(); }
    Trail::const_reverse_iterator trail_rbegin() const { return trail_.rbegin(); }
    Trail::const_reverse_iterator trail_rend() const { return trail_.rend(); }

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

    std::string name_;
    double mass_;
    double radius_;
    vec3d position_;
    vec3d velocity_;
    vec3d force_;
    std::unique_ptr<nbGraphics> graphics_;
    Trail trail_;
    double trail_time_ = NO_TRAIL_TIME;
    int trail_stride_ = 10;
    TrailRule trail_rule_;
};

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
