// Julian dates and calendar dates, by the classical algorithm of J. Meeus'
// Astronomical Algorithms (chapter 7). The calendar switches from Julian to
// Gregorian at 1582 October 15 (JD 2299160.5). No time zone or time scale is
// modelled: calendar fields go in and come out unchanged.
#pragma once

// First JD of the Gregorian calendar, 1582 October 15 0:00.
constexpr double GREGORIAN_REFORM_JD = 2299160.5;

// The years of the program's dates: from JD 0 (-4712 January 1.5) to the
// end of 9999. Dates read from files outside them are refused.
constexpr int FIRST_YEAR = -4712;
constexpr int LAST_YEAR = 9999;

// The integer part used throughout the date arithmetic: truncation for
// x >= 0, truncation of x - 1 below zero (so -2.0 gives -3). Beyond the
// range of an int the result is held at its ends; NaN gives 0.
int jd_floor(double x);

// Whether a calendar date (day with fraction) falls on or after 1582-10-15.
bool is_gregorian_date(int year, int month, double day);
bool is_gregorian_jd(double jd);

// JD of a calendar date; `day` carries the time of day as its fraction. The
// Gregorian correction is applied whenever asked for, whatever the date.
// Out-of-range fields flow through (month 13 is January of the next year);
// every year and month give a finite JD for a finite day, no int overflow.
double calendar_to_jd(int year, int month, double day, bool gregorian);

class nbJulianDate {
public:
    nbJulianDate(double jd, bool gregorian);
    nbJulianDate(int year, int month, double day, bool gregorian);
    nbJulianDate(int year, int month, double day, double hour, double minute, double second,
                 bool gregorian);

    // Stores the JD and returns the Gregorian flag it ends up with.
    bool set_jd(double jd, bool gregorian);
    // The JD is computed in the requested calendar; the stored flag then
    // follows set_gregorian, so a Gregorian date before the reform is read
    // back in the Julian calendar.
    void set_calendar(int year, int month, double day, double hour, double minute, double second,
                      bool gregorian);
    // The flag is set only when requested and the JD is on or after the reform.
    bool set_gregorian(bool requested);

    double jd() const { return jd_; }
    bool gregorian() const { return gregorian_; }

    void get_calendar(int& year, int& month, int& day, int& hour, int& minute,
                      double& second) const;
    int year() const;
    int month() const;
    int day() const;
    int hour() const;
    int minute() const;
    double second() const;

private:
    double jd_ = 0.0;
    bool gregorian_ = false;
};
