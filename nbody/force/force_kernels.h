// The force pass's kernels for each instruction set, chosen at run time by
// nbody/force_pass.cpp. Every kernel gives the bits of the scalar force law.
#pragma once

#include <cstddef>

// The bodies of one pass: n in all, of which the first n_active pull the
// others (the heavy bodies); the rest are test particles that pull nothing.
struct ForceArrays {
    const double* px;
    const double* py;
    const double* pz;
    const double* m;
    std::size_t n;
    std::size_t n_active;
};

// Fill fx, fy, fz for whole blocks of targets in [first, last) and return
// where they end; the caller finishes the rest with a narrower kernel. The
// sources are [0, n_active), a target that is one of them skips itself.
std::size_t forces_avx512(const ForceArrays& s, std::size_t first, std::size_t last, double* fx,
                          double* fy, double* fz);
std::size_t forces_avx(const ForceArrays& s, std::size_t first, std::size_t last, double* fx,
                       double* fy, double* fz);
std::size_t forces_sse2(const ForceArrays& s, std::size_t first, std::size_t last, double* fx,
                        double* fy, double* fz);

// The same for test particles (targets at or past n_active): the
// accelerations G m_b u / (d^2 d) summed over the sources, one division and
// one square root per pair instead of the force law's four and one.
std::size_t pulls_avx512(const ForceArrays& s, std::size_t first, std::size_t last, double* ax,
                         double* ay, double* az);
std::size_t pulls_avx(const ForceArrays& s, std::size_t first, std::size_t last, double* ax,
                      double* ay, double* az);
std::size_t pulls_sse2(const ForceArrays& s, std::size_t first, std::size_t last, double* ax,
                       double* ay, double* az);
