// Numbers in files: read as the C library reads them in the "C" locale,
// written as printf writes them there, whatever locale the user has.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <string>
#include <vector>

#include "common/comma_locale.h"
#include "nbody/format_number.h"
#include "nbody/parse_number.h"

namespace {

const char* const TEXTS[] = {"1.5 AU",
                             "  -2.5e3x",
                             "+7",
                             ".5",
                             "5.",
                             "1e",
                             "1e+",
                             "-.25e-2",
                             "0x1A",
                             "0x.8p1",
                             "0X1p-3q",
                             "0x",
                             "0xg",
                             "-0x10",
                             "abc",
                             "",
                             "   ",
                             "--1",
                             "+-1",
                             "1,5",
                             "\t12e-3  ",
                             "007",
                             "1e308",
                             "2.2250738585072014e-308",
                             "123456789012345678901234567890",
                             "3.0e10",
                             "- 1",
                             "1e-400"};

// What strtod makes of the text, with values that are not finite as 0.
double c_library(const char* text) {
    const double v = std::strtod(text, nullptr);
    return std::isfinite(v) ? v : 0;
}

TEST(NumberText, LeadingNumberReadsWhatStrtodReadsInTheCLocale) {
    for (const char* text : TEXTS)
        EXPECT_EQ(leading_number(text), c_library(text)) << "'" << text << "'";
    // Values that are not finite make no number.
    for (const char* text : {"inf", "-Infinity", "nan", "NAN(123)", "1e999", "-1e999", "0xinf"})
        EXPECT_EQ(leading_number(text), 0) << text;
}

std::string printed(const char* format, double value) {
    char text[512];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

const double VALUES[] = {0.0,        -0.0,   2.361418, 0.08874,         2458600.5,
                         2.59076e20, 3.0e10, 1e-300,   1.2345678901e23, -7.25,
                         1e300,      5e-324, 0.1,      1.0 / 3};

TEST(NumberText, FormatsAsPrintfDoesInTheCLocale) {
    for (double v : VALUES) {
        EXPECT_EQ(format_fixed(v, 16), printed("%.16f", v)) << v;
        EXPECT_EQ(format_fixed(v, 6), printed("%f", v)) << v;
        EXPECT_EQ(format_general(v, 16), printed("%.16g", v)) << v;
        EXPECT_EQ(format_exponent(v, 8), printed("%.8e", v)) << v;
    }
}

TEST(NumberText, ACommaLocaleChangesNeitherReadingNorWriting) {
    std::vector<double> read;
    std::vector<std::string> written;
    for (const char* text : TEXTS)
        read.push_back(leading_number(text));
    for (double v : VALUES)
        written.push_back(format_fixed(v, 16) + format_general(v, 16) + format_exponent(v, 8));

    CommaLocale comma;
    ASSERT_TRUE(comma.active()) << "the test locale de_DE.UTF-8 is missing (LOCPATH)";
    ASSERT_EQ(printed("%.1f", 0.5), "0,5");
    for (std::size_t k = 0; k < std::size(TEXTS); ++k)
        EXPECT_EQ(leading_number(TEXTS[k]), read[k]) << TEXTS[k];
    EXPECT_EQ(leading_number("1,5"), 1);
    for (std::size_t k = 0; k < std::size(VALUES); ++k)
        EXPECT_EQ(format_fixed(VALUES[k], 16) + format_general(VALUES[k], 16) +
                      format_exponent(VALUES[k], 8),
                  written[k])
            << VALUES[k];
    EXPECT_EQ(format_fixed(2.5, 16), "2.5000000000000000");
}

} // namespace
