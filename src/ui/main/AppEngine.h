// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's one simulation engine, which the windows drive, and the threads its solver shares
// its sweeps with. The run state keeps the names the windows and their tests use: references into
// the engine.

#include "run/Engine.h"
#include "solver/SweepPool.h"

extern SweepPool AppPool;
extern TSimulationEngine Engine;
