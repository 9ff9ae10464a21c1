#include "EventYield.h"

#include <QCoreApplication>

#include "Yield.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kCallsPerClockRead = 256;
constexpr auto kPeriod = std::chrono::milliseconds(10);

int gCountdown = kCallsPerClockRead;
Clock::time_point gLastServiced = Clock::now();
EventYieldStats gStats;

} // namespace

void InstallEventYield() {
    YieldHook = &EventYieldTick;
    gLastServiced = Clock::now();
}

void RemoveEventYield() { YieldHook = nullptr; }

void EventYieldTick() {
    if (--gCountdown > 0)
        return;
    gCountdown = kCallsPerClockRead;
    if (Clock::now() - gLastServiced >= kPeriod)
        ProcessPendingEvents();
}

void ProcessPendingEvents() {
    const auto start = Clock::now();
    const auto gap = start - gLastServiced;
    if (gap > gStats.MaxGap)
        gStats.MaxGap = gap;
    ++gStats.Servicings;
    QCoreApplication::processEvents();
    gLastServiced = Clock::now();
}

EventYieldStats &YieldStats() { return gStats; }

void ResetYieldStats() {
    gStats = EventYieldStats{};
    gLastServiced = Clock::now();
}
