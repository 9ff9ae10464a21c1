// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "text/NumberText.h"

namespace {

const FormatSettings kPoint{U'.', U','};
const FormatSettings kRussian{U',', U'\u00A0'};
const std::string kNbsp = "\xC2\xA0";

// Expected text with "{d}" for the decimal and "{t}" for the thousands separator.
std::string Expect(std::string s, const FormatSettings &fs) {
    for (auto [token, c] : {std::pair{"{d}", fs.DecimalSeparator}, std::pair{"{t}", fs.ThousandSeparator}})
        for (auto p = s.find(token); p != std::string::npos; p = s.find(token))
            s.replace(p, 3, Utf8(c));
    return s;
}

class FormatBoth : public ::testing::TestWithParam<FormatSettings> {
protected:
    std::string F(std::string_view pattern, long double v) const {
        return FormatFloat(pattern, v, GetParam());
    }
    std::string E(const std::string &s) const { return Expect(s, GetParam()); }
    std::string G(long double v) const { return FloatToStrGeneral(v, GetParam()); }

private:
};

TEST_P(FormatBoth, TimeLabelRoundsTheExactValue) {
    const double t = 1234 * 2e-10 * 1e6; // 0.24680000000000002 in double
    EXPECT_EQ(F("время #0.000 мкс", t), E("время 0{d}247 мкс"));
    EXPECT_EQ(F("время #0.000 мкс", 0), E("время 0{d}000 мкс"));
    EXPECT_EQ(F("время #0.000 мкс", 1234.5678), E("время 1234{d}568 мкс"));
    // 0.2465 is stored just below the tie, 0.125 exactly on it: the exact value decides.
    EXPECT_EQ(F("#0.000", 0.2465), E("0{d}246"));
    EXPECT_EQ(F("0.00", 0.125), E("0{d}13"));
    EXPECT_EQ(F("0.00", -0.125), E("-0{d}13"));
    EXPECT_EQ(F("0", 2.5), "3");
    EXPECT_EQ(F("0.000", 1.0005), E("1{d}000")); // 1.000499999…
    EXPECT_EQ(F("0.00", 9.995L), E("9{d}99"));   // 9.99499999… in long double
    EXPECT_EQ(F("0.0", 9.96), E("10{d}0"));      // carry into a new integer digit
}

TEST_P(FormatBoth, SpeedWithGroupingAndTwoIntegerDigits) {
    EXPECT_EQ(F("CL=###0,0 м/с", 2858.3), E("CL=2{t}858 м/с"));
    EXPECT_EQ(F("CL=###0,0 м/с", 5), "CL=05 м/с");
    EXPECT_EQ(F("CL=###0,0 м/с", 0), "CL=00 м/с");
    EXPECT_EQ(F("CL=###0,0 м/с", 999.5), E("CL=1{t}000 м/с"));
    EXPECT_EQ(F("CL=###0,0 м/с", 1234567.4), E("CL=1{t}234{t}567 м/с"));
}

TEST_P(FormatBoth, ScientificPatterns) {
    EXPECT_EQ(F("Z =0.00E+00", 2.34e7), E("Z =2{d}34E+07"));
    EXPECT_EQ(F("Z =0.00E+00", 0), E("Z =0{d}00E+00"));
    EXPECT_EQ(F("Z =0.00E+00", 1.5e-3), E("Z =1{d}50E-03"));
    EXPECT_EQ(F("Z =0.00E+00", 9.999e5), E("Z =1{d}00E+06"));
    EXPECT_EQ(F("Z =0.00E+00", -2.5e123), E("Z =-2{d}50E+123"));
    EXPECT_EQ(F("0.0E-00", 1234), E("1{d}2E03"));
    EXPECT_EQ(F("0.0e-0", 0.00012), E("1{d}2e-4"));
    EXPECT_EQ(F("00.0E+0", 2.34e7), E("23{d}4E+6"));
    EXPECT_EQ(F("0.00E+00", LDBL_TRUE_MIN), E("3{d}65E-4951"));
    EXPECT_EQ(F("0.00E+00", LDBL_MAX), E("1{d}19E+4932"));
}

TEST_P(FormatBoth, ParameterWindowLabelsFromTheInitialInputs) {
    const long double backingCL = std::sqrt(67 * 1e9L / 8200);
    EXPECT_EQ(F("CL=###0,0 м/с", backingCL), E("CL=2{t}858 м/с"));
    EXPECT_EQ(F("Z =0.00E+00", 8200 * backingCL), E("Z =2{d}34E+07"));
    const long double liquidCL = std::sqrt(2.25L * 1e9L / 1000);
    EXPECT_EQ(F("CL=###0,0 м/с", liquidCL), E("CL=1{t}500 м/с"));
    EXPECT_EQ(F("Z =0.00E+00", 1000 * liquidCL), E("Z =1{d}50E+06"));

    const long double eps = 1300 * 8.85L * 1e-12L, area = 50 * 1e-6L, h = 0.4L * 0.001L;
    const long double c0 = eps * area / h;
    const long double piezoCL = std::sqrt(121 * 1e9L / 7600);
    const long double f = piezoCL / 2 / h;
    const long double lc = 1 / (c0 * (6.28318L * f) * (6.28318L * f));
    EXPECT_EQ(F(" #0.000 нФ", c0 * 1e9L), E(" 1{d}438 нФ"));
    EXPECT_EQ(F(" #0.0000 МГц", f * 1e-6L), E(" 4{d}9876 МГц"));
    EXPECT_EQ(F(" #0.0000 мкГ", lc * 1e6L), E(" 0{d}7080 мкГ"));
    EXPECT_EQ(F(" #0.000 нФ", 1.438), E(" 1{d}438 нФ"));
    EXPECT_EQ(F(" #0.0000 МГц", 4.98756), E(" 4{d}9876 МГц"));
    EXPECT_EQ(F(" #0.0000 мкГ", 0.708), E(" 0{d}7080 мкГ"));
}

TEST_P(FormatBoth, MarkerPatternKeepsTheLiteralBlankAmongTheDigits) {
    EXPECT_EQ(F("### ##0.000 ", 1234.5), E("1 234{d}500 "));
    EXPECT_EQ(F("### ##0.000 ", 12.5), E(" 12{d}500 "));
    EXPECT_EQ(F("### ##0.000 ", 1234567), E("1234 567{d}000 "));
    EXPECT_EQ(F("### ##0.000 ", 0), E(" 0{d}000 "));
    EXPECT_EQ(F("### ##0.000 мкс", 123456.0004), E("123 456{d}000 мкс"));
    // The sign goes right before the first digit, after the literal blank when that comes first.
    EXPECT_EQ(F("### ##0.000 ", -12.5), E(" -12{d}500 "));
    EXPECT_EQ(F("### ##0.000 ", -1234.5), E("-1 234{d}500 "));
    EXPECT_EQ(F("время #0.000 мкс", -0.5), E("время -0{d}500 мкс"));
}

TEST_P(FormatBoth, AxisLabels) {
    EXPECT_EQ(F("#,##0.00", 12345.678), E("12{t}345{d}68"));
    EXPECT_EQ(F("#,##0.00", -0.004), E("0{d}00")); // shows as zero: no sign
    EXPECT_EQ(F("#,##0", 999), "999");
    EXPECT_EQ(F("#,##0", 1000), E("1{t}000"));
    EXPECT_EQ(F("#,##0", -1234567.5), E("-1{t}234{t}568"));
    EXPECT_EQ(F("#,##0", 0), "0");
    const std::string big = F("#,##0", 1e20);
    EXPECT_EQ(big, E("100{t}000{t}000{t}000{t}000{t}000{t}000"));
}

TEST_P(FormatBoth, OptionalDigitsQuotesAndLiterals) {
    EXPECT_EQ(F("0.0#", 1.5), E("1{d}5"));
    EXPECT_EQ(F("0.0#", 1.256), E("1{d}26"));
    EXPECT_EQ(F("0.0#", 1), E("1{d}0"));
    EXPECT_EQ(F("0.##", 5), "5");
    EXPECT_EQ(F("#.##", 0.5), E("{d}5"));
    EXPECT_EQ(F("#.##", -0.5), E("-{d}5"));
    EXPECT_EQ(F("#.##", 0), "");
    EXPECT_EQ(F(".00", 12.5), E("12{d}50"));
    EXPECT_EQ(F("'#'0.0\" E+00\"", 5), E("#5{d}0 E+00"));
    EXPECT_EQ(F("0, м", 5), "5, м");           // a comma after the last placeholder is literal
    EXPECT_EQ(F("Enter 0", 7), "Enter 7");     // "E" not followed by a sign and "0" is literal
    EXPECT_EQ(F("0.0.0", 1.25), E("1{d}2.5")); // a later point is literal text among the decimals
    EXPECT_EQ(F("без цифр", 5), "без цифр");
}

TEST_P(FormatBoth, SectionsAndSpecialValues) {
    EXPECT_EQ(F("0.00;(0.00);ноль", -1.5), E("(1{d}50)"));
    EXPECT_EQ(F("0.00;(0.00);ноль", 1), E("1{d}00"));
    EXPECT_EQ(F("0.00;(0.00);ноль", 0.001), "ноль");
    EXPECT_EQ(F("0.00;;ноль", -2), E("-2{d}00"));
    EXPECT_EQ(F("'a;b' 0", 3), "a;b 3");
    EXPECT_EQ(F("0.0", -0.0), E("0{d}0"));
    EXPECT_EQ(F("0.0", NAN), "NAN");
    EXPECT_EQ(F("0.0", INFINITY), "INF");
    EXPECT_EQ(F("0.0", -INFINITY), "-INF");
    EXPECT_EQ(F("", 0.2), G(0.2));
    const std::string max = F("0", LDBL_MAX);
    EXPECT_EQ(max.size(), 4933u);
    EXPECT_EQ(max.substr(0, 18), "118973149535723176");
}

TEST_P(FormatBoth, GeneralFormat) {
    EXPECT_EQ(G(0.0001), E("0{d}0001"));
    EXPECT_EQ(G(0.00001), "1E-5");
    EXPECT_EQ(G(8.85e-12), E("8{d}85E-12"));
    EXPECT_EQ(G(1e15), "1E15");
    EXPECT_EQ(G(999999999999999.0), "999999999999999");
    EXPECT_EQ(G(999999999999999.9), "1E15"); // rounds up into the next decade
    EXPECT_EQ(G(0.2), E("0{d}2"));
    EXPECT_EQ(G(10), "10");
    EXPECT_EQ(G(-2.5), E("-2{d}5"));
    EXPECT_EQ(G(0), "0");
    EXPECT_EQ(G(-0.0), "0");
    EXPECT_EQ(G(0.1 + 0.2), E("0{d}3"));
    EXPECT_EQ(G(1.0L / 3), E("0{d}333333333333333"));
    EXPECT_EQ(G(123456789012345678.0), E("1{d}23456789012346E17"));
    EXPECT_EQ(G(-1.5e300), E("-1{d}5E300"));
    EXPECT_EQ(G(2.5e-300), E("2{d}5E-300"));
    EXPECT_EQ(G(100000000000000.0), "100000000000000");
    EXPECT_EQ(G(1234567.125), E("1234567{d}125"));
    EXPECT_EQ(G(LDBL_MAX), E("1{d}18973149535723E4932"));
    EXPECT_EQ(G(INFINITY), "INF");
}

TEST_P(FormatBoth, GeneralFormatReadsBackRoundedToFifteenDigits) {
    for (const long double v : {0.1L, 1.0L / 3, 2858.3812345678901L, -8.85e-12L, 6.02214076e23L, 1e-4L,
                                123456789.123456789L, 4.9e-4940L}) {
        const std::string text = G(v);
        long double back = 0;
        ASSERT_TRUE(TryStrToFloat(text, GetParam(), back)) << text;
        EXPECT_EQ(G(back), text);
        EXPECT_NEAR(static_cast<double>(back / v), 1.0, 1e-14) << text;
    }
}

// The C library prints exact digits too (rounding half to even at its last digit); with 24 digits
// more than needed it serves as an independent reference for rounding half away from zero.
std::string RoundDigitsHalfUp(std::string digits, std::size_t keep, bool &grew) {
    const bool up = digits[keep] >= '5';
    digits.resize(keep);
    grew = false;
    if (up) {
        std::size_t i = keep;
        while (i > 0 && digits[i - 1] == '9')
            digits[--i] = '0';
        if (i == 0) {
            digits.insert(digits.begin(), '1');
            digits.pop_back();
            grew = true;
        } else {
            ++digits[i - 1];
        }
    }
    return digits;
}

TEST(FormatFloat, MatchesTheCLibraryOverTheWholeRange) {
    std::mt19937_64 rng(20240611);
    for (int n = 0; n < 20000; ++n) {
        const long double mant = static_cast<long double>(rng() | (1ull << 63)) / 18446744073709551616.0L;
        const int e = static_cast<int>(rng() % 32760) - 16380;
        const long double v = std::ldexp(mant, e) * ((rng() & 1) ? -1 : 1);
        char buf[96];
        std::snprintf(buf, sizeof buf, "%.39Le", std::fabs(v));
        std::string digits = std::string(1, buf[0]) + std::string(buf + 2, 39);
        int exp10 = std::atoi(buf + 42);
        bool grew = false;
        digits = RoundDigitsHalfUp(digits, 15, grew);
        exp10 += grew;
        const std::string expected = std::string(v < 0 ? "-" : "") + digits.substr(0, 1) + "." +
                                     digits.substr(1) + "E" + (exp10 < 0 ? "-" : "+") +
                                     std::to_string(std::abs(exp10));
        ASSERT_EQ(FormatFloat("0.00000000000000E+0", v, kPoint), expected) << buf;
    }
    for (int n = 0; n < 20000; ++n) { // fixed notation, six decimals
        const long double v = std::ldexp(static_cast<long double>(rng()), -static_cast<int>(rng() % 90));
        char buf[128];
        std::snprintf(buf, sizeof buf, "%.30Lf", v);
        std::string text = buf;
        const std::size_t point = text.find('.');
        std::string digits = text.substr(0, point) + text.substr(point + 1);
        bool grew = false;
        digits = RoundDigitsHalfUp(digits, point + 6, grew);
        if (grew)
            digits.insert(digits.begin(), '1');
        std::string intPart = digits.substr(0, digits.size() - 6);
        intPart.erase(0, std::min(intPart.find_first_not_of('0'), intPart.size() - 1));
        ASSERT_EQ(FormatFloat("0.000000", v, kPoint), intPart + "." + digits.substr(digits.size() - 6))
            << buf;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Separators, FormatBoth, ::testing::Values(kPoint, kRussian, FormatSettings{U',', U','}),
    [](const auto &info) {
        return std::string(info.index == 0 ? "PointComma" : info.index == 1 ? "CommaNbsp" : "CommaComma");
    });

TEST(FormatFloat, UsesNoBreakSpaceBytesForRussianGrouping) {
    EXPECT_EQ(FormatFloat("CL=###0,0 м/с", 2858.3, kRussian), "CL=2" + kNbsp + "858 м/с");
}

} // namespace
