#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "nbody/elements.h"

namespace {

// Lines 1 and 117 of the Minor Planet Center's critical list of 2014 May 23.
const std::string LINE_1915 = "  1915 1953 EA       |2014 05 23.000|0.570506  |2.544736| 20.3980|"
                              "162.9641 |347.8218 | 2000| 81.2615  |18.97| 0.10|   0.00";
const std::string LINE_BENNU = "101955 1999 RQ36     |2014 05 23.000|0.203702  |1.126001|  6.0349|"
                               "  2.0369 | 66.2936 | 2000| 42.7543  |20.9 | 0.15|   0.00";

// Julian dates of the calendar dates involved, 0:00.
const double JD_2014_05_23 = 2456800.5;
const double JD_2000_01_01 = 2451544.5;

TEST(AsteroidLine, RealCriticalListLinesAreReadFieldByField) {
    nbOrbitalElementsAsteroid set;
    ASSERT_TRUE(set.parse_line(LINE_1915));
    EXPECT_EQ(set.name(), "1915_1953_EA");
    EXPECT_EQ(set.e(), 0.570506);
    EXPECT_EQ(set.a(), 2.544736);
    EXPECT_EQ(set.i(), 20.3980);
    EXPECT_EQ(set.omega(), 162.9641); // the node comes before the perihelion
    EXPECT_EQ(set.w(), 347.8218);
    EXPECT_EQ(set.mean_anomaly(), 81.2615);
    EXPECT_EQ(set.epoch(), JD_2000_01_01);
    const double n = 0.9856076686 / (2.544736 * std::sqrt(2.544736));
    EXPECT_NEAR(set.Tp(), JD_2014_05_23 - 81.2615 / n, 1e-9);
    EXPECT_TRUE(set.valid());

    nbOrbitalElementsAsteroid bennu;
    ASSERT_TRUE(bennu.parse_line(LINE_BENNU));
    EXPECT_EQ(bennu.name(), "101955_1999_RQ36");
    EXPECT_EQ(bennu.omega(), 2.0369);
    EXPECT_EQ(bennu.w(), 66.2936);
}

TEST(AsteroidLine, RejectsLinesThatAreNotElementLinesAndLeavesTheSetAlone) {
    const std::string bad[] = {
        "  1915 1953 EA        2014 05 23.000 0.570506 2.544736 20.3980 162.9641 347.8218 2000 "
        "81.2615", // no '|'
        "* 1915 1953 EA       |2014 05 23.000|0.570506|2.544736|20.3|162.9|347.8| 2000| 81.2",
        "1915|2014 05 23.000|0.570506|2.544736|20.3|162.9|347.8| 2000| 81.2| 1| 2 *",
        "1915|2014 05 23.000|-0.1|2.544736|20.3|162.9|347.8| 2000| 81.2| 1| 2", // e < 0
        "1915|2014 -5 23.000|0.5|2.544736|20.3|162.9|347.8| 2000| 81.2| 1| 2",  // month < 0
        "1915|2014 05 -23.0|0.5|2.544736|20.3|162.9|347.8| 2000| 81.2| 1| 2",   // day < 0
        "1915|2014 05 23.000|1.0|2.544736|20.3|162.9|347.8| 2000| 81.2| 1| 2",  // parabolic
        "1915|2014 05 23.000|1.3|2.544736|20.3|162.9|347.8| 2000| 81.2| 1| 2",  // hyperbolic
        "1915|2014 05 23.000|0.5|0|20.3|162.9|347.8| 2000| 81.2| 1| 2",         // a = 0
        "1915|2014 05 23.000|0.5|2.544736|20.3|162.9|347.8| 2000",              // too short
        "1915|2014 05 23.000|0.5|2.5x|20.3|162.9|347.8| 2000| 81.2| 1| 2",      // not a number
        "1915|2014 05 23.000|0.5|2.5|20.3|162.9|347.8| 2000.5| 81.2| 1| 2",     // epoch year
        "1915|2014 05 23.000|0.5|nan|20.3|162.9|347.8| 2000| 81.2| 1| 2",       // not finite
        "1915|2014 05 23.000|0.5|2.5|20.3|162.9|347.8| 2000| 1e999| 1| 2",      // out of range
        std::string("19") + '\0' + " 15|2014 05 23.000|0.5|2.5|20.3|162.9|347.8| 2000| 81.2| 1| 2",
        "",
    };
    for (const std::string& line : bad) {
        nbOrbitalElementsAsteroid set;
        ASSERT_TRUE(set.parse_line(LINE_1915));
        EXPECT_FALSE(set.parse_line(line)) << line;
        EXPECT_EQ(set.name(), "1915_1953_EA") << line;
        EXPECT_EQ(set.a(), 2.544736) << line;
    }
}

TEST(AsteroidLine, WholeTurnsOfTheMeanAnomalyLeaveTheOrbitAlone) {
    nbOrbitalElementsAsteroid plain, turned, huge;
    ASSERT_TRUE(plain.parse_line(LINE_BENNU));
    ASSERT_TRUE(turned.parse_line("x|2014 05 23.000|0.203702|1.126001|6.0349|2.0369|66.2936|2000|"
                                  "3642.7543|20.9|0.15|0.00")); // ten turns more
    EXPECT_EQ(turned.mean_anomaly(), 3642.7543);                // kept as read
    EXPECT_NEAR(turned.Tp(), plain.Tp(), 1e-8);
    // So many turns that a day's motion would be lost below the last bit
    // of M: the orbit is still the one of its last turn, and it moves.
    ASSERT_TRUE(huge.parse_line("x|2014 05 23.000|0.203702|1.126001|6.0349|2.0369|66.2936|2000|"
                                "2222222222244736|20.9|0.15|0.00"));
    const double n = 0.9856076686 / (1.126001 * std::sqrt(1.126001));
    EXPECT_NEAR(huge.Tp(), JD_2014_05_23 - std::fmod(2222222222244736.0, 360.0) / n, 1e-8);
    const auto body = huge.create_body(JD_2014_05_23);
    ASSERT_NE(body, nullptr);
    EXPECT_GT(body->velocity().length(), 1e4);
}

TEST(AsteroidLine, MonthZeroIsAcceptedAndBlanksOrBarsSeparateAlike) {
    nbOrbitalElementsAsteroid set;
    EXPECT_TRUE(set.parse_line("x|2014|0|23.0|0.5|2.5|20.3|162.9|347.8|2000|81.2|1|2"));
    EXPECT_EQ(set.name(), "x");
    EXPECT_EQ(set.w(), 347.8);
    nbOrbitalElementsAsteroid with_cr;
    EXPECT_TRUE(with_cr.parse_line(LINE_1915 + "\r"));
    EXPECT_EQ(with_cr.mean_anomaly(), 81.2615);
}

TEST(CatalogueName, BlanksAroundAreDroppedAndInsideBecomeUnderscores) {
    struct Case {
        const char* head;
        const char* name;
    };
    const Case cases[] = {
        {"  1 Ceres  ", "1_Ceres"},
        {"C/1995 O1 (Hale-Bopp)", "C/1995_O1_(Hale-Bopp)"},
        {"323P-B/SOHO", "323P-B/SOHO"},
        {"     ", ""},
        {"", ""},
        {"M\xc3\xa9lisande  d", "M\xc3\xa9lisande__d"},
    };
    for (const Case& c : cases) {
        nbOrbitalElementsComet set;
        ASSERT_TRUE(set.parse_line(std::string(c.head) + "|2000|20071107.5|0.5|0.6|10|20|30|1|2"))
            << c.head;
        EXPECT_EQ(set.name(), c.name);
    }
}

TEST(CometLine, FieldsAndPerihelionTime) {
    nbOrbitalElementsComet set;
    ASSERT_TRUE(set.parse_line("P/Test|2000|20071107.5|0.5|0.6|10|20|30|1|2"));
    EXPECT_EQ(set.epoch(), JD_2000_01_01);
    EXPECT_EQ(set.Tp(), 2454412.0); // 2007 November 7, 12:00
    EXPECT_DOUBLE_EQ(set.a(), 0.5 / (1 - 0.6));
    EXPECT_EQ(set.e(), 0.6);
    EXPECT_EQ(set.w(), 10);
    EXPECT_EQ(set.omega(), 20);
    EXPECT_EQ(set.i(), 30);
    EXPECT_TRUE(set.valid());
}

TEST(CometLine, ParabolicAndHyperbolicOrbitsBecomeLongEllipses) {
    for (const char* e : {"1.0", "1.000000", "1.2", "3.356507"}) {
        nbOrbitalElementsComet set;
        ASSERT_TRUE(
            set.parse_line(std::string("C/X|2000|20200527.2|0.4298|") + e + "|23|30|110|9|4"));
        EXPECT_EQ(set.e(), 0.99999) << e;
        EXPECT_NEAR(set.a(), 100000 * 0.4298, 1e-6) << e;
        EXPECT_TRUE(std::isfinite(set.create_body(2459000.5)->position().x)) << e;
    }
}

TEST(CometLine, RejectsUnusableLines) {
    const char* bad[] = {
        "C/X 2000 20200527.2 0.4298 0.9 23 30 110 9 4",  // no '|'
        "C/X|2000|20200527.2|0.4298|0.9|23|30|110|9|4*", // '*'
        "C/X|2000|20200527.2|0.4298|0.9|23|30",          // i missing
        "C/X|2000|2020-05-27|0.4298|0.9|23|30|110|9|4",  // not a number
        "C/X|2000|20200527.2|0|0.9|23|30|110|9|4",       // q = 0
        "C/X|2000|20200527.2|0.4|-0.2|23|30|110|9|4",    // e < 0
    };
    for (const char* line : bad) {
        nbOrbitalElementsComet set;
        EXPECT_FALSE(set.parse_line(line)) << line;
        EXPECT_FALSE(set.valid()) << line;
    }
}

} // namespace
