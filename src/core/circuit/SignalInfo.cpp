// SPDX-License-Identifier: GPL-3.0-or-later
#include "circuit/SignalInfo.h"

int SignalIndex(std::span<const SignalInfo> list, std::string_view name) {
    for (std::size_t s = 0; s < list.size(); ++s)
        if (list[s].Name == name)
            return static_cast<int>(s);
    return -1;
}

std::string SignalsCsvHeader(std::span<const SignalInfo> list) {
    std::string header = "t_us";
    for (const SignalInfo &s : list)
        header += ',' + s.Name + '_' + s.Unit;
    return header;
}

SignalNameList ListSignalNames(std::span<const SignalInfo> list) {
    SignalNameList names;
    for (std::size_t s = 0; s + 1 < list.size(); ++s)
        names.AllButLast += (s ? ", " : "") + list[s].Name;
    if (!list.empty())
        names.Last = list.back().Name;
    return names;
}
