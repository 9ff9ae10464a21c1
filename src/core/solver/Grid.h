// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One node of the solver's grid: its fields, and apart from them its coefficients, which the step
// only reads.

#include <cstddef>
#include <limits>

static_assert(std::numeric_limits<long double>::digits == 64, "extended precision needs a 64-bit mantissa");

struct GridNode {
    double X;    // m, i * Dx
    double V[4]; // m/s, particle velocity; level 0 being computed, 1 last completed, 2..3 older
    double S[4]; // Pa, mechanical stress
    double E[4]; // V/m, electric field
};

struct NodeCoefficients {
    double Density;      // kg/m^3
    double Stiffness;    // Pa, the modulus c33
    double Viscosity;    // Pa*s
    double PiezoE33;     // C/m^2
    double Permittivity; // F/m
};

// Memory a node of the grid takes.
constexpr std::size_t kBytesPerNode = sizeof(GridNode) + sizeof(NodeCoefficients);
