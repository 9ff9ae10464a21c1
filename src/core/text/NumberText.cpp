// SPDX-License-Identifier: GPL-3.0-or-later
#include "text/NumberText.h"

#include <cerrno>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <locale.h>
#include <vector>

#include "text/Errors.h"

static_assert(std::numeric_limits<long double>::digits == 64, "extended precision expected");

namespace {

// ---- exact decimal expansion ---------------------------------------------------------------------

// The exact decimal digits of a finite non-negative long double: its integer part at once, its
// fraction digit by digit. Every binary fraction has a finite decimal expansion, so rounding on these
// digits is exact (0.2465 stored as 0.24649999… rounds down, 0.125 rounds up to 0.13).
class ExactDecimal {
public:
    explicit ExactDecimal(long double x) {
        if (x == 0)
            return;
        int e = 0;
        const long double f = std::frexp(x, &e); // x = f * 2^e, 0.5 <= f < 1
        auto m = static_cast<std::uint64_t>(std::ldexp(f, 64));
        if (m == 0)
            return;     // not reachable for a normal encoding; keeps odd bit patterns harmless
        int q = e - 64; // x = m * 2^q exactly
        const int tz = __builtin_ctzll(m);
        m >>= tz;
        q += tz;
        if (q >= 0) {
            intDigits_ = BigToDecimal(ShiftedWords(m, q));
            return;
        }
        const int k = -q; // fraction bits
        if (k < 64) {
            if (m >> k)
                intDigits_ = std::to_string(m >> k);
            m &= (std::uint64_t{1} << k) - 1;
        }
        // Put the binary point on a word boundary: frac = F / 2^(32 * W).
        const int words = (k + 31) / 32;
        const int s = words * 32 - k;
        frac_ = ShiftedWords(m, s);
        frac_.resize(static_cast<std::size_t>(words), 0);
        high_ = frac_.size();
        while (high_ > 0 && frac_[high_ - 1] == 0)
            --high_;
        while (low_ < high_ && frac_[low_] == 0)
            ++low_;
    }

    const std::string &IntDigits() const { return intDigits_; }

    // The next fraction digit; 0 once the expansion has ended.
    char NextFracDigit() {
        if (next_ == 9) {
            // Nine digits per pass over the words: tiny values have thousands of leading zeros.
            // Only the words [low_, high_) are non-zero; the carry spills into the word above them
            // until it reaches the integer part.
            std::uint64_t carry = 0;
            for (std::size_t i = low_; i < high_; ++i) {
                const std::uint64_t v = std::uint64_t{frac_[i]} * 1000000000u + carry;
                frac_[i] = static_cast<std::uint32_t>(v);
                carry = v >> 32;
            }
            if (high_ < frac_.size() && carry != 0) {
                frac_[high_++] = static_cast<std::uint32_t>(carry);
                carry = 0;
            }
            while (low_ < high_ && frac_[low_] == 0)
                ++low_;
            if (low_ == high_)
                low_ = high_ = frac_.size();
            for (int i = 8; i >= 0; --i, carry /= 10)
                chunk_[i] = static_cast<char>('0' + carry % 10);
            next_ = 0;
        }
        return chunk_[next_++];
    }

private:
    // Little-endian 32-bit words of m * 2^shift.
    static std::vector<std::uint32_t> ShiftedWords(std::uint64_t m, int shift) {
        std::vector<std::uint32_t> w(static_cast<std::size_t>(shift / 32), 0);
        const int r = shift % 32;
        const std::uint64_t lo = m << r;
        const std::uint64_t hi = r ? m >> (64 - r) : 0;
        w.push_back(static_cast<std::uint32_t>(lo));
        w.push_back(static_cast<std::uint32_t>(lo >> 32));
        w.push_back(static_cast<std::uint32_t>(hi));
        while (!w.empty() && w.back() == 0)
            w.pop_back();
        return w;
    }

    static std::string BigToDecimal(std::vector<std::uint32_t> w) {
        std::string rev;
        while (!w.empty()) {
            std::uint64_t rem = 0;
            for (std::size_t i = w.size(); i-- > 0;) {
                const std::uint64_t cur = (rem << 32) | w[i];
                w[i] = static_cast<std::uint32_t>(cur / 1000000000u);
                rem = cur % 1000000000u;
            }
            while (!w.empty() && w.back() == 0)
                w.pop_back();
            for (int i = 0; i < 9; ++i, rem /= 10)
                rev += static_cast<char>('0' + rem % 10);
        }
        while (!rev.empty() && rev.back() == '0')
            rev.pop_back();
        return {rev.rbegin(), rev.rend()};
    }

    std::string intDigits_;
    std::vector<std::uint32_t> frac_;
    std::size_t low_ = 0;  // lowest non-zero word of frac_
    std::size_t high_ = 0; // one past the highest non-zero word
    char chunk_[9] = {};   // digits of the last pass, next_ the first unused one
    int next_ = 9;
};

// Adds one unit in the last place of a decimal digit string; returns true when it grew ("99" -> "100").
bool IncrementDigits(std::string &d) {
    for (std::size_t i = d.size(); i-- > 0;) {
        if (d[i] != '9') {
            ++d[i];
            return false;
        }
        d[i] = '0';
    }
    d.insert(d.begin(), '1');
    return true;
}

// |x| rounded to `decimals` decimals: integer digits without leading zeros ("" below 1) and exactly
// `decimals` fraction digits.
void RoundFixed(long double x, std::size_t decimals, std::string &intDigits, std::string &fracDigits) {
    ExactDecimal ed(std::fabs(x));
    std::string all = ed.IntDigits();
    const std::size_t nInt = all.size();
    for (std::size_t i = 0; i < decimals; ++i)
        all += ed.NextFracDigit();
    const bool up = ed.NextFracDigit() >= '5';
    std::size_t intLen = nInt;
    if (up && IncrementDigits(all))
        ++intLen;
    intDigits = all.substr(0, intLen);
    fracDigits = all.substr(intLen);
    if (intDigits.find_first_not_of('0') == std::string::npos)
        intDigits.clear();
}

// |x| rounded to `count` significant digits: the digits and the decimal exponent of the first one.
// Zero gives all "0" and exponent 0.
void RoundSignificant(long double x, std::size_t count, std::string &digits, int &exponent) {
    ExactDecimal ed(std::fabs(x));
    digits.clear();
    exponent = 0;
    if (x == 0) {
        digits.assign(count, '0');
        return;
    }
    const std::string &id = ed.IntDigits();
    char next = '0';
    if (!id.empty()) {
        exponent = static_cast<int>(id.size()) - 1;
        digits = id.substr(0, count);
        next = id.size() > count ? id[count] : '0';
        while (digits.size() < count)
            digits += ed.NextFracDigit();
        if (id.size() <= count)
            next = ed.NextFracDigit();
    } else {
        char d = ed.NextFracDigit();
        exponent = -1;
        for (; d == '0'; d = ed.NextFracDigit())
            --exponent;
        digits += d;
        while (digits.size() < count)
            digits += ed.NextFracDigit();
        next = ed.NextFracDigit();
    }
    if (next >= '5' && IncrementDigits(digits)) {
        digits.pop_back();
        ++exponent;
    }
}

// ---- patterns -------------------------------------------------------------------------------------

enum class ItemKind { Literal, IntDigit, FracDigit, Point, Exponent };

struct Item {
    ItemKind kind;
    std::string text;        // literal text; for Exponent the letter ("E" or "e")
    bool maybeGroup = false; // a "," that becomes grouping when another integer placeholder follows
};

struct Pattern {
    std::vector<Item> items;
    std::size_t intCount = 0;
    std::size_t intZeros = 0;
    std::size_t fracCount = 0;
    std::size_t fracMin = 0; // decimals always shown: up to the last "0" after the point
    bool grouping = false;
    bool scientific = false;
    bool expAlwaysSigned = false;
    std::size_t expDigits = 0;
};

void AddLiteral(Pattern &p, std::string_view text) {
    if (!p.items.empty() && p.items.back().kind == ItemKind::Literal && !p.items.back().maybeGroup)
        p.items.back().text += text;
    else
        p.items.push_back({ItemKind::Literal, std::string(text)});
}

void DropPendingCommas(Pattern &p, bool toGrouping) {
    for (auto &it : p.items)
        if (it.maybeGroup) {
            it.maybeGroup = false;
            if (toGrouping) {
                it.text.clear();
                p.grouping = true;
            }
        }
}

Pattern ParsePattern(std::string_view s) {
    Pattern p;
    bool point = false;
    std::size_t pos = 0;
    while (pos < s.size()) {
        const char c = s[pos];
        const bool afterExp = p.scientific;
        if ((c == '0' || c == '#') && !afterExp) {
            if (point) {
                ++p.fracCount;
                if (c == '0')
                    p.fracMin = p.fracCount;
                p.items.push_back({ItemKind::FracDigit, std::string(1, c)});
            } else {
                DropPendingCommas(p, true);
                ++p.intCount;
                if (c == '0')
                    ++p.intZeros;
                p.items.push_back({ItemKind::IntDigit, std::string(1, c)});
            }
            ++pos;
        } else if (c == '.' && !point && !afterExp) {
            DropPendingCommas(p, false);
            point = true;
            p.items.push_back({ItemKind::Point, {}});
            ++pos;
        } else if (c == ',' && !point && !afterExp && p.intCount > 0) {
            p.items.push_back({ItemKind::Literal, ",", true});
            ++pos;
        } else if ((c == 'E' || c == 'e') && !afterExp && p.intCount + p.fracCount > 0 &&
                   pos + 2 < s.size() && (s[pos + 1] == '+' || s[pos + 1] == '-') && s[pos + 2] == '0') {
            DropPendingCommas(p, false);
            p.scientific = true;
            p.expAlwaysSigned = s[pos + 1] == '+';
            p.items.push_back({ItemKind::Exponent, std::string(1, c)});
            pos += 2;
            for (; pos < s.size() && s[pos] == '0'; ++pos)
                ++p.expDigits;
        } else if (c == '\'' || c == '"') {
            const std::size_t end = s.find(c, pos + 1);
            const std::size_t stop = end == std::string_view::npos ? s.size() : end;
            AddLiteral(p, s.substr(pos + 1, stop - pos - 1));
            pos = end == std::string_view::npos ? s.size() : end + 1;
        } else {
            AddLiteral(p, s.substr(pos, 1));
            ++pos;
        }
    }
    DropPendingCommas(p, false);
    return p;
}

// Splits at ";" outside quotes.
std::vector<std::string_view> SplitSections(std::string_view pattern) {
    std::vector<std::string_view> out;
    std::size_t start = 0;
    char quote = 0;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (quote) {
            if (c == quote)
                quote = 0;
        } else if (c == '\'' || c == '"') {
            quote = c;
        } else if (c == ';') {
            out.push_back(pattern.substr(start, i - start));
            start = i + 1;
        }
    }
    out.push_back(pattern.substr(start));
    return out;
}

bool AllZero(std::string_view d) {
    return d.find_first_not_of('0') == std::string_view::npos;
}

// Formats |value| by one section; `negative` asks for the "-" sign. `shownZero` tells whether every
// written digit is zero.
std::string FormatSection(const Pattern &p, long double value, bool negative, const FormatSettings &fs,
                          bool &shownZero) {
    std::string intDigits, frac;
    int exponent = 0;
    if (p.scientific) {
        const std::size_t n = std::max<std::size_t>(1, p.intZeros);
        std::string digits;
        RoundSignificant(value, n + p.fracCount, digits, exponent);
        if (value != 0)
            exponent -= static_cast<int>(n) - 1;
        intDigits = digits.substr(0, n);
        frac = digits.substr(n);
    } else {
        RoundFixed(value, p.fracCount, intDigits, frac);
        if (intDigits.size() < p.intZeros)
            intDigits.insert(0, p.intZeros - intDigits.size(), '0');
    }
    std::size_t shownFrac = p.fracMin;
    for (std::size_t i = frac.size(); i > shownFrac; --i)
        if (frac[i - 1] != '0') {
            shownFrac = i;
            break;
        }
    shownZero = AllZero(intDigits) && AllZero(std::string_view(frac).substr(0, shownFrac));
    bool signPending = negative && !shownZero;

    const std::string dec = Utf8(fs.DecimalSeparator);
    const std::string thou = Utf8(fs.ThousandSeparator);
    const std::size_t len = intDigits.size();
    std::string out;
    auto emitSign = [&] {
        if (signPending) {
            out += '-';
            signPending = false;
        }
    };
    // Integer digits [from, to) of intDigits, with grouping by place value.
    auto emitInt = [&](std::size_t from, std::size_t to) {
        for (std::size_t j = from; j < to; ++j) {
            emitSign();
            out += intDigits[j];
            const std::size_t place = len - 1 - j;
            if (p.grouping && place > 0 && place % 3 == 0)
                out += thou;
        }
    };
    bool intWritten = false;
    auto emitUnplacedInt = [&] { // no integer placeholder: the digits stand before the point
        if (!intWritten && p.intCount == 0) {
            emitInt(0, len);
            intWritten = true;
        }
    };
    std::size_t intIndex = 0, fracIndex = 0;
    for (const auto &it : p.items) {
        switch (it.kind) {
        case ItemKind::Literal:
            out += it.text;
            break;
        case ItemKind::IntDigit: {
            const std::size_t fromRight = p.intCount - 1 - intIndex;
            if (intIndex == 0 && len > p.intCount)
                emitInt(0, len - p.intCount + 1);
            else if (fromRight < len)
                emitInt(len - 1 - fromRight, len - fromRight);
            ++intIndex;
            break;
        }
        case ItemKind::Point:
            emitUnplacedInt();
            if (shownFrac > 0) {
                emitSign();
                out += dec;
            }
            break;
        case ItemKind::FracDigit:
            if (fracIndex < shownFrac) {
                emitSign();
                out += frac[fracIndex];
            }
            ++fracIndex;
            break;
        case ItemKind::Exponent: {
            emitUnplacedInt();
            out += it.text;
            if (exponent < 0)
                out += '-';
            else if (p.expAlwaysSigned)
                out += '+';
            std::string e = std::to_string(exponent < 0 ? -static_cast<long long>(exponent) : exponent);
            if (e.size() < p.expDigits)
                e.insert(0, p.expDigits - e.size(), '0');
            out += e;
            break;
        }
        }
    }
    return out;
}

std::string NonFinite(long double value) {
    if (std::isnan(value))
        return "NAN";
    return value < 0 ? "-INF" : "INF";
}

} // namespace

std::string FormatFloat(std::string_view pattern, long double value, const FormatSettings &fs) {
    if (!std::isfinite(value))
        return NonFinite(value);
    if (pattern.empty())
        return FloatToStrGeneral(value, fs);
    const auto sections = SplitSections(pattern);
    std::string_view section = sections[0];
    bool negative = std::signbit(value) && value != 0;
    if (negative && sections.size() >= 2 && !sections[1].empty()) {
        section = sections[1];
        negative = false;
    }
    bool shownZero = false;
    std::string out = FormatSection(ParsePattern(section), std::fabs(value), negative, fs, shownZero);
    if (shownZero && sections.size() >= 3 && !sections[2].empty())
        out = FormatSection(ParsePattern(sections[2]), 0.0L, false, fs, shownZero);
    return out;
}

std::string FloatToStrGeneral(long double value, const FormatSettings &fs) {
    if (!std::isfinite(value))
        return NonFinite(value);
    if (value == 0)
        return "0";
    std::string digits;
    int exponent = 0;
    RoundSignificant(value, 15, digits, exponent);
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    const std::string dec = Utf8(fs.DecimalSeparator);
    std::string out = value < 0 ? "-" : "";
    if (exponent >= -4 && exponent < 15) {
        if (exponent < 0) {
            out += '0';
            out += dec;
            out.append(static_cast<std::size_t>(-exponent - 1), '0');
            out += digits;
        } else {
            const auto nInt = static_cast<std::size_t>(exponent) + 1;
            if (digits.size() <= nInt) {
                out += digits;
                out.append(nInt - digits.size(), '0');
            } else {
                out.append(digits, 0, nInt);
                out += dec;
                out.append(digits, nInt);
            }
        }
    } else {
        out += digits[0];
        if (digits.size() > 1) {
            out += dec;
            out.append(digits, 1);
        }
        out += 'E';
        out += std::to_string(exponent);
    }
    return out;
}

namespace {

locale_t CLocale() {
    // Built once; strtold_l with it ignores whatever setlocale() the program or Qt has done.
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return c;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

bool TryStrToFloat(std::string_view text, const FormatSettings &fs, long double &value) {
    const std::string dec = Utf8(fs.DecimalSeparator);
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && text[i] == ' ')
        ++i;
    std::string norm; // the same number in the C locale's syntax
    if (i < n && (text[i] == '+' || text[i] == '-'))
        norm += text[i++];
    std::size_t mantissa = 0;
    for (; i < n && IsDigit(text[i]); ++i, ++mantissa)
        norm += text[i];
    if (!dec.empty() && text.substr(i, dec.size()) == dec) {
        i += dec.size();
        ++mantissa;
        norm += '.';
        for (; i < n && IsDigit(text[i]); ++i)
            norm += text[i];
    }
    if (mantissa == 0)
        return false;
    if (norm.back() == '.' && (norm.size() == 1 || !IsDigit(norm[norm.size() - 2])))
        norm += '0'; // "," alone or "-," : strtold needs a digit
    if (i < n && (text[i] == 'E' || text[i] == 'e')) {
        ++i;
        std::string exp = "e";
        if (i < n && (text[i] == '+' || text[i] == '-'))
            exp += text[i++];
        std::size_t expDigits = 0;
        for (; i < n && IsDigit(text[i]); ++i, ++expDigits)
            exp += text[i];
        if (expDigits > 0)
            norm += exp;
    }
    while (i < n && text[i] == ' ')
        ++i;
    if (i != n)
        return false;
    const locale_t c = CLocale();
    if (c == static_cast<locale_t>(nullptr))
        return false;
    char *end = nullptr;
    const long double v = strtold_l(norm.c_str(), &end, c);
    if (end != norm.c_str() + norm.size() || std::isinf(v))
        return false;
    value = v;
    return true;
}

long double StrToFloat(std::string_view text, const FormatSettings &fs) {
    long double v = 0;
    if (!TryStrToFloat(text, fs, v))
        throw ConversionError(std::string(text));
    return v;
}

bool TryStrToFloatEitherPoint(std::string_view text, const FormatSettings &fs, long double &value) {
    if (TryStrToFloat(text, fs, value))
        return true;
    FormatSettings other = fs;
    for (const char32_t separator : {U'.', U','}) {
        if (separator == fs.DecimalSeparator)
            continue;
        other.DecimalSeparator = separator;
        if (TryStrToFloat(text, other, value))
            return true;
    }
    return false;
}

long double StrToFloatEitherPoint(std::string_view text, const FormatSettings &fs) {
    long double v = 0;
    if (!TryStrToFloatEitherPoint(text, fs, v))
        throw ConversionError(std::string(text));
    return v;
}

bool TryStrToInt(std::string_view text, long long &value) {
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    unsigned base = 10;
    if (i < n && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
        base = 16;
        ++i;
    } else if (i + 1 < n && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    const std::uint64_t limit =
        negative ? std::uint64_t{1} << 63 : static_cast<std::uint64_t>(std::numeric_limits<long long>::max());
    std::uint64_t acc = 0;
    std::size_t digits = 0;
    for (; i < n; ++i, ++digits) {
        const char c = text[i];
        unsigned d = 0;
        if (IsDigit(c))
            d = static_cast<unsigned>(c - '0');
        else if (base == 16 && c >= 'a' && c <= 'f')
            d = static_cast<unsigned>(c - 'a' + 10);
        else if (base == 16 && c >= 'A' && c <= 'F')
            d = static_cast<unsigned>(c - 'A' + 10);
        else
            break;
        if (acc > (limit - d) / base)
            return false;
        acc = acc * base + d;
    }
    while (i < n && text[i] == ' ')
        ++i;
    if (digits == 0 || i != n)
        return false;
    value = negative ? static_cast<long long>(0 - acc) : static_cast<long long>(acc);
    return true;
}
