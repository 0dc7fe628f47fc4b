#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "nbody/julian.h"

namespace {

const int INT_MAX_ = std::numeric_limits<int>::max();
const int INT_MIN_ = std::numeric_limits<int>::min();

TEST(JdFloor, TruncatesUpwardOfZeroAndStepsDownBelowIt) {
    const struct {
        double x;
        int expected;
    } cases[] = {
        {2.7, 2},   {0.0, 0},        {0.999, 0},       {-0.5, -1},        {-2.5, -3},
        {-2.0, -3}, {3e9, INT_MAX_}, {-3e9, INT_MIN_}, {1e300, INT_MAX_}, {-INFINITY, INT_MIN_},
        {NAN, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(jd_floor(c.x), c.expected) << c.x;
}

TEST(GregorianCalendar, ReformFallsOn1582October15) {
    EXPECT_TRUE(is_gregorian_date(1582, 10, 15.0));
    EXPECT_FALSE(is_gregorian_date(1582, 10, 14.999));
    EXPECT_TRUE(is_gregorian_date(1582, 11, 1.0));
    EXPECT_FALSE(is_gregorian_date(1582, 9, 30.0));
    EXPECT_TRUE(is_gregorian_date(1583, 1, 1.0));
    EXPECT_FALSE(is_gregorian_date(1581, 12, 31.0));
    EXPECT_TRUE(is_gregorian_jd(2299160.5));
    EXPECT_FALSE(is_gregorian_jd(2299160.4999));
}

// Dates with the day's fraction and their JDs, from Meeus' Astronomical
// Algorithms, chapter 7 (Julian calendar before 1582 October 15).
struct DatedJd {
    int year;
    int month;
    double day;
    double jd;
};
const DatedJd published_dates[] = {
    {2000, 1, 1.5, 2451545.0},    {1999, 1, 1.0, 2451179.5},   {1987, 1, 27.0, 2446822.5},
    {1987, 6, 19.5, 2446966.0},   {1988, 1, 27.0, 2447187.5},  {1988, 6, 19.5, 2447332.0},
    {1957, 10, 4.81, 2436116.31}, {1900, 1, 1.0, 2415020.5},   {1600, 1, 1.0, 2305447.5},
    {1600, 12, 31.0, 2305812.5},  {1582, 10, 15.0, 2299160.5}, {1582, 10, 4.0, 2299159.5},
    {837, 4, 10.3, 2026871.8},    {333, 1, 27.5, 1842713.0},   {-123, 12, 31.0, 1676496.5},
    {-122, 1, 1.0, 1676497.5},    {-1000, 7, 12.5, 1356001.0}, {-1000, 2, 29.0, 1355866.5},
    {-1001, 8, 17.9, 1355671.4},  {-4712, 1, 1.5, 0.0},        {2000, 2, 29.0, 2451603.5},
    {2000, 3, 1.0, 2451604.5},
};

TEST(CalendarToJd, PublishedDates) {
    for (const DatedJd& c : published_dates) {
        const bool gregorian = is_gregorian_date(c.year, c.month, c.day);
        EXPECT_NEAR(calendar_to_jd(c.year, c.month, c.day, gregorian), c.jd, 1e-9)
            << c.year << "-" << c.month << "-" << c.day;
    }
}

TEST(GetCalendar, PublishedDatesReadBack) {
    for (const DatedJd& c : published_dates) {
        const nbJulianDate date(c.jd, true);
        int year, month, day, hour, minute;
        double second;
        date.get_calendar(year, month, day, hour, minute, second);
        EXPECT_EQ(year, c.year) << c.jd;
        EXPECT_EQ(month, c.month) << c.jd;
        EXPECT_EQ(day, static_cast<int>(c.day)) << c.jd;
        EXPECT_GE(hour, 0);
        EXPECT_GE(minute, 0);
        EXPECT_GE(second, 0.0);
        const double day_with_fraction = day + hour / 24.0 + minute / 1440.0 + second / 86400.0;
        EXPECT_NEAR(day_with_fraction, c.day, 1e-8) << c.jd;
    }
}

TEST(NbJulianDate, J2000NoonBothWays) {
    const nbJulianDate noon(2000, 1, 1, 12, 0, 0, true);
    EXPECT_EQ(noon.jd(), 2451545.0);
    EXPECT_TRUE(noon.gregorian());
    int year, month, day, hour, minute;
    double second;
    nbJulianDate(2451545.0, true).get_calendar(year, month, day, hour, minute, second);
    EXPECT_EQ(year, 2000);
    EXPECT_EQ(month, 1);
    EXPECT_EQ(day, 1);
    EXPECT_EQ(hour, 12);
    EXPECT_EQ(minute, 0);
    EXPECT_NEAR(second, 0.0, 1e-9);
    EXPECT_EQ(nbJulianDate(1582, 10, 15, true).jd(), 2299160.5);
}

TEST(NbJulianDate, SingleFieldGettersReadTheirOwnField) {
    // 1957 October 4.81 is 19:26:24.
    const nbJulianDate date(2436116.31, true);
    EXPECT_EQ(date.year(), 1957);
    EXPECT_EQ(date.month(), 10);
    EXPECT_EQ(date.day(), 4);
    EXPECT_EQ(date.hour(), 19);
    // 24 s may read a hair below 24 from the JD's last bit, so the minute
    // is checked together with the second.
    EXPECT_NEAR(date.minute() * 60 + date.second(), 26 * 60 + 24, 1e-4);
    const nbJulianDate built(1957, 10, 4, 19, 26, 24, true);
    EXPECT_NEAR(built.jd(), 2436116.31, 1e-9);
}

TEST(NbJulianDate, GregorianRequestBeforeTheReformReadsBackInTheJulianCalendar) {
    // The JD takes the Gregorian correction, the stored flag does not: ten
    // days separate the calendars in 1582, five in January 1000.
    const nbJulianDate reform(1582, 10, 4, true);
    EXPECT_EQ(reform.jd(), calendar_to_jd(1582, 10, 4, true));
    EXPECT_EQ(reform.jd(), 2299149.5);
    EXPECT_FALSE(reform.gregorian());
    EXPECT_EQ(reform.year(), 1582);
    EXPECT_EQ(reform.month(), 9);
    EXPECT_EQ(reform.day(), 24);

    const nbJulianDate millennium(1000, 1, 1, true);
    EXPECT_FALSE(millennium.gregorian());
    EXPECT_EQ(millennium.year(), 999);
    EXPECT_EQ(millennium.month(), 12);
    EXPECT_EQ(millennium.day(), 27);
}

TEST(NbJulianDate, FlagIsSetOnlyWhenRequestedOnOrAfterTheReform) {
    nbJulianDate date(2299160.5, false);
    EXPECT_FALSE(date.gregorian());
    // The same day read in the Julian calendar.
    EXPECT_EQ(date.month(), 10);
    EXPECT_EQ(date.day(), 5);
    EXPECT_TRUE(date.set_gregorian(true));
    EXPECT_EQ(date.day(), 15);
    EXPECT_FALSE(date.set_jd(2299160.4, true));
    EXPECT_FALSE(date.gregorian());
    EXPECT_TRUE(date.set_jd(2299160.5, true));
    EXPECT_FALSE(date.set_gregorian(false));
}

TEST(CalendarToJd, AnyYearAndMonthGiveTheFormulasValueWithoutOverflow) {
    // Far beyond the days an int can count: by hand from the formula,
    // 428 + floor(365.25 * (2147483646 + 4716)) + 1 - 1524.5.
    EXPECT_EQ(calendar_to_jd(INT_MAX_, 1, 1.0, false), 784370123124.5);
    // The calendars' cycles hold for every year: 146097 days in 400
    // Gregorian years, 1461 in 4 Julian ones.
    for (int year : {2000, 2000000000, INT_MAX_ - 400, INT_MIN_ + 1}) {
        const int later = year > 0 ? year : year + 400;
        const int earlier = year > 0 ? year - 400 : year;
        EXPECT_EQ(calendar_to_jd(later, 3, 1.0, true) - calendar_to_jd(earlier, 3, 1.0, true),
                  146097.0)
            << year;
        EXPECT_EQ(calendar_to_jd(later, 2, 1.0, false) - calendar_to_jd(later - 4, 2, 1.0, false),
                  1461.0)
            << year;
    }
    for (int month : {INT_MAX_, INT_MIN_, 0})
        for (int year : {INT_MAX_, INT_MIN_, 0})
            EXPECT_TRUE(std::isfinite(calendar_to_jd(year, month, 1.0, true)))
                << year << " " << month;
}

TEST(GetCalendar, ReadsYearsBeyondTheIntsDaysAndHoldsTheRestAtTheEnds) {
    const nbJulianDate far(calendar_to_jd(2000000000, 3, 1.5, true), true);
    EXPECT_EQ(far.year(), 2000000000);
    EXPECT_EQ(far.month(), 3);
    EXPECT_EQ(far.day(), 1);
    EXPECT_EQ(far.hour(), 12);
    EXPECT_EQ(nbJulianDate(1e300, true).year(), INT_MAX_);
    EXPECT_EQ(nbJulianDate(-1e300, true).year(), INT_MIN_);
    int year = 1, month = 1, day = 1, hour = 1, minute = 1;
    double second = 1;
    nbJulianDate(NAN, true).get_calendar(year, month, day, hour, minute, second);
    EXPECT_EQ(year, 0);
    EXPECT_EQ(month, 0);
    EXPECT_EQ(day, 0);
    EXPECT_TRUE(std::isnan(second));
}

TEST(NbJulianDate, OutOfRangeFieldsFlowIntoTheNeighbours) {
    EXPECT_EQ(calendar_to_jd(1999, 13, 1, true), calendar_to_jd(2000, 1, 1, true));
    EXPECT_EQ(calendar_to_jd(2000, 3, 0, true), 2451603.5);
    const nbJulianDate late(1999, 12, 31, 36, 0, 0, true);
    EXPECT_EQ(late.jd(), 2451545.0);
    const nbJulianDate minutes(2000, 1, 1, 0, 720, 0, true);
    EXPECT_EQ(minutes.jd(), 2451545.0);
}

} // namespace
