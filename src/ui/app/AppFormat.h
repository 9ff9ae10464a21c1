// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The windows' view of the shared number formatting: the process-wide FormatSettings read from
// the system locale, and QString wrappers of the core's formatter and parser.

#include <QString>

#include "text/FormatSettings.h"

// Reads the decimal and thousands separators of QLocale::system() into DefaultFormatSettings().
void InitAppFormatSettings();

// FormatFloat with DefaultFormatSettings(), as a QString.
QString FormatFloatQ(const QString &pattern, long double value);
