// The units and constants every part of the simulation shares. No includes:
// the force kernels built for wider instruction sets take it too.
#pragma once

constexpr double ASTRONOMICAL_UNIT = 1.49598e11;     // m
constexpr double GRAVITATIONAL_CONSTANT = 6.673e-11; // m^3 kg^-1 s^-2
constexpr double SECONDS_PER_DAY = 86400.0;
