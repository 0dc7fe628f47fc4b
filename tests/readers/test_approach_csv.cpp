// The approaches' table file: the header the users' scripts read, names
// that hold the separator, and times to the second.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "nbody/julian.h"
#include "readers/approach_csv.h"

namespace {

TEST(ApproachCsv, TimesToTheNearestSecond) {
    struct Case {
        double jd;
        const char* text;
    };
    const Case cases[] = {
        {2451545.0, "2000-01-01T12:00:00Z"},
        {2456338.5, "2013-02-15T00:00:00Z"},
        // 19:25:49 of 2013-02-15, 2012 DA14's least distance.
        {2456338.5 + (19 * 3600 + 25 * 60 + 49) / 86400.0, "2013-02-15T19:25:49Z"},
        // Half a second before midnight rounds into the next day.
        {2456338.5 - 0.4 / 86400, "2013-02-15T00:00:00Z"},
        {2456338.5 - 0.6 / 86400, "2013-02-14T23:59:59Z"},
        // The Julian calendar before the reform, and a year before 1.
        {2299160.5 - 1, "1582-10-04T00:00:00Z"},
        {calendar_to_jd(-44, 3, 15.5, false), "-0044-03-15T12:00:00Z"},
        {NAN, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(jd_to_utc_text(c.jd), c.text) << c.jd;
}

TEST(ApproachCsv, FieldsWithSeparatorsAreQuoted) {
    EXPECT_EQ(csv_field("99942 Apophis"), "99942 Apophis");
    EXPECT_EQ(csv_field("C/2020 F3 (NEOWISE), fragment"), "\"C/2020 F3 (NEOWISE), fragment\"");
    EXPECT_EQ(csv_field("say \"hi\""), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(csv_field("two\nlines"), "\"two\nlines\"");
    EXPECT_EQ(csv_field(""), "");
}

TEST(ApproachCsv, HeaderThenOneLinePerEventInTheGivenOrder) {
    nbApproach a;
    a.object = "Rock, the first";
    a.with = "Earth";
    a.jd = 2456339.3096;
    a.distance = 34100e3;
    a.speed = 7820;
    nbApproach b = a;
    b.object = "Other";
    b.with = "Moon";
    b.jd = 2456340.0;
    b.distance = 0.01 * ASTRONOMICAL_UNIT;
    EXPECT_EQ(approaches_csv({}), "object,with,jd,utc,distance_km,distance_au,speed_km_s\n");
    EXPECT_EQ(approaches_csv({a, b}),
              "object,with,jd,utc,distance_km,distance_au,speed_km_s\n"
              "\"Rock, the first\",Earth,2456339.309600,2013-02-15T19:25:49Z,34100.0,0.000227944,"
              "7.8200\n"
              "Other,Moon,2456340.000000,2013-02-16T12:00:00Z,1495980.0,0.010000000,7.8200\n");
}

} // namespace
