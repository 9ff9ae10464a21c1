// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one point where long computations of the core let the user interface run.
// ServiceYield() is called at every such point (before every node update of a time step, for
// instance). It counts down inline and calls the installed hook every YieldPeriod calls, so the
// hot loops pay a decrement and a branch per point; the hook itself decides by the clock whether
// to process events. The hook is null in tests and benchmarks of the bare core.

using YieldHookFn = void (*)();

extern YieldHookFn YieldHook;
// Calls of ServiceYield() per call of the hook; 1 (every call) unless the installer sets it.
extern int YieldPeriod;
extern int YieldCountdown;

// Installs a hook called every `period` yield points (period < 1 counts as 1); nullptr removes it.
void SetYieldHook(YieldHookFn hook, int period = 1);

inline void ServiceYield() {
    if (YieldHook && --YieldCountdown <= 0) {
        YieldCountdown = YieldPeriod;
        YieldHook();
    }
}

// body(i) for i = first .. last with ServiceYield() before each call, the hook running at exactly
// the same places; the stretches between two hook calls run as plain loops, so the body is not
// interrupted by a possible call at every point.
template <class Body> inline void ForEachYielding(int first, int last, Body body) {
    int i = first;
    while (i <= last) {
        if (!YieldHook) {
            for (; i <= last; ++i)
                body(i);
            return;
        }
        // The points before the one at which the countdown reaches zero.
        const int quiet = YieldCountdown - 1 < last - i + 1 ? YieldCountdown - 1 : last - i + 1;
        const int end = i + (quiet > 0 ? quiet : 0);
        for (; i < end; ++i)
            body(i);
        YieldCountdown -= quiet > 0 ? quiet : 0;
        if (i > last)
            return;
        ServiceYield();
        body(i);
        ++i;
    }
}
