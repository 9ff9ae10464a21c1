// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Decimal and thousands separators of the user's regional settings. Every formatter and parser
// takes one of these; the program reads the system's once at start-up and passes them on. A
// default-constructed value holds the "C" separators.

#include <string>

struct FormatSettings {
    char32_t DecimalSeparator = U'.';
    char32_t ThousandSeparator = U',';
};

// UTF-8 text of one code point.
std::string Utf8(char32_t c);
