// Keplerian orbital-element sets of comets and asteroids: reading one
// catalogue line, placing the orbit at a date, and making a body from it.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "nbody/body.h"
#include "nbody/vec3d.h"

// The semi-major axes, in AU, of the orbits the simulation can carry. A
// smaller orbit lies within about two radii of the Sun (0.0047 AU). The
// upper bound admits comets kept on e = 0.99999, whose a is 100000 times
// the perihelion distance, for perihelia up to about 100 AU: listed comets stay
// below 15 AU (the most distant ones today have about 11 AU).
constexpr double MIN_SEMI_MAJOR_AXIS = 0.01;
constexpr double MAX_SEMI_MAJOR_AXIS = 1.0e7;
// Masses, kg, a body made from a set may have: a massless body has no
// acceleration (0 / 0), and fifty Suns are no member of the solar system.
// Below a kilogram a body is no comet or asteroid, and towards the smallest
// doubles (subnormal masses) the products of the force law lose their
// digits until the body no longer feels the Sun.
constexpr double MIN_BODY_MASS = 1.0;
constexpr double MAX_BODY_MASS = 1.0e32;
// The Sun's radius in AU: an orbit whose perihelion lies inside the Sun
// would pass through its centre's singularity at a large part of the speed
// of light.
constexpr double MIN_PERIHELION_DISTANCE = 0.00465;
// Real catalogue lines are under 200 characters; a line longer than this is
// not an element line.
constexpr std::size_t MAX_CATALOGUE_LINE = 4096;

// A catalogue object's name: blanks around dropped, blanks inside replaced
// by '_' ("  1 Ceres " gives "1_Ceres"; all blanks give "").
std::string catalogue_name(const std::string& text);

// Mean daily motion in degrees per day for a semi-major axis in AU.
double mean_motion(double a);
// Eccentric anomaly in degrees, in [-180, 180], by bisection: one bit per
// iteration, no starting value, converges for every 0 <= e < 1.
double solve_kepler(double mean_anomaly_degrees, double e, int iterations);
// Heliocentric position (m) and velocity (m/s) of an orbit at a JD; angles in
// degrees, a in AU, tp the JD of perihelion.
vec3d elements_position(double a, double e, double i, double w, double omega, double tp, double jd);
vec3d elements_velocity(double a, double e, double i, double w, double omega, double tp, double jd);
// The exact time derivative of elements_position (m/s): the Kepler motion
// at the mean motion above, where elements_velocity fits a spline.
vec3d elements_velocity_exact(double a, double e, double i, double w, double omega, double tp,
                              double jd);

class nbOrbitalElements {
public:
    static constexpr double DEFAULT_MASS = 3.0e10; // kg

    nbOrbitalElements() = default;
    nbOrbitalElements(const std::string& name, double a, double e, double i, double w, double omega,
                      double tp, double epoch);
    nbOrbitalElements(const nbOrbitalElements&) = default;
    nbOrbitalElements& operator=(const nbOrbitalElements&) = default;
    virtual ~nbOrbitalElements() = default;

    // 1 comet, 2 asteroid, 3 planetary.
    virtual int type_code() const = 0;
    virtual std::string type_name() const = 0;
    virtual double mean_anomaly() const = 0;
    // A new body at the set's position and velocity at jd, named after the
    // set; null when the set cannot be placed at jd (see placeable_at).
    virtual std::unique_ptr<nbBody> create_body(double jd) const;
    virtual std::unique_ptr<nbOrbitalElements> clone() const = 0;

    const std::string& name() const { return name_; }
    double a() const { return a_; }
    double e() const { return e_; }
    double i() const { return i_; }
    double w() const { return w_; }
    double omega() const { return omega_; }
    double Tp() const { return tp_; }
    double epoch() const { return epoch_; }
    double mass() const { return mass_; }
    bool valid() const { return valid_; }
    double perihelion_distance() const { return (1 - e_) * a_; }
    void set_mass(double kg) { mass_ = kg; }

    // Whether a body made at jd would be one the simulation can carry: a
    // within the bounds above, 0 <= e < 1, finite angles and dates, a mass
    // in [MIN_BODY_MASS, MAX_BODY_MASS], a perihelion distance of at least
    // MIN_PERIHELION_DISTANCE, and at jd a finite position and a finite,
    // non-zero velocity. Any one non-finite body spoils every force of the
    // system, and a body at rest falls straight into the Sun.
    bool placeable_at(double jd) const;
    // Why the set's mass or perihelion lies outside what a body of the solar
    // system can have, in plain words ("the perihelion distance 0.001 AU
    // lies inside the Sun (below 0.00465 AU)"); empty when both are within.
    std::string physical_bounds_problem() const;
    // Clears the valid flag for a set that cannot be used: no name, e not
    // positive (a circle), or not placeable at its epoch. Never sets it.
    bool validate();
    // Distance from the Earth at jd, in AU.
    double earth_distance(double jd) const;
    // The same with the Earth's position at jd given (m): listing many sets
    // at one date then places the Earth once instead of once per set.
    double earth_distance(double jd, const vec3d& earth) const;

protected:
    // The common part of a catalogue line: the name before the first '|' and
    // the numbers after it. False for lines that are not element lines.
    static bool split_line(const std::string& line, std::string& name, std::string& numbers);
    // The state create_body would give at jd; false if not placeable there.
    bool state_at(double jd, vec3d& position, vec3d& velocity) const;

    std::string name_;
    double a_ = 0;
    double e_ = 0;
    double i_ = 0;
    double w_ = 0;
    double omega_ = 0;
    double tp_ = 0;
    double epoch_ = 0;
    double mass_ = DEFAULT_MASS;
    bool valid_ = false;
};

class nbOrbitalElementsAsteroid : public nbOrbitalElements {
public:
    nbOrbitalElementsAsteroid() = default;
    nbOrbitalElementsAsteroid(const std::string& name, double a, double e, double i, double w,
                              double omega, double tp, double epoch, double m);

    int type_code() const override { return 2; }
    std::string type_name() const override { return "Asteroid"; }
    double mean_anomaly() const override { return m_; }
    std::unique_ptr<nbBody> create_body(double jd) const override;
    std::unique_ptr<nbOrbitalElements> clone() const override {
        return std::make_unique<nbOrbitalElementsAsteroid>(*this);
    }

    // Reads an asteroid line; false (set unchanged) if it is rejected: not
    // an element line, a date no calendar means (the month may be 0), e < 0
    // or e >= 1, or an orbit not placeable at the epoch. An element line
    // refused for a physical bound gives that reason in *bounds, if asked.
    bool parse_line(const std::string& line, std::string* bounds = nullptr);

protected:
    double m_ = 0; // mean anomaly, degrees, at the date of the catalogue line
};

class nbOrbitalElementsPlanetary : public nbOrbitalElementsAsteroid {
public:
    using nbOrbitalElementsAsteroid::nbOrbitalElementsAsteroid;

    int type_code() const override { return 3; }
    std::string type_name() const override { return "Planetary"; }
    std::unique_ptr<nbBody> create_body(double jd) const override;
    std::unique_ptr<nbOrbitalElements> clone() const override {
        return std::make_unique<nbOrbitalElementsPlanetary>(*this);
    }
};

class nbOrbitalElementsComet : public nbOrbitalElements {
public:
    using nbOrbitalElements::nbOrbitalElements;

    int type_code() const override { return 1; }
    std::string type_name() const override { return "Comet"; }
    double mean_anomaly() const override { return 0.0; }
    std::unique_ptr<nbBody> create_body(double jd) const override;
    std::unique_ptr<nbOrbitalElements> clone() const override {
        return std::make_unique<nbOrbitalElementsComet>(*this);
    }

    // Reads a comet line; false (set unchanged) if it is rejected: not an
    // element line, a perihelion time that is no YYYYMMDD.ddd date, e < 0,
    // or an orbit not placeable at the epoch. e >= 1 becomes 0.99999. An
    // element line refused for a physical bound (a perihelion inside the
    // Sun) gives that reason in *bounds, if asked.
    bool parse_line(const std::string& line, std::string* bounds = nullptr);
};
