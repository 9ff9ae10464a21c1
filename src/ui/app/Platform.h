// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The two platform services the numeric fields need, behind replaceable function pointers so tests
// can count beeps and drive the spin timing without waiting.

#include <cstdint>

using MessageBeepFunction = void (*)();
using TickCountFunction = std::uint32_t (*)();

// The beep signalling refused input (the installed function).
void MessageBeep();
// Milliseconds on a steady clock (wraps like a 32-bit counter; the installed function).
std::uint32_t GetTickCount();

// Install a replacement (nullptr restores the default); each returns the previous function.
MessageBeepFunction SetMessageBeepFunction(MessageBeepFunction f);
TickCountFunction SetTickCountFunction(TickCountFunction f);

// The defaults: the system's beep and the steady clock.
void DefaultMessageBeep();
std::uint32_t DefaultTickCount();

// The functions installed; the application's engine owns the one instance.
struct TPlatform {
    MessageBeepFunction Beep = &DefaultMessageBeep;
    TickCountFunction TickCount = &DefaultTickCount;
};
