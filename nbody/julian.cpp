#include "nbody/julian.h"

#include <cmath>
#include <limits>

namespace {

// jd_floor's rule in doubles. Every whole number of the date arithmetic is
// held in a double: they stay exact far beyond the years an int can hold,
// and no field, however absurd, can overflow an int on the way.
double floor_part(double x) {
    return x >= 0 ? std::trunc(x) : std::trunc(x - 1.0);
}

// A whole number as an int, held at the ends of the int's range; NaN gives 0.
int saturated_int(double x) {
    if (!(x == x))
        return 0;
    if (x >= static_cast<double>(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (x <= static_cast<double>(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return static_cast<int>(x);
}

} // namespace

int jd_floor(double x) {
    return saturated_int(floor_part(x));
}

bool is_gregorian_date(int year, int month, double day) {
    if (year != 1582)
        return year > 1582;
    if (month != 10)
        return month > 10;
    return day >= 15.0;
}

bool is_gregorian_jd(double jd) {
    return jd >= GREGORIAN_REFORM_JD;
}

double calendar_to_jd(int year, int month, double day, bool gregorian) {
    // January and February count as months 13 and 14 of the previous year,
    // so that the leap day ends the counted year.
    double y = year, m = month;
    if (m < 3) {
        y -= 1;
        m += 12;
    }
    double b = 0;
    if (gregorian) {
        const double a = floor_part(y / 100.0);
        b = 2 - a + floor_part(a * 0.25);
    }
    // The whole days are summed before the fraction is added.
    const double days = floor_part(30.6001 * (m + 1)) + floor_part(365.25 * (y + 4716));
    return days + day + b - 1524.5;
}

nbJulianDate::nbJulianDate(double jd, bool gregorian) {
    set_jd(jd, gregorian);
}

nbJulianDate::nbJulianDate(int year, int month, double day, bool gregorian) {
    set_calendar(year, month, day, 0, 0, 0, gregorian);
}

nbJulianDate::nbJulianDate(int year, int month, double day, double hour, double minute,
                           double second, bool gregorian) {
    set_calendar(year, month, day, hour, minute, second, gregorian);
}

bool nbJulianDate::set_jd(double jd, bool gregorian) {
    jd_ = jd;
    return set_gregorian(gregorian);
}

void nbJulianDate::set_calendar(int year, int month, double day, double hour, double minute,
                                double second, bool gregorian) {
    const double d = hour / 24.0 + day + minute / 1440.0 + second / 86400.0;
    set_jd(calendar_to_jd(year, month, d, gregorian), gregorian);
}

bool nbJulianDate::set_gregorian(bool requested) {
    gregorian_ = requested && jd_ >= GREGORIAN_REFORM_JD;
    return gregorian_;
}

void nbJulianDate::get_calendar(int& year, int& month, int& day, int& hour, int& minute,
                                double& second) const {
    // A JD too large for an int's years gives fields held at the int's
    // ends, a NaN gives zeros and a NaN second: defined, never overflowing.
    double z = 0.0;
    const double f = std::modf(jd_ + 0.5, &z);
    double a = z;
    if (gregorian_) {
        const double alpha = floor_part((z - 1867216.25) / 36524.25);
        a = z + 1 + alpha - floor_part(alpha * 0.25);
    }
    const double b = a + 1524;
    const double c = floor_part((b - 122.1) / 365.25);
    const double d = floor_part(365.25 * c);
    const double e = floor_part((b - d) / 30.6001);

    const double dd = (b - d - floor_part(30.6001 * e)) + f;
    const double m = e < 14 ? e - 1 : e - 13;
    day = saturated_int(std::trunc(dd));
    month = saturated_int(m);
    year = saturated_int(m > 2 ? c - 4716 : c - 4715);

    double day_whole = 0.0;
    const double g = std::modf(dd, &day_whole);
    const double h = floor_part(g * 24);
    const double mi = floor_part((g - h / 24.0) * 1440);
    hour = saturated_int(h);
    minute = saturated_int(mi);
    second = ((g - h / 24.0) - mi / 1440.0) * 86400;
}

namespace {

struct CalendarFields {
    int year, month, day, hour, minute;
    double second;
};

CalendarFields fields_of(const nbJulianDate& date) {
    CalendarFields c;
    date.get_calendar(c.year, c.month, c.day, c.hour, c.minute, c.second);
    return c;
}

} // namespace

int nbJulianDate::year() const {
    return fields_of(*this).year;
}

int nbJulianDate::month() const {
    return fields_of(*this).month;
}

int nbJulianDate::day() const {
    return fields_of(*this).day;
}

int nbJulianDate::hour() const {
    return fields_of(*this).hour;
}

int nbJulianDate::minute() const {
    return fields_of(*this).minute;
}

double nbJulianDate::second() const {
    return fields_of(*this).second;
}
