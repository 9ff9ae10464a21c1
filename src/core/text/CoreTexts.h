// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Texts of the core that a person reads. The core writes them in Russian and marks them for Qt
// Linguist with QT_TRANSLATE_NOOP (the same no-op macro Qt defines, so either definition may come
// first); the program translates them where it shows them, the core links no Qt.

#include <cstddef>
#include <initializer_list>
#include <string>

#ifndef QT_TRANSLATE_NOOP
#define QT_TRANSLATE_NOOP(scope, x) x
#endif

// `pattern` with %1, %2, ... replaced by `args` in order, in one pass (as QString::arg does for a
// translated pattern), so an argument holding "%2" stays as it is.
inline std::string ArgText(const std::string &pattern, std::initializer_list<std::string> args) {
    std::string text;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const std::size_t n = i + 1 < pattern.size() ? static_cast<std::size_t>(pattern[i + 1] - '0') : 0;
        if (pattern[i] == '%' && n >= 1 && n <= args.size() && n <= 9) {
            text += *(args.begin() + (n - 1));
            ++i;
        } else {
            text += pattern[i];
        }
    }
    return text;
}
