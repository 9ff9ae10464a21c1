// SPDX-License-Identifier: GPL-3.0-or-later
// Steps per second of the bare time step (DoTimeStep + ShiftTimeLevels) on the default task:
// 2525 nodes, Dx = 1 um, Dt = 0.2 ns, driven by a small 5 MHz current.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <numbers>

#include "../tests/DefaultStack.h"
#include "main/AppEngine.h"
#include "main/EventYield.h"

namespace {

// The application engine's solver and yield point, where the windows' hook is installed, stepped on
// the application's threads as a window run steps them.
TSolver &TheSolver() {
    return Engine.Solver();
}

long long StepNumber = 0;

double Drive() {
    return 100.0 * std::sin(2 * std::numbers::pi * 5e6 * 2e-10 * static_cast<double>(StepNumber));
}

void Step() {
    benchmark::DoNotOptimize(TheSolver().DoTimeStep(Drive(), &Engine.Yield()));
    TheSolver().ShiftTimeLevels();
    ++StepNumber;
}

// warm: the waves have crossed the whole stack (a long run); otherwise the task starts from rest
// and is rebuilt every 2000 steps (the first microseconds of a run, mostly at rest).
void NoEvents() {}

void TimeSteps(benchmark::State &state, bool hook, bool warm, bool trivialHook = false) {
    LayDefaultStack(TheSolver());
    StepNumber = 0;
    if (warm)
        for (int i = 0; i < 30000; ++i)
            Step();
    if (hook) {
        InstallEventYield();
        ResetYieldStats();
    }
    if (trivialHook)
        Engine.Yield().SetHook(&NoEvents, 256);
    for (auto _ : state) {
        if (!warm && StepNumber == 2000) {
            state.PauseTiming();
            LayDefaultStack(TheSolver());
            StepNumber = 0;
            state.ResumeTiming();
        }
        Step();
    }
    Engine.Yield().SetHook(nullptr);
    state.SetItemsProcessed(state.iterations());
    if (hook) {
        state.counters["event_servicings"] = static_cast<double>(YieldStats().Servicings);
        state.counters["max_gap_ms"] = std::chrono::duration<double, std::milli>(YieldStats().MaxGap).count();
    }
}

void BM_TimeStep_DefaultTask(benchmark::State &state) {
    TimeSteps(state, true, true);
}
void BM_TimeStep_DefaultTask_NoHook(benchmark::State &state) {
    TimeSteps(state, false, true);
}
// The yield points with a hook that does nothing: the cost of yielding itself.
void BM_TimeStep_DefaultTask_TrivialHook(benchmark::State &state) {
    TimeSteps(state, false, true, true);
}
void BM_TimeStep_DefaultTask_FromRest(benchmark::State &state) {
    TimeSteps(state, true, false);
}

} // namespace

BENCHMARK(BM_TimeStep_DefaultTask)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TimeStep_DefaultTask_NoHook)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TimeStep_DefaultTask_TrivialHook)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TimeStep_DefaultTask_FromRest)->Unit(benchmark::kMicrosecond);
