#include "readers/approach_csv.h"

#include <cmath>
#include <cstdio>

#include "nbody/format_number.h"
#include "nbody/julian.h"

const char* const APPROACHES_CSV_HEADER = "object,with,jd,utc,distance_km,distance_au,speed_km_s";

std::string jd_to_utc_text(double jd) {
    if (!std::isfinite(jd))
        return std::string();
    // Whole days from noon and whole seconds within them, so that 23:59:59.7
    // becomes the next day's 00:00:00 rather than 23:59:60.
    double day = std::floor(jd + 0.5);
    double second = std::round((jd + 0.5 - day) * SECONDS_PER_DAY);
    if (second >= SECONDS_PER_DAY) {
        second -= SECONDS_PER_DAY;
        day += 1;
    }
    // The date of the day's noon, which no rounding moves across midnight.
    int year = 0, month = 0, mday = 0, h = 0, m = 0;
    double s = 0;
    nbJulianDate(day, is_gregorian_jd(day)).get_calendar(year, month, mday, h, m, s);
    const long whole = long(second);
    char text[48];
    std::snprintf(text, sizeof text, "%s%04d-%02d-%02dT%02ld:%02ld:%02ldZ", year < 0 ? "-" : "",
                  std::abs(year), month, mday, whole / 3600, whole / 60 % 60, whole % 60);
    return text;
}

std::string approaches_csv(const std::vector<nbApproach>& events) {
    std::string out = APPROACHES_CSV_HEADER;
    out += '\n';
    for (const nbApproach& e : events) {
        out += csv_field(e.object) + ',' + csv_field(e.with) + ',' + format_fixed(e.jd, 6) + ',' +
               jd_to_utc_text(e.jd) + ',' + format_fixed(e.distance / 1000, 1) + ',' +
               format_fixed(e.distance / ASTRONOMICAL_UNIT, 9) + ',' +
               format_fixed(e.speed / 1000, 4) + '\n';
    }
    return out;
}
