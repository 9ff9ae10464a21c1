// SPDX-License-Identifier: GPL-3.0-or-later
// The yield countdown: a hook every Period points, and ForEach calling it at exactly the points
// where Service() before every body call would.
#include <gtest/gtest.h>
#include <vector>

#include "solver/Yield.h"

namespace {

YieldPoint Yield;
std::vector<int> *gLog = nullptr;
int gCurrent = 0;
int gRemoveAfter = -1;

void LoggingHook() {
    gLog->push_back(gCurrent);
    if (gRemoveAfter >= 0 && static_cast<int>(gLog->size()) >= gRemoveAfter)
        Yield.SetHook(nullptr);
}

// Where the hook ran, as positions of the body calls it preceded.
std::vector<int> PlainLoop(int first, int last, int period, int removeAfter) {
    std::vector<int> log;
    gLog = &log;
    gRemoveAfter = removeAfter;
    Yield.SetHook(&LoggingHook, period);
    std::vector<int> bodies;
    for (int i = first; i <= last; ++i) {
        gCurrent = i;
        Yield.Service();
        bodies.push_back(i);
    }
    Yield.SetHook(nullptr);
    EXPECT_EQ(static_cast<int>(bodies.size()), last - first + 1);
    return log;
}

std::vector<int> Chunked(int first, int last, int period, int removeAfter, int preCalls = 0) {
    std::vector<int> log;
    gLog = &log;
    gRemoveAfter = removeAfter;
    Yield.SetHook(&LoggingHook, period);
    for (int k = 0; k < preCalls; ++k) {
        gCurrent = -1;
        Yield.Service();
    }
    std::vector<int> bodies;
    Yield.ForEach(first, last, [&](int i) {
        bodies.push_back(i);
        gCurrent = i + 1; // the hook that runs next precedes body i + 1
    });
    Yield.SetHook(nullptr);
    std::vector<int> expected;
    for (int i = first; i <= last; ++i)
        expected.push_back(i);
    EXPECT_EQ(bodies, expected);
    return log;
}

} // namespace

TEST(Yield, HookRunsEveryPeriodPoints) {
    const std::vector<int> log = PlainLoop(0, 9, 3, -1);
    EXPECT_EQ(log, (std::vector<int>{2, 5, 8}));
    EXPECT_EQ(PlainLoop(0, 4, 1, -1), (std::vector<int>{0, 1, 2, 3, 4}));
}

TEST(Yield, ForEachYieldingCallsTheHookAtTheSamePoints) {
    for (int period : {1, 2, 3, 7, 256})
        for (int last : {-1, 0, 1, 5, 20, 600}) {
            gCurrent = 0;
            // Chunked sets gCurrent after each body; before the first body it is `first`.
            const std::vector<int> plain = PlainLoop(0, last, period, -1);
            gCurrent = 0;
            const std::vector<int> chunked = Chunked(0, last, period, -1);
            EXPECT_EQ(plain, chunked) << "period " << period << " last " << last;
        }
}

TEST(Yield, CountdownCarriesOverBetweenLoopsAndHookMayRemoveItself) {
    // Two calls before the loop: with period 4 the hook then runs before bodies 1 and 5.
    gCurrent = 0;
    EXPECT_EQ(Chunked(0, 8, 4, -1, 2), (std::vector<int>{1, 5}));
    // A hook that removes itself after its first call: the loop finishes without it.
    gCurrent = 0;
    EXPECT_EQ(Chunked(0, 20, 3, 1), (std::vector<int>{2}));
    EXPECT_EQ(Yield.Hook, nullptr);
}
