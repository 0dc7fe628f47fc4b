// The owner of the simulated world: the one gravitational system, built from
// the analytic theories for a start date, and the catalogue of element sets.
#pragma once

#include <memory>
#include <set>
#include <string>
#include <vector>

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

// Heliocentric position (m) of a planet, the Moon or Pluto at jd as its
// theory gives it: the planets in the ecliptic of the date, the Moon with
// the nutation of the date, Pluto in the ecliptic of J2000.0.
vec3d theory_position(SolarBody body, double jd);
// Heliocentric state of a planet, the Moon or Pluto at jd: position from its
// theory, velocity from a spline through five positions a day apart.
BodyState body_state(SolarBody body, double jd);
// Minus the mass-weighted mean position of the Sun (placed at `sun`) and the
// nine bodies Mercury to Neptune and Pluto at jd; the Moon is left out.
vec3d barycentre_offset(double jd, const vec3d& sun);
// The Sun, moved close to the barycentre by two passes; at rest.
BodyState sun_state(double jd);

// What reading one catalogue file came to.
struct CatalogueFileRead {
    enum class Status {
        Read,      // read to its end; `added` sets joined the catalogue
        Missing,   // no such file: nothing added, nothing to report
        Unreadable // there but not a regular file, too large, or failed while
                   // being read: nothing of it joined the catalogue
    };
    std::string file;
    Status status = Status::Missing;
    long added = 0;
    std::string reason; // why an unreadable file could not be read
    // Element lines of a file read that were left out for a physical bound
    // (a perihelion inside the Sun), and the first of them with its reason.
    long refused = 0;
    std::string first_refused;
};

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

    // The high-accuracy mode, off until asked for; it takes effect with the
    // next build. On, the built-in bodies start in the ecliptic of J2000.0
    // with the masses of DE430 and velocities fitted to their theories
    // (accurate_start.h), and the system steps with the adaptive
    // integrator; off, everything is as the program always built and
    // stepped it.
    bool high_accuracy() const { return high_accuracy_; }
    void set_high_accuracy(bool on) { high_accuracy_ = on; }
    // The body of an element set at jd as the mode wants it: in the
    // high-accuracy mode with the exact velocity of its Kepler orbit, in
    // metres of the IAU's unit and about the system's Sun wherever it has
    // got to; otherwise the set's own create_body.
    std::unique_ptr<nbBody> create_body(const nbOrbitalElements& set, double jd) const;

    std::size_t catalogue_size() const { return catalogue_.size(); }
    Catalogue::const_iterator catalogue_begin() const { return catalogue_.begin(); }
    Catalogue::const_iterator catalogue_end() const { return catalogue_.end(); }
    void clear_catalogue();
    // The largest catalogue file read, bytes: real lists are a few MB, and
    // a file that keeps growing or never ends must not cost without end.
    static constexpr long MAX_FILE_BYTES = 16L << 20;

    // Adds every element line of directory/file to the catalogue; a line
    // ends at a line feed or a carriage return. Only regular files are read
    // (a FIFO or a device could block or never end), and a file that fails
    // adds nothing, so the catalogue never holds part of one.
    CatalogueFileRead read_catalogue_file(const std::string& directory, const std::string& file,
                                          bool comets);
    // Reads the four local files unless the catalogue already holds a set
    // (and force is false). Returns the number of sets held afterwards;
    // `reads`, if given, receives what each file read came to.
    std::size_t load_catalogues(const std::string& directory, bool force,
                                std::vector<CatalogueFileRead>* reads = nullptr);
    // Keeps a hand-made set whose body is in the system, so that a new start
    // date re-creates it; otherwise the set is dropped and false returned.
    bool adopt_elements(std::unique_ptr<nbOrbitalElements> set);

private:
    std::unique_ptr<nbSystem> system_;
    Catalogue catalogue_;
    bool high_accuracy_ = false;
    // The factory the_factory named before this one, named again when this
    // one goes: a short-lived factory (a test's) leaves the process's in place.
    nbFactory* previous_;
};

// What read_catalogue_file would make of the file at path, without keeping
// a set: Read with the number of element lines of the kind in `added`, or
// Missing, or Unreadable with the reason. A download checks with it that what
// arrived is a list the catalogue can read before it replaces the old one.
CatalogueFileRead inspect_catalogue_file(const std::string& path, bool comets);

// The process-wide factory, alive before the program starts and until it ends.
extern nbFactory* the_factory;
