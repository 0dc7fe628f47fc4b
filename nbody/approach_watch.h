// Close approaches of the light bodies (comets, asteroids) to the heavy
// ones, found while the system steps. The watch only reads states: a step
// gives the same bits whether it watches or not.
//
// Each step, every light-heavy pair whose distance is falling at the start
// and that could come within the heavy body's watch radius in one step is a
// candidate (a dot product and a compare per pair). A light body's states
// from the first step in which it was a candidate are kept while it stays
// one. Where a pair's distance is rising at the end of a step its minimum
// lay inside: the steps since the light body became a candidate are
// crossed again for that one body and the heavy ones, in sub-steps of a
// minute within a million km, and the minimum is placed inside the sub-step where the
// distance turns, on the cubic through both ends' positions and
// velocities. Crossing from where the pass began, not from the start of
// the last step, leaves out the error the long steps made while the heavy
// body's pull was growing. A light body far from every heavy one is passed
// by for up to two days.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "nbody/body.h"

// One pass of a light body by a heavy one, at the least distance.
struct nbApproach {
    std::string object;     // the light body
    std::string with;       // the heavy body it passed
    double jd = 0;          // time of the least distance
    double distance = 0;    // m, centre to centre
    double speed = 0;       // m/s, of one relative to the other then
    double with_radius = 0; // m, the heavy body's radius
};

class nbApproachWatch {
public:
    // How the step that is watched moves the bodies, and so how the step
    // is crossed again: the semi-implicit Euler step's own scheme in
    // sub-steps, or (for the high-accuracy mode) classic fourth-order
    // Runge-Kutta sub-steps, whose error at a minute is far below that of
    // the adaptive integrator's tolerance over the encounter.
    enum class Scheme { SemiImplicitEuler, RungeKutta4 };

    // The default watch radius of a heavy body by name, m: 0.05 AU for the
    // Earth and the Moon, 0.1 AU for the other planets; 0.05 AU for Pluto
    // (about its Hill sphere) and for the Sun (some eleven solar radii: the
    // sungrazing comets, not every perihelion); 0.1 AU for any other heavy
    // body.
    static double default_radius(const std::string& body);
    // The sub-step of the re-crossed steps within a million km of a heavy
    // body watched, s; farther out they grow with the distance.
    static constexpr double SUBSTEP = 60.0;

    nbApproachWatch();

    bool on() const { return on_; }
    void set_on(bool on) { on_ = on; }

    double radius(const std::string& body) const;
    // One body's radius, m; 0 or less stops watching that body.
    void set_radius(const std::string& body, double metres);
    // Every heavy body's radius at once, m, forgetting the single ones; a
    // single one set afterwards stands beside it.
    void set_every_radius(double metres);

    // In time order.
    const std::vector<nbApproach>& events() const { return events_; }
    // Forgets the events; serial() changes, so that a reader sees the list
    // start again even if as many events come back.
    void clear();
    // Differs between any two watches and after each clear.
    std::uint64_t serial() const { return serial_; }

    // The system's share of a step, in this order: begin_step with the
    // start states (the heavy ones first, `heavy` of them), scan over the
    // light bodies in any pieces (`share` 0 or 1, one per thread), then
    // end_step with the states at the end.
    // `arrangement` changes whenever the order of the bodies does; the
    // kept tracks then go.
    void begin_step(const nbBodyState* states, const std::vector<nbBody*>& order, std::size_t heavy,
                    double dt, std::uint64_t arrangement);
    void scan(const nbBodyState* states, std::size_t first, std::size_t last, int share);
    // The most light bodies scan_piece takes.
    static constexpr std::size_t PIECE = 64;
    // The same for at most PIECE light bodies from `from` on, whose positions
    // the caller has laid out in x, y, z (each readable to PIECE entries; what
    // lies past `count` is not looked at).
    void scan_piece(const double* x, const double* y, const double* z, const nbBodyState* states,
                    std::size_t from, std::size_t count, int share);
    void end_step(const nbBodyState* states, const std::vector<nbBody*>& order, double time,
                  double dt, Scheme scheme);

private:
    struct Candidate {
        std::uint32_t index;
        vec3d position, velocity;
    };
    // A light body's and the heavy bodies' states at the start of the step
    // in which the light body became a candidate.
    struct Track {
        double time = 0;
        vec3d position, velocity;
        std::vector<vec3d> heavy_position, heavy_velocity;
        bool seen = false; // a candidate in the current step
    };
    // The heavy bodies at the start of the step, as arrays for the scan.
    struct Heavy {
        std::vector<double> x, y, z, vx, vy, vz, mass, radius;
        // The squared distance within which a pair is a candidate, less
        // the share of the relative speed; and that bound for the scan's
        // first, looser test, with the heavy body's own share of the speed.
        std::vector<double> limit, loose_limit;
        // A light body is passed by for skip_ steps while its distance
        // from every heavy body is at least root_limit + per_speed * (its
        // speed + base_speed): see the scan.
        std::vector<double> root_limit, per_speed, base_speed;
    };

    // A piece of light bodies laid out for the scan's vectors.
    struct Scratch {
        static constexpr std::size_t SIZE = PIECE;
        double x[SIZE], y[SIZE], z[SIZE], reach[SIZE], speed[SIZE];
        std::int64_t flag[SIZE], unsafe[SIZE];
    };
    // Flags the light bodies of the piece that may be near heavy body k.
    static void flag_near(Scratch& w, const double* x, const double* y, const double* z,
                          const Heavy& h, std::size_t k);
    // Whether the pair of a light body in this state and heavy body k is a
    // candidate.
    bool near_and_closing(const vec3d& p, const vec3d& v, std::size_t k) const;

    void refine(std::uint32_t index, const Track& track, const std::vector<nbBody*>& order,
                double time, double dt, Scheme scheme, const std::vector<char>& passed);
    void record(nbApproach event);

    bool on_ = true;
    std::map<std::string, double> radii_;
    double every_ = -1; // the radius of the bodies without one of their own; < 0: the defaults
    std::vector<nbApproach> events_;
    std::uint64_t serial_;
    Heavy heavy_;
    std::size_t n_heavy_ = 0;
    double dt_ = 0;
    double speed_factor_ = 0; // times a pair's squared relative speed
    std::vector<Candidate> candidates_[2];
    Scratch scratch_[2];
    std::map<std::uint32_t, Track> tracks_;
    std::uint64_t arrangement_ = 0;
    // By index in the step's order: the step at which a light body is
    // scanned next. Forgotten with the order, the step length or a radius.
    // Four bytes each: the scan reads them all every step, beside the store.
    std::vector<std::uint32_t> due_;
    std::uint32_t steps_ = 0;
    bool rescan_ = true;
    std::size_t sun_ = 0; // the heaviest of the heavy bodies
    double skip_ = 0;     // steps a far light body is passed by
};
