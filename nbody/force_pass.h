// The all-pairs force pass of a step over flat arrays: for every body a, the
// pulls of all other bodies summed in index order, bit for bit as
// nbBody::add_pull would sum them, on the widest vectors the CPU offers.
#pragma once

#include <cstddef>
#include <vector>

// The ways the pass can run, narrowest first; all give the same bits.
enum class ForcePath { Scalar, Sse2, Avx, Avx512 };

const char* force_path_name(ForcePath path);
// The paths this CPU and this build can run, narrowest first.
std::vector<ForcePath> available_force_paths();
// The path accumulate_forces takes: the widest available unless chosen.
ForcePath force_path();
// For tests and benchmarks: an unavailable path is refused (false).
bool use_force_path(ForcePath path);

void accumulate_forces(const double* px, const double* py, const double* pz, const double* mass,
                       std::size_t n, double* fx, double* fy, double* fz);
void accumulate_forces(ForcePath path, const double* px, const double* py, const double* pz,
                       const double* mass, std::size_t n, double* fx, double* fy, double* fz);

// The bare five operations per pair on the widest path, no bookkeeping:
// what the hardware's divisions and square roots allow. For N a multiple
// of the path's width; the sums mean nothing.
void force_floor(const double* px, const double* py, const double* pz, const double* mass,
                 std::size_t n, double* fx, double* fy, double* fz);
// The lanes of force_path(): how many targets the floor takes at once.
int force_path_width(ForcePath path);
