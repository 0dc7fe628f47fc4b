// The force pass of a step over flat arrays, on the widest vectors the CPU
// offers: for every body a, the pulls of the heavy bodies other than a
// summed in index order, bit for bit as nbBody::add_pull would sum them; and
// for test particles, which pull nothing, the acceleration towards the heavy
// bodies.
#pragma once

#include <cstddef>
#include <vector>

#include "nbody/force/force_kernels.h"

// The ways the pass can run, narrowest first; all give the same bits.
enum class ForcePath { Scalar, Sse2, Avx, Avx512 };

const char* force_path_name(ForcePath path);
// The paths this CPU and this build can run, narrowest first.
std::vector<ForcePath> available_force_paths();
// The path accumulate_forces takes: the widest available unless chosen.
ForcePath force_path();
// For tests and benchmarks: an unavailable path is refused (false).
bool use_force_path(ForcePath path);

// All pairs: every body pulls every other.
void accumulate_forces(const double* px, const double* py, const double* pz, const double* mass,
                       std::size_t n, double* fx, double* fy, double* fz);
void accumulate_forces(ForcePath path, const double* px, const double* py, const double* pz,
                       const double* mass, std::size_t n, double* fx, double* fy, double* fz);
// The forces on targets [first, last) from the sources [0, s.n_active); a
// target that is a source leaves itself out. Each target's sum is the same
// whatever range it is computed in, so ranges may run on separate threads.
void accumulate_forces(ForcePath path, const ForceArrays& s, std::size_t first, std::size_t last,
                       double* fx, double* fy, double* fz);
// The accelerations of test particles [first, last) (all at or past
// s.n_active) towards the sources.
void accumulate_pulls(ForcePath path, const ForceArrays& s, std::size_t first, std::size_t last,
                      double* ax, double* ay, double* az);
