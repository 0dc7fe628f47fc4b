// The all-pairs force pass of a step over flat arrays: for every body a, the
// pulls of all other bodies summed in index order, bit for bit as
// nbBody::add_pull would sum them.
#pragma once

#include <cstddef>

void accumulate_forces(const double* px, const double* py, const double* pz, const double* mass,
                       std::size_t n, double* fx, double* fy, double* fz);
