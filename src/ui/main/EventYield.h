// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The cheap yield: the core services the application engine's yield point at every point where
// the user interface may run.
// Processing events costs microseconds, a node update nanoseconds, so the core counts down inline
// and only every few hundred points calls this hook, which looks at the clock and processes
// pending events when about 10 ms have passed since it last did.

#include <chrono>

// Installs EventYieldTick as the application engine's yield hook, called every few hundred yield
// points.
void InstallEventYield();

// The hook: events processed when about 10 ms have passed; also called once per run iteration.
void EventYieldTick();

// Processes all pending events now and restarts the 10 ms period.
void ProcessPendingEvents();

// Called right before every processing of events (null: none): what only shows on the screen can
// be brought up to date there instead of at every step of a run.
void SetBeforeEventsHook(void (*hook)(void *context), void *context);

// Longest interval between two event processings since the last reset (for benchmarks).
struct EventYieldStats {
    std::chrono::steady_clock::duration MaxGap{};
    long long Servicings = 0;
};
EventYieldStats &YieldStats();
void ResetYieldStats();

// What the functions above keep between calls; the application's engine owns the one instance.
struct TEventYield {
    std::chrono::steady_clock::time_point LastServiced = std::chrono::steady_clock::now();
    EventYieldStats Stats;
    void (*BeforeEvents)(void *context) = nullptr;
    void *BeforeEventsContext = nullptr;
};
