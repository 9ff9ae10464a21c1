// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The rules of the numeric entry field as plain functions over plain values, so that the widget is
// a thin layer: text to value, value to text, what one key does to the text with its caret and
// selection, the clipboard texts, the limits applied on leaving and the spinning steps.
// Texts are UTF-32, so a caret position is a character index (the same index as in a QString for
// every character these texts can hold).

#include <cstdint>
#include <string>
#include <string_view>

#include "text/FormatSettings.h"

enum class TNumberFormat { Standard, Thousands, Scientific, Engineering };

// Text with its caret and selection. When selLength > 0 the caret is at one end of the selection.
struct EditState {
    std::u32string text;
    int caret = 0;
    int selStart = 0;
    int selLength = 0;
};

struct NumEditConfig {
    FormatSettings fs;
    TNumberFormat numberFormat = TNumberFormat::Standard;
    int maxLength = 0; // most characters the user can type (thousands separators not counted); 0: none
};

// ---- text and value -----------------------------------------------------------------------

// Value of a field's text: thousands separators removed, "" reads as 0 and "-" as -0, then the
// strict number syntax. False when the text is outside the syntax.
bool TryNumEditTextToValue(std::u32string_view text, const FormatSettings &fs, long double &value);
// Same; throws ConversionError ("'<text>' is not a valid floating point value") on failure.
long double NumEditTextToValue(std::u32string_view text, const FormatSettings &fs);

// Display rule. decimals = -1: "Standard" shows up to 14 decimals rounded at the 14th with trailing
// zeros dropped; "Thousands" groups the integer digits and keeps at most 15 digits in all.
// decimals >= 0 shows exactly that many decimals.
std::u32string NumEditValueToText(long double x, TNumberFormat format, int decimals,
                                  const FormatSettings &fs);

// ---- editing ------------------------------------------------------------------------------

// One typed character. False means refused: beep, state unchanged.
bool NumEditTypeChar(EditState &st, char32_t ch, const NumEditConfig &cfg);
// Backspace and Delete. False means refused (the result would not be a readable number).
bool NumEditBackspace(EditState &st, const NumEditConfig &cfg);
bool NumEditDelete(EditState &st, const NumEditConfig &cfg);
// Removes the selection as Backspace/Delete do with one (the text never becomes empty).
bool NumEditDeleteSelection(EditState &st, const NumEditConfig &cfg);
// Paste: deletes the selection, then types the text one character at a time. Returns the number
// of refused characters (one beep each).
int NumEditPaste(EditState &st, std::u32string_view clip, const NumEditConfig &cfg);
// The selected text as it goes to the clipboard: without thousands separators.
std::u32string NumEditCopyText(const EditState &st, const FormatSettings &fs);
// "Thousands" fields: regroups the integer digits, keeping caret and selection on their digits.
void NumEditRegroup(EditState &st, const FormatSettings &fs);

// ---- limits and spinning --------------------------------------------------------------------

struct NumEditLimits {
    long double minValue = 0;
    long double maxValue = 0;
    long double increment = 1;
    bool roundValues = false;
    bool wrap = false;
    bool InForce() const { return minValue != 0 || maxValue != 0; }
};

enum class LimitCheck { Inside, BelowMin, AboveMax };
LimitCheck CheckLimits(long double value, const NumEditLimits &lim);

// Setting rules: the accepted new value, or the old one when the new one is ignored.
long double AcceptMinValue(long double newMin, const NumEditLimits &lim);
long double AcceptMaxValue(long double newMax, const NumEditLimits &lim);
long double AcceptIncrement(long double newIncrement, const NumEditLimits &lim);
int AcceptDecimals(int newDecimals, int maxLength);

// Spin state: the current step, the counter of close spins and the time of the last spin.
struct SpinState {
    long double step = 1;
    int closeCount = 0;
    std::uint32_t lastTick = 0;
    bool hasLast = false;
};

enum class SpinResult {
    Stepped,        // value changed by the step
    SnappedToLimit, // value was outside the limits: set to the limit passed, beep, focus
    Refused         // would pass a limit even with the base step: beep, focus, value kept
};

struct SpinOutcome {
    SpinResult result;
    long double value;
};

// Resets the step to the increment and the counter to 0 (a pause or a released key).
void ResetSpin(SpinState &spin, const NumEditLimits &lim);
// One spin at time `now` (ms) from `value`.
SpinOutcome SpinValue(long double value, bool up, std::uint32_t now, SpinState &spin,
                      const NumEditLimits &lim);

// UTF-8 of the texts above.
std::string ToUtf8(std::u32string_view s);
