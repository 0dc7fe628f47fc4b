#include "datebridge/date_bridge.h"

#include <cmath>
#include <limits>

#include "nbody/julian.h"

namespace {

// The toolkit holds no date before JD 0 (-4712 January 1); a million years
// ahead is far enough for any use and keeps the date arithmetic well inside
// an int.
constexpr double LAST_JD = 2451545.0 + 365.25e6;

struct Fields {
    int year, month, day, hour, minute;
    double second;
};

Fields fields_of(double jd) {
    Fields f;
    nbJulianDate(jd, is_gregorian_jd(jd))
        .get_calendar(f.year, f.month, f.day, f.hour, f.minute, f.second);
    return f;
}

} // namespace

double datetime_to_jd(const wxDateTime& t) {
    if (!t.IsValid())
        return std::numeric_limits<double>::quiet_NaN();
    const wxDateTime::Tm tm = t.GetTm(wxDateTime::Local);
    const int year = tm.year;
    const int month = static_cast<int>(tm.mon) + 1;
    const int day = tm.mday;
    const bool gregorian = is_gregorian_date(year, month, day);
    return nbJulianDate(year, month, day, tm.hour, tm.min, tm.sec, gregorian).jd();
}

wxDateTime jd_to_datetime(double jd) {
    if (!(jd >= 0.0 && jd <= LAST_JD))
        return wxDateTime();
    Fields f = fields_of(jd);
    // A JD cannot tell apart times closer than its last bit (about 40 us
    // today), so a whole second turned into a JD often reads back a hair
    // below it. A reading within one such step below a whole second is that
    // second: read the next representable JD instead, which also carries
    // into the minute, hour, day and so on.
    const double next = std::nextafter(jd, std::numeric_limits<double>::infinity());
    const double resolution = (next - jd) * 86400.0;
    const double whole = std::ceil(f.second);
    if (whole != f.second && whole - f.second < resolution)
        f = fields_of(next);

    const wxDateTime::Month month = f.month >= 1 && f.month <= 12
                                        ? static_cast<wxDateTime::Month>(f.month - 1)
                                        : wxDateTime::Jan;
    const int second = static_cast<int>(std::trunc(f.second));
    // The toolkit's calendar is Gregorian throughout: a Julian leap day such
    // as 1500-02-29 has no place in it.
    if (f.day < 1 || f.day > wxDateTime::GetNumberOfDays(month, f.year) || f.hour < 0 ||
        f.hour > 23 || f.minute < 0 || f.minute > 59 || second < 0 || second > 59)
        return wxDateTime();
    using Field = wxDateTime::wxDateTime_t;
    return wxDateTime(static_cast<Field>(f.day), month, f.year, static_cast<Field>(f.hour),
                      static_cast<Field>(f.minute), static_cast<Field>(second), 0);
}
