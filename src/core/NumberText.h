#pragma once
// Number text both ways: the pattern formatter shared by every window, the general format of the
// project file, and the one strict real parser shared by the numeric field and the project file.
// All texts are UTF-8.

#include <string>
#include <string_view>

#include "FormatSettings.h"

// Formats by a pattern: "0" digit always shown, "#" digit shown when significant, "." decimal
// separator, "," (among the placeholders) thousands grouping, "E+00" scientific, anything else
// literal. Examples: "время #0.000 мкс", "CL=###0,0 м/с", "Z =0.00E+00", "### ##0.000 ".
std::string FormatFloat(std::string_view pattern, long double value, const FormatSettings &fs);

// General format, 15 significant digits: "0,0001", "1E-5", "8,85E-12", "1E15".
std::string FloatToStrGeneral(long double value, const FormatSettings &fs);

// Strict syntax: optional blanks, optional sign, digits with fs.DecimalSeparator (at least a digit
// or the separator), optional "E"/"e" with optional sign and digits ("E" alone is exponent 0),
// optional blanks. Anything else throws ConversionError.
long double StrToFloat(std::string_view text, const FormatSettings &fs);
bool TryStrToFloat(std::string_view text, const FormatSettings &fs, long double &value);
