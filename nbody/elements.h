// Keplerian orbital-element sets of comets and asteroids: reading one
// catalogue line, placing the orbit at a date, and making a body from it.
#pragma once

#include <memory>
#include <string>

#include "nbody/body.h"
#include "nbody/vec3d.h"

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
    // A new body at the set's position and velocity at jd, named after the set.
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

    // Clears the valid flag for a set that cannot be placed: no name, a not
    // positive, e not in (0, 1). Never sets it.
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

    // Reads an asteroid line; false (set unchanged) if it is rejected.
    bool parse_line(const std::string& line);

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

    // Reads a comet line; false (set unchanged) if it is rejected.
    bool parse_line(const std::string& line);
};
