#include "nbody/factory.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "nbody/accurate_start.h"
#include "nbody/moon.h"
#include "nbody/planets.h"
#include "nbody/pluto.h"
#include "nbody/sampled_velocity.h"

nbFactory* the_factory = nullptr;

namespace {

struct BuiltInBody {
    SolarBody id;
    const char* name;
    bool satellite;
    double mass;   // kg
    double radius; // m
};

// Masses are multiples of the Earth's 5.9736e24 kg, as doubles.
const BuiltInBody BUILT_IN[] = {
    {SolarBody::Sun, "Sun", false, 1.9891000207439997e30, 6.955e8},
    {SolarBody::Mercury, "Mercury", false, 3.5841599999999996e23, 2.4397e6},
    {SolarBody::Venus, "Venus", false, 4.898352e24, 6.0518e6},
    {SolarBody::Earth, "Earth", false, 5.9736e24, 6.371e6},
    {SolarBody::Moon, "Moon", true, 7.3475279999999995e22, 1.7381e6},
    {SolarBody::Mars, "Mars", false, 6.570959999999999e23, 3.3962e6},
    {SolarBody::Jupiter, "Jupiter", false, 1.89841008e27, 7.1492e7},
    {SolarBody::Saturn, "Saturn", false, 5.6868671999999994e26, 6.0268e7},
    {SolarBody::Uranus, "Uranus", false, 8.721455999999998e25, 2.5559e7},
    {SolarBody::Neptune, "Neptune", false, 1.0274591999999998e26, 2.4764e7},
    {SolarBody::Pluto, "Pluto", false, 1.2544559999999998e22, 1.195e6},
};

const BuiltInBody& built_in(SolarBody id) {
    return BUILT_IN[static_cast<int>(id)];
}

} // namespace

vec3d theory_position(SolarBody body, double jd) {
    switch (body) {
    case SolarBody::Mercury:
        return planet_position(Planet::Mercury, jd);
    case SolarBody::Venus:
        return planet_position(Planet::Venus, jd);
    case SolarBody::Earth:
        return planet_position(Planet::Earth, jd);
    case SolarBody::Mars:
        return planet_position(Planet::Mars, jd);
    case SolarBody::Jupiter:
        return planet_position(Planet::Jupiter, jd);
    case SolarBody::Saturn:
        return planet_position(Planet::Saturn, jd);
    case SolarBody::Uranus:
        return planet_position(Planet::Uranus, jd);
    case SolarBody::Neptune:
        return planet_position(Planet::Neptune, jd);
    case SolarBody::Moon:
        return moon_position(jd);
    case SolarBody::Pluto:
        return pluto_position(jd);
    case SolarBody::Sun:
        break;
    }
    return vec3d();
}

namespace {

// Closes a file descriptor on every way out.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

// Element sets of one file, in the order of its lines.
class LineReader {
public:
    explicit LineReader(bool comets) : comets_(comets) {}

    void feed(const char* bytes, std::size_t size) {
        for (std::size_t k = 0; k < size; ++k) {
            const char c = bytes[k];
            // A lone CR ends a line too (old Mac text); CR LF ends one line
            // and an empty one, which is skipped like any blank line.
            if (c == '\n' || c == '\r')
                end_line();
            else if (line_.size() <= MAX_CATALOGUE_LINE)
                line_.push_back(c); // one byte more marks the line too long
        }
    }
    // A last line without a line end counts like the others.
    void finish() { end_line(); }
    std::vector<std::unique_ptr<nbOrbitalElements>>& sets() { return sets_; }
    long refused() const { return refused_; }
    const std::string& first_refused() const { return first_refused_; }

private:
    void end_line() {
        if (!line_.empty()) {
            std::string bounds;
            if (comets_) {
                auto comet = std::make_unique<nbOrbitalElementsComet>();
                if (comet->parse_line(line_, &bounds))
                    sets_.push_back(std::move(comet));
            } else {
                auto asteroid = std::make_unique<nbOrbitalElementsAsteroid>();
                if (asteroid->parse_line(line_, &bounds))
                    sets_.push_back(std::move(asteroid));
            }
            if (!bounds.empty() && refused_++ == 0)
                first_refused_ = catalogue_name(line_.substr(0, line_.find('|'))) + ": " + bounds;
        }
        line_.clear();
    }

    bool comets_;
    long refused_ = 0;
    std::string first_refused_;
    std::string line_;
    std::vector<std::unique_ptr<nbOrbitalElements>> sets_;
};

std::string too_large() {
    return "is larger than " + std::to_string(nbFactory::MAX_FILE_BYTES >> 20) + " MiB";
}

} // namespace

BodyState body_state(SolarBody body, double jd) {
    if (body == SolarBody::Sun)
        return sun_state(jd);
    BodyState state;
    state.position = theory_position(body, jd);
    state.velocity = sampled_velocity([body](double t) { return theory_position(body, t); }, jd);
    return state;
}

vec3d barycentre_offset(double jd, const vec3d& sun) {
    const SolarBody others[] = {SolarBody::Mercury, SolarBody::Venus,   SolarBody::Earth,
                                SolarBody::Mars,    SolarBody::Jupiter, SolarBody::Saturn,
                                SolarBody::Uranus,  SolarBody::Neptune, SolarBody::Pluto};
    double w = built_in(SolarBody::Sun).mass;
    vec3d s = sun * w;
    for (SolarBody body : others) {
        const double m = built_in(body).mass;
        w += m;
        s += theory_position(body, jd) * m;
    }
    return vec3d(-s.x / w, -s.y / w, -s.z / w);
}

BodyState sun_state(double jd) {
    // The second pass starts from the first result, so the Sun ends close to
    // where the weighted mean puts it.
    const vec3d s1 = barycentre_offset(jd, vec3d());
    const vec3d s2 = barycentre_offset(jd, s1);
    return {s2, vec3d()};
}

nbFactory::nbFactory() : previous_(the_factory) {
    the_factory = this;
}

nbFactory::~nbFactory() {
    delete_system();
    clear_catalogue();
    // A short-lived factory (in a test, say) hands the process's one back.
    if (the_factory == this)
        the_factory = previous_;
}

void nbFactory::delete_system() {
    system_.reset();
}

nbSystem* nbFactory::create_solar_system(double jd) {
    delete_system();
    system_ = std::make_unique<nbSystem>(jd);
    for (const BuiltInBody& row : BUILT_IN) {
        const BodyState state =
            high_accuracy_ ? accurate_body_state(row.id, jd) : body_state(row.id, jd);
        const double mass = high_accuracy_ ? accurate_mass(row.id) : row.mass;
        std::unique_ptr<nbBody> body;
        if (row.satellite)
            body = std::make_unique<nbBodySatellite>(row.name, mass, row.radius, state.position,
                                                     state.velocity);
        else
            body = std::make_unique<nbBody>(row.name, mass, row.radius, state.position,
                                            state.velocity);
        system_->add(row.name, std::move(body));
    }
    if (high_accuracy_) {
        std::vector<StartingBody> starting;
        for (const BuiltInBody& row : BUILT_IN)
            starting.push_back({row.id, system_->find(row.name)});
        fit_velocities(starting, jd);
        system_->set_integrator(nbSystem::Integrator::HighAccuracy);
    }
    for (const auto& entry : *system_)
        entry.second->graphics()->set_colour(default_graphics(entry.first).colour());
    return system_.get();
}

void nbFactory::set_start_date(double jd) {
    std::set<const nbOrbitalElements*> kept;
    if (system_)
        for (const auto& set : catalogue_)
            if (system_->find(set->name()))
                kept.insert(set.get());
    create_solar_system(jd);
    // Where the catalogue holds two sets of one name, the first body stays.
    for (const nbOrbitalElements* set : kept)
        system_->add(set->name(), create_body(*set, jd));
    system_->zero_momentum();
}

std::unique_ptr<nbBody> nbFactory::create_body(const nbOrbitalElements& set, double jd) const {
    std::unique_ptr<nbBody> body = set.create_body(jd);
    if (!body || !high_accuracy_)
        return body;
    const double scale = IAU_ASTRONOMICAL_UNIT / ASTRONOMICAL_UNIT;
    body->position() = body->position() * scale;
    body->velocity() =
        elements_velocity_exact(set.a(), set.e(), set.i(), set.w(), set.omega(), set.Tp(), jd) *
        scale;
    // The elements are heliocentric, and the Sun leaves the origin as the
    // system runs (some 0.03 AU in ten years).
    if (const nbBody* sun = system_ ? system_->find("Sun") : nullptr) {
        body->position() += sun->position();
        body->velocity() += sun->velocity();
    }
    return body;
}

void nbFactory::clear_catalogue() {
    catalogue_.clear();
}

namespace {

// Reads the catalogue file at path into reader; result names the file and
// says Missing or Unreadable, and is left Missing when all was read.
bool read_lines(const std::string& path, LineReader& reader, CatalogueFileRead& result) {
    auto unreadable = [&result](const std::string& reason) {
        result.status = CatalogueFileRead::Status::Unreadable;
        result.reason = reason;
        return false;
    };
    // Without O_NONBLOCK, opening a FIFO waits for a writer that may never come.
    const FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.get() < 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return false;
        return unreadable(std::strerror(errno));
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0)
        return unreadable(std::strerror(errno));
    if (S_ISDIR(info.st_mode))
        return unreadable("is a directory");
    if (!S_ISREG(info.st_mode))
        return unreadable("is not a regular file");
    if (info.st_size > nbFactory::MAX_FILE_BYTES)
        return unreadable(too_large());

    std::vector<char> buffer(1 << 16);
    long total = 0;
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return unreadable(std::strerror(errno));
        if (n == 0)
            break;
        // The size was checked, but a file may grow while it is read.
        total += n;
        if (total > nbFactory::MAX_FILE_BYTES)
            return unreadable(too_large());
        reader.feed(buffer.data(), static_cast<std::size_t>(n));
    }
    reader.finish();
    return true;
}

} // namespace

CatalogueFileRead inspect_catalogue_file(const std::string& path, bool comets) {
    CatalogueFileRead result;
    result.file = path;
    LineReader reader(comets);
    if (read_lines(path, reader, result)) {
        result.status = CatalogueFileRead::Status::Read;
        result.added = static_cast<long>(reader.sets().size());
        result.refused = reader.refused();
        result.first_refused = reader.first_refused();
    }
    return result;
}

CatalogueFileRead nbFactory::read_catalogue_file(const std::string& directory,
                                                 const std::string& file, bool comets) {
    CatalogueFileRead result;
    result.file = file;
    LineReader reader(comets);
    if (!read_lines(directory + "/" + file, reader, result))
        return result;
    result.status = CatalogueFileRead::Status::Read;
    result.refused = reader.refused();
    result.first_refused = reader.first_refused();
    for (auto& set : reader.sets()) {
        catalogue_.insert(std::move(set));
        ++result.added;
    }
    return result;
}

std::size_t nbFactory::load_catalogues(const std::string& directory, bool force,
                                       std::vector<CatalogueFileRead>* reads) {
    if (!force && !catalogue_.empty())
        return catalogue_.size();
    clear_catalogue();
    const struct {
        const char* file;
        bool comets;
    } files[] = {
        {COMETS_FILE, true}, {BRIGHT_FILE, false}, {UNUSUAL_FILE, false}, {CRITICAL_FILE, false}};
    for (const auto& f : files) {
        CatalogueFileRead read = read_catalogue_file(directory, f.file, f.comets);
        if (reads)
            reads->push_back(std::move(read));
    }
    return catalogue_.size();
}

bool nbFactory::adopt_elements(std::unique_ptr<nbOrbitalElements> set) {
    if (!set || !system_ || !system_->find(set->name()))
        return false;
    catalogue_.insert(std::move(set));
    return true;
}

namespace {
// The one factory of the program. Constant initialisation sets the_factory
// to null first, so this constructor's assignment is the one that stays.
nbFactory process_factory;
} // namespace
