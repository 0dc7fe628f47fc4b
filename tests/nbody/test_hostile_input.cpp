// Catalogue lines and files as a hostile user would make them, each with the
// outcome it must have. Every set that is accepted must give a finite body.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/temp_dir.h"
#include "nbody/factory.h"

namespace {

const std::string DATA = ZENORB_TEST_DATA;

// Line 1 of the Minor Planet Center's critical list of 2014 May 23, as it
// is and with a bar between every two numbers (bars and blanks separate
// alike), and a comet line. Numbers after the name are fields 0, 1, 2, ...
const std::string REAL_ASTEROID =
    "  1915 1953 EA       |2014 05 23.000|0.570506  |2.544736| "
    "20.3980|162.9641 |347.8218 | 2000| 81.2615  |18.97| 0.10|   0.00";
const std::string ASTEROID = "1915 1953 EA|2014|05|23.000|0.570506|2.544736|20.3980|162.9641|"
                             "347.8218|2000|81.2615|18.97|0.10|0.00";
const std::string COMET = "1P/Halley|2000|19860209.4589|0.585978|0.967143|111.8657|58.8601|"
                          "162.2422|5.5|8.0";

// `line` with numeric field `field` (0 is the first after the name) replaced.
std::string with_field(const std::string& line, int field, const std::string& value) {
    std::vector<std::string> parts;
    std::stringstream in(line);
    for (std::string part; std::getline(in, part, '|');)
        parts.push_back(part);
    parts.at(field + 1) = value;
    std::string out = parts[0];
    for (std::size_t k = 1; k < parts.size(); ++k)
        out += "|" + parts[k];
    return out;
}

enum class Kind { AsteroidLine, CometLine, AsteroidFile, CometFile };
// How a file row's file is made.
// Link: a symbolic link to the path given as the row's input.
enum class Make { Content, Missing, Directory, Fifo, Link, Sparse };

struct Row {
    std::string what;
    Kind kind;
    std::string input; // the line, or the file's bytes
    // Lines: "refused", "accepted" (but not valid) or "valid". Files:
    // "missing", "unreadable: <reason>" or "read <number of sets>".
    std::string outcome;
    Make make = Make::Content;
};

Row asteroid(const std::string& what, const std::string& line, const std::string& outcome) {
    return {what, Kind::AsteroidLine, line, outcome};
}
Row comet(const std::string& what, const std::string& line, const std::string& outcome) {
    return {what, Kind::CometLine, line, outcome};
}
Row file(const std::string& what, Kind kind, const std::string& bytes, const std::string& outcome,
         Make make = Make::Content) {
    return {what, kind, bytes, outcome, make};
}

std::string read_fixture(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// The hostile numbers, tried in every numeric field of both kinds of line.
const char* const HOSTILE_NUMBERS[] = {"nan", "inf", "1e999", "-0", "0x10"};

struct FieldRow {
    Kind kind;
    int field;
    const char* name;
    const char* outcomes[5]; // for each of HOSTILE_NUMBERS
};

// -0 reads as 0: a fine year, month, day, angle or mean anomaly, a circle
// for e (accepted, but not valid), no orbit for a, q or a perihelion time.
// Fields past the last one used are not read at all.
const FieldRow FIELD_ROWS[] = {
    {Kind::AsteroidLine, 0, "year of M", {"refused", "refused", "refused", "valid", "refused"}},
    {Kind::AsteroidLine, 1, "month of M", {"refused", "refused", "refused", "valid", "refused"}},
    {Kind::AsteroidLine, 2, "day of M", {"refused", "refused", "refused", "valid", "refused"}},
    {Kind::AsteroidLine, 3, "e", {"refused", "refused", "refused", "accepted", "refused"}},
    {Kind::AsteroidLine, 4, "a", {"refused", "refused", "refused", "refused", "refused"}},
    {Kind::AsteroidLine, 5, "i", {"refused", "refused", "refused", "valid", "refused"}},
    {Kind::AsteroidLine, 6, "node", {"refused", "refused", "refused", "valid", "refused"}},
    {Kind::AsteroidLine, 7, "perihelion", {"refused", "refused", "refused", "valid", "refused"}},
    {Kind::AsteroidLine, 8, "epoch year", {"refused", "refused", "refused", "valid", "refused"}},
    {Kind::AsteroidLine, 9, "M", {"refused", "refused", "refused", "valid", "refused"}},
    {Kind::AsteroidLine, 10, "H (not read)", {"valid", "valid", "valid", "valid", "valid"}},
    {Kind::AsteroidLine, 11, "G (not read)", {"valid", "valid", "valid", "valid", "valid"}},
    {Kind::CometLine, 0, "epoch year", {"refused", "refused", "refused", "valid", "refused"}},
    {Kind::CometLine,
     1,
     "perihelion time",
     {"refused", "refused", "refused", "refused", "refused"}},
    {Kind::CometLine, 2, "q", {"refused", "refused", "refused", "refused", "refused"}},
    {Kind::CometLine, 3, "e", {"refused", "refused", "refused", "accepted", "refused"}},
    {Kind::CometLine, 4, "perihelion", {"refused", "refused", "refused", "valid", "refused"}},
    {Kind::CometLine, 5, "node", {"refused", "refused", "refused", "valid", "refused"}},
    {Kind::CometLine, 6, "i", {"refused", "refused", "refused", "valid", "refused"}},
    {Kind::CometLine,
     7,
     "first magnitude value (not read)",
     {"valid", "valid", "valid", "valid", "valid"}},
    {Kind::CometLine,
     8,
     "second magnitude value (not read)",
     {"valid", "valid", "valid", "valid", "valid"}},
};

std::vector<Row> rows() {
    const std::string a = ASTEROID, c = COMET;
    const std::string megabyte(1 << 20, '7');
    const std::string long_name(10000, 'N');
    const std::string nul(1, '\0');
    std::vector<Row> rows = {
        asteroid("a real asteroid line", REAL_ASTEROID, "valid"),
        asteroid("the same with bars only", a, "valid"),
        comet("a real comet line", c, "valid"),
        // The explicit edge cases of the line formats.
        asteroid("month 0", with_field(a, 1, "0"), "valid"),
        asteroid("day 0", with_field(a, 2, "0"), "valid"),
        comet("e exactly 1 becomes 0.99999", with_field(c, 3, "1"), "valid"),
        comet("e 1.2 becomes 0.99999", with_field(c, 3, "1.2"), "valid"),
        asteroid("e exactly 1", with_field(a, 3, "1"), "refused"),
        asteroid("e 1.2", with_field(a, 3, "1.2"), "refused"),
        asteroid("e below 0", with_field(a, 3, "-0.1"), "refused"),
        asteroid("e 0, a circle", with_field(a, 3, "0"), "accepted"),
        // Names.
        asteroid("empty name", "|" + a.substr(a.find('|') + 1), "accepted"),
        asteroid("blank name", "     |" + a.substr(a.find('|') + 1), "accepted"),
        comet("blank name", "   |" + c.substr(c.find('|') + 1), "accepted"),
        asteroid("name of 4000 characters", std::string(4000, 'N') + a.substr(a.find('|')),
                 "valid"),
        asteroid("name of 10000 characters", long_name + a.substr(a.find('|')), "refused"),
        comet("name of 10000 characters", long_name + c.substr(c.find('|')), "refused"),
        asteroid("NUL byte in the name", "19" + nul + "15" + a.substr(a.find('|')), "refused"),
        comet("NUL byte in a number", with_field(c, 2, "0.5" + nul + "8"), "refused"),
        asteroid("1 MB line", megabyte + a, "refused"),
        asteroid("no '|'", "1915 1953 EA 2014 05 23.000 0.57 2.54 20.3 162.9 347.8 2000 81.2",
                 "refused"),
        asteroid("a '*'", a + " *", "refused"),
        // Semi-major axes: the bounds and beyond, near zero and huge.
        asteroid("a of 0", with_field(a, 4, "0"), "refused"),
        asteroid("a of 1e-300", with_field(a, 4, "1e-300"), "refused"),
        asteroid("a inside the Sun", with_field(a, 4, "0.004"), "refused"),
        asteroid("a at the lower bound", with_field(with_field(a, 4, "0.01"), 3, "0.1"), "valid"),
        // q = 0.01 (1 - 0.57) = 0.0043 AU lies inside the Sun.
        asteroid("a at the lower bound, perihelion inside the Sun", with_field(a, 4, "0.01"),
                 "refused"),
        asteroid("a at the upper bound", with_field(a, 4, "1e7"), "valid"),
        asteroid("a above the upper bound", with_field(a, 4, "1.1e7"), "refused"),
        asteroid("a of 1e300", with_field(a, 4, "1e300"), "refused"),
        comet("q of 1e300", with_field(c, 2, "1e300"), "refused"),
        comet("q of 1e-300", with_field(c, 2, "1e-300"), "refused"),
        comet("q of 99.99 AU at e 1: a just below the upper bound",
              with_field(with_field(c, 2, "99.99"), 3, "1"), "valid"),
        comet("q of 100.01 AU at e 1", with_field(with_field(c, 2, "100.01"), 3, "1"), "refused"),
        comet("q of 0.0047 AU at e 0.99999", with_field(with_field(c, 2, "0.0047"), 3, "0.99999"),
              "valid"),
        comet("q of 0.0001 AU at e 0.99999, inside the Sun",
              with_field(with_field(c, 2, "0.0001"), 3, "0.99999"), "refused"),
        comet("q of 0.004 AU at e 1, inside the Sun", with_field(with_field(c, 2, "0.004"), 3, "1"),
              "refused"),
        // Whole turns of a huge mean anomaly are dropped: the orbit stays.
        asteroid("M of 1e20 degrees", with_field(a, 9, "1e20"), "valid"),
        asteroid("M of -1e300 degrees", with_field(a, 9, "-1e300"), "valid"),
        // Dates.
        asteroid("year 2147483647", with_field(a, 0, "2147483647"), "refused"),
        asteroid("year 2147483648", with_field(a, 0, "2147483648"), "refused"),
        asteroid("year 10000", with_field(a, 0, "10000"), "refused"),
        asteroid("year -4712", with_field(a, 0, "-4712"), "valid"),
        asteroid("year -4713", with_field(a, 0, "-4713"), "refused"),
        asteroid("month 2147483647", with_field(a, 1, "2147483647"), "refused"),
        asteroid("month 13", with_field(a, 1, "13"), "refused"),
        asteroid("month 12", with_field(a, 1, "12"), "valid"),
        asteroid("day 31.9", with_field(a, 2, "31.9"), "valid"),
        asteroid("day 32", with_field(a, 2, "32"), "refused"),
        asteroid("epoch year 2147483647", with_field(a, 8, "2147483647"), "refused"),
        comet("epoch year -2147483648", with_field(c, 0, "-2147483648"), "refused"),
        comet("perihelion time 21474836470.5", with_field(c, 1, "21474836470.5"), "refused"),
        comet("perihelion time 99991231.9", with_field(c, 1, "99991231.9"), "valid"),
        comet("perihelion time 100000101", with_field(c, 1, "100000101"), "refused"),
        comet("perihelion time in month 0", with_field(c, 1, "19860009.5"), "refused"),
        comet("perihelion time in month 13", with_field(c, 1, "19861309.5"), "refused"),
        comet("perihelion time on day 0", with_field(c, 1, "19860200.5"), "refused"),
        comet("perihelion time on day 32", with_field(c, 1, "19860232.5"), "refused"),
        comet("perihelion time of a month alone (an asteroid line)", with_field(c, 1, "5"),
              "refused"),
        comet("the real asteroid line read as a comet", REAL_ASTEROID, "refused"),
        asteroid("the comet line read as an asteroid", c, "refused"),
        // Whole files.
        file("a directory", Kind::CometFile, "", "unreadable: it is a directory", Make::Directory),
        file("a FIFO nobody writes to", Kind::CometFile, "", "unreadable: it is not a regular file",
             Make::Fifo),
        file("a link to /dev/zero", Kind::AsteroidFile, "/dev/zero",
             "unreadable: it is not a regular file", Make::Link),
        // A regular file whose every read fails: an I/O error.
        file("a link to /proc/self/mem", Kind::AsteroidFile, "/proc/self/mem",
             "unreadable: Input/output error", Make::Link),
        file("a link to a real list", Kind::AsteroidFile,
             DATA + "/mpc/Soft06CritList-2014-05-23.txt", "read 650", Make::Link),
        file("a file of 17 MB, sparse", Kind::AsteroidFile, "",
             "unreadable: it is larger than 16 MiB", Make::Sparse),
        file("no file", Kind::AsteroidFile, "", "missing", Make::Missing),
        file("an empty file", Kind::AsteroidFile, "", "read 0"),
        file("lone CR line ends", Kind::CometFile, c + "\r" + c + "\r" + c + "\r", "read 3"),
        file("CR LF line ends", Kind::CometFile, c + "\r\n" + c + "\r\n", "read 2"),
        file("no final line feed", Kind::AsteroidFile, a + "\n" + a, "read 2"),
        file("NUL bytes among good lines", Kind::AsteroidFile,
             a + "\n" + nul + nul + a + "\n" + a + nul + "\n" + a + "\n", "read 2"),
        file("a 1 MB line among good lines", Kind::AsteroidFile,
             a + "\n" + megabyte + a + "\n" + a + "\n", "read 2"),
        file("a 10000-character name among good lines", Kind::CometFile,
             c + "\n" + long_name + c.substr(c.find('|')) + "\n" + c + "\n", "read 2"),
        file("the real asteroid list saved as the comet file", Kind::CometFile,
             read_fixture(DATA + "/mpc/Soft06CritList-2014-05-23.txt"), "read 0"),
        file("the comet list saved as an asteroid file", Kind::AsteroidFile,
             read_fixture(DATA + "/mpc/comets_sample.txt"), "read 0"),
    };
    // Lone CRs beyond the line limit: every object is still found.
    std::string many;
    for (int k = 0; k < 100; ++k)
        many += a + "\r";
    rows.push_back(
        file("100 lines with lone CR ends, 10 kB", Kind::AsteroidFile, many, "read 100"));

    for (const FieldRow& f : FIELD_ROWS)
        for (int k = 0; k < 5; ++k) {
            const std::string base = f.kind == Kind::AsteroidLine ? a : c;
            rows.push_back({std::string(f.name) + " = " + HOSTILE_NUMBERS[k], f.kind,
                            with_field(base, f.field, HOSTILE_NUMBERS[k]), f.outcomes[k]});
        }
    return rows;
}

// Dates each accepted set is placed at: its epoch and these.
const double DATES[] = {2456800.5, 2451545.0, 0.0, 5373484.5};

bool finite(const nbBody& body) {
    const vec3d& p = body.position();
    const vec3d& v = body.velocity();
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z) && std::isfinite(v.x) &&
           std::isfinite(v.y) && std::isfinite(v.z);
}

// Every accepted set makes a finite body at its epoch and at every date.
void expect_finite_bodies(const nbOrbitalElements& set, const std::string& what) {
    auto at_epoch = set.create_body(set.epoch());
    ASSERT_NE(at_epoch, nullptr) << what;
    EXPECT_TRUE(finite(*at_epoch)) << what;
    for (double jd : DATES) {
        auto body = set.create_body(jd);
        ASSERT_NE(body, nullptr) << what << " at " << jd;
        EXPECT_TRUE(finite(*body)) << what << " at " << jd;
    }
}

std::string line_outcome(const Row& row) {
    std::unique_ptr<nbOrbitalElements> set;
    bool accepted = false;
    if (row.kind == Kind::AsteroidLine) {
        auto asteroid = std::make_unique<nbOrbitalElementsAsteroid>();
        accepted = asteroid->parse_line(row.input);
        set = std::move(asteroid);
    } else {
        auto comet = std::make_unique<nbOrbitalElementsComet>();
        accepted = comet->parse_line(row.input);
        set = std::move(comet);
    }
    if (!accepted) {
        EXPECT_FALSE(set->valid()) << row.what; // left as it was
        return "refused";
    }
    expect_finite_bodies(*set, row.what);
    return set->validate() ? "valid" : "accepted";
}

std::string file_outcome(const Row& row) {
    TempDir dir;
    const bool comets = row.kind == Kind::CometFile;
    const std::string name = comets ? nbFactory::COMETS_FILE : nbFactory::CRITICAL_FILE;
    const std::filesystem::path path = std::filesystem::path(dir.path()) / name;
    switch (row.make) {
    case Make::Content:
        dir.write(name, row.input);
        break;
    case Make::Missing:
        break;
    case Make::Directory:
        std::filesystem::create_directory(path);
        break;
    case Make::Fifo:
        EXPECT_EQ(::mkfifo(path.c_str(), 0600), 0);
        break;
    case Make::Link:
        std::filesystem::create_symlink(row.input, path);
        break;
    case Make::Sparse:
        dir.write(name, ASTEROID + "\n");
        std::filesystem::resize_file(path, 17u << 20);
        break;
    }
    nbFactory factory;
    const CatalogueFileRead read = factory.read_catalogue_file(dir.path(), name, comets);
    EXPECT_EQ(read.file, name);
    EXPECT_EQ(static_cast<long>(factory.catalogue_size()), read.added) << row.what;
    for (auto it = factory.catalogue_begin(); it != factory.catalogue_end(); ++it)
        expect_finite_bodies(**it, row.what);
    switch (read.status) {
    case CatalogueFileRead::Status::Missing:
        return "missing";
    case CatalogueFileRead::Status::Unreadable:
        EXPECT_EQ(read.added, 0) << row.what; // nothing of a failed file
        return "unreadable: " + read.reason;
    case CatalogueFileRead::Status::Read:
        break;
    }
    return "read " + std::to_string(read.added);
}

TEST(HostileInput, EveryRowHasItsStatedOutcomeAndEveryAcceptedSetAFiniteBody) {
    for (const Row& row : rows()) {
        const bool is_line = row.kind == Kind::AsteroidLine || row.kind == Kind::CometLine;
        const std::string outcome = is_line ? line_outcome(row) : file_outcome(row);
        EXPECT_EQ(outcome, row.outcome) << row.what;
    }
}

} // namespace
