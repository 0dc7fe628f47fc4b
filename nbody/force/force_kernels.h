// The force pass's kernels for each instruction set, chosen at run time by
// nbody/force_pass.cpp. Every kernel gives the bits of the scalar force law.
#pragma once

#include <cstddef>

struct ForceArrays {
    const double* px;
    const double* py;
    const double* pz;
    const double* m;
    std::size_t n;
};

// Fill fx, fy, fz for whole blocks of targets from `first` on and return
// where they end; the caller finishes the rest with a narrower kernel.
std::size_t forces_avx512(const ForceArrays& s, std::size_t first, double* fx, double* fy,
                          double* fz);
std::size_t forces_avx(const ForceArrays& s, std::size_t first, double* fx, double* fy, double* fz);
std::size_t forces_sse2(const ForceArrays& s, std::size_t first, double* fx, double* fy,
                        double* fz);

// The bare loops of the five operations per pair, for the benchmark of
// the hardware's floor (targets in whole blocks only).
void floor_avx512(const ForceArrays& s, double* fx, double* fy, double* fz);
void floor_avx(const ForceArrays& s, double* fx, double* fy, double* fz);
void floor_sse2(const ForceArrays& s, double* fx, double* fy, double* fz);
