// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "text/Errors.h"
#include "text/NumberText.h"

namespace {

const FormatSettings kPoint{U'.', U','};
const FormatSettings kComma{U',', U'\u00A0'};

// Texts are written with "," as the decimal separator and "." as the other one; for the point
// settings the two are swapped.
std::string Swap(std::string s, const FormatSettings &fs) {
    if (fs.DecimalSeparator == U'.')
        for (char &c : s)
            c = c == ',' ? '.' : c == '.' ? ',' : c;
    return s;
}

class ParseBoth : public ::testing::TestWithParam<FormatSettings> {
protected:
    long double P(const std::string &s) const { return StrToFloat(Swap(s, GetParam()), GetParam()); }
    bool Ok(const std::string &s) const {
        long double v = 0;
        return TryStrToFloat(Swap(s, GetParam()), GetParam(), v);
    }

private:
};

TEST_P(ParseBoth, AcceptsTheStrictSyntax) {
    EXPECT_EQ(P("1,5"), 1.5L);
    EXPECT_EQ(P("  -2,5E3  "), -2500.0L);
    EXPECT_EQ(P("+,5"), 0.5L);
    EXPECT_EQ(P("5,"), 5.0L);
    EXPECT_EQ(P(","), 0.0L);
    EXPECT_EQ(P("-,"), 0.0L);
    EXPECT_TRUE(std::signbit(P("-0")));
    EXPECT_EQ(P("5E"), 5.0L);
    EXPECT_EQ(P("5e-"), 5.0L);
    EXPECT_EQ(P("5e-2"), 0.05L);
    EXPECT_EQ(P("1E+3"), 1000.0L);
    EXPECT_EQ(P("007"), 7.0L);
    EXPECT_EQ(P("0,1"), 0.1L); // correctly rounded to extended precision, not via double
    EXPECT_NE(P("0,1"), static_cast<long double>(0.1));
    EXPECT_EQ(P("2858,38123456789012345"), 2858.38123456789012345L);
    EXPECT_EQ(P("1,18973149535723176502E4932"), LDBL_MAX);
    EXPECT_GT(P("1E-4950"), 0.0L); // subnormal
    EXPECT_EQ(P("1E-5000"), 0.0L); // below the smallest subnormal: zero, not an error
    EXPECT_EQ(P("0,000001E4937"), 1e4931L);
}

TEST_P(ParseBoth, RefusesEverythingElse) {
    for (const char *bad : {"",          " ",    "-",     "+",       "E5",
                            "e",         "-E",   "1.5",   "1,5.",    "1,5,",
                            "1 000",     "1,5x", "x1",    "1E5E",    "1E5,",
                            "--1",       "+-1",  "1e+-2", "1E 5",    "0x10",
                            "$10",       "inf",  "nan",   "1E4933",  "1E99999999999999999999",
                            "-1,2E5000", "\t1",  "1\t",   "\u00A01", "1\u00A0000",
                            "١"})
        EXPECT_FALSE(Ok(bad)) << '"' << bad << '"';
}

TEST_P(ParseBoth, ErrorNamesTheText) {
    const std::string other = Swap("1.5", GetParam());
    try {
        (void)StrToFloat(other, GetParam());
        FAIL() << "no error";
    } catch (const ConversionError &e) {
        EXPECT_EQ(std::string(e.what()), "'" + other + "' is not a valid floating point value");
    }
    EXPECT_THROW((void)StrToFloat("", GetParam()), ConversionError);
    EXPECT_THROW((void)StrToFloat("1E4933", GetParam()), ConversionError);
}

TEST_P(ParseBoth, FailureLeavesTheValueAlone) {
    long double v = 42;
    EXPECT_FALSE(TryStrToFloat("abc", GetParam(), v));
    EXPECT_EQ(v, 42.0L);
}

INSTANTIATE_TEST_SUITE_P(Separators, ParseBoth, ::testing::Values(kPoint, kComma),
                         [](const auto &info) { return std::string(info.index == 0 ? "Point" : "Comma"); });

TEST(StrToFloat, MultiByteDecimalSeparator) {
    const FormatSettings arabic{U'\u066B', U'\u066C'};
    EXPECT_EQ(StrToFloat("1\u066B5", arabic), 1.5L);
    long double v = 0;
    EXPECT_FALSE(TryStrToFloat("1.5", arabic, v));
    EXPECT_FALSE(TryStrToFloat("1\xD9", arabic, v)); // a cut-off separator
}

TEST(StrToFloatEitherPoint, ReadsCommaAndPointAndStaysStrictOtherwise) {
    const FormatSettings arabic{U'\u066B', U'\u066C'};
    for (const FormatSettings &fs : {kPoint, kComma, arabic}) {
        const std::pair<const char *, long double> good[] = {{"0,2", 0.2L},        {"0.2", 0.2L},
                                                             {"-1,5E3", -1500.0L}, {" 7.25 ", 7.25L},
                                                             {",5", 0.5L},         {"3.", 3.0L}};
        for (const auto &[text, value] : good)
            EXPECT_EQ(StrToFloatEitherPoint(text, fs), value) << text;
        for (const char *bad : {"1,5.0", "1.5,0", "1,000.5", "1.000,5", "1 000,5", "1,5,", "abc", ""}) {
            try {
                (void)StrToFloatEitherPoint(bad, fs);
                ADD_FAILURE() << "no error for \"" << bad << '"';
            } catch (const ConversionError &e) {
                EXPECT_EQ(std::string(e.what()),
                          "'" + std::string(bad) + "' is not a valid floating point value");
            }
        }
    }
    EXPECT_EQ(StrToFloatEitherPoint("1\u066B5", arabic), 1.5L);
    long double v = 42;
    EXPECT_FALSE(TryStrToFloatEitherPoint("1\u066B5", kComma, v));
    EXPECT_EQ(v, 42.0L);
}

// Builds a locale whose only category is a numeric one with a comma decimal point (no locales are
// installed on a bare machine) and switches the C library to it.
class CommaCLocale : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/pep_locale_XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
        {
            std::FILE *f = std::fopen((dir_ + "/comma").c_str(), "w");
            ASSERT_NE(f, nullptr);
            std::fputs("LC_NUMERIC\ndecimal_point \"<U002C>\"\nthousands_sep \"<U00A0>\"\ngrouping 3;3\n"
                       "END LC_NUMERIC\n",
                       f);
            std::fclose(f);
        }
        const std::string cmd =
            "localedef -c -i " + dir_ + "/comma -f UTF-8 " + dir_ + "/xx_XX.UTF-8 >/dev/null 2>&1";
        (void)std::system(cmd.c_str()); // warns about the missing categories, still writes the locale
        before_ = std::setlocale(LC_NUMERIC, nullptr);
        setenv("LOCPATH", dir_.c_str(), 1);
        switched_ = std::setlocale(LC_NUMERIC, "xx_XX.UTF-8") != nullptr;
    }
    void TearDown() override {
        std::setlocale(LC_NUMERIC, before_.c_str());
        unsetenv("LOCPATH");
        (void)std::system(("rm -rf " + dir_).c_str());
    }
    bool switched_ = false;

private:
    std::string dir_, before_;
};

TEST_F(CommaCLocale, ParsingAndFormattingIgnoreIt) {
    if (!switched_)
        GTEST_SKIP() << "localedef could not build a test locale";
    ASSERT_STREQ(std::localeconv()->decimal_point, ",");
    char *end = nullptr;
    (void)std::strtold("1.25", &end);
    EXPECT_STREQ(end, ".25"); // plain strtold is fooled here
    long double v = 0;
    EXPECT_TRUE(TryStrToFloat("1.25", kPoint, v));
    EXPECT_EQ(v, 1.25L);
    EXPECT_TRUE(TryStrToFloat("1,25", kComma, v));
    EXPECT_EQ(v, 1.25L);
    EXPECT_FALSE(TryStrToFloat("1,25", kPoint, v));
    EXPECT_EQ(FormatFloat("0.00", 1.25, kPoint), "1.25");
    EXPECT_EQ(FloatToStrGeneral(0.5, kPoint), "0.5");
}

TEST(TryStrToInt, DecimalAndHexadecimal) {
    const std::pair<const char *, long long> good[] = {{"0x10", 16},
                                                       {"0X10", 16},
                                                       {"$1F", 31},
                                                       {"$1f", 31},
                                                       {"x10", 16},
                                                       {"X1f", 31},
                                                       {"-5", -5},
                                                       {"+7", 7},
                                                       {" 42 ", 42},
                                                       {"007", 7},
                                                       {"-$10", -16},
                                                       {"0", 0},
                                                       {"-0", 0},
                                                       {"9223372036854775807", LLONG_MAX},
                                                       {"-9223372036854775808", LLONG_MIN},
                                                       {"$7FFFFFFFFFFFFFFF", LLONG_MAX},
                                                       {"-$8000000000000000", LLONG_MIN}};
    for (const auto &[text, expected] : good) {
        long long v = 12345;
        EXPECT_TRUE(TryStrToInt(text, v)) << text;
        EXPECT_EQ(v, expected) << text;
    }
    for (const char *bad : {"abc",
                            "",
                            " ",
                            "-",
                            "$",
                            "x",
                            "0x",
                            "1.5",
                            "1,5",
                            "12a",
                            "1 2",
                            "0x-5",
                            "- 5",
                            "$G",
                            "9223372036854775808",
                            "-9223372036854775809",
                            "$8000000000000000",
                            "99999999999999999999999",
                            "1E3",
                            "\t1",
                            "--1"}) {
        long long v = 12345;
        EXPECT_FALSE(TryStrToInt(bad, v)) << '"' << bad << '"';
        EXPECT_EQ(v, 12345) << bad;
    }
}

} // namespace
