// SPDX-License-Identifier: GPL-3.0-or-later
// The numeric field's rules without a window: text and value, keys, clipboard, regrouping, limits,
// spinning.
#include <gtest/gtest.h>

#include <cmath>

#include "text/Errors.h"
#include "text/NumEditRules.h"

namespace {

const FormatSettings Comma{U',', U'\u00A0'};
const FormatSettings Point{U'.', U','};

NumEditConfig Cfg(const FormatSettings &fs, int maxLength = 0, TNumberFormat f = TNumberFormat::Standard) {
    return NumEditConfig{fs, f, maxLength};
}

EditState At(std::u32string text, int caret) {
    return EditState{std::move(text), caret, caret, 0};
}
EditState AllSelected(std::u32string text) {
    const int n = static_cast<int>(text.size());
    return EditState{std::move(text), n, 0, n};
}

// Types every character; returns the number refused.
int Type(EditState &st, std::u32string_view keys, const NumEditConfig &cfg) {
    int refused = 0;
    for (char32_t c : keys)
        refused += NumEditTypeChar(st, c, cfg) ? 0 : 1;
    return refused;
}

long double Value(const std::u32string &t, const FormatSettings &fs) {
    return NumEditTextToValue(t, fs);
}

} // namespace

TEST(NumEditTextToValue, ReadsWhatTheRulesProduce) {
    for (const FormatSettings &fs : {Comma, Point}) {
        const char32_t d = fs.DecimalSeparator;
        EXPECT_EQ(Value(U"5E", fs), 5.0L);
        EXPECT_EQ(Value(U"", fs), 0.0L);
        const long double minusZero = Value(U"-", fs);
        EXPECT_EQ(minusZero, 0.0L);
        EXPECT_TRUE(std::signbit(minusZero));
        EXPECT_EQ(Value(U"-0", fs), 0.0L);
        EXPECT_EQ(Value(std::u32string(U"0") + d + U"5", fs), 0.5L);
        EXPECT_EQ(Value(std::u32string(U"125") + d, fs), 125.0L);
        EXPECT_EQ(Value(U"1E3", fs), 1000.0L);
        EXPECT_EQ(Value(U"2E-", fs), 2.0L);
        EXPECT_EQ(Value(U"-12E-2", fs), -0.12L);
    }
    EXPECT_EQ(Value(U"1\u00A0234\u00A0567,5", Comma), 1234567.5L);
    EXPECT_EQ(Value(U"1,234,567.5", Point), 1234567.5L);
}

TEST(NumEditTextToValue, TextOutsideTheSyntaxFailsWithItsText) {
    EXPECT_THROW(Value(U"12a", Comma), ConversionError);
    try {
        Value(U"1.5", Comma);
        FAIL() << "no error";
    } catch (const ConversionError &e) {
        EXPECT_STREQ(e.what(), "'1.5' is not a valid floating point value");
    }
    long double v = 0;
    EXPECT_FALSE(TryNumEditTextToValue(U"--1", Point, v));
    EXPECT_FALSE(TryNumEditTextToValue(U"E5", Point, v));
}

TEST(NumEditValueToText, StandardShowsUpTo14RoundedDecimals) {
    const auto s = [](long double x, const FormatSettings &fs = Comma) {
        return NumEditValueToText(x, TNumberFormat::Standard, -1, fs);
    };
    EXPECT_EQ(s(0.2), U"0,2");
    EXPECT_EQ(s(0.2, Point), U"0.2");
    EXPECT_EQ(s(10), U"10");
    EXPECT_EQ(s(-5), U"-5");
    EXPECT_EQ(s(1.0L / 3), U"0,33333333333333");
    EXPECT_EQ(s(2.0L / 3), U"0,66666666666667");
    EXPECT_EQ(s(0.000000000000004L), U"0");
    EXPECT_EQ(s(-0.000000000000004L), U"0"); // no "-0" for a value that shows as zero
    EXPECT_EQ(s(1234567.25L), U"1234567,25");
    EXPECT_EQ(s(1e-14L), U"0,00000000000001");
    EXPECT_EQ(s(1e20L), U"100000000000000000000");
    EXPECT_EQ(s(0.2 + 1.0), U"1,2");
}

TEST(NumEditValueToText, ThousandsGroupsAndKeepsFifteenDigits) {
    const auto t = [](long double x, const FormatSettings &fs) {
        return NumEditValueToText(x, TNumberFormat::Thousands, -1, fs);
    };
    EXPECT_EQ(t(7500, Comma), U"7\u00A0500");
    EXPECT_EQ(t(1234567.25L, Comma), U"1\u00A0234\u00A0567,25");
    EXPECT_EQ(t(1234567.25L, Point), U"1,234,567.25");
    EXPECT_EQ(t(123456789012.123456L, Point), U"123,456,789,012.123");
    EXPECT_EQ(t(0.123456789012345678L, Point), U"0.12345678901235");
    EXPECT_EQ(t(999999999999999.9L, Point), U"1,000,000,000,000,000");
    EXPECT_EQ(t(-1000, Point), U"-1,000");
    EXPECT_EQ(t(100, Point), U"100");
}

TEST(NumEditValueToText, FixedDecimalsAndExponentForms) {
    EXPECT_EQ(NumEditValueToText(2.5L, TNumberFormat::Standard, 3, Comma), U"2,500");
    EXPECT_EQ(NumEditValueToText(2.75L, TNumberFormat::Standard, 1, Comma), U"2,8");
    EXPECT_EQ(NumEditValueToText(12345, TNumberFormat::Scientific, -1, Point), U"1.2345E+4");
    EXPECT_EQ(NumEditValueToText(12345, TNumberFormat::Engineering, -1, Point), U"12.345E+3");
    EXPECT_EQ(NumEditValueToText(-0.0025L, TNumberFormat::Engineering, -1, Point), U"-2.5E-3");
    for (long double x : {12345.0L, -0.0025L, 0.0L})
        for (auto f : {TNumberFormat::Scientific, TNumberFormat::Engineering})
            EXPECT_EQ(Value(NumEditValueToText(x, f, -1, Point), Point), x);
}

TEST(NumEditTyping, FilterAndSeparatorRules) {
    for (const FormatSettings &fs : {Comma, Point}) {
        const char32_t d = fs.DecimalSeparator;
        const char32_t other = d == U',' ? U'.' : U',';
        EditState st = At(U"125", 1);
        EXPECT_TRUE(NumEditTypeChar(st, d, Cfg(fs)));
        EXPECT_EQ(st.text, std::u32string(U"125") + d);
        EXPECT_EQ(st.caret, 4);
        // A second separator only moves the caret behind the first.
        st.caret = 0;
        EXPECT_TRUE(NumEditTypeChar(st, d, Cfg(fs)));
        EXPECT_EQ(st.text, std::u32string(U"125") + d);
        EXPECT_EQ(st.caret, 4);
        for (char32_t bad : {U'a', U' ', U'+', other, U'\u00A0'}) {
            EditState b = At(U"12", 2);
            EXPECT_FALSE(NumEditTypeChar(b, bad, Cfg(fs)));
            EXPECT_EQ(b.text, U"12");
        }
        // Before the "E" when there is one.
        st = At(U"12E3", 4);
        EXPECT_TRUE(NumEditTypeChar(st, d, Cfg(fs)));
        EXPECT_EQ(st.text, std::u32string(U"12") + d + U"E3");
        EXPECT_EQ(Value(st.text, fs), 12000.0L);
    }
}

TEST(NumEditTyping, SignsExponentAndLeadingZeros) {
    const NumEditConfig cfg = Cfg(Comma);
    EditState st = At(U"0", 1);
    EXPECT_TRUE(NumEditTypeChar(st, U'-', cfg));
    EXPECT_EQ(st.text, U"-0");
    EXPECT_EQ(Value(st.text, Comma), 0.0L);
    EXPECT_TRUE(NumEditTypeChar(st, U'7', cfg)); // replaces the "0" after "-"
    EXPECT_EQ(st.text, U"-7");
    EXPECT_TRUE(NumEditTypeChar(st, U'-', cfg)); // second "-" removes the sign
    EXPECT_EQ(st.text, U"7");

    st = At(U"-5", 0); // typed before the sign: goes in after it
    EXPECT_EQ(Type(st, U"3", cfg), 0);
    EXPECT_EQ(st.text, U"-35");

    st = At(U"0,5", 0);
    EXPECT_EQ(Type(st, U"3", cfg), 0);
    EXPECT_EQ(st.text, U"3,5");
    st = At(U"0,5", 1);
    EXPECT_EQ(Type(st, U"4", cfg), 0);
    EXPECT_EQ(st.text, U"4,5");

    st = At(U"12", 0);
    EXPECT_EQ(Type(st, U"e", cfg), 0); // "e" goes in as "E", at the end
    EXPECT_EQ(st.text, U"12E");
    EXPECT_EQ(Value(st.text, Comma), 12.0L);
    EXPECT_EQ(Type(st, U"-3", cfg), 0);
    EXPECT_EQ(st.text, U"12E-3");
    st.caret = 0;
    EXPECT_EQ(Type(st, U"E-", cfg), 0); // jumps behind "E", then toggles the exponent's sign
    EXPECT_EQ(st.text, U"12E3");
    st.caret = 0;
    EXPECT_EQ(Type(st, U"-", cfg), 0); // elsewhere "-" is the number's sign
    EXPECT_EQ(st.text, U"-12E3");

    st = At(U"1E0", 2);
    EXPECT_EQ(Type(st, U"7", cfg), 0);
    EXPECT_EQ(st.text, U"1E7");
    st = At(U"1E-0", 2); // right after "E" the digit goes behind the exponent's sign
    EXPECT_EQ(Type(st, U"7", cfg), 0);
    EXPECT_EQ(st.text, U"1E-7");
}

TEST(NumEditTyping, ExponentAndValueStayInRange) {
    const NumEditConfig cfg = Cfg(Point);
    EditState st = At(U"1E493", 5);
    EXPECT_FALSE(NumEditTypeChar(st, U'3', cfg));
    EXPECT_EQ(st.text, U"1E493");
    EXPECT_TRUE(NumEditTypeChar(st, U'2', cfg));
    EXPECT_EQ(st.text, U"1E4932");
    st.caret = 0; // 91E4932 would overflow: refused like an exponent past 4932
    EXPECT_FALSE(NumEditTypeChar(st, U'9', cfg));
    EXPECT_EQ(st.text, U"1E4932");
    st = At(U"99E-4932", 3); // removing the exponent's "-" would overflow too
    EXPECT_FALSE(NumEditDelete(st, cfg));
    EXPECT_EQ(st.text, U"99E-4932");
}

TEST(NumEditTyping, SelectionAndMaxLength) {
    const NumEditConfig cfg = Cfg(Comma, 6);
    EditState st = AllSelected(U"123");
    EXPECT_EQ(Type(st, U"7", cfg), 0);
    EXPECT_EQ(st.text, U"7");
    st = AllSelected(U"123");
    EXPECT_EQ(Type(st, U"E", cfg), 0); // cancels the selection, replaces nothing
    EXPECT_EQ(st.text, U"123E");
    EXPECT_EQ(st.selLength, 0);
    st = AllSelected(U"123");
    EXPECT_EQ(Type(st, U"-", cfg), 0);
    EXPECT_EQ(st.text, U"-0");

    st = At(U"123456", 6);
    EXPECT_EQ(Type(st, U"7", cfg), 1);
    EXPECT_EQ(Type(st, U"-", cfg), 1);
    EXPECT_EQ(st.text, U"123456");
    st = AllSelected(U"123456");
    EXPECT_EQ(Type(st, U"98", cfg), 0);
    EXPECT_EQ(st.text, U"98");
    // Thousands separators are not typed, so they do not count.
    st = At(U"10\u00A0000", 6);
    EXPECT_EQ(Type(st, U"0", Cfg(Comma, 6, TNumberFormat::Thousands)), 0);
    EXPECT_EQ(Type(st, U"0", Cfg(Comma, 6, TNumberFormat::Thousands)), 1);
}

TEST(NumEditDeleting, StepsOverSeparatorsAndNeverEmpties) {
    const NumEditConfig cfg = Cfg(Comma);
    EditState st = At(U"12,5", 3);
    EXPECT_TRUE(NumEditBackspace(st, cfg));
    EXPECT_EQ(st.text, U"1,5");
    EXPECT_EQ(st.caret, 1);
    st = At(U"1,25", 1);
    EXPECT_TRUE(NumEditDelete(st, cfg));
    EXPECT_EQ(st.text, U"1,5");
    EXPECT_EQ(st.caret, 2);
    st = At(U"5,25", 1);
    EXPECT_TRUE(NumEditBackspace(st, cfg)); // the only integer digit becomes "0"
    EXPECT_EQ(st.text, U"0,25");
    st = At(U"-5", 2);
    EXPECT_TRUE(NumEditBackspace(st, cfg));
    EXPECT_EQ(st.text, U"-0");
    st = At(U"5E3", 2);
    EXPECT_TRUE(NumEditBackspace(st, cfg));
    EXPECT_EQ(st.text, U"0E3");
    st = At(U"7", 0);
    EXPECT_TRUE(NumEditDelete(st, cfg));
    EXPECT_EQ(st.text, U"0");
    st = AllSelected(U"12,5E-3");
    EXPECT_TRUE(NumEditDelete(st, cfg));
    EXPECT_EQ(st.text, U"0");
    st = EditState{U"1E-5", 2, 1, 1}; // only the "E" selected: no stray sign is left behind
    EXPECT_TRUE(NumEditDeleteSelection(st, cfg));
    EXPECT_EQ(st.text, U"15");
    st = At(U"1\u00A0234", 2);
    EXPECT_TRUE(NumEditBackspace(st, Cfg(Comma, 0, TNumberFormat::Thousands)));
    EXPECT_EQ(st.text, U"\u00A0234");
    EXPECT_EQ(Value(st.text, Comma), 234.0L);
}

TEST(NumEditClipboard, PasteTypesEachCharacterAndCopyDropsSeparators) {
    EditState st = AllSelected(U"7,25");
    EXPECT_EQ(NumEditPaste(st, U"12a,5", Cfg(Comma)), 1);
    EXPECT_EQ(st.text, U"12,5");
    st = AllSelected(U"7.25");
    EXPECT_EQ(NumEditPaste(st, U"1,234.5", Cfg(Point)), 1);
    EXPECT_EQ(st.text, U"1234.5");
    st = At(U"3", 1);
    EXPECT_EQ(NumEditPaste(st, U"x\ny", Cfg(Point)), 3);
    EXPECT_EQ(st.text, U"3");

    EXPECT_EQ(NumEditCopyText(AllSelected(U"1\u00A0234,5"), Comma), U"1234,5");
    EXPECT_EQ(NumEditCopyText(AllSelected(U"1,234.5"), Point), U"1234.5");
    EXPECT_EQ(NumEditCopyText(At(U"1,234.5", 2), Point), U"");
}

TEST(NumEditRegroup, KeepsCaretOnItsDigit) {
    for (const FormatSettings &fs : {Comma, Point}) {
        const std::u32string sep(1, fs.ThousandSeparator);
        EditState st = At(U"1" + sep + U"234", 1);
        EXPECT_EQ(Type(st, U"9", Cfg(fs, 0, TNumberFormat::Thousands)), 0);
        EXPECT_EQ(st.text, U"19" + sep + U"234");
        NumEditRegroup(st, fs);
        EXPECT_EQ(st.text, U"19" + sep + U"234");
        EXPECT_EQ(st.caret, 2);
        EXPECT_EQ(Type(st, U"5", Cfg(fs, 0, TNumberFormat::Thousands)), 0); // 195 234
        NumEditRegroup(st, fs);
        EXPECT_EQ(st.text, U"195" + sep + U"234");
        EXPECT_EQ(st.caret, 3);
        st = At(U"12" + sep + U"345" + fs.DecimalSeparator + U"5", 4); // after the "3"
        EXPECT_TRUE(NumEditBackspace(st, Cfg(fs, 0, TNumberFormat::Thousands)));
        NumEditRegroup(st, fs);
        EXPECT_EQ(st.text, U"1" + sep + U"245" + fs.DecimalSeparator + U"5");
        EXPECT_EQ(st.text[static_cast<std::size_t>(st.caret)], U'4');
        st = At(U"-1234567E3", 10);
        NumEditRegroup(st, fs);
        EXPECT_EQ(st.text, U"-1" + sep + U"234" + sep + U"567E3");
        EXPECT_EQ(st.caret, static_cast<int>(st.text.size()));
    }
}

TEST(NumEditSettings, IgnoredAndClampedValues) {
    NumEditLimits lim{0, 100000, 1, false, false};
    EXPECT_EQ(AcceptMinValue(200000, lim), 0);
    EXPECT_EQ(AcceptMaxValue(-1, lim), 100000);
    EXPECT_EQ(AcceptMinValue(0.01L, lim), 0.01L);
    EXPECT_EQ(AcceptIncrement(100001, lim), 1);
    EXPECT_EQ(AcceptIncrement(5, lim), 5);
    EXPECT_EQ(AcceptIncrement(500, NumEditLimits{}), 500); // no limits: nothing to exceed
    // A new field has both limits 0, so a positive MinValue alone is refused (set MaxValue first).
    EXPECT_EQ(AcceptMinValue(0.01L, NumEditLimits{}), 0);
    EXPECT_EQ(AcceptDecimals(-5, 0), -1);
    EXPECT_EQ(AcceptDecimals(20, 0), 14);
    EXPECT_EQ(AcceptDecimals(10, 6), 4);
    EXPECT_EQ(AcceptDecimals(3, 6), 3);
    EXPECT_EQ(CheckLimits(-5, lim), LimitCheck::BelowMin);
    EXPECT_EQ(CheckLimits(100000.5L, lim), LimitCheck::AboveMax);
    EXPECT_EQ(CheckLimits(-5, NumEditLimits{}), LimitCheck::Inside);
}

TEST(NumEditSpin, AcceleratesOnCloseSpins) {
    const NumEditLimits lim{0, 100000, 1, false, false};
    SpinState spin;
    long double v = 0;
    std::vector<long double> steps;
    for (std::uint32_t t = 400; t <= 1400; t += 100) {
        const SpinOutcome out = SpinValue(v, true, t, spin, lim);
        ASSERT_EQ(out.result, SpinResult::Stepped);
        steps.push_back(out.value - v);
        v = out.value;
    }
    EXPECT_EQ(steps, (std::vector<long double>{1, 1, 1, 1, 1, 1, 2, 2, 3, 3, 4}));
    // A pause over 200 ms starts again from the increment.
    EXPECT_EQ(SpinValue(v, true, 1601, spin, lim).value - v, 1);
    EXPECT_EQ(spin.closeCount, 0);
    // Without limits (MaxValue - MinValue = 0) the step never grows.
    SpinState free;
    v = 0;
    for (std::uint32_t t = 0; t <= 2000; t += 100)
        v = SpinValue(v, false, t, free, NumEditLimits{}).value;
    EXPECT_EQ(v, -21);
}

TEST(NumEditSpin, LimitsAndFallbackToIncrement) {
    const NumEditLimits lim{0, 100000, 1, false, false};
    SpinState spin;
    EXPECT_EQ(SpinValue(99999.5L, true, 0, spin, lim).result, SpinResult::Refused);
    EXPECT_EQ(SpinValue(0.2L, false, 1000, spin, lim).result, SpinResult::Refused);
    SpinOutcome out = SpinValue(-5, true, 2000, spin, lim);
    EXPECT_EQ(out.result, SpinResult::SnappedToLimit);
    EXPECT_EQ(out.value, 0);
    out = SpinValue(250000, false, 3000, spin, lim);
    EXPECT_EQ(out.result, SpinResult::SnappedToLimit);
    EXPECT_EQ(out.value, 100000);
    out = SpinValue(-5, false, 4000, spin, lim); // below the minimum, spinning down: refused
    EXPECT_EQ(out.result, SpinResult::Refused);

    spin.step = 3;
    spin.hasLast = true;
    spin.lastTick = 5000;
    out = SpinValue(99998, true, 5100, spin, lim);
    EXPECT_EQ(out.result, SpinResult::Stepped);
    EXPECT_EQ(out.value, 99999);
    EXPECT_EQ(spin.step, 1);

    const NumEditLimits wrap{0, 10, 1, false, true};
    EXPECT_EQ(SpinValue(10, true, 9000, spin, wrap).value, 0);
    const NumEditLimits round{0, 100, 5, true, false};
    EXPECT_EQ(SpinValue(7, true, 20000, spin, round).value, 10);
}

// A limit held as a double and a value read from text in extended precision are compared at one
// precision: a value equal to the limit is inside the range, and a spin may land on it.
TEST(NumEditLimitsPrecision, AValueEqualToALimitIsInside) {
    struct Case {
        const char32_t *text;
        double min, max;
        LimitCheck expected;
    };
    const Case cases[] = {
        {U"0,01", 0.01, 100000, LimitCheck::Inside},  {U"0,1", 0.1, 0.7, LimitCheck::Inside},
        {U"0,7", 0.1, 0.7, LimitCheck::Inside},       {U"0,0099", 0.01, 100000, LimitCheck::BelowMin},
        {U"0,70001", 0.1, 0.7, LimitCheck::AboveMax}, {U"100000", 0.01, 100000, LimitCheck::Inside},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(ToUtf8(c.text));
        const long double v = Value(c.text, Comma);
        EXPECT_EQ(CheckLimits(v, NumEditLimits{c.min, c.max}), c.expected);
    }
    // From 1,01 down by one onto the minimum 0.01, and from -0,3 up by one onto the maximum 0.7.
    NumEditLimits lim{0.01, 100000};
    SpinState spin;
    const SpinOutcome down = SpinValue(Value(U"1,01", Comma), false, 0, spin, lim);
    EXPECT_EQ(down.result, SpinResult::Stepped);
    lim = NumEditLimits{-5, 0.7};
    const SpinOutcome up = SpinValue(Value(U"-0,3", Comma), true, 1000, spin, lim);
    EXPECT_EQ(up.result, SpinResult::Stepped);
}
