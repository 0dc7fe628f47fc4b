#include "nbody/elements.h"

#include <cmath>

#include "nbody/julian.h"
#include "nbody/parse_number.h"
#include "nbody/planets.h"
#include "nbody/sampled_velocity.h"

namespace {
const double PI = 4 * std::atan(1.0);
const double RADIANS = PI / 180;
const double DEGREES = 180 / PI;

// The JD of a calendar date read from a catalogue line, always with the
// Gregorian correction requested (the stored flag then follows the date).
double catalogue_jd(int year, int month, double day) {
    return nbJulianDate(year, month, day, true).jd();
}

// Reads words[first .. first + count) as numbers into out.
bool read_numbers(const std::vector<std::string_view>& words, std::size_t first, std::size_t count,
                  double* out) {
    if (words.size() < first + count)
        return false;
    for (std::size_t k = 0; k < count; ++k)
        if (!parse_double(words[first + k], out[k]))
            return false;
    return true;
}
} // namespace

std::string catalogue_name(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return std::string();
    const std::size_t last = text.find_last_not_of(" \t");
    std::string name = text.substr(first, last - first + 1);
    for (char& c : name)
        if (c == ' ' || c == '\t')
            c = '_';
    return name;
}

double mean_motion(double a) {
    return 0.9856076686 / (a * std::sqrt(a));
}

double solve_kepler(double mean_anomaly_degrees, double e, int iterations) {
    double m = mean_anomaly_degrees * PI / 180;
    double f = m < 0 ? -1 : 1;
    m = std::fabs(m) / (2 * PI);
    m = (m - std::trunc(m)) * 2 * PI * f;
    if (m < 0)
        m = m + 2 * PI;
    f = 1;
    if (m > PI) {
        f = -1;
        m = 2 * PI - m;
    }
    double big_e = PI / 2, d = PI / 4;
    for (int k = 0; k < iterations; ++k) {
        const double m1 = big_e - e * std::sin(big_e);
        if (m1 < m)
            big_e = big_e + d;
        else
            big_e = big_e - d;
        d = d / 2;
    }
    return big_e * 180 / PI * f;
}

vec3d elements_position(double a, double e, double i, double w, double omega, double tp,
                        double jd) {
    const double n = mean_motion(a);
    const double m = (jd - tp) * n;
    const double big_e = solve_kepler(m, e, 53) * RADIANS;
    const double v = 2 * std::atan(std::sqrt((1 + e) / (1 - e)) * std::tan(big_e / 2));
    const double r = a * (1 - e * std::cos(big_e));
    const double u = v + w * RADIANS;
    const double node = omega * RADIANS, incl = i * RADIANS;
    const double x =
        r * (std::cos(u) * std::cos(node) - std::sin(u) * std::sin(node) * std::cos(incl));
    const double y =
        r * (std::cos(u) * std::sin(node) + std::sin(u) * std::cos(node) * std::cos(incl));
    const double z = r * std::sin(u) * std::sin(incl);
    return vec3d(x * ASTRONOMICAL_UNIT, y * ASTRONOMICAL_UNIT, z * ASTRONOMICAL_UNIT);
}

vec3d elements_velocity(double a, double e, double i, double w, double omega, double tp,
                        double jd) {
    return sampled_velocity([&](double t) { return elements_position(a, e, i, w, omega, tp, t); },
                            jd);
}

nbOrbitalElements::nbOrbitalElements(const std::string& name, double a, double e, double i,
                                     double w, double omega, double tp, double epoch)
    : name_(name), a_(a), e_(e), i_(i), w_(w), omega_(omega), tp_(tp), epoch_(epoch), valid_(true) {
}

std::unique_ptr<nbBody> nbOrbitalElements::create_body(double jd) const {
    const vec3d position = elements_position(a_, e_, i_, w_, omega_, tp_, jd);
    const vec3d velocity = elements_velocity(a_, e_, i_, w_, omega_, tp_, jd);
    return std::make_unique<nbBody>(name_, mass_, 6371.0, position, velocity);
}

bool nbOrbitalElements::validate() {
    // An orbit with e >= 1 has no position in the elliptic formulas, and one
    // non-finite body would spoil every force of the system.
    if (name_.empty() || !(a_ > 0) || !(e_ > 0) || !(e_ < 1))
        valid_ = false;
    return valid_;
}

double nbOrbitalElements::earth_distance(double jd) const {
    return earth_distance(jd, planet_position(Planet::Earth, jd));
}

double nbOrbitalElements::earth_distance(double jd, const vec3d& earth) const {
    const vec3d p = elements_position(a_, e_, i_, w_, omega_, tp_, jd);
    return p.distance(earth) / ASTRONOMICAL_UNIT;
}

bool nbOrbitalElements::split_line(const std::string& line, std::string& name,
                                   std::string& numbers) {
    std::size_t bar = std::string::npos;
    for (std::size_t k = 0; k < line.size(); ++k) {
        const char c = line[k];
        // A NUL byte means the line is not text at all.
        if (c == '*' || c == '\0')
            return false;
        if (c == '|' && bar == std::string::npos)
            bar = k;
    }
    if (bar == std::string::npos)
        return false;
    numbers = line.substr(bar);
    for (char& c : numbers)
        if (c == '|')
            c = ' ';
    name = catalogue_name(line.substr(0, bar));
    return true;
}

nbOrbitalElementsAsteroid::nbOrbitalElementsAsteroid(const std::string& name, double a, double e,
                                                     double i, double w, double omega, double tp,
                                                     double epoch, double m)
    : nbOrbitalElements(name, a, e, i, w, omega, tp, epoch), m_(m) {}

bool nbOrbitalElementsAsteroid::parse_line(const std::string& line) {
    std::string name, numbers;
    if (!split_line(line, name, numbers))
        return false;
    // Date of M (year, month, day), e, a, i, node, perihelion, epoch year, M;
    // anything after M is not used.
    const std::vector<std::string_view> words = split_words(numbers);
    int year = 0, month = 0, epoch_year = 0;
    double day = 0, v[5], m = 0;
    if (words.size() < 10 || !parse_int(words[0], year) || !parse_int(words[1], month) ||
        !parse_double(words[2], day) || !read_numbers(words, 3, 5, v) ||
        !parse_int(words[8], epoch_year) || !parse_double(words[9], m))
        return false;
    const double e = v[0], a = v[1];
    // Unusable orbits are skipped like malformed lines: negative date fields
    // or eccentricity, hyperbolic or parabolic e, a non-positive axis.
    if (month < 0 || day < 0 || e < 0 || e >= 1 || !(a > 0))
        return false;
    name_ = name;
    e_ = e;
    a_ = a;
    i_ = v[2];
    omega_ = v[3];
    w_ = v[4];
    epoch_ = catalogue_jd(epoch_year, 1, 1.0);
    m_ = m;
    tp_ = catalogue_jd(year, month, day) - m / mean_motion(a);
    valid_ = true;
    return true;
}

std::unique_ptr<nbBody> nbOrbitalElementsAsteroid::create_body(double jd) const {
    std::unique_ptr<nbBody> body = nbOrbitalElements::create_body(jd);
    body->graphics()->set_colour(nbColour(255, 0, 255));
    return body;
}

std::unique_ptr<nbBody> nbOrbitalElementsPlanetary::create_body(double jd) const {
    std::unique_ptr<nbBody> body = nbOrbitalElementsAsteroid::create_body(jd);
    body->graphics()->set_colour(nbColour(255, 170, 0));
    body->set_radius(-1);
    return body;
}

bool nbOrbitalElementsComet::parse_line(const std::string& line) {
    std::string name, numbers;
    if (!split_line(line, name, numbers))
        return false;
    // Epoch year, perihelion time YYYYMMDD.dddd, q, e, perihelion, node, i;
    // anything after i is not used.
    const std::vector<std::string_view> words = split_words(numbers);
    int epoch_year = 0;
    double v[6];
    if (words.size() < 7 || !parse_int(words[0], epoch_year) || !read_numbers(words, 1, 6, v))
        return false;
    const double perihelion_time = v[0], q = v[1];
    double e = v[2];
    // Parabolic and hyperbolic comets are kept on a very long ellipse; a
    // negative eccentricity or perihelion distance has no orbit at all.
    if (e < 0 || !(q > 0) || perihelion_time < 0 || perihelion_time > 2147483647.0)
        return false;
    if (e >= 1)
        e = 0.99999;
    const int k = static_cast<int>(perihelion_time);
    const int year = k / 10000;
    const int month = k / 100 - year * 100;
    const double day = perihelion_time - year * 10000 - month * 100;
    name_ = name;
    a_ = q / (1 - e);
    e_ = e;
    w_ = v[3];
    omega_ = v[4];
    i_ = v[5];
    epoch_ = catalogue_jd(epoch_year, 1, 1.0);
    tp_ = catalogue_jd(year, month, day);
    valid_ = true;
    return true;
}

std::unique_ptr<nbBody> nbOrbitalElementsComet::create_body(double jd) const {
    std::unique_ptr<nbBody> body = nbOrbitalElements::create_body(jd);
    body->graphics()->set_has_tail(true);
    return body;
}
