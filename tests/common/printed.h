// Tolerance of a value printed with `decimals` decimals: half a unit of its
// last digit.
#pragma once

#include <cmath>

inline double printed(int decimals) {
    return 0.5 * std::pow(10.0, -decimals);
}
