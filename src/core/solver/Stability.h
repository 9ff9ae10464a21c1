// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The largest time step for which the explicit scheme of DoTimeStep stays stable on a given grid,
// estimated node by node from the materials. A hint for the user; the solver does not use it.

#include <cstdint>
#include <vector>

#include "solver/Solver.h"

// Largest stable Dt (s) for nodes with coefficients `grid`, spatial step Dx (m) and the piezo plate
// on nodes first..last (stiffened by PiezoE33^2 / Permittivity there). +infinity when nothing in the
// grid limits the step (no stiffness and no viscosity on the updated nodes); 0 when an updated node
// has no positive density (the step then fails for any Dt).
double MaxStableTimeStep(const std::vector<NodeCoefficients> &grid, int32_t first, int32_t last, double Dx);
// The same for the solver's grid, plate and Dx.
double MaxStableTimeStep(const TSolver &solver);
