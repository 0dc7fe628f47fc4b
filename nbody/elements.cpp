#include "nbody/elements.h"

#include <cmath>

#include "nbody/format_number.h"
#include "nbody/julian.h"
#include "nbody/parse_number.h"
#include "nbody/planets.h"
#include "nbody/sampled_velocity.h"

namespace {
const double PI = 4 * std::atan(1.0);
const double RADIANS = PI / 180;

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

bool finite(const vec3d& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

// A date of a catalogue line, in the years of the program's dates: month 0
// and day 0 are the last month of the year before and the last day of the
// month before, as the calendar arithmetic counts them; a month past 12 or
// a day past a month's 31 is no date.
bool is_line_date(int year, int month, double day) {
    return year >= FIRST_YEAR && year <= LAST_YEAR && month >= 0 && month <= 12 && day >= 0 &&
           day < 32;
}
std::string perihelion_problem(double q) {
    if (q < MIN_PERIHELION_DISTANCE)
        return "the perihelion distance " + format_general(q, 6) +
               " AU lies inside the Sun (below " + format_general(MIN_PERIHELION_DISTANCE, 6) +
               " AU)";
    return std::string();
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

vec3d elements_velocity_exact(double a, double e, double i, double w, double omega, double tp,
                              double jd) {
    const double n = mean_motion(a);
    const double big_e = solve_kepler((jd - tp) * n, e, 53) * RADIANS;
    // dE/dt from Kepler's equation, radians per day; the orbit's plane
    // coordinates a (cos E - e), a sqrt(1 - e^2) sin E differentiated.
    const double e_dot = n * RADIANS / (1 - e * std::cos(big_e));
    const double xd = -a * std::sin(big_e) * e_dot;
    const double yd = a * std::sqrt(1 - e * e) * std::cos(big_e) * e_dot;
    const double cw = std::cos(w * RADIANS), sw = std::sin(w * RADIANS);
    const double cn = std::cos(omega * RADIANS), sn = std::sin(omega * RADIANS);
    const double ci = std::cos(i * RADIANS), si = std::sin(i * RADIANS);
    const vec3d p(cw * cn - sw * sn * ci, cw * sn + sw * cn * ci, sw * si);
    const vec3d q(-sw * cn - cw * sn * ci, -sw * sn + cw * cn * ci, cw * si);
    return (p * xd + q * yd) * (ASTRONOMICAL_UNIT / SECONDS_PER_DAY);
}

nbOrbitalElements::nbOrbitalElements(const std::string& name, double a, double e, double i,
                                     double w, double omega, double tp, double epoch)
    : name_(name), a_(a), e_(e), i_(i), w_(w), omega_(omega), tp_(tp), epoch_(epoch), valid_(true) {
}

std::unique_ptr<nbBody> nbOrbitalElements::create_body(double jd) const {
    vec3d position, velocity;
    if (!state_at(jd, position, velocity))
        return nullptr;
    return std::make_unique<nbBody>(name_, mass_, 6371.0, position, velocity);
}

bool nbOrbitalElements::state_at(double jd, vec3d& position, vec3d& velocity) const {
    // An orbit with e >= 1 has no position in the elliptic formulas.
    const bool in_bounds = a_ >= MIN_SEMI_MAJOR_AXIS && a_ <= MAX_SEMI_MAJOR_AXIS && e_ >= 0 &&
                           e_ < 1 && std::isfinite(i_) && std::isfinite(w_) &&
                           std::isfinite(omega_) && std::isfinite(tp_) &&
                           physical_bounds_problem().empty() && std::isfinite(jd);
    if (!in_bounds)
        return false;
    position = elements_position(a_, e_, i_, w_, omega_, tp_, jd);
    velocity = elements_velocity(a_, e_, i_, w_, omega_, tp_, jd);
    // A day's motion lost below the last bit of the mean anomaly, or of the
    // date, leaves the body at rest.
    const bool moving = velocity.x != 0 || velocity.y != 0 || velocity.z != 0;
    return finite(position) && finite(velocity) && moving;
}

std::string nbOrbitalElements::physical_bounds_problem() const {
    if (std::isnan(mass_))
        return "the mass is not a number";
    if (!(mass_ >= MIN_BODY_MASS))
        return "the mass " + format_general(mass_, 6) + " kg is below the least a body may have (" +
               format_general(MIN_BODY_MASS, 6) + " kg)";
    if (!(mass_ <= MAX_BODY_MASS))
        return "the mass " + format_general(mass_, 6) + " kg is above the most a body may have (" +
               format_general(MAX_BODY_MASS, 6) + " kg)";
    // Only for an orbit the other bounds admit: a negative or huge a has a
    // q that means nothing.
    if (a_ > 0 && e_ >= 0 && e_ < 1)
        return perihelion_problem(perihelion_distance());
    return std::string();
}

bool nbOrbitalElements::placeable_at(double jd) const {
    vec3d position, velocity;
    return state_at(jd, position, velocity);
}

bool nbOrbitalElements::validate() {
    if (name_.empty() || !(a_ > 0) || !(e_ > 0) || !placeable_at(epoch_))
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
    if (line.size() > MAX_CATALOGUE_LINE)
        return false;
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

bool nbOrbitalElementsAsteroid::parse_line(const std::string& line, std::string* bounds) {
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
    // Unusable orbits are skipped like malformed lines: dates no calendar
    // means, a negative, hyperbolic or parabolic e, an axis out of bounds.
    if (!is_line_date(year, month, day) || !is_line_date(epoch_year, 1, 1.0) || e < 0 || e >= 1 ||
        !(a >= MIN_SEMI_MAJOR_AXIS && a <= MAX_SEMI_MAJOR_AXIS))
        return false;
    nbOrbitalElementsAsteroid read(*this);
    read.name_ = name;
    read.e_ = e;
    read.a_ = a;
    read.i_ = v[2];
    read.omega_ = v[3];
    read.w_ = v[4];
    read.epoch_ = catalogue_jd(epoch_year, 1, 1.0);
    read.m_ = m;
    // Whole turns of M move Tp by whole periods, the same orbit: only the
    // turn itself is used, lest a huge M put Tp where a day is lost.
    read.tp_ = catalogue_jd(year, month, day) - std::fmod(m, 360.0) / mean_motion(a);
    read.valid_ = true;
    if (!read.placeable_at(read.epoch_)) {
        if (bounds)
            *bounds = read.physical_bounds_problem();
        return false;
    }
    *this = read;
    return true;
}

std::unique_ptr<nbBody> nbOrbitalElementsAsteroid::create_body(double jd) const {
    std::unique_ptr<nbBody> body = nbOrbitalElements::create_body(jd);
    if (body)
        body->graphics()->set_colour(nbColour(255, 0, 255));
    return body;
}

std::unique_ptr<nbBody> nbOrbitalElementsPlanetary::create_body(double jd) const {
    std::unique_ptr<nbBody> body = nbOrbitalElementsAsteroid::create_body(jd);
    if (body) {
        body->graphics()->set_colour(nbColour(255, 170, 0));
        body->set_radius(-1);
    }
    return body;
}

bool nbOrbitalElementsComet::parse_line(const std::string& line, std::string* bounds) {
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
    if (e < 0 || !(q > 0) || !is_line_date(epoch_year, 1, 1.0))
        return false;
    if (e >= 1)
        e = 0.99999;
    const std::string inside = perihelion_problem(q);
    if (!inside.empty()) {
        if (bounds)
            *bounds = inside;
        return false;
    }
    // The perihelion time must be a date written YYYYMMDD.ddd: an asteroid
    // line read as a comet has a month there, which makes no such date.
    if (!(perihelion_time >= 0 && perihelion_time < 1e8))
        return false;
    const int k = static_cast<int>(perihelion_time);
    const int year = k / 10000;
    const int month = k / 100 - year * 100;
    const double day = perihelion_time - year * 10000 - month * 100;
    if (month < 1 || !(day >= 1) || !is_line_date(year, month, day))
        return false;
    const double a = q / (1 - e);
    if (!(a >= MIN_SEMI_MAJOR_AXIS && a <= MAX_SEMI_MAJOR_AXIS))
        return false;
    nbOrbitalElementsComet read(*this);
    read.name_ = name;
    read.a_ = a;
    read.e_ = e;
    read.w_ = v[3];
    read.omega_ = v[4];
    read.i_ = v[5];
    read.epoch_ = catalogue_jd(epoch_year, 1, 1.0);
    read.tp_ = catalogue_jd(year, month, day);
    read.valid_ = true;
    if (!read.placeable_at(read.epoch_)) {
        if (bounds)
            *bounds = read.physical_bounds_problem();
        return false;
    }
    *this = read;
    return true;
}

std::unique_ptr<nbBody> nbOrbitalElementsComet::create_body(double jd) const {
    std::unique_ptr<nbBody> body = nbOrbitalElements::create_body(jd);
    if (body)
        body->graphics()->set_has_tail(true);
    return body;
}
