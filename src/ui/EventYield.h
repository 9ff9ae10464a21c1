#pragma once
// The cheap yield: the core calls YieldHook at every point where the user interface may run.
// Processing events costs microseconds, a node update nanoseconds, so the hook counts down and
// only every few hundred calls looks at the clock; it processes pending events when about 10 ms
// have passed since it last did.

#include <chrono>

// Installs EventYieldTick as the core's YieldHook.
void InstallEventYield();
// Removes the hook (tests and benchmarks of the bare core).
void RemoveEventYield();

// The hook: cheap countdown, events processed about every 10 ms.
void EventYieldTick();

// Processes all pending events now and restarts the 10 ms period.
void ProcessPendingEvents();

// Longest interval between two event processings since the last reset (for benchmarks).
struct EventYieldStats {
    std::chrono::steady_clock::duration MaxGap{};
    long long Servicings = 0;
};
EventYieldStats &YieldStats();
void ResetYieldStats();
