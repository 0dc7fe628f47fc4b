#include <gtest/gtest.h>

#include <cmath>

#include "common/comma_locale.h"
#include "nbody/parse_number.h"
#include "tools/state_writer.h"

namespace {

TEST(StateWriter, NumbersRoundTripWithSeventeenDigitsWhateverTheLocale) {
    CommaLocale comma;
    ASSERT_TRUE(comma.active()) << "the test locale de_DE.UTF-8 is missing (LOCPATH)";
    for (double v : {0.1, -1.4959787e11, 2451545.0000000005, 6.02214076e23, 5e-324}) {
        const std::string text = format_number(v);
        EXPECT_EQ(text.find(','), std::string::npos) << text;
        double back = 0;
        ASSERT_TRUE(parse_double(text, back)) << text;
        EXPECT_EQ(back, v);
    }
    EXPECT_EQ(format_number(0.26), "0.26000000000000001");
    EXPECT_EQ(format_number(NAN), "nan");
}

} // namespace
