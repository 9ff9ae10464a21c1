// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Decimal and thousands separators of the user's regional settings. Every formatter and parser
// takes one of these; the windows read the process-wide value set at start-up.

#include <string>

struct FormatSettings {
    char32_t DecimalSeparator = U'.';
    char32_t ThousandSeparator = U',';
};

// The process-wide value, set once at start-up from the system locale (and by tests).
FormatSettings &DefaultFormatSettings();

// UTF-8 text of one code point.
std::string Utf8(char32_t c);
