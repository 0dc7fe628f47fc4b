// Reading numbers from text the same way whatever the user's locale: a point
// is the decimal separator, the whole text must be the number.
#pragma once

#include <string_view>
#include <vector>

// A finite decimal number, with an optional leading '+' or '-'.
bool parse_double(std::string_view text, double& value);
// A decimal integer that fits an int, with an optional leading '+' or '-'.
bool parse_int(std::string_view text, int& value);
bool parse_long(std::string_view text, long& value);
// The number at the start of text as the C library's strtod reads it in the
// "C" locale: blanks skipped, an optional sign, decimal or hexadecimal
// digits with an optional exponent; whatever follows is ignored ("1.5 AU"
// reads 1.5). No number at all, or one that is not finite ("inf", "nan",
// 1e999), reads as 0: no such value may reach an element set.
double leading_number(std::string_view text);
// The blank-separated words of text (blanks: space, tab, CR, LF, VT, FF).
std::vector<std::string_view> split_words(std::string_view text);
