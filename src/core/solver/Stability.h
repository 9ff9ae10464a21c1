// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The largest time step for which the explicit scheme of DoTimeStep stays stable on a given grid,
// estimated node by node from the materials. A hint for the user; the solver does not use it.

#include <cstdint>
#include <vector>

#include "solver/FDTD_1D_Routines.h"

// Largest stable Dt (s) for nodes `grid` with spatial step Dx (m) and the piezo plate on nodes
// first..last (stiffened by PiezoE33^2 / Eps there). +infinity when nothing in the grid limits the
// step (no stiffness and no viscosity on the updated nodes); 0 when an updated node has no positive
// density (the step then fails for any Dt).
double MaxStableTimeStep(const std::vector<GridNode> &grid, int32_t first, int32_t last, double Dx);
