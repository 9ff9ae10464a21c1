// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Platform.h"

#include <QApplication>
#include <chrono>

#include "main/AppEngine.h"

void DefaultMessageBeep() {
    QApplication::beep();
}

std::uint32_t DefaultTickCount() {
    using namespace std::chrono;
    return static_cast<std::uint32_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void MessageBeep() {
    Engine.Platform().Beep();
}
std::uint32_t GetTickCount() {
    return Engine.Platform().TickCount();
}

MessageBeepFunction SetMessageBeepFunction(MessageBeepFunction f) {
    MessageBeepFunction &beep = Engine.Platform().Beep;
    const MessageBeepFunction old = beep;
    beep = f ? f : &DefaultMessageBeep;
    return old;
}

TickCountFunction SetTickCountFunction(TickCountFunction f) {
    TickCountFunction &tick = Engine.Platform().TickCount;
    const TickCountFunction old = tick;
    tick = f ? f : &DefaultTickCount;
    return old;
}
