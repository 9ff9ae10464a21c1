// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Number text both ways: the pattern formatter shared by every window, the general format of the
// project file, and the one strict real parser shared by the numeric field and the project file.
// All texts are UTF-8. Rounding is half away from zero on the exact binary value, never on an
// intermediate decimal text.

#include <string>
#include <string_view>

#include "text/FormatSettings.h"

// Formats by a pattern:
//   "0"  a digit always shown; the count of "0" before the decimal point is the minimum number of
//        integer digits;
//   "#"  a digit shown only when significant;
//   "."  the first one places fs.DecimalSeparator; the placeholders after it fix the decimals, to
//        which the value is rounded ("#" decimals drop trailing zeros, "0" decimals never). The
//        separator is written only when a decimal is written. Later "." are literal;
//   ","  between two integer placeholders: group the integer digits by threes with
//        fs.ThousandSeparator (the "," itself is not written); anywhere else literal;
//   "E+0…", "E-0…" (or "e"): scientific notation after at least one placeholder; the mantissa has
//        as many integer digits as there are "0" before the point (at least one); "E+" writes the
//        exponent's sign always, "E-" only when negative; at least as many exponent digits as "0"s;
//   '…' or "…"  literal text without the quotes;
//   ";"  separates optional sections "positive;negative;zero": a non-empty negative section formats
//        the magnitude of a negative value without a sign; a non-empty zero section is used when
//        the value shows as zero;
//   anything else (multi-byte UTF-8 too) is copied literally, at its place among the placeholders.
// Integer placeholders are filled from the decimal point leftwards; digits beyond the placeholders
// all go to the first one; a literal between placeholders is written even when no digit stands
// before it ("### ##0.000 ": 12.5 -> " 12.500 ", 1234567 -> "1234 567.000 "). A negative value gets
// "-" immediately before its first written digit (or decimal separator), so after any literal that
// precedes it: " -12.500 ". A value that shows as zero gets no sign. NaN and infinities give "NAN",
// "INF", "-INF". An empty pattern gives FloatToStrGeneral. A pattern without placeholders gives its
// literals only.
std::string FormatFloat(std::string_view pattern, long double value, const FormatSettings &fs);

// General format, 15 significant digits (rounded), trailing zeros dropped, the separator only when a
// fraction remains, "0" for zero, "-" for a negative value. Plain notation when the rounded value
// lies in 1e-4 <= |x| < 1e15, else mantissa + "E" + ("-" when negative) + exponent without leading
// zeros: "0,0001", "1E-5", "8,85E-12", "1E15". No thousands separator. NaN/inf: "NAN", "INF", "-INF".
std::string FloatToStrGeneral(long double value, const FormatSettings &fs);

// Strict syntax, exactly:
//   ' '* [+|-] digit* [fs.DecimalSeparator digit*] [(E|e) [+|-] digit*] ' '*
// with at least one mantissa digit or the separator ("," alone reads as 0; "E" without digits is
// exponent 0). Digits are ASCII 0-9; blanks are ASCII spaces. Anything else fails: the empty text,
// a lone sign, the other separator, thousands separators, trailing garbage, "1E5E", and a value
// beyond the long double range (a result that would be infinite). Underflow gives 0 or a subnormal.
// The conversion is correctly rounded and independent of the C locale.
// StrToFloat throws ConversionError(text); TryStrToFloat returns false and leaves `value` alone.
long double StrToFloat(std::string_view text, const FormatSettings &fs);
bool TryStrToFloat(std::string_view text, const FormatSettings &fs, long double &value);

// A real of a project file or of the batch line's --set: the strict syntax above with
// fs.DecimalSeparator, or else with the other of "," and ".", so a project opens wherever it was
// written. Neither is ever a thousands separator in these texts, so the reading is unambiguous.
// Throws ConversionError(text) when neither reads.
long double StrToFloatEitherPoint(std::string_view text, const FormatSettings &fs);
bool TryStrToFloatEitherPoint(std::string_view text, const FormatSettings &fs, long double &value);

// Integers of the project file, exactly:
//   ' '* [+|-] ( digit+ | ("$" | "x" | "X" | "0x" | "0X") hexdigit+ ) ' '*
// decimal or hexadecimal (either letter case), within the range of long long after the sign
// ("-$8000000000000000" is the smallest). Anything else returns false and leaves `value` alone.
bool TryStrToInt(std::string_view text, long long &value);
