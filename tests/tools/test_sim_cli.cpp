// Runs the headless simulator as a user would and reads what it prints.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include <wx/image.h>
#include <wx/init.h>

#include "nbody/parse_number.h"

namespace {

struct SimRun {
    int status = -1;
    std::string out;
    std::string err;
};

// Without a display when asked, as on a server.
SimRun run(const std::string& arguments, bool no_display = false) {
    // ctest runs tests in parallel processes: each keeps its own file.
    const std::string err_file =
        testing::TempDir() + "zenorb-sim-stderr-" + std::to_string(getpid()) + ".txt";
    const std::string command = std::string(no_display ? "env -u DISPLAY " : "") + ZENORB_SIM +
                                " " + arguments + " 2>" + err_file;
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
        {"--jd nan", 2, "--jd 'nan'"},
        {"--jd", 2, "--jd"},
        {"--format xml", 2, "xml"},
        {"--add Ceres", 2, "--catalogue"},
        {"--elements mine.xml", 2, "mine.xml"},
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

} // namespace
