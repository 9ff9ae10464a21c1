// SPDX-License-Identifier: GPL-3.0-or-later
#include "solver/Yield.h"

YieldHookFn YieldHook = nullptr;
int YieldPeriod = 1;
int YieldCountdown = 1;

void SetYieldHook(YieldHookFn hook, int period) {
    YieldPeriod = period < 1 ? 1 : period;
    YieldCountdown = YieldPeriod;
    YieldHook = hook;
}
