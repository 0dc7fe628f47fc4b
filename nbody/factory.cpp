#include "nbody/factory.h"

#include <fstream>
#include <iterator>

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

// A line longer than any real catalogue line is not an element line; reading
// stops collecting it at this length.
const std::size_t MAX_LINE = 4096;

// One line without its line feed; false at the end of the file. `too_long`
// tells that the line was cut.
bool read_line(std::istreambuf_iterator<char>& in, std::string& line, bool& too_long) {
    const std::istreambuf_iterator<char> end;
    if (in == end)
        return false;
    line.clear();
    too_long = false;
    while (in != end) {
        const char c = *in;
        ++in;
        if (c == '\n')
            break;
        if (line.size() < MAX_LINE)
            line.push_back(c);
        else
            too_long = true;
    }
    return true;
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
        const BodyState state = body_state(row.id, jd);
        std::unique_ptr<nbBody> body;
        if (row.satellite)
            body = std::make_unique<nbBodySatellite>(row.name, row.mass, row.radius, state.position,
                                                     state.velocity);
        else
            body = std::make_unique<nbBody>(row.name, row.mass, row.radius, state.position,
                                            state.velocity);
        system_->add(row.name, std::move(body));
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
        system_->add(set->name(), set->create_body(jd));
    system_->zero_momentum();
}

void nbFactory::clear_catalogue() {
    catalogue_.clear();
}

long nbFactory::read_catalogue_file(const std::string& directory, const std::string& file,
                                    bool comets) {
    std::ifstream stream(directory + "/" + file, std::ios::binary);
    if (!stream)
        return -1;
    long added = 0;
    std::istreambuf_iterator<char> in(stream);
    std::string line;
    bool too_long = false;
    while (read_line(in, line, too_long)) {
        if (too_long)
            continue;
        std::unique_ptr<nbOrbitalElements> set;
        if (comets) {
            auto comet = std::make_unique<nbOrbitalElementsComet>();
            if (comet->parse_line(line))
                set = std::move(comet);
        } else {
            auto asteroid = std::make_unique<nbOrbitalElementsAsteroid>();
            if (asteroid->parse_line(line))
                set = std::move(asteroid);
        }
        if (set) {
            catalogue_.insert(std::move(set));
            ++added;
        }
    }
    return added;
}

std::size_t nbFactory::load_catalogues(const std::string& directory, bool force) {
    if (!force && !catalogue_.empty())
        return catalogue_.size();
    clear_catalogue();
    read_catalogue_file(directory, COMETS_FILE, true);
    read_catalogue_file(directory, BRIGHT_FILE, false);
    read_catalogue_file(directory, UNUSUAL_FILE, false);
    read_catalogue_file(directory, CRITICAL_FILE, false);
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
