// SPDX-License-Identifier: GPL-3.0-or-later
#include "text/NumEditRules.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "text/Errors.h"
#include "text/NumberText.h"

// ---- UTF-8 ------------------------------------------------------------------------------------

std::string ToUtf8(std::u32string_view s) {
    std::string out;
    out.reserve(s.size());
    for (char32_t c : s)
        out += Utf8(c);
    return out;
}

// ---- text and value ---------------------------------------------------------------------------

bool TryNumEditTextToValue(std::u32string_view text, const FormatSettings &fs, long double &value) {
    std::u32string t;
    for (char32_t c : text)
        if (c != fs.ThousandSeparator)
            t += c;
    if (t.empty() || t == U"-")
        t += U'0'; // "" reads as 0 and "-" as -0
    return TryStrToFloat(ToUtf8(t), fs, value);
}

long double NumEditTextToValue(std::u32string_view text, const FormatSettings &fs) {
    long double v = 0;
    if (!TryNumEditTextToValue(text, fs, v))
        throw ConversionError(ToUtf8(text));
    return v;
}

namespace {

// The digits printf's "%.*Lf" and "%.*Le" write in the "C" locale, whatever the C library's locale:
// QApplication sets it from the environment, and a Russian one writes "," where the digits are
// split at ".". Room for the integer digits of the largest long double and the decimals.
std::string Digits(long double x, std::chars_format format, int precision) {
    std::string buf(
        static_cast<std::size_t>(std::numeric_limits<long double>::max_exponent10 + precision + 16), '\0');
    const auto result = std::to_chars(buf.data(), buf.data() + buf.size(), x, format, precision);
    buf.resize(static_cast<std::size_t>(result.ptr - buf.data()));
    return buf;
}

std::string DropTrailingZeros(std::string frac) {
    while (!frac.empty() && frac.back() == '0')
        frac.pop_back();
    return frac;
}

std::u32string Group(const std::string &digits, char32_t sep) {
    std::u32string out;
    const std::size_t n = digits.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out += sep;
        out += static_cast<char32_t>(digits[i]);
    }
    return out;
}

// Integer and fraction digits of |x| with `decimals` decimals, rounded.
void FixedDigits(long double ax, int decimals, std::string &intDigits, std::string &frac) {
    const std::string s = Digits(ax, std::chars_format::fixed, decimals);
    const auto point = s.find('.');
    intDigits = s.substr(0, point);
    frac = point == std::string::npos ? std::string() : s.substr(point + 1);
}

std::u32string Assemble(bool negative, const std::u32string &intPart, const std::string &frac,
                        const std::string &exponent, const FormatSettings &fs) {
    const bool allZero =
        std::all_of(intPart.begin(), intPart.end(), [](char32_t c) { return c < U'1' || c > U'9'; }) &&
        frac.find_first_not_of('0') == std::string::npos;
    std::u32string out;
    if (negative && !allZero)
        out += U'-';
    out += intPart;
    if (!frac.empty()) {
        out += fs.DecimalSeparator;
        for (char c : frac)
            out += static_cast<char32_t>(c);
    }
    for (char c : exponent)
        out += static_cast<char32_t>(c);
    return out;
}

std::u32string Plain(const std::string &digits) {
    return std::u32string(digits.begin(), digits.end());
}

// "Scientific" and "Engineering": mantissa digits with the exponent "E+n" / "E-n".
std::u32string ExponentText(long double x, bool engineering, int decimals, const FormatSettings &fs) {
    const long double ax = std::fabs(x);
    const std::string s = Digits(ax, std::chars_format::scientific, 14); // d.dddddddddddddde+xx
    const auto ePos = s.find('e');
    std::string digits = s.substr(0, 1) + s.substr(2, ePos - 2);
    int e = std::stoi(s.substr(ePos + 1));
    int intCount = 1;
    if (engineering && ax != 0) {
        const int e3 = static_cast<int>(std::floor(e / 3.0)) * 3;
        intCount += e - e3;
        e = e3;
    }
    if (ax == 0)
        e = 0;
    std::string frac = digits.substr(static_cast<std::size_t>(intCount));
    frac = decimals < 0 ? DropTrailingZeros(frac) : frac.substr(0, static_cast<std::size_t>(decimals));
    const std::string exponent = std::string("E") + (e < 0 ? "-" : "+") + std::to_string(std::abs(e));
    return Assemble(std::signbit(x), Plain(digits.substr(0, static_cast<std::size_t>(intCount))), frac,
                    exponent, fs);
}

} // namespace

std::u32string NumEditValueToText(long double x, TNumberFormat format, int decimals,
                                  const FormatSettings &fs) {
    if (!std::isfinite(x))
        x = std::isnan(x) ? 0 : std::copysign(std::numeric_limits<long double>::max(), x);
    if (format == TNumberFormat::Scientific || format == TNumberFormat::Engineering)
        return ExponentText(x, format == TNumberFormat::Engineering, decimals, fs);
    const long double ax = std::fabs(x);
    std::string intDigits, frac;
    if (decimals >= 0) {
        FixedDigits(ax, decimals, intDigits, frac);
    } else if (format == TNumberFormat::Standard) {
        FixedDigits(ax, 14, intDigits, frac);
        frac = DropTrailingZeros(frac);
    } else {
        // At most 15 digits in all; rounding may add an integer digit, so decide on the rounded text.
        int keep = 14;
        for (;;) {
            FixedDigits(ax, keep, intDigits, frac);
            const int significantInt = intDigits == "0" ? 0 : static_cast<int>(intDigits.size());
            const int allowed = std::clamp(15 - significantInt, 0, 14);
            if (allowed >= keep)
                break;
            keep = allowed;
        }
        frac = DropTrailingZeros(frac);
    }
    const std::u32string intPart =
        format == TNumberFormat::Thousands ? Group(intDigits, fs.ThousandSeparator) : Plain(intDigits);
    return Assemble(std::signbit(x), intPart, frac, std::string(), fs);
}

// ---- editing ----------------------------------------------------------------------------------

namespace {

bool IsDigit(char32_t c) {
    return c >= U'0' && c <= U'9';
}
bool IsSign(char32_t c) {
    return c == U'-' || c == U'+';
}

// Where the parts of a number text are: [sign] integer [separator fraction] [E [sign] digits].
struct Layout {
    int signEnd = 0; // 1 with a leading sign
    int sep = -1;    // decimal separator
    int e = -1;      // the "E"
    int mantEnd = 0; // index of the "E", or the length
};

Layout Locate(const std::u32string &t, const FormatSettings &fs) {
    Layout l;
    l.signEnd = !t.empty() && IsSign(t[0]) ? 1 : 0;
    l.mantEnd = static_cast<int>(t.size());
    for (int i = 0; i < static_cast<int>(t.size()); ++i) {
        if ((t[i] == U'E' || t[i] == U'e') && l.e < 0) {
            l.e = i;
            l.mantEnd = i;
        } else if (t[i] == fs.DecimalSeparator && l.sep < 0 && l.e < 0) {
            l.sep = i;
        }
    }
    return l;
}

bool IsProtected(char32_t c, const FormatSettings &fs) {
    return c == fs.DecimalSeparator || c == fs.ThousandSeparator || c == U'E' || c == U'e';
}

int TypedLength(const std::u32string &t, const FormatSettings &fs) {
    return static_cast<int>(
        std::count_if(t.begin(), t.end(), [&](char32_t c) { return c != fs.ThousandSeparator; }));
}

void Insert(EditState &st, int pos, char32_t c) {
    st.text.insert(st.text.begin() + pos, c);
    if (st.caret >= pos)
        ++st.caret;
}

void Erase(EditState &st, int pos) {
    st.text.erase(st.text.begin() + pos);
    if (st.caret > pos)
        --st.caret;
}

void ClearSelection(EditState &st) {
    st.selStart = st.caret;
    st.selLength = 0;
}

// After a removal: the text is never empty, the mantissa keeps an integer digit ("0" in place of the
// last one removed), and a sign survives only at the start or right after the "E".
void Normalise(EditState &st, const FormatSettings &fs) {
    for (int i = static_cast<int>(st.text.size()) - 1; i > 0; --i)
        if (IsSign(st.text[i]) && st.text[i - 1] != U'E' && st.text[i - 1] != U'e')
            Erase(st, i);
    const Layout l = Locate(st.text, fs);
    const int intEnd = l.sep >= 0 ? l.sep : l.mantEnd;
    bool hasIntDigit = false;
    for (int i = l.signEnd; i < intEnd; ++i)
        hasIntDigit = hasIntDigit || IsDigit(st.text[i]);
    if (!hasIntDigit) {
        st.text.insert(st.text.begin() + l.signEnd, U'0');
        if (st.caret > l.signEnd)
            ++st.caret;
    }
    st.caret = std::clamp(st.caret, 0, static_cast<int>(st.text.size()));
}

void RemoveSelection(EditState &st, const FormatSettings &fs) {
    if (st.selLength <= 0)
        return;
    st.text.erase(static_cast<std::size_t>(st.selStart), static_cast<std::size_t>(st.selLength));
    st.caret = st.selStart;
    ClearSelection(st);
    Normalise(st, fs);
}

// Every edit must leave a text that reads as a finite number, within the typing length.
bool Acceptable(const EditState &before, const EditState &after, const NumEditConfig &cfg) {
    long double v = 0;
    if (!TryNumEditTextToValue(after.text, cfg.fs, v) || !std::isfinite(v))
        return false;
    if (cfg.maxLength > 0) {
        const int n = TypedLength(after.text, cfg.fs);
        if (n > cfg.maxLength && n > TypedLength(before.text, cfg.fs))
            return false;
    }
    return true;
}

void ToggleSign(EditState &st, int pos) {
    if (pos < static_cast<int>(st.text.size()) && st.text[pos] == U'-')
        Erase(st, pos);
    else if (pos < static_cast<int>(st.text.size()) && st.text[pos] == U'+')
        st.text[pos] = U'-';
    else
        Insert(st, pos, U'-');
}

bool TypeDigit(EditState &st, char32_t d, const Layout &l) {
    auto &t = st.text;
    if (l.e >= 0 && st.caret > l.e) {
        // Exponent: a digit goes after the exponent's sign, replaces a "0" right after "E"/sign, and
        // keeps the exponent's magnitude within the range of the extended type.
        const int start = l.e + 1 + (l.e + 1 < static_cast<int>(t.size()) && IsSign(t[l.e + 1]) ? 1 : 0);
        st.caret = std::max(st.caret, start);
        if (st.caret == start && start < static_cast<int>(t.size()) && t[start] == U'0')
            t[start] = d, st.caret = start + 1;
        else
            Insert(st, st.caret, d);
        long magnitude = 0;
        for (int i = start; i < static_cast<int>(t.size()) && IsDigit(t[i]); ++i) {
            magnitude = magnitude * 10 + (t[i] - U'0');
            if (magnitude > 4932)
                return false;
        }
        return true;
    }
    if (st.caret == 0 && l.signEnd == 1)
        st.caret = 1; // before a leading sign: goes in after it
    if (l.signEnd == 0 && !t.empty() && t[0] == U'0' && st.caret <= 1) {
        t[0] = d;
        st.caret = 1;
    } else if (l.signEnd == 1 && t[0] == U'-' && t.size() > 1 && t[1] == U'0' && st.caret <= 2) {
        t[1] = d;
        st.caret = 2;
    } else {
        Insert(st, st.caret, d);
    }
    return true;
}

} // namespace

bool NumEditTypeChar(EditState &st, char32_t ch, const NumEditConfig &cfg) {
    if (ch == U'e')
        ch = U'E';
    const char32_t dec = cfg.fs.DecimalSeparator;
    if (!IsDigit(ch) && ch != U'-' && ch != U'E' && ch != dec)
        return false;
    const EditState before = st;
    if (st.selLength > 0) {
        if (ch == U'E' || ch == dec)
            ClearSelection(st);
        else
            RemoveSelection(st, cfg.fs);
    }
    const Layout l = Locate(st.text, cfg.fs);
    bool ok = true;
    if (ch == U'-') {
        ToggleSign(st, l.e >= 0 && st.caret > l.e ? l.e + 1 : 0);
    } else if (ch == dec) {
        if (l.sep >= 0) {
            st.caret = l.sep + 1;
        } else {
            st.caret = l.mantEnd;
            Insert(st, l.mantEnd, dec);
        }
    } else if (ch == U'E') {
        if (l.e >= 0) {
            st.caret = l.e + 1;
        } else {
            if (l.mantEnd == l.signEnd) // "" or "-": the mantissa needs a digit before the exponent
                st.text.insert(st.text.begin() + l.signEnd, U'0');
            st.text += U'E';
            st.caret = static_cast<int>(st.text.size());
        }
    } else {
        ok = TypeDigit(st, ch, l);
    }
    ClearSelection(st);
    if (!ok || !Acceptable(before, st, cfg)) {
        st = before;
        return false;
    }
    return true;
}

namespace {

bool RemoveOne(EditState &st, const NumEditConfig &cfg, bool backward) {
    const EditState before = st;
    if (st.selLength > 0) {
        RemoveSelection(st, cfg.fs);
    } else if (backward) {
        int i = st.caret - 1;
        while (i >= 0 && IsProtected(st.text[i], cfg.fs))
            --i;
        if (i < 0)
            return true;
        st.text.erase(st.text.begin() + i);
        st.caret = i;
        Normalise(st, cfg.fs);
    } else {
        int i = st.caret;
        const int n = static_cast<int>(st.text.size());
        while (i < n && IsProtected(st.text[i], cfg.fs))
            ++i;
        if (i >= n)
            return true;
        st.text.erase(st.text.begin() + i);
        st.caret = i;
        Normalise(st, cfg.fs);
    }
    ClearSelection(st);
    if (st.text.empty())
        st.text += U'0';
    if (!Acceptable(before, st, cfg)) {
        st = before;
        return false;
    }
    return true;
}

} // namespace

bool NumEditBackspace(EditState &st, const NumEditConfig &cfg) {
    return RemoveOne(st, cfg, true);
}
bool NumEditDelete(EditState &st, const NumEditConfig &cfg) {
    return RemoveOne(st, cfg, false);
}

bool NumEditDeleteSelection(EditState &st, const NumEditConfig &cfg) {
    if (st.selLength <= 0)
        return true;
    return RemoveOne(st, cfg, true);
}

int NumEditPaste(EditState &st, std::u32string_view clip, const NumEditConfig &cfg) {
    int refused = 0;
    if (st.selLength > 0 && !NumEditDeleteSelection(st, cfg))
        ++refused;
    for (char32_t c : clip)
        if (!NumEditTypeChar(st, c, cfg))
            ++refused;
    return refused;
}

std::u32string NumEditCopyText(const EditState &st, const FormatSettings &fs) {
    std::u32string out;
    if (st.selLength <= 0)
        return out;
    for (char32_t c : std::u32string_view(st.text).substr(static_cast<std::size_t>(st.selStart),
                                                          static_cast<std::size_t>(st.selLength)))
        if (c != fs.ThousandSeparator)
            out += c;
    return out;
}

void NumEditRegroup(EditState &st, const FormatSettings &fs) {
    const char32_t sep = fs.ThousandSeparator;
    // Positions as counts of non-separator characters, so they stay on their digits.
    auto toCount = [&](int pos) {
        int n = 0;
        for (int i = 0; i < pos && i < static_cast<int>(st.text.size()); ++i)
            n += st.text[i] != sep;
        return n;
    };
    const int caretCount = toCount(st.caret);
    const int selStartCount = toCount(st.selStart);
    const int selEndCount = toCount(st.selStart + st.selLength);

    std::u32string bare;
    for (char32_t c : st.text)
        if (c != sep)
            bare += c;
    const Layout l = Locate(bare, fs);
    const int intEnd = l.sep >= 0 ? l.sep : l.mantEnd;
    std::string digits;
    for (int i = l.signEnd; i < intEnd; ++i)
        digits += static_cast<char>(bare[i]);
    std::u32string grouped = bare.substr(0, static_cast<std::size_t>(l.signEnd));
    if (std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        grouped += Group(digits, sep);
    else
        grouped += Plain(digits);
    grouped += bare.substr(static_cast<std::size_t>(intEnd));

    auto fromCount = [&](int count) {
        int i = 0;
        for (int n = 0; i < static_cast<int>(grouped.size()) && n < count; ++i)
            n += grouped[i] != sep;
        return i;
    };
    st.caret = fromCount(caretCount);
    st.selStart = fromCount(selStartCount);
    st.selLength = st.selLength > 0 ? fromCount(selEndCount) - st.selStart : 0;
    st.text = std::move(grouped);
}

// ---- limits and spinning ---------------------------------------------------------------------

namespace {
// Values and limits are compared as doubles. A limit comes from a double (a layout constant, a
// project file) while a typed text reads as the nearest extended value: "0,01" read in extended
// precision lies a fraction of a double's unit below the double 0.01. Compared at one precision, a
// value equal to a limit is inside the range, however each side was produced.
double AtLimitPrecision(long double v) {
    return static_cast<double>(v);
}
bool BelowLimit(long double value, long double limit) {
    return AtLimitPrecision(value) < AtLimitPrecision(limit);
}
bool AboveLimit(long double value, long double limit) {
    return AtLimitPrecision(value) > AtLimitPrecision(limit);
}
} // namespace

LimitCheck CheckLimits(long double value, const NumEditLimits &lim) {
    if (!lim.InForce())
        return LimitCheck::Inside;
    if (BelowLimit(value, lim.minValue))
        return LimitCheck::BelowMin;
    if (AboveLimit(value, lim.maxValue))
        return LimitCheck::AboveMax;
    return LimitCheck::Inside;
}

long double AcceptMinValue(long double newMin, const NumEditLimits &lim) {
    return newMin > lim.maxValue ? lim.minValue : newMin;
}

long double AcceptMaxValue(long double newMax, const NumEditLimits &lim) {
    return newMax < lim.minValue ? lim.maxValue : newMax;
}

long double AcceptIncrement(long double newIncrement, const NumEditLimits &lim) {
    if (lim.InForce() && newIncrement > lim.maxValue - lim.minValue)
        return lim.increment;
    return newIncrement;
}

int AcceptDecimals(int newDecimals, int maxLength) {
    int d = std::clamp(newDecimals, -1, 14);
    if (maxLength > 0 && d > maxLength - 2)
        d = maxLength - 2;
    return std::max(d, -1);
}

void ResetSpin(SpinState &spin, const NumEditLimits &lim) {
    spin.step = lim.increment;
    spin.closeCount = 0;
}

SpinOutcome SpinValue(long double value, bool up, std::uint32_t now, SpinState &spin,
                      const NumEditLimits &lim) {
    // Spins in quick succession accelerate: every even count above 4 adds one increment to the step.
    if (spin.hasLast && now - spin.lastTick <= 200) {
        ++spin.closeCount;
        if (spin.closeCount > 4 && spin.closeCount % 2 == 0 && spin.step < (lim.maxValue - lim.minValue) / 5)
            spin.step += lim.increment;
    } else {
        ResetSpin(spin, lim);
    }
    spin.lastTick = now;
    spin.hasLast = true;

    const bool limits = lim.InForce();
    const long double sign = up ? 1 : -1;
    if (limits && up && BelowLimit(value, lim.minValue))
        return {SpinResult::SnappedToLimit, lim.minValue};
    if (limits && !up && AboveLimit(value, lim.maxValue))
        return {SpinResult::SnappedToLimit, lim.maxValue};
    auto within = [&](long double v) {
        return up ? !AboveLimit(v, lim.maxValue) : !BelowLimit(v, lim.minValue);
    };
    long double next;
    if (!limits || within(value + sign * spin.step)) {
        next = value + sign * spin.step;
    } else if (within(value + sign * lim.increment)) {
        spin.step = lim.increment;
        next = value + sign * lim.increment;
    } else if (lim.wrap) {
        next = up ? lim.minValue : lim.maxValue;
    } else {
        return {SpinResult::Refused, value};
    }
    if (lim.roundValues && lim.increment != 0)
        next = lim.minValue + std::round((next - lim.minValue) / lim.increment) * lim.increment;
    return {SpinResult::Stepped, next};
}
