#include "tools/sim_options.h"

#include <cstring>

#include "nbody/julian.h"
#include "nbody/parse_number.h"

const char* const SIM_USAGE = R"(Usage: zenorb-sim [options]

Builds the Sun, the eight planets, the Moon and Pluto for a start date,
optionally adds comets and asteroids, integrates them under Newtonian gravity
and prints their heliocentric states (metres, metres per second; ecliptic
frame, x toward the equinox, z toward the ecliptic north pole).

Start date (default: today's date, 00:00 UTC):
  --jd JD              Julian date, 0 to 5373484.5
  --date YYYY-MM-DD    00:00 of that date (Gregorian from 1582-10-15 on,
                       Julian calendar before; years -4712 to 9999)

Integration:
  --step DAYS          time step in days, 0.001 to 30 (default 0.26)
  --steps N            number of steps (default 0: the initial state)
  --every K            also print the state every K steps (with step 0);
                       with --film or --frames, a picture as often
  --no-zero-momentum   keep the total momentum; by default it is removed
                       after the build and again after bodies were added
  --accurate           the high-accuracy mode (the window's "High
                       accuracy"): all bodies in the ecliptic of J2000.0,
                       the masses of JPL's DE430, velocities fitted so that
                       the motion follows the theories over the 180 days
                       after the start, and each step crossed by an
                       adaptive Bulirsch-Stoer integrator in sub-steps.
                       Without it the planets come in the ecliptic of the
                       start date (docs/accuracy.md says how far each mode
                       drifts)

Extra bodies:
  --catalogue DIR      read the catalogue files zenorb_comets.txt,
                       zenorb_bright.txt, zenorb_unusual.txt and
                       zenorb_critical.txt (Minor Planet Center "Soft06"
                       lines) from DIR; a file that is there but cannot
                       be read is named in a warning and left out
  --add NAME           add the catalogue object NAME at the start date
                       (repeatable; blanks in NAME may be written as
                       blanks or underscores). When the catalogue holds
                       NAME twice, the set with the latest epoch is used.
                       A name already in the system (Sun, or an object
                       added before) is refused.
  --lookup NAME        look NAME (a name or designation, as "Apophis",
                       "2004 MN4", "1P") up in JPL's Small-Body Database
                       and add it at the start date (repeatable; after the
                       --add objects). Needs the network; the environment
                       variable ZENORB_SBDB_URL replaces the database's
                       address. A name that matches several objects lists
                       them; an object on an open orbit (e >= 1) is refused.
  --save FILE.xml      with one --lookup: also write the object's element
                       file, as the "Add Single Object" page saves it
  --elements FILE.xml  add the object of a single-object element file, as
                       the desktop program's "Add Single Object" page
                       saves it (repeatable; after the --add objects). A
                       file that cannot be read, is not an element file or
                       holds elements the simulation cannot carry is an
                       error, as is a name already in the system.

Picture of the final state (drawn without a display, as the program's
window would show it: orbits, fading, names and the Sun on, axes off):
  --png FILE           write a PNG picture
  --size WxH           picture size in pixels, 16 to 8192 each
                       (default 1280x960)
  --view north|equinox|oblique
                       from above the ecliptic north pole (default), from
                       the vernal equinox, or from an oblique viewpoint
  --track NAME         keep body NAME in the centre (default Sun; "none"
                       keeps the origin there)
  --simplified         the simplified drawing mode

Film of the run (the pictures as with --png, their size, view, track and
drawing mode taken from the same options; a picture at the start and one
every K steps of --every, every step without it):
  --film FILE.mp4      encode the pictures as an MP4 film: H.264 (libx264,
                       preset ultrafast) where FFmpeg carries it, else
                       MPEG-4 part 2. A file there is replaced. An odd
                       width or height gets one black column or row more.
                       The film is written in fragments of a second: when
                       writing stops early (a full disk, a killed run) the
                       file holds a playable film of the frames before
  --frames DIR         write the pictures as numbered PNG files
                       DIR/frame-000001.png, frame-000002.png, ... (DIR
                       made when missing), each written whole or not at all
  --fps N              frames per second of the film, 1 to 240 (default 30)

Output:
  --format csv|json    csv (default): a header line
                       step,jd,name,x_m,y_m,z_m,vx_mps,vy_mps,vz_mps
                       then one line per body in name order; json: one
                       object with a "states" array. Numbers have 17
                       significant digits.
  --approaches FILE.csv
                       also write the run's close approaches of comets and
                       asteroids to heavy bodies, one line per pass in
                       time order under the header
                       object,with,jd,utc,distance_km,distance_au,speed_km_s
                       (the least centre-to-centre distance and the
                       relative speed then; names with a comma or a quote
                       in quotes). A pass counts within 0.05 AU of the
                       Earth, the Moon, the Sun or Pluto and 0.1 AU of the
                       other planets. The file is replaced whole once the
                       run ends, and also when it stops at a state that is
                       no longer finite
  --watch AU           the watch radius of every heavy body instead,
                       0.0001 to 10 AU
  --help               this text

Updating the catalogue lists (for a scheduled job; nothing is simulated):
  --download DIR       fetch the Minor Planet Center's four lists into DIR
                       (made when missing) as the download dialog does:
                       the files zenorb_comets.txt, zenorb_bright.txt (this
                       year's), zenorb_unusual.txt and zenorb_critical.txt,
                       each replaced only by a whole, checked list; the
                       reason of each list that failed goes to standard
                       error and the others are fetched still
  --server URL         the server to fetch them from instead of
                       https://www.minorplanetcenter.net/ (the lists'
                       paths follow it)

Exit status: 0 success; 1 bad input (file, object name), a state that is
no longer finite (the run stops at the first such step) or a list that
could not be fetched; 2 bad usage.
)";

const std::vector<std::string> SIM_FLAGS = {"--help", "--no-zero-momentum", "--simplified",
                                            "--accurate"};
const std::vector<std::string> SIM_VALUE_OPTIONS = {
    "--jd",        "--date", "--step",       "--steps",    "--every",  "--elements",
    "--catalogue", "--add",  "--lookup",     "--save",     "--format", "--png",
    "--size",      "--view", "--track",      "--download", "--server", "--film",
    "--frames",    "--fps",  "--approaches", "--watch"};

namespace {

bool sim_option_is(const std::string& option, const std::vector<std::string>& names) {
    for (const std::string& name : names)
        if (option == name)
            return true;
    return false;
}

bool number_in(const std::string& text, double low, double high, double& value) {
    double v = 0;
    if (!parse_double(text, v) || v < low || v > high)
        return false;
    value = v;
    return true;
}

bool count_in(const std::string& text, long low, long high, long& value) {
    long v = 0;
    if (!parse_long(text, v) || v < low || v > high)
        return false;
    value = v;
    return true;
}

int days_in_month(int year, int month, bool gregorian) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month != 2)
        return days[month - 1];
    const bool leap =
        gregorian ? (year % 4 == 0 && (year % 100 != 0 || year % 400 == 0)) : year % 4 == 0;
    return leap ? 29 : 28;
}

bool parse_size(const std::string& text, int& width, int& height) {
    const std::size_t x = text.find('x');
    int w = 0, h = 0;
    if (x == std::string::npos || !parse_int(std::string_view(text).substr(0, x), w) ||
        !parse_int(std::string_view(text).substr(x + 1), h) || w < 16 || h < 16 || w > 8192 ||
        h > 8192)
        return false;
    width = w;
    height = h;
    return true;
}

} // namespace

bool parse_iso_date(const std::string& text, double& jd) {
    if (text.empty())
        return false;
    // An optional sign for years before 1 (astronomical numbering).
    const std::size_t first_dash = text.find('-', text[0] == '-' ? 1 : 0);
    if (first_dash == std::string::npos)
        return false;
    const std::size_t second_dash = text.find('-', first_dash + 1);
    if (second_dash == std::string::npos || text.size() - second_dash != 3 ||
        second_dash - first_dash != 3)
        return false;
    // Digits only, but for the year's leading '-': parse_int would take a
    // sign inside the date too ("2000-+1-01").
    const std::string_view digits = std::string_view(text).substr(text[0] == '-' ? 1 : 0);
    for (std::size_t k = 0; k < digits.size(); ++k)
        if (digits[k] != '-' && !(digits[k] >= '0' && digits[k] <= '9'))
            return false;
    int year = 0, month = 0, day = 0;
    if (!parse_int(std::string_view(text).substr(0, first_dash), year) ||
        !parse_int(std::string_view(text).substr(first_dash + 1, 2), month) ||
        !parse_int(std::string_view(text).substr(second_dash + 1, 2), day))
        return false;
    if (year < FIRST_YEAR || year > LAST_YEAR || month < 1 || month > 12 || day < 1)
        return false;
    const bool gregorian = is_gregorian_date(year, month, day);
    if (day > days_in_month(year, month, gregorian))
        return false;
    jd = nbJulianDate(year, month, double(day), 0, 0, 0, gregorian).jd();
    return true;
}

bool parse_sim_options(int argc, const char* const* argv, SimOptions& options, std::string& error) {
    std::string simulation_option; // the last option of a simulation run, if any
    bool fps_given = false;
    for (int k = 1; k < argc; ++k) {
        const std::string option = argv[k];
        if (option == "-h" || sim_option_is(option, SIM_FLAGS)) {
            if (option == "--help" || option == "-h") {
                options.help = true;
                continue;
            }
            if (option == "--no-zero-momentum")
                options.zero_momentum = false;
            else if (option == "--simplified")
                options.simplified = true;
            else if (option == "--accurate")
                options.accurate = true;
            simulation_option = option;
            continue;
        }
        if (!sim_option_is(option, SIM_VALUE_OPTIONS)) {
            error = "unknown option '" + option + "' (see --help)";
            return false;
        }
        if (k + 1 >= argc) {
            error = "option " + option + " needs a value";
            return false;
        }
        const std::string value = argv[++k];
        const std::string culprit = option + " '" + value + "'";
        // An empty name would quietly read or write nothing (or the root).
        if (value.empty() &&
            (option == "--catalogue" || option == "--png" || option == "--elements" ||
             option == "--save" || option == "--download" || option == "--film" ||
             option == "--frames" || option == "--approaches")) {
            error = "bad " + culprit + ": expected a file or folder name";
            return false;
        }
        if (option == "--lookup" && value.find_first_not_of(" \t") == std::string::npos) {
            error = "bad " + culprit + ": expected a name or designation";
            return false;
        }
        if (option != "--download" && option != "--server")
            simulation_option = option;
        if (option == "--download") {
            options.download_dir = value;
        } else if (option == "--server") {
            if (value.rfind("http://", 0) != 0 && value.rfind("https://", 0) != 0) {
                error = "bad " + culprit + ": expected an http:// or https:// address";
                return false;
            }
            options.server = value;
        } else if (option == "--jd") {
            double jd = 0;
            if (!number_in(value, 0, 5373484.5, jd)) {
                error = "bad " + culprit + ": expected a Julian date from 0 to 5373484.5";
                return false;
            }
            options.jd = jd;
        } else if (option == "--date") {
            double jd = 0;
            if (!parse_iso_date(value, jd)) {
                error = "bad " + culprit + ": expected a date YYYY-MM-DD from -4712 to 9999";
                return false;
            }
            options.jd = jd;
        } else if (option == "--step") {
            if (!number_in(value, MIN_STEP_DAYS, MAX_STEP_DAYS, options.step_days)) {
                error = "bad " + culprit + ": expected a number of days from 0.001 to 30";
                return false;
            }
        } else if (option == "--steps") {
            if (!count_in(value, 0, 1000000000L, options.steps)) {
                error = "bad " + culprit + ": expected a whole number from 0 to 1000000000";
                return false;
            }
        } else if (option == "--every") {
            if (!count_in(value, 1, 1000000000L, options.every)) {
                error = "bad " + culprit + ": expected a whole number from 1 to 1000000000";
                return false;
            }
        } else if (option == "--elements") {
            options.element_files.push_back(value);
        } else if (option == "--catalogue") {
            options.catalogue_dir = value;
        } else if (option == "--add") {
            options.add_names.push_back(value);
        } else if (option == "--lookup") {
            options.lookup_names.push_back(value);
        } else if (option == "--save") {
            options.save_file = value;
        } else if (option == "--approaches") {
            options.approaches_file = value;
        } else if (option == "--watch") {
            double au = 0;
            if (!number_in(value, 0.0001, 10, au)) {
                error = "bad " + culprit + ": expected a radius in AU from 0.0001 to 10";
                return false;
            }
            options.watch_au = au;
        } else if (option == "--png") {
            options.png_file = value;
        } else if (option == "--size") {
            if (!parse_size(value, options.width, options.height)) {
                error = "bad " + culprit + ": expected WIDTHxHEIGHT, each from 16 to 8192";
                return false;
            }
        } else if (option == "--view") {
            if (value == "north")
                options.view = SimOptions::View::North;
            else if (value == "equinox")
                options.view = SimOptions::View::Equinox;
            else if (value == "oblique")
                options.view = SimOptions::View::Oblique;
            else {
                error = "bad " + culprit + ": expected north, equinox or oblique";
                return false;
            }
        } else if (option == "--film") {
            options.film_file = value;
        } else if (option == "--frames") {
            options.frames_dir = value;
        } else if (option == "--fps") {
            long fps = 0;
            if (!count_in(value, 1, 240, fps)) {
                error = "bad " + culprit + ": expected a whole number from 1 to 240";
                return false;
            }
            options.fps = int(fps);
            fps_given = true;
        } else if (option == "--track") {
            options.track = value;
        } else if (option == "--format") {
            if (value == "csv")
                options.format = SimOptions::Format::Csv;
            else if (value == "json")
                options.format = SimOptions::Format::Json;
            else {
                error = "bad " + culprit + ": expected csv or json";
                return false;
            }
        }
    }
    if (!options.server.empty() && options.download_dir.empty()) {
        error = "--server needs --download DIR";
        return false;
    }
    if (!options.download_dir.empty() && !simulation_option.empty()) {
        error = "--download fetches the lists and simulates nothing: " + simulation_option +
                " goes with another run";
        return false;
    }
    if (fps_given && options.film_file.empty()) {
        error = "--fps needs --film FILE.mp4, the film it times";
        return false;
    }
    if (!options.add_names.empty() && options.catalogue_dir.empty()) {
        error = "--add needs --catalogue DIR to find the object";
        return false;
    }
    if (!options.save_file.empty() && options.lookup_names.size() != 1) {
        error = "--save needs exactly one --lookup NAME, the object whose file it writes";
        return false;
    }
    return true;
}
