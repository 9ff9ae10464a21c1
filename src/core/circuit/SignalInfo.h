// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The description of a circuit signal: its name in files and on the command line, its unit, and the
// caption the signal window shows. A circuit model publishes the list of its signals; the record,
// the signal window, the CSV header and the batch line's --signal all read that list.

#include <span>
#include <string>
#include <string_view>

struct SignalInfo {
    std::string Name; // in files and after --signal: "Upep"
    std::string Unit; // SI unit as files write it: "V", "A"
    // The signal window's caption (Russian, marked for translation in the context "TElectroForm"),
    // or null when the window shows the name itself.
    const char *Caption = nullptr;
};

// Index of a signal in `list` by its exact name, or -1.
int SignalIndex(std::span<const SignalInfo> list, std::string_view name);

// The header of a signal table: "t_us", then "<name>_<unit>" of each signal.
std::string SignalsCsvHeader(std::span<const SignalInfo> list);

// The names but the last joined by ", " (%1) and the last one (%2), for a sentence that lists them
// ("U0, U1, Upep, I0, IL" and "Ipep"); %1 is empty for a single signal.
struct SignalNameList {
    std::string AllButLast, Last;
};
SignalNameList ListSignalNames(std::span<const SignalInfo> list);
