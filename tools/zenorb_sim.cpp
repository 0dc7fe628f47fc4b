// The headless simulator: what the desktop program does at start-up and on
// each tick, without drawing, printing the states instead.
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <tuple>

#include <wx/datetime.h>
#include <wx/init.h>

#include "nbody/date_bridge.h"
#include "nbody/factory.h"
#include "render/scene.h"
#include "render/simulation_start.h"
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

// Of several sets under one name the one with the latest epoch, then a fixed
// order of the elements, so that runs do not depend on memory addresses.
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
    nbSystem* system =
        start_simulation(factory, scene, jd, options.width, options.height, options.zero_momentum);

    if (!options.catalogue_dir.empty()) {
        const std::string& dir = options.catalogue_dir;
        // Read like the catalogue pages do, noting whether any file was there.
        const long read[] = {factory.read_catalogue_file(dir, nbFactory::COMETS_FILE, true),
                             factory.read_catalogue_file(dir, nbFactory::BRIGHT_FILE, false),
                             factory.read_catalogue_file(dir, nbFactory::UNUSUAL_FILE, false),
                             factory.read_catalogue_file(dir, nbFactory::CRITICAL_FILE, false)};
        bool any_file = false;
        for (long count : read)
            any_file = any_file || count >= 0;
        if (!any_file)
            return fail(EXIT_INPUT, "no catalogue file (zenorb_comets.txt, zenorb_bright.txt, "
                                    "zenorb_unusual.txt, zenorb_critical.txt) can be read in '" +
                                        options.catalogue_dir + "'");
        for (const std::string& typed : options.add_names) {
            const std::string name = catalogue_name(typed);
            const nbOrbitalElements* set = find_set(factory, name);
            if (!set)
                return fail(EXIT_INPUT, "no object named '" + typed + "' in the catalogue '" +
                                            options.catalogue_dir + "'");
            // A name given twice, or one of a built-in body, adds nothing more.
            system->add(set->name(), set->create_body(jd));
        }
        if (options.zero_momentum && !options.add_names.empty())
            system->zero_momentum();
    }

    if (!options.png_file.empty()) {
        bool known = false;
        tracked_body(*system, options, known);
        if (!known)
            return fail(EXIT_INPUT,
                        "no body named '" + options.track + "' to track in the picture");
    }

    StateWriter writer(stdout, options.format == SimOptions::Format::Json
                                   ? StateWriter::Format::Json
                                   : StateWriter::Format::Csv);
    writer.begin();
    if (options.every > 0 || options.steps == 0)
        writer.write(0, *system);
    const double dt = options.step_days * 86400;
    for (long step = 1; step <= options.steps; ++step) {
        system->step(dt);
        if ((options.every > 0 && step % options.every == 0) || step == options.steps)
            writer.write(step, *system);
    }
    writer.end();
    if (std::fflush(stdout) != 0 || std::ferror(stdout))
        return fail(EXIT_INPUT, std::string("cannot write the output: ") + std::strerror(errno));
    if (!options.png_file.empty() && !write_picture(*system, scene, options, error))
        return fail(EXIT_INPUT, error);
    return 0;
}
