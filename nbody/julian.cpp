#include "nbody/julian.h"

#include <cmath>

int jd_floor(double x) {
    return x >= 0 ? static_cast<int>(x) : static_cast<int>(x - 1.0);
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
    if (month < 3) {
        year -= 1;
        month += 12;
    }
    int b = 0;
    if (gregorian) {
        const int a = jd_floor(year / 100.0);
        b = 2 - a + jd_floor(a * 0.25);
    }
    // The whole days are summed as integers before the fraction is added.
    const int days = jd_floor(30.6001 * (month + 1)) + jd_floor(365.25 * (year + 4716));
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
    double whole = 0.0;
    const double f = std::modf(jd_ + 0.5, &whole);
    const int z = static_cast<int>(whole);
    int a = z;
    if (gregorian_) {
        const int alpha = jd_floor((z - 1867216.25) / 36524.25);
        a = z + 1 + alpha - jd_floor(alpha * 0.25);
    }
    const int b = a + 1524;
    const int c = jd_floor((b - 122.1) / 365.25);
    const int d = jd_floor(365.25 * c);
    const int e = jd_floor((b - d) / 30.6001);

    const double dd = (b - d - jd_floor(30.6001 * e)) + f;
    day = static_cast<int>(dd);
    month = e < 14 ? e - 1 : e - 13;
    year = month > 2 ? c - 4716 : c - 4715;

    double day_whole = 0.0;
    const double g = std::modf(dd, &day_whole);
    hour = jd_floor(g * 24);
    minute = jd_floor((g - hour / 24.0) * 1440);
    second = ((g - hour / 24.0) - minute / 1440.0) * 86400;
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
