// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The solver that a core test drives, the threads it shares its sweeps with, and the yield point
// its steps service (no hook unless a test installs one).

#include "solver/Solver.h"
#include "solver/SweepPool.h"
#include "solver/Yield.h"

inline SweepPool Pool;
inline TSolver Solver(&Pool);
inline YieldPoint Yield;
