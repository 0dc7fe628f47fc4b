// Runs the headless simulator as a user would and reads what it prints.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <wx/image.h>
#include <wx/init.h>

#include "common/film_probe.h"
#include "common/loopback_server.h"
#include "common/proxy_environment.h"
#include "common/sbdb_answers.h"
#include "common/temp_dir.h"
#include "nbody/elements.h"
#include "nbody/parse_number.h"
#include "readers/element_file.h"
#include "tools/sim_options.h"

namespace {

struct SimRun {
    int status = -1;
    std::string out;
    std::string err;
};

// Without a display when asked, as on a server; `shell` runs first in the
// same shell (a resource limit, say).
SimRun run(const std::string& arguments, bool no_display = false, const std::string& shell = "") {
    // ctest runs tests in parallel processes: each keeps its own file.
    const std::string err_file =
        testing::TempDir() + "zenorb-sim-stderr-" + std::to_string(getpid()) + ".txt";
    // A run that hangs fails on its own rather than stalling the tests.
    const std::string command = shell + "timeout 60 " + (no_display ? "env -u DISPLAY " : "") +
                                ZENORB_SIM + " " + arguments + " 2>" + err_file;
    SimRun result;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return result;
    char buffer[4096];
    std::size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        result.out.append(buffer, n);
    const int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (FILE* err = fopen(err_file.c_str(), "r")) {
        while ((n = fread(buffer, 1, sizeof buffer, err)) > 0)
            result.err.append(buffer, n);
        fclose(err);
    }
    std::remove(err_file.c_str());
    return result;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        out.push_back(line);
    return out;
}

std::vector<std::string> fields(const std::string& line) {
    std::vector<std::string> out;
    std::istringstream in(line);
    for (std::string field; std::getline(in, field, ',');)
        out.push_back(field);
    return out;
}

TEST(SimCli, PrintsOneLinePerBodyAndStateInNameOrder) {
    const SimRun r = run("--date 2000-01-01 --steps 4 --every 2");
    ASSERT_EQ(r.status, 0) << r.err;
    const auto rows = lines(r.out);
    ASSERT_EQ(rows.size(), 1u + 3 * 11); // steps 0, 2 and 4
    EXPECT_EQ(rows[0], "step,jd,name,x_m,y_m,z_m,vx_mps,vy_mps,vz_mps");
    const char* order[] = {"Earth", "Jupiter", "Mars", "Mercury", "Moon", "Neptune",
                           "Pluto", "Saturn",  "Sun",  "Uranus",  "Venus"};
    for (int state = 0; state < 3; ++state)
        for (int b = 0; b < 11; ++b) {
            const auto f = fields(rows[1 + state * 11 + b]);
            ASSERT_EQ(f.size(), 9u);
            EXPECT_EQ(f[0], std::to_string(2 * state));
            double jd = 0;
            ASSERT_TRUE(parse_double(f[1], jd));
            EXPECT_NEAR(jd, 2451544.5 + 2 * state * 0.26, 1e-9);
            EXPECT_EQ(f[2], order[b]);
            for (int k = 3; k < 9; ++k) {
                double v = 0;
                EXPECT_TRUE(parse_double(f[k], v)) << f[k];
            }
        }
    // 00:00 of 2000-01-01: the Earth is about 0.983 AU from the Sun.
    const auto earth = fields(rows[1]);
    double x = 0, y = 0;
    parse_double(earth[3], x);
    parse_double(earth[4], y);
    EXPECT_NEAR(std::hypot(x, y) / 1.49598e11, 0.9833, 0.001);
}

TEST(SimCli, JsonHoldsTheSameStates) {
    const SimRun csv = run("--jd 2451545 --steps 1");
    const SimRun json = run("--jd 2451545 --steps 1 --format json");
    ASSERT_EQ(json.status, 0) << json.err;
    const auto first_body = fields(lines(csv.out)[1]);
    EXPECT_NE(json.out.find("\"states\": ["), std::string::npos);
    EXPECT_NE(json.out.find("{\"name\": \"Earth\", \"position_m\": [" + first_body[3] + ", "),
              std::string::npos);
    EXPECT_EQ(json.out.find("\"step\": 0"), std::string::npos); // only the final state
}

// --accurate is the window's "High accuracy": the Sun at the origin at the
// start, the planets in the ecliptic of J2000 (for 2025 some 21 arcminutes
// of precession from where the program's own mode puts them), and more
// steps in the same ticks.
TEST(SimCli, AccurateStartsInTheEclipticOfJ2000AndEndsElsewhere) {
    const SimRun own = run("--date 2025-01-01 --steps 2 --every 2");
    const SimRun accurate = run("--date 2025-01-01 --steps 2 --every 2 --accurate");
    ASSERT_EQ(accurate.status, 0) << accurate.err;
    const auto a = lines(accurate.out), o = lines(own.out);
    ASSERT_EQ(a.size(), o.size());
    auto number = [](const std::string& line, int k) {
        double v = 0;
        EXPECT_TRUE(parse_double(fields(line)[k], v)) << line;
        return v;
    };
    EXPECT_EQ(fields(a[9])[2], "Sun");
    EXPECT_EQ(number(a[9], 3), 0.0) << "the Sun starts at the origin";
    EXPECT_NE(number(o[9], 3), 0.0);
    const double own_longitude = std::atan2(number(o[1], 4), number(o[1], 3));
    const double j2000_longitude = std::atan2(number(a[1], 4), number(a[1], 3));
    EXPECT_NEAR((own_longitude - j2000_longitude) * 180 / M_PI * 3600, 1257, 15) << "arcseconds";
    // After two ticks both are at the same date, in different places.
    EXPECT_EQ(fields(a[12])[1], fields(o[12])[1]);
    EXPECT_NE(fields(a[12])[3], fields(o[12])[3]);
}

// The usage text is where a user learns the options: each one the parser
// knows has its entry, and no entry names one the parser refuses.
TEST(SimCli, HelpExitsZeroAndListsEveryOptionTheParserKnows) {
    const SimRun help = run("--help", true);
    EXPECT_EQ(help.status, 0) << help.err;
    EXPECT_TRUE(help.err.empty()) << help.err;
    const SimRun short_form = run("-h", true);
    EXPECT_EQ(short_form.status, 0);
    EXPECT_EQ(short_form.out, help.out);

    // An entry is a line opening with two spaces and the option.
    std::set<std::string> listed;
    for (const std::string& line : lines(help.out))
        if (line.rfind("  --", 0) == 0)
            listed.insert(line.substr(2, line.find_first_of(" |", 2) - 2));
    std::set<std::string> known(SIM_FLAGS.begin(), SIM_FLAGS.end());
    known.insert(SIM_VALUE_OPTIONS.begin(), SIM_VALUE_OPTIONS.end());
    EXPECT_EQ(listed, known);

    auto parse = [](std::vector<const char*> argv, std::string& error) {
        argv.insert(argv.begin(), "zenorb-sim");
        SimOptions options;
        return parse_sim_options(int(argv.size()), argv.data(), options, error);
    };
    for (const std::string& option : listed) {
        std::string error;
        const bool flag = std::count(SIM_FLAGS.begin(), SIM_FLAGS.end(), option) > 0;
        if (flag)
            EXPECT_TRUE(parse({option.c_str()}, error)) << option << ": " << error;
        else
            parse({option.c_str(), "x"}, error); // the value may be refused, the option not
        EXPECT_EQ(error.find("unknown option"), std::string::npos) << option << ": " << error;
    }
    std::string error;
    EXPECT_FALSE(parse({"--frobnicate"}, error));
    EXPECT_NE(error.find("unknown option '--frobnicate'"), std::string::npos) << error;
}

TEST(SimCli, AddsCatalogueObjectsByName) {
    const SimRun r = run(std::string("--date 2014-05-23 --catalogue ") + ZENORB_TEST_DATA +
                         "/catalogue --add '1915 1953 EA' --add 2P/Encke");
    ASSERT_EQ(r.status, 0) << r.err;
    const auto rows = lines(r.out);
    ASSERT_EQ(rows.size(), 1u + 13);
    EXPECT_EQ(fields(rows[1])[2], "1915_1953_EA"); // digits sort first
    EXPECT_EQ(fields(rows[2])[2], "2P/Encke");
}

TEST(SimCli, DrawsAPictureWithoutADisplay) {
    const std::string png =
        testing::TempDir() + "zenorb-sim-test-" + std::to_string(getpid()) + ".png";
    std::remove(png.c_str());
    const SimRun r = run("--date 2000-01-01 --steps 300 --size 200x150 --png " + png, true);
    ASSERT_EQ(r.status, 0) << r.err;
    wxInitializer toolkit;
    wxImage::AddHandler(new wxPNGHandler);
    wxImage image;
    ASSERT_TRUE(image.LoadFile(png, wxBITMAP_TYPE_PNG));
    EXPECT_EQ(image.GetWidth(), 200);
    EXPECT_EQ(image.GetHeight(), 150);
    // The Sun is tracked: its disc covers the centre of the picture.
    EXPECT_EQ(image.GetRed(98, 73), 255);
    EXPECT_EQ(image.GetGreen(98, 73), 150);
    EXPECT_EQ(image.GetBlue(98, 73), 30);
    std::remove(png.c_str());

    const SimRun bad = run("--png " + testing::TempDir() + "no/such/dir/x.png", true);
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.err.find("cannot write the picture"), std::string::npos) << bad.err;
    const SimRun untracked = run("--png " + png + " --track Vulcan", true);
    EXPECT_EQ(untracked.status, 1);
    EXPECT_TRUE(untracked.out.empty());
}

// A picture that cannot be written whole is a message and status 1, and
// leaves no partial file and any earlier picture as it was.
TEST(SimCli, APictureIsWrittenWholeOrNotAtAll) {
    const std::string dir = testing::TempDir() + "zenorb-sim-png-" + std::to_string(getpid());
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    const SimRun device = run("--png /dev/full", true);
    EXPECT_EQ(device.status, 1);
    EXPECT_NE(device.err.find("'/dev/full': it is a device, not a regular file"), std::string::npos)
        << device.err;
    // The file is there; what fails is making the new one beside it.
    const SimRun proc = run("--png /proc/version", true);
    EXPECT_EQ(proc.status, 1);
    EXPECT_NE(proc.err.find("cannot write the picture '/proc/version': no new file can be made "
                            "in its folder ("),
              std::string::npos)
        << proc.err;
    EXPECT_EQ(lines(proc.err).size(), 1u) << proc.err;

    // A file-size limit far below a picture's size stops the write half-way.
    const std::string kept = dir + "/kept.png";
    std::ofstream(kept) << "an earlier picture";
    for (const std::string& png : {dir + "/new.png", kept}) {
        const SimRun limited = run("--png " + png, true, "ulimit -f 2; ");
        EXPECT_EQ(limited.status, 1) << png;
        EXPECT_NE(limited.err.find("File too large"), std::string::npos) << limited.err;
    }
    EXPECT_EQ(files_in(dir), std::set<std::string>{"kept.png"}) << "a partial file was left";
    EXPECT_EQ(slurp(kept), "an earlier picture");
    std::filesystem::remove_all(dir);
}

// Debian's FFmpeg carries libx264.
const char* const FILM_CODEC = "h264";

TEST(SimCli, FilmsAPictureAtTheStartAndEveryKSteps) {
    struct Case {
        const char* arguments;
        long frames;
        int fps, width, height; // an odd size gets one pixel more
        std::size_t states;     // lines of output, the header's included
    };
    const Case cases[] = {
        {"--steps 20 --every 2 --fps 10 --size 160x120", 11, 10, 160, 120, 1 + 11 * 11},
        {"--steps 5 --size 161x121", 6, 30, 162, 122, 1 + 11},
        {"--steps 7 --every 3 --fps 5 --size 64x48 --view oblique --simplified", 3, 5, 64, 48,
         1 + 11 * 4},
    };
    TempDir dir;
    for (const Case& c : cases) {
        const std::string film = dir.path() + "/run.mp4";
        const SimRun r =
            run(std::string("--date 2000-01-01 ") + c.arguments + " --film " + film, true);
        ASSERT_EQ(r.status, 0) << c.arguments << ": " << r.err;
        // Not a terminal: no progress line.
        EXPECT_EQ(r.err, "") << c.arguments;
        EXPECT_EQ(lines(r.out).size(), c.states) << c.arguments;
        const FilmProbe probe = probe_film(film);
        ASSERT_TRUE(probe.readable) << c.arguments << ": " << probe.errors;
        EXPECT_EQ(probe.codec, FILM_CODEC);
        EXPECT_EQ(probe.frames, c.frames) << c.arguments;
        EXPECT_EQ(probe.width, c.width) << c.arguments;
        EXPECT_EQ(probe.height, c.height) << c.arguments;
        EXPECT_NEAR(probe.seconds, double(c.frames) / c.fps, 0.5 / c.fps) << c.arguments;
    }
}

// The progress line is for a person at a terminal; a log gets none (see
// FilmsAPictureAtTheStartAndEveryKSteps).
TEST(SimCli, AFilmCountsItsFramesOnATerminal) {
    TempDir dir;
    const std::string film = dir.path() + "/terminal.mp4";
    // script(1) runs the simulator on a terminal of its own and passes on
    // what it shows.
    const std::string command = std::string("script -qec \"") + ZENORB_SIM +
                                " --date 2000-01-01 --steps 2 --size 64x48 --film " + film +
                                " >/dev/null\" /dev/null";
    std::string shown;
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    char buffer[4096];
    std::size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        shown.append(buffer, n);
    ASSERT_EQ(pclose(pipe), 0) << shown;
    EXPECT_EQ(shown, "\rzenorb-sim: frame 1 of 3\rzenorb-sim: frame 2 of 3"
                     "\rzenorb-sim: frame 3 of 3\r\n");
    EXPECT_EQ(probe_film(film).frames, 3);
}

// The numbered pictures are the --png picture of each state: the last one
// is the final state's.
TEST(SimCli, FramesAreNumberedPicturesOfTheStates) {
    TempDir dir;
    const std::string frames = dir.path() + "/frames";
    const std::string png = dir.path() + "/final.png";
    const SimRun r = run("--date 2000-01-01 --steps 12 --every 4 --size 120x90 --track Earth "
                         "--frames " +
                             frames + " --png " + png,
                         true);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(files_in(frames), (std::set<std::string>{"frame-000001.png", "frame-000002.png",
                                                       "frame-000003.png", "frame-000004.png"}));
    wxInitializer toolkit;
    wxImage::AddHandler(new wxPNGHandler);
    wxImage last, first, final_state;
    ASSERT_TRUE(last.LoadFile(frames + "/frame-000004.png", wxBITMAP_TYPE_PNG));
    ASSERT_TRUE(first.LoadFile(frames + "/frame-000001.png", wxBITMAP_TYPE_PNG));
    ASSERT_TRUE(final_state.LoadFile(png, wxBITMAP_TYPE_PNG));
    ASSERT_EQ(last.GetWidth(), 120);
    ASSERT_EQ(last.GetHeight(), 90);
    const std::size_t bytes = 120 * 90 * 3;
    EXPECT_EQ(std::memcmp(last.GetData(), final_state.GetData(), bytes), 0);
    // The date in the corner moved on.
    EXPECT_NE(std::memcmp(first.GetData(), last.GetData(), bytes), 0);
}

// A film that cannot grow stops the run with a message naming the file and
// its reason; the file is still a film of the frames written before.
TEST(SimCli, AFilmStoppedByAFileSizeLimitStaysPlayable) {
    TempDir dir;
    const std::string film = dir.path() + "/limited.mp4";
    // dash's ulimit counts blocks of 512 bytes: 100 KiB.
    const SimRun r = run("--date 2000-01-01 --steps 600 --size 320x240 --fps 10 --film " + film,
                         true, "ulimit -f 200; ");
    EXPECT_EQ(r.status, 1);
    ASSERT_EQ(lines(r.err).size(), 1u) << r.err;
    EXPECT_NE(r.err.find("the film stops after "), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("cannot write to '" + film + "': File too large"), std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("the frames already in the file stay a playable film"), std::string::npos)
        << r.err;
    // "after N frames": no more frames in the file than were written.
    const std::size_t after = r.err.find("after ") + 6;
    const long written = std::stol(r.err.substr(after));
    const FilmProbe probe = probe_film(film);
    ASSERT_TRUE(probe.readable) << probe.errors;
    EXPECT_EQ(probe.codec, FILM_CODEC);
    EXPECT_EQ(probe.width, 320);
    EXPECT_GE(probe.frames, 10);
    EXPECT_LE(probe.frames, written);
    EXPECT_LT(written, 601);
}

TEST(SimCli, BadInputIsOneMessageAndAnExitStatusWithoutOutput) {
    struct Case {
        const char* arguments;
        int status;
        const char* culprit;
    };
    const Case cases[] = {
        {"--frobnicate", 2, "--frobnicate"},
        {"--step 0", 2, "--step '0'"},
        {"--step 31", 2, "--step '31'"},
        {"--steps -3", 2, "--steps '-3'"},
        {"--steps 1e3", 2, "--steps '1e3'"},
        {"--date 2001-02-29", 2, "2001-02-29"},
        // A sign belongs before the year only.
        {"--date 2000-+1-01", 2, "2000-+1-01"},
        {"--date 2000--1-01", 2, "2000--1-01"},
        {"--date 2000-01-+1", 2, "2000-01-+1"},
        {"--date +2000-01-01", 2, "+2000-01-01"},
        {"--date 2000-1-01", 2, "2000-1-01"},
        {"--date ' 2000-01-01'", 2, " 2000-01-01"},
        {"--jd nan", 2, "--jd 'nan'"},
        {"--jd", 2, "--jd"},
        {"--format xml", 2, "xml"},
        {"--watch 0", 2, "--watch '0'"},
        {"--watch 11", 2, "--watch '11'"},
        {"--watch far", 2, "--watch 'far'"},
        {"--approaches ''", 2, "--approaches ''"},
        {"--add Ceres", 2, "--catalogue"},
        {"--catalogue ''", 2, "--catalogue ''"},
        {"--png ''", 2, "--png ''"},
        {"--elements ''", 2, "--elements ''"},
        {"--film ''", 2, "--film ''"},
        {"--film", 2, "--film needs a value"},
        {"--frames ''", 2, "--frames ''"},
        {"--film f.mp4 --fps 0", 2, "--fps '0'"},
        {"--film f.mp4 --fps 241", 2, "--fps '241'"},
        {"--film f.mp4 --fps 2.5", 2, "--fps '2.5'"},
        {"--film f.mp4 --fps", 2, "--fps needs a value"},
        {"--fps 25", 2, "--fps needs --film"},
        {"--film f.mp4 --every 0", 2, "--every '0'"},
        {"--film /nonexistent/zenorb/f.mp4", 1, "'/nonexistent/zenorb/f.mp4' for writing"},
        {"--film /dev/full", 1, "'/dev/full': it is a device"},
        {"--frames /proc/zenorb", 1, "cannot make the folder '/proc/zenorb'"},
        {"--film f.mp4 --track Vulcan", 1, "'Vulcan'"},
        {"--elements mine.xml", 1, "the element file 'mine.xml': No such file or directory"},
        {"--catalogue /nonexistent/zenorb", 1, "/nonexistent/zenorb"},
        {"--catalogue " ZENORB_TEST_DATA "/catalogue --add Vulcan", 1, "'Vulcan'"},
    };
    for (const Case& c : cases) {
        const SimRun r = run(c.arguments);
        EXPECT_EQ(r.status, c.status) << c.arguments;
        EXPECT_TRUE(r.out.empty()) << c.arguments;
        EXPECT_NE(r.err.find(c.culprit), std::string::npos) << c.arguments << ": " << r.err;
        EXPECT_EQ(lines(r.err).size(), 1u) << r.err;
    }
}

// The critical list's line of 2012 DA14 under another name.
std::string da14_line(const std::string& name) {
    std::ifstream in(std::string(ZENORB_TEST_DATA) + "/mpc/Soft06CritList-2014-05-23.txt");
    for (std::string line; std::getline(in, line);)
        if (line.rfind("367943 2012 DA14", 0) == 0)
            return name + line.substr(line.find('|'));
    return std::string();
}

// The fields of a CSV line as RFC 4180 reads them.
std::vector<std::string> csv_fields(const std::string& line) {
    std::vector<std::string> out(1);
    bool quoted = false;
    for (std::size_t k = 0; k < line.size(); ++k) {
        const char c = line[k];
        if (quoted && c == '"' && k + 1 < line.size() && line[k + 1] == '"')
            out.back() += line[++k];
        else if (c == '"')
            quoted = !quoted;
        else if (c == ',' && !quoted)
            out.emplace_back();
        else
            out.back() += c;
    }
    return out;
}

TEST(SimCli, ApproachesFileListsThePassesInTimeOrder) {
    auto number = [](const std::string& text) {
        double v = 0;
        EXPECT_TRUE(parse_double(text, v)) << text;
        return v;
    };
    TempDir dir;
    // The 2014 elements taken back to the day before the pass of 2013
    // February 15 still bring the asteroid by the Earth.
    const std::string line = da14_line("2012 DA14, \"again\"");
    ASSERT_FALSE(line.empty());
    dir.write("zenorb_critical.txt", line + "\n");
    const std::string file = dir.path() + "/passes.csv";
    const std::string common = "--date 2013-02-14 --steps 12 --catalogue " + dir.path() +
                               " --add '2012 DA14, \"again\"' --approaches " + file;
    const SimRun r = run(common);
    ASSERT_EQ(r.status, 0) << r.err;
    const auto rows = lines(slurp(file));
    ASSERT_GE(rows.size(), 2u);
    EXPECT_EQ(rows[0], "object,with,jd,utc,distance_km,distance_au,speed_km_s");
    double last_jd = 0, earth_au = 0;
    for (std::size_t k = 1; k < rows.size(); ++k) {
        const auto f = csv_fields(rows[k]);
        ASSERT_EQ(f.size(), 7u) << rows[k];
        EXPECT_EQ(f[0], "2012_DA14,_\"again\"");
        const double jd = number(f[2]), km = number(f[4]), au = number(f[5]);
        EXPECT_GE(jd, last_jd) << "time order";
        last_jd = jd;
        EXPECT_NEAR(km, au * 1.49598e8, 1.0) << rows[k];
        EXPECT_EQ(f[3].size(), 20u) << f[3];
        if (f[1] == "Earth") {
            EXPECT_EQ(f[3].substr(0, 11), "2013-02-15T");
            EXPECT_LT(au, 0.05);
            EXPECT_GT(number(f[6]), 5.0) << "km/s";
            earth_au = au;
        }
    }
    ASSERT_GT(earth_au, 0) << "no pass of the Earth";

    // One radius for all: a pass outside it is not listed.
    const SimRun narrow = run(common + " --watch " + std::to_string(earth_au / 2));
    ASSERT_EQ(narrow.status, 0) << narrow.err;
    for (const std::string& row : lines(slurp(file)))
        EXPECT_EQ(row.find(",Earth,"), std::string::npos) << row;
}

// Apophis from JPL's osculating elements of 2021 January 1 (Horizons,
// solution JPL#218, heliocentric ecliptic of J2000.0) to its pass of 2029:
// JPL gives the least distance at 2029-04-13 21:46 TDB, some 69 s ahead of
// UTC. Eight years on, the high-accuracy mode must place it within the
// hour; the distance, which depends on everything the simulation leaves
// out (other asteroids' pulls, relativity, the Earth's figure, the
// asteroid's thermal push), only well inside the Moon's.
TEST(SimCli, AccurateModeFindsApophisIn2029WithinAnHourOfJpl) {
    TempDir dir;
    dir.write("zenorb_critical.txt",
              "99942 Apophis|2021 01 01.000|0.1915216892529348|0.9225071817339578|"
              "3.336751319526047|204.0389271089114|126.6520518833791|2000|127.3225632500591|"
              "19.09|0.24|0\n");
    const std::string file = dir.path() + "/passes.csv";
    // To 2029-04-14 00:00 in steps of 0.26 days.
    const SimRun r = run("--accurate --date 2021-01-01 --steps 11635 --catalogue " + dir.path() +
                         " --add '99942 Apophis' --approaches " + file);
    ASSERT_EQ(r.status, 0) << r.err;
    const auto rows = lines(slurp(file));
    std::vector<std::string> earth;
    for (std::size_t k = 1; k < rows.size(); ++k)
        if (csv_fields(rows[k])[1] == "Earth")
            earth = csv_fields(rows[k]);
    ASSERT_EQ(earth.size(), 7u) << slurp(file);
    double jd = 0, km = 0;
    ASSERT_TRUE(parse_double(earth[2], jd));
    ASSERT_TRUE(parse_double(earth[4], km));
    const double jpl_utc = 2462240.5 - (2 * 3600 + 14 * 60 + 69.2) / 86400.0;
    EXPECT_NEAR(jd, jpl_utc, 1.0 / 24) << earth[3];
    EXPECT_LT(km, 100000) << "JPL: 38,000 km";
}

// A file that cannot be replaced is a message naming it and status 1 (the
// atomic writer's own tests show that a failed write leaves no part).
TEST(SimCli, AnApproachesFileThatCannotBeWrittenIsNamed) {
    TempDir dir;
    struct Case {
        std::string target, reason;
    };
    const Case cases[] = {
        {"/proc/version", "no new file can be made in its folder"},
        {"/dev/full", "it is a device, not a regular file"},
        {dir.path(), "it is a directory, not a regular file"},
    };
    for (const Case& c : cases) {
        const SimRun r = run("--date 2000-01-01 --steps 2 --approaches " + c.target);
        EXPECT_EQ(r.status, 1) << c.target;
        EXPECT_NE(r.err.find("cannot write the approaches file '" + c.target + "': " + c.reason),
                  std::string::npos)
            << r.err;
    }
    EXPECT_TRUE(files_in(dir.path()).empty());
}

// A catalogue file of a hostile catalogue folder.
struct CatalogueFile {
    enum class Make { Content, Directory, Fifo, Link }; // Link: to `content`
    const char* name;
    std::string content;
    Make make = Make::Content;
};

void make_files(const TempDir& dir, const std::vector<CatalogueFile>& files) {
    for (const CatalogueFile& f : files) {
        const std::filesystem::path path = std::filesystem::path(dir.path()) / f.name;
        switch (f.make) {
        case CatalogueFile::Make::Content:
            dir.write(f.name, f.content);
            break;
        case CatalogueFile::Make::Directory:
            std::filesystem::create_directory(path);
            break;
        case CatalogueFile::Make::Fifo:
            ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
            break;
        case CatalogueFile::Make::Link:
            std::filesystem::create_symlink(f.content, path);
            break;
        }
    }
}

std::string asteroid_line(const std::string& name, const std::string& a = "2.5") {
    return name + "|2014 05 23.000|0.5|" + a + "|20|160|340|2000|81|18|0.15|0";
}

TEST(SimCli, HostileCataloguesAndNamesGiveAMessageAndStatusOne) {
    using Make = CatalogueFile::Make;
    const char* COMETS = "zenorb_comets.txt";
    const char* BRIGHT = "zenorb_bright.txt";
    const char* CRITICAL = "zenorb_critical.txt";
    const std::string good = asteroid_line("Good") + "\n";
    struct Case {
        const char* what;
        std::vector<CatalogueFile> files;
        std::string arguments; // after --catalogue DIR
        int status;
        std::vector<std::string> messages; // each found in the error output
        const char* printed;               // a body among the printed states, or none
    };
    const Case cases[] = {
        {"a directory as the only file",
         {{COMETS, "", Make::Directory}},
         "",
         1,
         {"zenorb_comets.txt': it is a directory", "no catalogue file"},
         nullptr},
        {"a directory among readable files",
         {{COMETS, "", Make::Directory}, {CRITICAL, good}},
         "--add Good",
         0,
         {"warning: cannot read the catalogue file", "zenorb_comets.txt': it is a directory"},
         "Good"},
        {"a FIFO", {{COMETS, "", Make::Fifo}}, "", 1, {"is not a regular file"}, nullptr},
        {"a link to /dev/zero among readable files",
         {{BRIGHT, "/dev/zero", Make::Link}, {CRITICAL, good}},
         "--add Good",
         0,
         {"zenorb_bright.txt': it is not a regular file"},
         "Good"},
        {"a read error among readable files",
         {{BRIGHT, "/proc/self/mem", Make::Link}, {CRITICAL, good}},
         "--add Good",
         0,
         {"zenorb_bright.txt': Input/output error; its objects are left out"},
         "Good"},
        {"a of 1e300",
         {{CRITICAL, asteroid_line("T", "1e300") + "\n"}},
         "--add T --steps 4",
         1,
         {"no object named 'T' among the usable lines"},
         nullptr},
        {"a comet with q = 1e300",
         {{COMETS, "T|2000|20071107.5|1e300|0.5|10|20|30|1|2\n"}},
         "--add T --steps 4",
         1,
         {"no object named 'T'"},
         nullptr},
        {"a year that overflows an int",
         {{CRITICAL, "T|2147483647 05 23.000|0.5|2.5|20|160|340|2000|81|18|0.15|0\n"}},
         "--add T",
         1,
         {"no object named 'T'"},
         nullptr},
        {"the asteroid list saved as the comet file",
         {{COMETS, asteroid_line("1915 1953 EA") + "\n"}},
         "--add '1915 1953 EA'",
         1,
         {"no object named '1915 1953 EA'"},
         nullptr},
        {"two objects on the same point",
         {{CRITICAL, asteroid_line("A") + "\n" + asteroid_line("B") + "\n"}},
         "--add A --add B --steps 2",
         1,
         {"cannot add 'B': it would start within a metre of 'A'"},
         nullptr},
        {"an empty name",
         {{CRITICAL, asteroid_line("   ") + "\n" + good}},
         "--add ''",
         1,
         {"--add '': an object name cannot be blank"},
         nullptr},
        {"a blank name",
         {{CRITICAL, asteroid_line("   ") + "\n" + good}},
         "--add '   '",
         1,
         {"--add '   ': an object name cannot be blank"},
         nullptr},
        {"a catalogue object named like a built-in body",
         {{CRITICAL, asteroid_line("Sun") + "\n"}},
         "--add Sun",
         1,
         {"cannot add 'Sun': a body of that name is already in the system"},
         nullptr},
        {"the same object twice",
         {{CRITICAL, good}},
         "--add Good --add Good",
         1,
         {"cannot add 'Good': a body of that name is already in the system"},
         nullptr},
        {"lone CR line ends",
         {{CRITICAL, asteroid_line("First") + "\r" + asteroid_line("Third") + "\r"}},
         "--add Third",
         0,
         {},
         "Third"},
    };
    for (const Case& c : cases) {
        TempDir dir;
        make_files(dir, c.files);
        const SimRun r = run("--date 2014-05-23 --catalogue " + dir.path() + " " + c.arguments);
        EXPECT_EQ(r.status, c.status) << c.what << ": " << r.err;
        for (const std::string& message : c.messages)
            EXPECT_NE(r.err.find(message), std::string::npos) << c.what << ": " << r.err;
        // One message says why a run failed; warnings may come before it.
        if (c.status != 0) {
            std::size_t errors = 0;
            for (const std::string& line : lines(r.err))
                errors += line.find("warning:") == std::string::npos ? 1 : 0;
            EXPECT_EQ(errors, 1u) << c.what << ": " << r.err;
        }
        // A failed run prints no state, at most the header.
        const auto rows = lines(r.out);
        if (c.printed) {
            ASSERT_EQ(rows.size(), 1u + 12) << c.what;
            bool found = false;
            for (std::size_t k = 1; k < rows.size(); ++k)
                found = found || fields(rows[k])[2] == c.printed;
            EXPECT_TRUE(found) << c.what;
        } else {
            EXPECT_LE(rows.size(), 1u) << c.what << ": " << r.out;
        }
    }
}

// An element file as a user may have written it by hand.
std::string element_file(const std::string& type, const std::string& name, const std::string& a,
                         const std::string& e, const std::string& root = "OrbitalElements") {
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<" + root + ">\n  <" + type + " name=\"" +
           name + "\">\n    <Physical mass=\"2.59e20\"/>\n    <Orbit a=\"" + a + "\" e=\"" + e +
           "\" i=\"7.14\" w=\"151.2\" omega=\"103.85\" Tp=\"2457883.0\" epoch=\"2458600.5\" "
           "M=\"20.86\"/>\n  </" +
           type + ">\n</" + root + ">\n";
}

TEST(SimCli, AddsTheObjectsOfElementFilesAtTheStartDate) {
    TempDir dir;
    dir.write("Asteroid_Vesta.xml", element_file("Asteroid", "Vesta", "2.3614", "0.0887"));
    dir.write("Comet_Halley.xml", element_file("Comet", " 1P/Halley ", "17.83", "0.967"));
    const SimRun r = run("--jd 2458600.5 --elements " + dir.path() + "/Asteroid_Vesta.xml" +
                         " --elements " + dir.path() + "/Comet_Halley.xml");
    ASSERT_EQ(r.status, 0) << r.err;
    const auto rows = lines(r.out);
    ASSERT_EQ(rows.size(), 1u + 13);
    std::vector<std::string> names;
    for (std::size_t k = 1; k < rows.size(); ++k)
        names.push_back(fields(rows[k])[2]);
    EXPECT_EQ(names[0], "1P_Halley") << "the name as the page cleans it";
    const auto vesta = std::find(names.begin(), names.end(), "Vesta");
    ASSERT_NE(vesta, names.end());
    // Where its elements put it at the start date (the momentum correction
    // changes velocities only).
    const auto f = fields(rows[1 + (vesta - names.begin())]);
    const vec3d expected =
        elements_position(2.3614, 0.0887, 7.14, 151.2, 103.85, 2457883.0, 2458600.5);
    double x = 0, y = 0, z = 0;
    ASSERT_TRUE(parse_double(f[3], x) && parse_double(f[4], y) && parse_double(f[5], z));
    EXPECT_EQ(x, expected.x);
    EXPECT_EQ(y, expected.y);
    EXPECT_EQ(z, expected.z);
}

TEST(SimCli, LooksObjectsUpAndAddsThemAtTheStartDate) {
    LoopbackServer server;
    serve_sbdb_answers(server);
    SbdbAddress address(server.url("/sbdb.api"));
    TempDir dir;
    const std::string saved = dir.path() + "/ceres.xml";
    const SimRun r = run("--jd 2460600.5 --lookup Ceres --lookup 1P --save " + saved);
    EXPECT_EQ(r.status, 2) << "--save writes the file of one object";
    EXPECT_NE(r.err.find("exactly one --lookup"), std::string::npos) << r.err;

    const SimRun both = run("--jd 2460600.5 --lookup Ceres --lookup 1P");
    ASSERT_EQ(both.status, 0) << both.err;
    const auto rows = lines(both.out);
    ASSERT_EQ(rows.size(), 1u + 13);
    std::vector<std::string> names;
    for (std::size_t k = 1; k < rows.size(); ++k)
        names.push_back(fields(rows[k])[2]);
    EXPECT_EQ(names[0], "1P_Halley") << "the name as the page cleans it";
    const auto ceres = std::find(names.begin(), names.end(), "1_Ceres_(A801_AA)");
    ASSERT_NE(ceres, names.end());
    // Where the database's elements put it at the start date, its epoch.
    const auto f = fields(rows[1 + (ceres - names.begin())]);
    const vec3d expected =
        elements_position(2.76604, 0.0789125, 10.5868, 73.4240, 80.2549, 2460053.1, 2460600.5);
    double x = 0, y = 0, z = 0;
    ASSERT_TRUE(parse_double(f[3], x) && parse_double(f[4], y) && parse_double(f[5], z));
    EXPECT_NEAR(x, expected.x, 1.0);
    EXPECT_NEAR(y, expected.y, 1.0);
    EXPECT_NEAR(z, expected.z, 1.0);

    const SimRun one = run("--jd 2460600.5 --lookup Ceres --save " + saved);
    ASSERT_EQ(one.status, 0) << one.err;
    std::string reason;
    const std::unique_ptr<nbOrbitalElements> set = LoadElementsFileAt(saved, reason);
    ASSERT_NE(set, nullptr) << reason;
    EXPECT_EQ(set->type_name(), "Asteroid");
    EXPECT_EQ(set->name(), "1_Ceres_(A801_AA)");
    EXPECT_DOUBLE_EQ(set->a(), 2.76604);
    EXPECT_DOUBLE_EQ(set->mean_anomaly(), 145.84);
    EXPECT_NEAR(set->mass(), 9.38534e20, 0.00001e20);
    EXPECT_EQ(set->epoch(), 2460600.5);

    // The same elements under another name: the look-up would start on it.
    std::ifstream in(saved);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::size_t at = text.find("1_Ceres_(A801_AA)");
    ASSERT_NE(at, std::string::npos);
    dir.write("twin.xml", text.replace(at, 17, "Twin"));
    const SimRun twin = run("--jd 2460600.5 --elements " + dir.path() + "/twin.xml --lookup Ceres");
    EXPECT_EQ(twin.status, 1);
    EXPECT_NE(twin.err.find("it would start within a metre of 'Twin'"), std::string::npos)
        << twin.err;
}

TEST(SimCli, LookUpsThatFindNothingUsableSayWhyWithStatusOne) {
    LoopbackServer server;
    serve_sbdb_answers(server);
    SbdbAddress address(server.url("/sbdb.api"));
    const struct {
        const char* arguments;
        int status;
        const char* says;
    } cases[] = {
        {"--lookup nothing", 1, "no such object in the small-body database"},
        {"--lookup \"'Oumuamua\"", 1, "open orbit (e = 1.201130)"},
        {"--lookup broken", 1, "cannot look it up: the answer is not the database's"},
        {"--lookup halley", 1, "matches several objects:\n  1P  1P/Halley\n  2688  2688 Halley"},
        {"--lookup Ceres --lookup Ceres", 1, "already in the system"},
        {"--lookup Ceres --save /nonexistent/zenorb/ceres.xml", 1, "/nonexistent/zenorb/ceres.xml"},
        {"--lookup ' '", 2, "expected a name or designation"},
        {"--save ceres.xml", 2, "exactly one --lookup"},
    };
    for (const auto& c : cases) {
        const SimRun r = run(c.arguments);
        EXPECT_EQ(r.status, c.status) << c.arguments;
        EXPECT_TRUE(r.out.empty()) << c.arguments;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << c.arguments << ": " << r.err;
    }
    SbdbAddress nobody("http://127.0.0.1:1/sbdb.api");
    const SimRun refused = run("--lookup Ceres");
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("cannot look it up: could not connect"), std::string::npos)
        << refused.err;
}

// A name from the command line is the file's bytes, whatever the locale:
// "lat\xE9.xml" (Latin-1) is not "lat\xC3\xA9.xml" (the same letters in UTF-8).
TEST(SimCli, FileNamesAreTakenAsTheirBytes) {
    TempDir dir;
    const std::string latin1 = "lat\xE9";
    const std::string utf8 = "lat\xC3\xA9";
    dir.write(latin1 + ".xml", element_file("Asteroid", "Latin", "2.3614", "0.0887"));
    dir.write(utf8 + ".xml", element_file("Asteroid", "Unicode", "2.3614", "0.0887"));
    std::filesystem::create_directory(dir.path() + "/" + latin1);
    dir.write(latin1 + "/zenorb_critical.txt", asteroid_line("FromLatin") + "\n");
    const std::string d = dir.path() + "/";
    for (const char* locale : {"C", "C.UTF-8"}) {
        SCOPED_TRACE(locale);
        const std::string env = std::string("LC_ALL=") + locale + " ";
        const SimRun r = run("--jd 2458600.5 --elements '" + d + latin1 + ".xml' --catalogue '" +
                                 d + latin1 + "' --add FromLatin --png '" + d + latin1 + ".png'",
                             true, env);
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_NE(r.out.find(",Latin,"), std::string::npos);
        EXPECT_EQ(r.out.find(",Unicode,"), std::string::npos);
        EXPECT_NE(r.out.find(",FromLatin,"), std::string::npos);
        EXPECT_TRUE(std::filesystem::is_regular_file(d + latin1 + ".png"));
        EXPECT_FALSE(std::filesystem::exists(d + utf8 + ".png"));
        std::filesystem::remove(d + latin1 + ".png");
    }
    // A missing one is named with its own bytes.
    const SimRun missing = run("--elements '" + d + "gon\xE9.xml'", true, "LC_ALL=C.UTF-8 ");
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("gon\xE9.xml': No such file or directory"), std::string::npos)
        << missing.err;
}

TEST(SimCli, ElementFilesThatCannotBeUsedAreOneMessageAndStatusOne) {
    TempDir dir;
    const std::string good = element_file("Asteroid", "Vesta", "2.3614", "0.0887");
    dir.write("good.xml", good);
    dir.write("broken.xml", good.substr(0, good.size() - 10));
    dir.write("root.xml", element_file("Asteroid", "Vesta", "2.3614", "0.0887", "Elements"));
    dir.write("circle.xml", element_file("Asteroid", "Vesta", "2.3614", "0"));
    dir.write("hyperbola.xml", element_file("Comet", "C", "2.3614", "1.5"));
    dir.write("sun.xml", element_file("Planetary", "Sun", "2.3614", "0.0887"));
    dir.write("large.xml", good + std::string(70000, ' '));
    std::string denormal = good;
    denormal.replace(denormal.find("2.59e20"), 7, "4.9e-324");
    dir.write("denormal.xml", denormal);
    // q = 2.3614 * (1 - 0.999) = 0.0024 AU, inside the Sun.
    dir.write("sungrazer.xml", element_file("Comet", "C", "2.3614", "0.999"));
    std::filesystem::create_directory(dir.path() + "/folder.xml");
    struct Case {
        std::string arguments;
        std::string message;
    };
    const std::string d = dir.path() + "/";
    const Case cases[] = {
        {"--elements " + d + "missing.xml",
         "cannot read the element file '" + d + "missing.xml': No such file or directory"},
        {"--elements " + d + "folder.xml", "folder.xml': it is a directory"},
        {"--elements " + d + "broken.xml",
         "broken.xml': XML parsing error: 'unclosed token' at line 7"},
        {"--elements " + d + "root.xml", "root.xml': its root element is not OrbitalElements"},
        {"--elements " + d + "circle.xml", "circle.xml' holds elements the simulation cannot use"},
        {"--elements " + d + "hyperbola.xml", "hyperbola.xml' holds elements the simulation"},
        {"--elements " + d + "large.xml", "large.xml': it is larger than 65536 bytes"},
        {"--elements " + d + "denormal.xml",
         "denormal.xml' holds elements the simulation cannot use: the mass 4.94066e-324 kg is "
         "below the least a body may have (1 kg)"},
        {"--elements " + d + "sungrazer.xml",
         "sungrazer.xml' holds elements the simulation cannot use: the perihelion distance "
         "0.0023614 AU lies inside the Sun (below 0.00465 AU)"},
        {"--elements " + d + "sun.xml", "cannot add 'Sun' of the element file '" + d +
                                            "sun.xml': a body of that name is already in the "
                                            "system"},
        {"--elements " + d + "good.xml --elements " + d + "good.xml",
         "cannot add 'Vesta' of the element file"},
    };
    for (const Case& c : cases) {
        const SimRun r = run("--jd 2458600.5 " + c.arguments);
        EXPECT_EQ(r.status, 1) << c.arguments << ": " << r.err;
        EXPECT_TRUE(r.out.empty()) << c.arguments;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.arguments << ": " << r.err;
        EXPECT_EQ(lines(r.err).size(), 1u) << r.err;
    }
}

// Two bodies on one point would give 0 / 0 in the force law at the first
// step (these are heavy: 2.59e20 kg); the second is refused where it is
// added, naming both, and nothing is printed.
TEST(SimCli, AnObjectOnAnotherOnesPointIsRefusedNamingBoth) {
    TempDir dir;
    dir.write("one.xml", element_file("Asteroid", "Vesta", "2.3614", "0.0887"));
    dir.write("two.xml", element_file("Asteroid", "Vesta twin", "2.3614", "0.0887"));
    const SimRun r = run("--jd 2458600.5 --elements " + dir.path() + "/one.xml --elements " +
                         dir.path() + "/two.xml --steps 3 --format json");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("cannot add 'Vesta_twin' of the element file"), std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("it would start within a metre of 'Vesta'"), std::string::npos) << r.err;
    EXPECT_TRUE(r.out.empty());
}

// Lines of bodies no simulation can follow are left out with a warning
// that counts them and names the first; the others are added as ever.
TEST(SimCli, CatalogueLinesBeyondThePhysicalBoundsAreNamedInAWarning) {
    TempDir dir;
    dir.write("zenorb_comets.txt",
              "1P/Halley            |2000|19860209.4589|0.585978|0.967143|111.8657| 58.8601|"
              "162.2422\n"
              "C/2000 S1 (Inside)   |2000|20001208.5   |0.004000|0.999900|  1.0000|  2.0000|  "
              "3.0000\n");
    const SimRun r = run("--jd 2451545 --catalogue " + dir.path() + " --add 1P/Halley");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find(",1P/Halley,"), std::string::npos);
    const auto warnings = lines(r.err);
    ASSERT_EQ(warnings.size(), 1u) << r.err;
    EXPECT_EQ(warnings[0], "zenorb-sim: warning: the catalogue file '" + dir.path() +
                               "/zenorb_comets.txt' has 1 element line(s) no body can follow, "
                               "left out; the first, C/2000_S1_(Inside): the perihelion distance "
                               "0.004 AU lies inside the Sun (below 0.00465 AU)");
}

// The four lists fetched from a scheduled job, from a server on 127.0.0.1:
// the dialog's names and checks, a line on standard error per failure.
class SimDownload : public testing::Test {
protected:
    void SetUp() override {
        comets = slurp(std::string(ZENORB_TEST_DATA) + "/mpc/comets_sample.txt");
        critical = slurp(std::string(ZENORB_TEST_DATA) + "/mpc/Soft06CritList-2014-05-23.txt");
        ASSERT_FALSE(comets.empty());
        ASSERT_FALSE(critical.empty());
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        bright_path =
            "/iau/Ephemerides/Bright/" + std::to_string(local.tm_year + 1900) + "/Soft06Bright.txt";
    }
    SimRun download(const std::string& more = "") {
        return run("--download '" + dir.path() + "/lists' --server " + server.url("/") + more);
    }
    std::string file(const char* name) const { return dir.path() + "/lists/" + name; }

    LoopbackServer server;
    TempDir dir;
    std::string comets, critical, bright_path;
};

TEST_F(SimDownload, FetchesTheFourListsIntoTheFolder) {
    server.on("/iau/Ephemerides/Comets/Soft06Cmt.txt", LoopbackServer::reply(200, comets));
    server.on(bright_path, LoopbackServer::reply(200, critical));
    server.on("/iau/Ephemerides/Unusual/Soft06Unusual.txt", LoopbackServer::reply(200, critical));
    server.on("/iau/Ephemerides/CritList/Soft06CritList.txt", LoopbackServer::reply(200, critical));
    const SimRun r = download();
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(slurp(file("zenorb_comets.txt")), comets);
    for (const char* name : {"zenorb_bright.txt", "zenorb_unusual.txt", "zenorb_critical.txt"})
        EXPECT_EQ(slurp(file(name)), critical) << name;
    EXPECT_EQ(files_in(dir.path() + "/lists"),
              (std::set<std::string>{"zenorb_comets.txt", "zenorb_bright.txt", "zenorb_unusual.txt",
                                     "zenorb_critical.txt"}));
    for (const LoopbackRequest& request : server.requests())
        EXPECT_EQ(request.headers.at("user-agent"), "Mozilla");
}

TEST_F(SimDownload, EachFailedListIsALineAndTheStatusOne) {
    std::filesystem::create_directories(dir.path() + "/lists");
    dir.write("lists/zenorb_bright.txt", "old bright\n");
    dir.write("lists/zenorb_unusual.txt", "old unusual\n");
    server.on("/iau/Ephemerides/Comets/Soft06Cmt.txt", LoopbackServer::reply(200, comets));
    server.on("/iau/Ephemerides/Unusual/Soft06Unusual.txt",
              LoopbackServer::reply(200, "<html>moved</html>"));
    server.on("/iau/Ephemerides/CritList/Soft06CritList.txt", LoopbackServer::reply(200, critical));
    const SimRun r = download();
    EXPECT_EQ(r.status, 1);
    const auto errors = lines(r.err);
    ASSERT_EQ(errors.size(), 2u) << r.err;
    EXPECT_EQ(errors[0].rfind("zenorb-sim: Bright (" + server.url(bright_path) + " into '", 0), 0u)
        << errors[0];
    EXPECT_NE(errors[0].find("zenorb_bright.txt'): HTTP 404"), std::string::npos) << errors[0];
    EXPECT_NE(errors[1].find("Unusual"), std::string::npos) << errors[1];
    EXPECT_NE(errors[1].find("): no asteroid element line in what came (an HTML or XML "
                             "document)"),
              std::string::npos)
        << errors[1];
    EXPECT_EQ(slurp(file("zenorb_comets.txt")), comets);
    EXPECT_EQ(slurp(file("zenorb_bright.txt")), "old bright\n");
    EXPECT_EQ(slurp(file("zenorb_unusual.txt")), "old unusual\n");
    EXPECT_EQ(slurp(file("zenorb_critical.txt")), critical);
}

TEST_F(SimDownload, AServerThatIsGoneFailsEveryList) {
    std::string gone;
    {
        LoopbackServer short_lived;
        gone = short_lived.url("/");
    }
    const SimRun r = run("--download '" + dir.path() + "/lists' --server " + gone);
    EXPECT_EQ(r.status, 1);
    const auto errors = lines(r.err);
    ASSERT_EQ(errors.size(), 4u) << r.err;
    for (const std::string& line : errors)
        EXPECT_NE(line.find("): could not connect"), std::string::npos) << line;
    EXPECT_TRUE(files_in(dir.path() + "/lists").empty());
}

TEST_F(SimDownload, UsageErrorsAskForNothing) {
    const struct {
        std::string arguments;
        const char* message;
    } cases[] = {
        {"--server " + server.url("/"), "--server needs --download DIR"},
        {"--download '" + dir.path() + "' --steps 3", "--steps goes with another run"},
        {"--accurate --download '" + dir.path() + "'", "--accurate goes with another run"},
        {"--download '" + dir.path() + "' --server ftp://127.0.0.1/",
         "expected an http:// or https:// address"},
        {"--download ''", "expected a file or folder name"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments);
        const SimRun r = run(c.arguments);
        EXPECT_EQ(r.status, 2);
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_EQ(lines(r.err).size(), 1u);
    }
    EXPECT_TRUE(server.requests().empty());
}

} // namespace
