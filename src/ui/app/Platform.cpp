// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Platform.h"

#include <QApplication>
#include <chrono>

namespace {

void DefaultBeep() {
    QApplication::beep();
}

std::uint32_t DefaultTickCount() {
    using namespace std::chrono;
    return static_cast<std::uint32_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

MessageBeepFunction beepFunction = &DefaultBeep;
TickCountFunction tickFunction = &DefaultTickCount;

} // namespace

void MessageBeep() {
    beepFunction();
}
std::uint32_t GetTickCount() {
    return tickFunction();
}

MessageBeepFunction SetMessageBeepFunction(MessageBeepFunction f) {
    const MessageBeepFunction old = beepFunction;
    beepFunction = f ? f : &DefaultBeep;
    return old;
}

TickCountFunction SetTickCountFunction(TickCountFunction f) {
    const TickCountFunction old = tickFunction;
    tickFunction = f ? f : &DefaultTickCount;
    return old;
}
