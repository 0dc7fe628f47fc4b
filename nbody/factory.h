// The owner of the simulated world: the one gravitational system, built from
// the analytic theories for a start date, and the catalogue of element sets.
#pragma once

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "nbody/catalogue_file.h"
#include "nbody/elements.h"
#include "nbody/solar_bodies.h"
#include "nbody/system.h"

class nbNearIndex;

// What joining the body of one element set to the system came to.
struct BodyJoin {
    enum class Status {
        Joined,
        Made,        // made by prepare_join, for finish_join to add
        NoSystem,    // there is no system to join
        Nameless,    // the set has no name, and a body needs one
        NameTaken,   // a body of the set's name is there already
        Unplaceable, // the elements give no finite moving state at the system's date
        TooClose     // it would sit within a metre of `near`: two bodies on
                     // one point cannot be simulated
    };
    Status status = Status::NoSystem;
    std::string name;             // the set's
    std::string near;             // TooClose: the body it would sit on
    std::unique_ptr<nbBody> body; // Made: the body, not yet in the system
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

    // Every caller that adds a set's body to the system goes through these,
    // so that each refuses the same things in the same order. The body is
    // made at the system's date; prepare_join refuses a name already there
    // and elements that give no state, finish_join a body within a metre of
    // one there (looked up in `placed`, which then learns of the new body,
    // when the caller adds many at once) and adds it. The set stays the
    // caller's.
    BodyJoin prepare_join(const nbOrbitalElements& set) const;
    void finish_join(BodyJoin& join, nbNearIndex* placed = nullptr);
    // Both at once.
    BodyJoin join(const nbOrbitalElements& set, nbNearIndex* placed = nullptr);
    // join, and on success the catalogue keeps the set (adopt_elements), so
    // that a new start date re-creates the body.
    BodyJoin join_and_keep(std::unique_ptr<nbOrbitalElements> set);

    std::size_t catalogue_size() const { return catalogue_.size(); }
    Catalogue::const_iterator catalogue_begin() const { return catalogue_.begin(); }
    Catalogue::const_iterator catalogue_end() const { return catalogue_.end(); }
    void clear_catalogue();
    // The largest catalogue file read, bytes.
    static constexpr long MAX_FILE_BYTES = MAX_CATALOGUE_FILE_BYTES;

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

// The process-wide factory, alive before the program starts and until it ends.
extern nbFactory* the_factory;
