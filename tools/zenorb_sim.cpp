// The headless simulator: what the desktop program does at start-up and on
// each tick, without drawing, printing the states instead.
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <tuple>
#include <unistd.h>
#include <vector>

#include <wx/datetime.h>
#include <wx/init.h>

#include "catalog/catalogue_lists.h"
#include "catalog/sbdb_lookup.h"
#include "datebridge/date_bridge.h"
#include "nbody/factory.h"
#include "nbody/format_number.h"
#include "nbody/parse_number.h"
#include "readers/approach_csv.h"
#include "readers/atomic_write.h"
#include "readers/element_file.h"
#include "render/scene.h"
#include "session/simulation_start.h"
#include "tools/sim_film.h"
#include "tools/sim_options.h"
#include "tools/sim_picture.h"
#include "tools/state_writer.h"

namespace {

const int EXIT_INPUT = 1;
const int EXIT_USAGE = 2;

int fail(int status, const std::string& message) {
    std::fprintf(stderr, "zenorb-sim: %s\n", message.c_str());
    return status;
}

void warn(const std::string& message) {
    std::fprintf(stderr, "zenorb-sim: warning: %s\n", message.c_str());
}

// Of several sets under one name the one with the latest epoch, then a fixed
// order of the elements, so that runs do not depend on memory addresses.
// Whether the set's body joined the system; if not, error says why, naming
// the body and (in `of`, if given) where its elements came from.
bool joined(const BodyJoin& join, const std::string& of, std::string& error) {
    const std::string what =
        "cannot add '" + join.name + "'" + (of.empty() ? "" : " of " + of) + ": ";
    switch (join.status) {
    case BodyJoin::Status::Joined:
        return true;
    case BodyJoin::Status::NameTaken:
        error = what + "a body of that name is already in the system";
        break;
    case BodyJoin::Status::Unplaceable:
        error = what + "its elements give no usable state at the start date (an orbit too small "
                       "or too large, or a body at rest)";
        break;
    case BodyJoin::Status::TooClose:
        error = what + "it would start within a metre of '" + join.near + "'";
        break;
    case BodyJoin::Status::Nameless:
        error = what + "an object name cannot be blank";
        break;
    case BodyJoin::Status::Made:
    case BodyJoin::Status::NoSystem:
        error = what + "there is no system to join";
        break;
    }
    return false;
}

const nbOrbitalElements* find_set(const nbFactory& factory, const std::string& name) {
    const nbOrbitalElements* best = nullptr;
    auto rank = [](const nbOrbitalElements* s) {
        return std::make_tuple(s->epoch(), s->type_code(), s->a(), s->e(), s->i(), s->w(),
                               s->omega(), s->Tp());
    };
    for (auto it = factory.catalogue_begin(); it != factory.catalogue_end(); ++it)
        if ((*it)->name() == name && (!best || rank(it->get()) > rank(best)))
            best = it->get();
    return best;
}

// The set as the "Add Single Object" page has it once the look-up filled its
// fields and Apply or Save read them back: the name with blanks and "/" as
// "_", the values through the fields' texts. The page's file and this one
// then say the same.
std::unique_ptr<nbOrbitalElements> as_on_the_page(const nbOrbitalElements& found) {
    const std::string name = clean_name(found.name());
    auto shown = [](double value) { return leading_number(format_fixed(value, 16)); };
    const double a = shown(found.a()), e = shown(found.e()), i = shown(found.i()),
                 w = shown(found.w()), omega = shown(found.omega()), tp = shown(found.Tp()),
                 epoch = shown(found.epoch());
    std::unique_ptr<nbOrbitalElements> set;
    if (found.type_code() == 1)
        set = std::make_unique<nbOrbitalElementsComet>(name, a, e, i, w, omega, tp, epoch);
    else
        set = std::make_unique<nbOrbitalElementsAsteroid>(name, a, e, i, w, omega, tp, epoch,
                                                          shown(found.mean_anomaly()));
    set->set_mass(leading_number(format_exponent(found.mass(), 8)));
    return set;
}

// Looks typed up in the small-body database; null with the message in error.
std::unique_ptr<nbOrbitalElements> looked_up(const std::string& typed, std::string& error) {
    LookupResult result = lookup_object(typed);
    switch (result.status) {
    case LookupResult::Status::Found:
        return as_on_the_page(*result.set);
    case LookupResult::Status::Several: {
        error = "--lookup '" + typed + "' matches several objects:";
        for (const LookupMatch& match : result.matches)
            error += "\n  " + match.designation + (match.name.empty() ? "" : "  " + match.name);
        error += "\nlook one of them up by its designation";
        return nullptr;
    }
    case LookupResult::Status::NotFound:
        error = "--lookup '" + typed + "': no such object in the small-body database";
        return nullptr;
    case LookupResult::Status::Refused:
        error = "--lookup '" + typed + "': " + result.reason;
        return nullptr;
    case LookupResult::Status::Failed:
        break;
    }
    error = "--lookup '" + typed + "': cannot look it up: " + result.reason;
    return nullptr;
}

// The four lists into options.download_dir, as the download dialog fetches
// them; each failure is one line on standard error.
int download_lists(const SimOptions& options) {
    const std::string& dir = options.download_dir;
    std::error_code made;
    std::filesystem::create_directories(dir, made);
    if (made)
        return fail(EXIT_INPUT, "cannot make the folder '" + dir + "': " + made.message());
    const std::string server = options.server.empty() ? mpc_server_url : options.server;
    const int year = current_year();
    bool all = true;
    for (int k = 0; k < CATALOGUE_LISTS; ++k) {
        const CatalogueList& list = catalogue_list(k);
        const std::string url = catalogue_list_url(list, server, year);
        const FetchResult result = download_catalogue_list(list, url, dir);
        if (!result.ok) {
            all = false;
            std::fprintf(stderr, "zenorb-sim: %s (%s into '%s/%s'): %s\n", list.label, url.c_str(),
                         dir.c_str(), list.file, result.reason.c_str());
        }
    }
    return all ? 0 : EXIT_INPUT;
}

} // namespace

int main(int argc, char** argv) {
    SimOptions options;
    std::string error;
    if (!parse_sim_options(argc, argv, options, error))
        return fail(EXIT_USAGE, error);
    if (options.help) {
        std::fputs(SIM_USAGE, stdout);
        return 0;
    }
    if (!options.download_dir.empty())
        return download_lists(options);

    // Dates and, for pictures, images: no display is needed for either.
    wxInitializer toolkit;
    if (!toolkit.IsOk())
        return fail(EXIT_INPUT, "cannot initialise the toolkit");

    // A file-size limit makes a write fail with a message, not end the run.
    std::signal(SIGXFSZ, SIG_IGN);

    const double jd = options.jd ? *options.jd : datetime_to_jd(wxDateTime::Today());
    nbFactory& factory = *the_factory;
    init_default_graphics();
    wxDCDraw scene;
    size_scene(scene, options);
    factory.set_high_accuracy(options.accurate);
    nbSystem* system =
        start_simulation(factory, scene, jd, options.width, options.height, options.zero_momentum);

    if (!options.catalogue_dir.empty()) {
        const std::string& dir = options.catalogue_dir;
        // Read like the catalogue pages do; a file that is there but cannot
        // be read is named, the others still count.
        std::vector<CatalogueFileRead> reads;
        factory.load_catalogues(dir, true, &reads);
        bool any_file = false;
        for (const CatalogueFileRead& read : reads) {
            any_file = any_file || read.status == CatalogueFileRead::Status::Read;
            if (read.status == CatalogueFileRead::Status::Unreadable)
                warn("cannot read the catalogue file '" + dir + "/" + read.file +
                     "': " + read.reason + "; its objects are left out");
            if (read.refused > 0)
                warn("the catalogue file '" + dir + "/" + read.file + "' has " +
                     std::to_string(read.refused) +
                     " element line(s) no body can follow, left out; the first, " +
                     read.first_refused);
        }
        if (!any_file)
            return fail(EXIT_INPUT, "no catalogue file (zenorb_comets.txt, zenorb_bright.txt, "
                                    "zenorb_unusual.txt, zenorb_critical.txt) can be read in '" +
                                        options.catalogue_dir + "'");
        for (const std::string& typed : options.add_names) {
            const std::string name = catalogue_name(typed);
            // The catalogue may hold a line without a name, but no body can
            // go into the system without one.
            if (name.empty())
                return fail(EXIT_INPUT, "--add '" + typed + "': an object name cannot be blank");
            const nbOrbitalElements* set = find_set(factory, name);
            if (!set)
                return fail(EXIT_INPUT, "no object named '" + typed +
                                            "' among the usable lines of the catalogue '" +
                                            options.catalogue_dir + "'");
            if (!joined(factory.join(*set), "", error))
                return fail(EXIT_INPUT, error);
        }
    }

    // Element files join like the single-object page's sets: the body at the
    // start date, the set kept in the catalogue.
    for (const std::string& file : options.element_files) {
        const std::string culprit = "the element file '" + file + "'";
        // The argument's bytes are the file's name, whatever the locale's
        // encoding makes of them.
        std::string reason;
        std::unique_ptr<nbOrbitalElements> set = LoadElementsFileAt(file, reason);
        if (!set)
            return fail(EXIT_INPUT, "cannot read " + culprit + ": " + reason);
        const std::string bounds = set->physical_bounds_problem();
        if (!bounds.empty())
            return fail(EXIT_INPUT,
                        culprit + " holds elements the simulation cannot use: " + bounds);
        if (!set->validate())
            return fail(EXIT_INPUT, culprit +
                                        " holds elements the simulation cannot use (it needs a "
                                        "name, a > 0, 0 < e < 1 and an orbit placeable at its "
                                        "epoch)");
        if (!joined(factory.join_and_keep(std::move(set)), culprit, error))
            return fail(EXIT_INPUT, error);
    }
    // Looked-up objects join like the page's sets after a look-up.
    for (const std::string& typed : options.lookup_names) {
        std::unique_ptr<nbOrbitalElements> set = looked_up(typed, error);
        if (!set)
            return fail(EXIT_INPUT, error);
        // Saved only for a body that joined, as the page saves.
        const BodyJoin join = factory.join(*set);
        if (!joined(join, "--lookup '" + typed + "'", error))
            return fail(EXIT_INPUT, error);
        if (!options.save_file.empty()) {
            const std::string text = ElementsFileText(*set);
            if (text.empty() || !write_file_atomically(options.save_file, text, error))
                return fail(EXIT_INPUT, "cannot write the element file '" + options.save_file +
                                            "': " + (text.empty() ? "no document" : error));
        }
        factory.adopt_elements(std::move(set));
    }
    if (options.zero_momentum && (!options.add_names.empty() || !options.element_files.empty() ||
                                  !options.lookup_names.empty()))
        system->zero_momentum();

    SimFilm film(options);
    if (!options.png_file.empty() || film.wanted()) {
        bool known = false;
        tracked_body(*system, options, known);
        if (!known)
            return fail(EXIT_INPUT,
                        "no body named '" + options.track + "' to track in the picture");
    }

    if (options.watch_au)
        system->approaches().set_every_radius(*options.watch_au * ASTRONOMICAL_UNIT);
    if (film.wanted() && !film.begin(error))
        return fail(EXIT_INPUT, error);
    // A line that counts the pictures, for a person watching (not a log).
    const bool progress = film.wanted() && isatty(STDERR_FILENO);
    const long film_frames = 1 + options.steps / film.every();
    auto add_picture = [&]() {
        const wxImage picture = sim_picture(*system, scene, options, error);
        if (!picture.IsOk() || !film.add(picture, error))
            return false;
        if (progress)
            std::fprintf(stderr, "\rzenorb-sim: frame %ld of %ld", film.frames(), film_frames);
        return true;
    };
    bool film_ok = true;

    StateWriter writer(stdout, options.format == SimOptions::Format::Json
                                   ? StateWriter::Format::Json
                                   : StateWriter::Format::Csv);
    writer.begin();
    // A non-finite state spoils every body at the next step: the run stops
    // at the first one, and what was printed before it stands.
    std::string broken = first_non_finite_body(*system);
    long step = 0;
    if (broken.empty() && (options.every > 0 || options.steps == 0))
        writer.write(0, *system);
    if (broken.empty() && film.wanted())
        film_ok = add_picture();
    const double dt = options.step_days * 86400;
    while (film_ok && broken.empty() && step < options.steps) {
        ++step;
        broken = step_and_check(*system, dt);
        if (broken.empty() &&
            ((options.every > 0 && step % options.every == 0) || step == options.steps))
            writer.write(step, *system);
        if (broken.empty() && film.wanted() && step % film.every() == 0)
            film_ok = add_picture();
    }
    writer.end();
    if (progress)
        std::fputc('\n', stderr);
    // The passes up to where the run stopped (a non-finite state, a film
    // that could not go on) are as good as a whole run's.
    std::string csv_error;
    if (!options.approaches_file.empty() &&
        !write_file_atomically(options.approaches_file,
                               approaches_csv(system->approaches().events()), csv_error))
        return fail(EXIT_INPUT, "cannot write the approaches file '" + options.approaches_file +
                                    "': " + csv_error);
    if (!film_ok)
        return fail(EXIT_INPUT, error);
    if (film.wanted() && !film.finish(error))
        return fail(EXIT_INPUT, error);
    if (std::fflush(stdout) != 0 || std::ferror(stdout))
        return fail(EXIT_INPUT, std::string("cannot write the output: ") + std::strerror(errno));
    if (!broken.empty())
        return fail(EXIT_INPUT, "the state of '" + broken + "' is not finite " +
                                    (step == 0 ? std::string("at the start")
                                               : "after step " + std::to_string(step)) +
                                    "; the simulation stops there");
    if (!options.png_file.empty() && !write_picture(*system, scene, options, error))
        return fail(EXIT_INPUT, error);
    return 0;
}
