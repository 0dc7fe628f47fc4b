#include "nbody/factory.h"

#include "nbody/accurate_start.h"
#include "nbody/near_index.h"

nbFactory* the_factory = nullptr;

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
    const BuiltInBody* rows = built_in_bodies();
    for (int k = 0; k < BUILT_IN_COUNT; ++k) {
        const BuiltInBody& row = rows[k];
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
        for (int k = 0; k < BUILT_IN_COUNT; ++k)
            starting.push_back({rows[k].id, system_->find(rows[k].name)});
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

BodyJoin nbFactory::prepare_join(const nbOrbitalElements& set) const {
    BodyJoin join;
    join.name = set.name();
    if (!system_)
        return join;
    if (join.name.empty())
        join.status = BodyJoin::Status::Nameless;
    else if (system_->find(join.name))
        join.status = BodyJoin::Status::NameTaken;
    else if (!(join.body = create_body(set, system_->time())))
        join.status = BodyJoin::Status::Unplaceable;
    else
        join.status = BodyJoin::Status::Made;
    return join;
}

void nbFactory::finish_join(BodyJoin& join, nbNearIndex* placed) {
    if (join.status != BodyJoin::Status::Made)
        return;
    if (!system_) {
        join.status = BodyJoin::Status::NoSystem;
        join.body.reset();
        return;
    }
    const vec3d p = join.body->position();
    join.near = placed ? placed->find(p) : body_within(*system_, p);
    if (!join.near.empty()) {
        join.status = BodyJoin::Status::TooClose;
        join.body.reset();
        return;
    }
    // A name taken since prepare_join (two sets of one name in one batch).
    if (!system_->add(join.name, std::move(join.body))) {
        join.status = BodyJoin::Status::NameTaken;
        join.body.reset();
        return;
    }
    join.status = BodyJoin::Status::Joined;
    if (placed)
        placed->insert(join.name, p);
}

BodyJoin nbFactory::join(const nbOrbitalElements& set, nbNearIndex* placed) {
    BodyJoin join = prepare_join(set);
    finish_join(join, placed);
    return join;
}

BodyJoin nbFactory::join_and_keep(std::unique_ptr<nbOrbitalElements> set) {
    if (!set)
        return BodyJoin{};
    BodyJoin joined = join(*set);
    if (joined.status == BodyJoin::Status::Joined)
        adopt_elements(std::move(set));
    return joined;
}

void nbFactory::clear_catalogue() {
    catalogue_.clear();
}

CatalogueFileRead nbFactory::read_catalogue_file(const std::string& directory,
                                                 const std::string& file, bool comets) {
    std::vector<std::unique_ptr<nbOrbitalElements>> sets;
    CatalogueFileRead result = read_catalogue_sets(directory + "/" + file, comets, sets);
    result.file = file;
    for (auto& set : sets)
        catalogue_.insert(std::move(set));
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
