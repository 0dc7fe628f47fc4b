// The hardware's floor under the force pass, for BM_StepFloor: the force
// law's five operations per pair on the widest vectors this CPU offers and
// nothing around them (no self test, every source for every target). Only
// whole blocks of targets are taken; the sums mean nothing.
#pragma once

#include <cstddef>

#include "nbody/force/force_kernels.h"

void force_floor(const double* px, const double* py, const double* pz, const double* mass,
                 std::size_t n, double* fx, double* fy, double* fz);
// How many targets force_floor takes at once.
int force_floor_width();

// The loops for each instruction set, each built for its own.
void floor_avx512(const ForceArrays& s, double* fx, double* fy, double* fz);
void floor_avx(const ForceArrays& s, double* fx, double* fy, double* fz);
void floor_sse2(const ForceArrays& s, double* fx, double* fy, double* fz);
