// Writing numbers into files the same way whatever the user's locale: a
// point is the decimal separator, as printf writes them in the "C" locale.
#pragma once

#include <string>

// printf's "%.<decimals>f".
std::string format_fixed(double value, int decimals);
// printf's "%.<digits>g".
std::string format_general(double value, int digits);
// printf's "%.<decimals>e".
std::string format_exponent(double value, int decimals);
