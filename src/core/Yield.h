#pragma once
// The one point where long computations of the core let the user interface run.
// Null in tests and benchmarks; the windows install a cheap hook (see EventYield in src/ui).

using YieldHookFn = void (*)();

extern YieldHookFn YieldHook;

inline void ServiceYield() {
    if (YieldHook)
        YieldHook();
}
