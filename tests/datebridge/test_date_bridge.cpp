#include <gtest/gtest.h>

#include <cmath>

#include "datebridge/date_bridge.h"
#include "nbody/julian.h"

// Runs under ctest with a local zone that has summer time (see
// CMakeLists.txt), so that a bridge mixing UTC and local fields fails. The
// dates stay clear of the days on which clocks change.

namespace {

struct LocalTime {
    int year;
    wxDateTime::Month month;
    int day, hour, minute, second;
};

wxDateTime make(const LocalTime& l) {
    return wxDateTime(static_cast<wxDateTime::wxDateTime_t>(l.day), l.month, l.year,
                      static_cast<wxDateTime::wxDateTime_t>(l.hour),
                      static_cast<wxDateTime::wxDateTime_t>(l.minute),
                      static_cast<wxDateTime::wxDateTime_t>(l.second));
}

void expect_fields(const wxDateTime& t, const LocalTime& l) {
    ASSERT_TRUE(t.IsValid());
    EXPECT_EQ(t.GetYear(), l.year);
    EXPECT_EQ(t.GetMonth(), l.month);
    EXPECT_EQ(t.GetDay(), l.day);
    EXPECT_EQ(t.GetHour(), l.hour);
    EXPECT_EQ(t.GetMinute(), l.minute);
    EXPECT_EQ(t.GetSecond(), l.second);
    EXPECT_EQ(t.GetMillisecond(), 0);
}

TEST(DateBridge, LocalFieldsAreTakenAsTheyAre) {
    const LocalTime noon{2000, wxDateTime::Jan, 1, 12, 0, 0};
    EXPECT_EQ(datetime_to_jd(make(noon)), 2451545.0);
    expect_fields(jd_to_datetime(2451545.0), noon);
    // Milliseconds are ignored.
    EXPECT_EQ(datetime_to_jd(wxDateTime(1, wxDateTime::Jan, 2000, 12, 0, 0, 999)), 2451545.0);
    // Summer time changes nothing either.
    const LocalTime summer{2024, wxDateTime::Jul, 15, 6, 0, 0};
    EXPECT_EQ(datetime_to_jd(make(summer)), calendar_to_jd(2024, 7, 15.25, true));
}

TEST(DateBridge, CalendarInForceOnTheDate) {
    EXPECT_EQ(datetime_to_jd(wxDateTime(4, wxDateTime::Oct, 1582)), 2299159.5);
    EXPECT_EQ(datetime_to_jd(wxDateTime(15, wxDateTime::Oct, 1582)), 2299160.5);
    expect_fields(jd_to_datetime(2299159.5), {1582, wxDateTime::Oct, 4, 0, 0, 0});
    expect_fields(jd_to_datetime(2299160.5), {1582, wxDateTime::Oct, 15, 0, 0, 0});
}

TEST(DateBridge, RoundTripKeepsEveryField) {
    const LocalTime cases[] = {
        {2026, wxDateTime::Jan, 14, 10, 20, 30}, {2026, wxDateTime::Jul, 14, 23, 59, 59},
        {1999, wxDateTime::Dec, 31, 23, 59, 59}, {1970, wxDateTime::Jan, 1, 0, 0, 1},
        {1957, wxDateTime::Oct, 4, 19, 26, 24},  {2100, wxDateTime::Aug, 3, 13, 0, 0},
        {1600, wxDateTime::Feb, 29, 7, 7, 7},    {1066, wxDateTime::Oct, 14, 9, 30, 0},
        {2037, wxDateTime::Jun, 1, 1, 1, 1},     {2038, wxDateTime::Jan, 20, 5, 6, 7},
    };
    for (const LocalTime& l : cases) {
        SCOPED_TRACE(l.year);
        expect_fields(jd_to_datetime(datetime_to_jd(make(l))), l);
    }
    // Every 7 s of a winter and a summer day, with all the rounding of the
    // JD's last bit that they bring.
    for (wxDateTime::Month month : {wxDateTime::Jan, wxDateTime::Jul})
        for (int s = 0; s < 86400; s += 7) {
            const LocalTime l{2024, month, 17, s / 3600, s / 60 % 60, s % 60};
            const wxDateTime back = jd_to_datetime(datetime_to_jd(make(l)));
            ASSERT_TRUE(back.IsValid());
            ASSERT_EQ(back.GetHour() * 3600 + back.GetMinute() * 60 + back.GetSecond(), s) << month;
            ASSERT_EQ(back.GetDay(), 17);
        }
}

TEST(DateBridge, SecondsAreTruncated) {
    const double jd = nbJulianDate(2000, 1, 1, 10, 20, 59.9999, true).jd();
    expect_fields(jd_to_datetime(jd), {2000, wxDateTime::Jan, 1, 10, 20, 59});
    // No carry into the next year either.
    const double eve = nbJulianDate(1999, 12, 31, 23, 59, 59.9999, true).jd();
    expect_fields(jd_to_datetime(eve), {1999, wxDateTime::Dec, 31, 23, 59, 59});
    const double half = nbJulianDate(2000, 1, 1, 10, 20, 30.5, true).jd();
    expect_fields(jd_to_datetime(half), {2000, wxDateTime::Jan, 1, 10, 20, 30});
}

TEST(DateBridge, UnrepresentableValuesGiveInvalidResults) {
    EXPECT_TRUE(std::isnan(datetime_to_jd(wxDateTime())));
    EXPECT_FALSE(jd_to_datetime(std::nan("")).IsValid());
    EXPECT_FALSE(jd_to_datetime(HUGE_VAL).IsValid());
    EXPECT_FALSE(jd_to_datetime(-1.0).IsValid());
    // 1500 is a leap year in the Julian calendar only.
    EXPECT_FALSE(jd_to_datetime(calendar_to_jd(1500, 2, 29, false)).IsValid());
    expect_fields(jd_to_datetime(calendar_to_jd(1500, 2, 28, false)),
                  {1500, wxDateTime::Feb, 28, 0, 0, 0});
}

} // namespace
