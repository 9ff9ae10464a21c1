// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The default transducer stack laid on the solver's grid by hand, node indices and materials
// written out, independent of the task construction code; for the solver's tests and benchmark.

#include <cmath>
#include <cstdint>
#include <numbers>

#include "solver/Solver.h"

// Lays the seven default layers (Dx = 1e-5 m, Dt = 2e-10 s); returns the node count (2525).
inline int32_t LayDefaultStack(TSolver &solver) {
    const int32_t n = solver.InitGrid(0.025234, 1e-5, 2e-10);
    solver.SetMaterial(126, 726, 8200, 67e9, 650, 0, 1e22);               // backing
    solver.SetMaterial(726, 728, 10500, 82.7e9, 0, 0, 1e22);              // electrode 1
    solver.SetMaterial(728, 768, 7600, 121e9, 30, 4.84, 1300 * 8.85e-12); // piezo plate
    solver.SetMaterial(768, 770, 10500, 82.7e9, 0, 0, 1e22);              // electrode 2
    solver.SetMaterial(770, 820, 2650, 90e9, 20, 0, 1e22);                // protector
    solver.SetMaterial(820, 820, 1000, 2.25e9, 0, 0, 8.85e-12);           // liquid layer (thickness 0)
    solver.SetMaterial(820, 2420, 7800, 275e9, 0, 0, 8.85e-12);           // test object
    solver.SetPlate(728, 768);
    return n;
}

// The default stack on a grid of spatial step dx (m): every layer boundary at the node nearest its
// place in the default stack, the time step scaled with dx (the same Courant numbers). Dx = 50, 10,
// 2, 1 and 0.1 um give 506, 2525, 12619, 25236 and 252342 nodes.
inline int32_t LayScaledStack(TSolver &solver, double dx) {
    const double scale = 1e-5 / dx;
    const auto at = [scale](int32_t node) { return static_cast<int32_t>(std::lround(node * scale)); };
    const int32_t n = solver.InitGrid(0.025234, dx, 2e-10 / scale);
    solver.SetMaterial(at(126), at(726), 8200, 67e9, 650, 0, 1e22);
    solver.SetMaterial(at(726), at(728), 10500, 82.7e9, 0, 0, 1e22);
    solver.SetMaterial(at(728), at(768), 7600, 121e9, 30, 4.84, 1300 * 8.85e-12);
    solver.SetMaterial(at(768), at(770), 10500, 82.7e9, 0, 0, 1e22);
    solver.SetMaterial(at(770), at(820), 2650, 90e9, 20, 0, 1e22);
    solver.SetMaterial(at(820), at(820), 1000, 2.25e9, 0, 0, 8.85e-12);
    solver.SetMaterial(at(820), at(2420), 7800, 275e9, 0, 0, 8.85e-12);
    solver.SetPlate(at(728), at(768));
    return n;
}

// A short half-sine current density pulse (A/m^2), 40 steps long.
inline double Pulse(int step) {
    return step < 40 ? 2e4 * std::sin(std::numbers::pi * step / 40) : 0.0;
}
