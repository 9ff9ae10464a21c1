// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/EventYield.h"

#include <QCoreApplication>

#include "main/AppEngine.h"

namespace {

using Clock = std::chrono::steady_clock;

// Yield points of the core per look at the clock: a node update takes about 10 ns, so the clock
// is read every few microseconds.
constexpr int kCallsPerClockRead = 256;
constexpr auto kPeriod = std::chrono::milliseconds(10);

// The yield hook has no context: the state is the application engine's.
TEventYield &State() {
    return Engine.EventYield();
}

} // namespace

void InstallEventYield() {
    Engine.Yield().SetHook(&EventYieldTick, kCallsPerClockRead);
    State().LastServiced = Clock::now();
}

void EventYieldTick() {
    if (Clock::now() - State().LastServiced >= kPeriod)
        ProcessPendingEvents();
}

void ProcessPendingEvents() {
    TEventYield &state = State();
    const auto start = Clock::now();
    const auto gap = start - state.LastServiced;
    if (gap > state.Stats.MaxGap)
        state.Stats.MaxGap = gap;
    ++state.Stats.Servicings;
    if (state.BeforeEvents)
        state.BeforeEvents(state.BeforeEventsContext);
    QCoreApplication::processEvents();
    state.LastServiced = Clock::now();
}

void SetBeforeEventsHook(void (*hook)(void *context), void *context) {
    State().BeforeEvents = hook;
    State().BeforeEventsContext = context;
}

EventYieldStats &YieldStats() {
    return State().Stats;
}

void ResetYieldStats() {
    State().Stats = EventYieldStats{};
    State().LastServiced = Clock::now();
}
