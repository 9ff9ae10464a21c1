// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's one simulation engine, which the windows drive, with what belongs to the running
// program alone: the threads its solver shares its sweeps with, the state of the event yield and
// the platform hooks. It is the only mutable object of the user interface at namespace scope. The
// run state keeps the names the windows and their tests use: references into the engine.

#include "app/Platform.h"
#include "main/EventYield.h"
#include "run/Engine.h"
#include "solver/SweepPool.h"

// A base of TAppEngine listed before TSimulationEngine, so the pool is built before the engine that
// is handed it and destroyed after it.
struct TAppPoolHolder {
    SweepPool FPool;
};

class TAppEngine : private TAppPoolHolder, public TSimulationEngine {
public:
    TAppEngine() : TSimulationEngine(&FPool) {}

    SweepPool &Pool() { return FPool; }
    TEventYield &EventYield() { return FEventYield; }
    TPlatform &Platform() { return FPlatform; }

private:
    TEventYield FEventYield;
    TPlatform FPlatform;
};

extern TAppEngine Engine;
