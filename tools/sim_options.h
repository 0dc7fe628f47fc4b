// Command-line options of the headless simulator.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "nbody/system.h"

struct SimOptions {
    std::optional<double> jd; // start date; today's date at 00:00 UTC when empty
    double step_days = DEFAULT_STEP_DAYS;
    long steps = 0;
    long every = 0; // 0: only the final state
    std::vector<std::string> element_files;
    std::string catalogue_dir;
    std::vector<std::string> add_names;
    // Objects looked up by name in the small-body database.
    std::vector<std::string> lookup_names;
    std::string save_file; // the one looked-up object's element file; empty: none
    bool zero_momentum = true;
    bool accurate = false; // the high-accuracy mode
    enum class Format { Csv, Json } format = Format::Csv;
    // The run's close approaches as a table; empty: none written.
    std::string approaches_file;
    // Every heavy body's watch radius, AU; empty: each body's own default.
    std::optional<double> watch_au;
    bool help = false;

    // A picture of the final state, drawn as the program's window would.
    std::string png_file; // empty: no picture
    int width = 1280;
    int height = 960;
    enum class View { North, Equinox, Oblique } view = View::North;
    std::string track = "Sun"; // "none": the origin stays centred
    bool simplified = false;

    // A film of the run: a picture every `every` steps (every step when
    // `every` is 0), from the start on, drawn like the --png picture.
    std::string film_file;  // an MP4 film; empty: none
    std::string frames_dir; // numbered PNG pictures instead; empty: none
    int fps = 30;

    // Fetching the catalogue lists instead of simulating.
    std::string download_dir; // empty: no download
    std::string server;       // empty: the Minor Planet Center's
};

// Parses argv[1..argc). On a usage error returns false with a one-line
// message naming the culprit.
bool parse_sim_options(int argc, const char* const* argv, SimOptions& options, std::string& error);

// JD of 00:00 of a "YYYY-MM-DD" date (Gregorian from 1582-10-15 on, Julian
// before); false for anything else.
bool parse_iso_date(const std::string& text, double& jd);

extern const char* const SIM_USAGE;
// The options the parser knows, alone and followed by a value ("-h" is
// "--help" too): one list for the parser and for checking the usage text.
extern const std::vector<std::string> SIM_FLAGS;
extern const std::vector<std::string> SIM_VALUE_OPTIONS;
