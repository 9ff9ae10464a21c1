// SPDX-License-Identifier: GPL-3.0-or-later
#include "solver/Stability.h"

#include <algorithm>
#include <cmath>
#include <limits>

// The time step of the velocity v and the stress T is, for a quantity u over its levels 0..3,
//     (23 u0 - 21 u1 - 3 u2 + u3) / 24 = Dt * right-hand side,
// the velocity driven by the completed stress, the stress by the new velocity. For a growth
// factor z per step this time difference is u1 * tau(z) with tau(z) = (23 z - 21 - 3/z + 1/z^2) / 24.
// In space both differences are the staggered operator with weights 27 and 1 over 24 Dx; write
// Dvs for the one that takes stress to velocity points, so that the one back is -Dvs^T. Elimination
// of the stress gives, for every mode of the grid,
//     tau(z)^2 v = -z * R^-1 Dvs (Dt^2 C + Dt Eta (1 - 1/z)) Dvs^T v,
// with R the densities and C the moduli (C33 + PiezoE33^2 / Eps on the plate: the field equation
// has the same time difference, so the piezoelectric term acts as extra stiffness). For a scalar
// mode with eigenvalues a = Dt^2 lambda_C and b = Dt lambda_Eta the roots z of
//     (23 z^3 - 21 z^2 - 3 z + 1)^2 + 576 z^4 ((a + b) z - b) = 0
// stay inside the unit circle exactly while a + 2 b <= 25/9: a root leaves through z = -1, where
// tau(-1) = -5/3 (found by a root scan over a and b; pure elastic waves give the Courant number
// Dt c K = 5/3 with K = 28 / (24 Dx) = 7 / (3 Dx) the largest wavenumber of the staggered stencil).
// The step is therefore stable while the largest eigenvalue of
//     R^-1/2 Dvs (Dt^2 C + 2 Dt Eta) Dvs^T R^-1/2
// stays at or below 25/9. That eigenvalue is bounded node by node by its row sums,
//     Dt^2 P_i + 2 Dt Q_i,   P_i = sum_k sum_j |Dvs_ij| C_j |Dvs_kj| / sqrt(rho_i rho_k)
// (Q_i the same with Eta), which is exact in a uniform medium; near a layer boundary it lets a
// light node feel the modulus of a stiff neighbour reached by the stencil over its own density.
// Each node's bound gives Dt_i = (-Q_i + sqrt(Q_i^2 + 25/9 P_i)) / P_i, computed as
// (25/9) / (Q_i + sqrt(Q_i^2 + 25/9 P_i)); the grid's step is the smallest of them.

namespace {

constexpr long double kGrowthLimit = 25.0L / 9.0L; // tau(-1)^2

// |Dvs_ij| * 24 Dx for stress node j = i - 1 + m, m = 0..3.
constexpr long double kWeights[4] = {1, 27, 27, 1};

} // namespace

double MaxStableTimeStep(const std::vector<NodeCoefficients> &grid, int32_t first, int32_t last, double Dx) {
    const int64_t n = static_cast<int64_t>(grid.size());
    const int64_t lo = 2, hi = n - 3; // nodes updated by the time step (High - 2 = n - 3)
    if (hi < lo)
        return std::numeric_limits<double>::infinity();
    auto updated = [&](int64_t k) { return k >= lo && k <= hi; };
    auto modulus = [&](int64_t j) -> long double {
        const NodeCoefficients &g = grid[static_cast<size_t>(j)];
        long double c = g.Stiffness;
        if (j >= first && j <= last && g.Permittivity != 0)
            c += static_cast<long double>(g.PiezoE33) * g.PiezoE33 / g.Permittivity;
        return c;
    };
    const long double scale = 1.0L / (24.0L * Dx * 24.0L * Dx);
    long double best = std::numeric_limits<long double>::infinity();
    for (int64_t i = lo; i <= hi; ++i) {
        const long double rhoI = grid[static_cast<size_t>(i)].Density;
        if (!(rhoI > 0))
            return 0;
        long double p = 0, q = 0;
        // Velocity nodes k sharing a stress node j with node i: j = i-1..i+2, k = j-2..j+1.
        for (int m = 0; m < 4; ++m) {
            const int64_t j = i - 1 + m;
            if (!updated(j))
                continue; // the stress there stays 0
            const long double cj = modulus(j);
            const long double ej = grid[static_cast<size_t>(j)].Viscosity;
            for (int r = 0; r < 4; ++r) {
                const int64_t k = j - 2 + r;
                if (!updated(k))
                    continue; // the velocity there stays 0
                const long double rhoK = grid[static_cast<size_t>(k)].Density;
                if (!(rhoK > 0))
                    return 0;
                // Dvs_kj: stress node j = k - 1 + m' with m' = j - k + 1 = 3 - r.
                const long double w = kWeights[m] * kWeights[3 - r] * scale / std::sqrt(rhoI * rhoK);
                p += w * std::fabs(cj);
                q += w * std::fabs(ej);
            }
        }
        if (!(p > 0) && !(q > 0))
            continue;
        // The root of p Dt^2 + 2 q Dt = 25/9 in the form without cancellation: (-q + sqrt(...)) / p
        // loses every digit when the viscosity dominates (q^2 >> p) and gave 0.
        best = std::min(best, kGrowthLimit / (q + std::sqrt(q * q + kGrowthLimit * p)));
    }
    return static_cast<double>(best);
}

double MaxStableTimeStep(const TSolver &solver) {
    return MaxStableTimeStep(solver.Coefficients, solver.PiezoFirst, solver.PiezoLast, solver.Dx);
}
