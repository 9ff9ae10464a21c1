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

Clock::time_point gLastServiced = Clock::now();
EventYieldStats gStats;
void (*gBeforeEvents)(void *) = nullptr;
void *gBeforeEventsContext = nullptr;

} // namespace

void InstallEventYield() {
    Engine.Yield().SetHook(&EventYieldTick, kCallsPerClockRead);
    gLastServiced = Clock::now();
}

void EventYieldTick() {
    if (Clock::now() - gLastServiced >= kPeriod)
        ProcessPendingEvents();
}

void ProcessPendingEvents() {
    const auto start = Clock::now();
    const auto gap = start - gLastServiced;
    if (gap > gStats.MaxGap)
        gStats.MaxGap = gap;
    ++gStats.Servicings;
    if (gBeforeEvents)
        gBeforeEvents(gBeforeEventsContext);
    QCoreApplication::processEvents();
    gLastServiced = Clock::now();
}

void SetBeforeEventsHook(void (*hook)(void *context), void *context) {
    gBeforeEvents = hook;
    gBeforeEventsContext = context;
}

EventYieldStats &YieldStats() { return gStats; }

void ResetYieldStats() {
    gStats = EventYieldStats{};
    gLastServiced = Clock::now();
}
