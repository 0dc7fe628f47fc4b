#include <gtest/gtest.h>

#include "common/comma_locale.h"
#include "nbody/elements.h"
#include "nbody/parse_number.h"

namespace {

TEST(Locale, CatalogueNumbersReadTheSameWithADecimalComma) {
    CommaLocale comma;
    ASSERT_TRUE(comma.active()) << "the test locale de_DE.UTF-8 is missing (LOCPATH)";
    nbOrbitalElementsAsteroid set;
    ASSERT_TRUE(set.parse_line("  1915 1953 EA       |2014 05 23.000|0.570506  |2.544736| 20.3980|"
                               "162.9641 |347.8218 | 2000| 81.2615  |18.97| 0.10|   0.00"));
    EXPECT_EQ(set.a(), 2.544736);
    EXPECT_EQ(set.i(), 20.3980);
    double v = 0;
    EXPECT_TRUE(parse_double("0.125", v));
    EXPECT_EQ(v, 0.125);
    EXPECT_FALSE(parse_double("0,125", v));
}

} // namespace
