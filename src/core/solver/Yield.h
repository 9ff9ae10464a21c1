// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The point where long computations of the core let the user interface run. A run owns one
// YieldPoint and hands it to the computations it drives (the time step, the spectrum sum);
// Service() is called at every point where events may be processed (before every node update of a
// time step, for instance). It counts down inline and calls the installed hook every Period calls,
// so the hot loops pay a decrement and a branch per point; the hook itself decides by the clock
// whether to process events. Without a hook (tests and benchmarks of the bare core) nothing runs.

using YieldHookFn = void (*)();

struct YieldPoint {
    YieldHookFn Hook = nullptr;
    // Calls of Service() per call of the hook; 1 (every call) unless the installer sets it.
    int Period = 1;
    int Countdown = 1;

    // Installs a hook called every `period` yield points (period < 1 counts as 1); nullptr removes it.
    void SetHook(YieldHookFn hook, int period = 1) {
        Period = period < 1 ? 1 : period;
        Countdown = Period;
        Hook = hook;
    }

    void Service() {
        if (Hook && --Countdown <= 0) {
            Countdown = Period;
            Hook();
        }
    }

    // body(i) for i = first .. last with Service() before each call, the hook running at exactly
    // the same places; the stretches between two hook calls run as plain loops, so the body is not
    // interrupted by a possible call at every point. The hook may remove itself.
    template <class Body> void ForEach(int first, int last, Body body) {
        int i = first;
        while (i <= last) {
            if (!Hook) {
                for (; i <= last; ++i)
                    body(i);
                return;
            }
            // The points before the one at which the countdown reaches zero.
            const int quiet = Countdown - 1 < last - i + 1 ? Countdown - 1 : last - i + 1;
            const int end = i + (quiet > 0 ? quiet : 0);
            for (; i < end; ++i)
                body(i);
            Countdown -= quiet > 0 ? quiet : 0;
            if (i > last)
                return;
            Service();
            body(i);
            ++i;
        }
    }
};
