// The owner of the simulated world: the one gravitational system, built from
// the analytic theories for a start date, and the catalogue of element sets.
#pragma once

#include <memory>
#include <set>
#include <string>

#include "nbody/elements.h"
#include "nbody/system.h"

// The eleven built-in bodies, in the order in which they are built.
enum class SolarBody {
    Sun,
    Mercury,
    Venus,
    Earth,
    Moon,
    Mars,
    Jupiter,
    Saturn,
    Uranus,
    Neptune,
    Pluto
};

struct BodyState {
    vec3d position; // m
    vec3d velocity; // m/s
};

// Heliocentric state of a planet, the Moon or Pluto at jd: position from its
// theory, velocity from a spline through five positions a day apart.
BodyState body_state(SolarBody body, double jd);
// Minus the mass-weighted mean position of the Sun (placed at `sun`) and the
// nine bodies Mercury to Neptune and Pluto at jd; the Moon is left out.
vec3d barycentre_offset(double jd, const vec3d& sun);
// The Sun, moved close to the barycentre by two passes; at rest.
BodyState sun_state(double jd);

class nbFactory {
public:
    // Ordered by pointer value: the order carries no meaning.
    using Catalogue = std::set<std::unique_ptr<nbOrbitalElements>>;

    // The four local catalogue files, in reading order.
    static constexpr const char* COMETS_FILE = "zenorb_comets.txt";
    static constexpr const char* BRIGHT_FILE = "zenorb_bright.txt";
    static constexpr const char* UNUSUAL_FILE = "zenorb_unusual.txt";
    static constexpr const char* CRITICAL_FILE = "zenorb_critical.txt";

    nbFactory();
    virtual ~nbFactory();
    nbFactory(const nbFactory&) = delete;
    nbFactory& operator=(const nbFactory&) = delete;

    nbSystem* system() const { return system_.get(); }
    void delete_system();
    // Replaces any previous system (and all its bodies) by the Sun, the eight
    // planets, the Moon and Pluto at jd. The caller zeroes the momentum.
    nbSystem* create_solar_system(double jd);
    // Rebuilds at jd, re-creating from their elements the catalogue bodies
    // present in the old system, and zeroes the momentum.
    void set_start_date(double jd);

    std::size_t catalogue_size() const { return catalogue_.size(); }
    Catalogue::const_iterator catalogue_begin() const { return catalogue_.begin(); }
    Catalogue::const_iterator catalogue_end() const { return catalogue_.end(); }
    void clear_catalogue();
    // Adds every element line of directory/file to the catalogue. Returns the
    // number of sets added, or -1 if the file cannot be opened.
    long read_catalogue_file(const std::string& directory, const std::string& file, bool comets);
    // Reads the four local files unless the catalogue already holds a set
    // (and force is false). Returns the number of sets held afterwards.
    std::size_t load_catalogues(const std::string& directory, bool force);
    // Keeps a hand-made set whose body is in the system, so that a new start
    // date re-creates it; otherwise the set is dropped and false returned.
    bool adopt_elements(std::unique_ptr<nbOrbitalElements> set);

private:
    std::unique_ptr<nbSystem> system_;
    Catalogue catalogue_;
    // the_factory before this one took its place, restored when it goes.
    nbFactory* previous_;
};

// The process-wide factory, alive before the program starts and until it ends.
extern nbFactory* the_factory;
