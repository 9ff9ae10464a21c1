// SPDX-License-Identifier: GPL-3.0-or-later
// Number texts do not depend on the C library's locale: QApplication sets it from the environment,
// and under ru_RU.UTF-8 or de_DE.UTF-8 printf writes and strtod reads "," as the decimal point. Every
// formatter and parser gives under those locales exactly what it gives under "C". The locales must
// exist (scripts/test generates them): a missing one fails the test rather than skipping it.
#include <gtest/gtest.h>

#include <clocale>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "run/BatchRun.h"
#include "text/NumEditRules.h"
#include "text/NumberText.h"

namespace {

const FormatSettings kComma{U',', U'\u00A0'};
const FormatSettings kPoint{U'.', U','};

// Sets the C library's locale for the scope and restores the previous one.
class CLibraryLocale {
public:
    explicit CLibraryLocale(const char *name) : saved_(std::setlocale(LC_ALL, nullptr)) {
        applied_ = std::setlocale(LC_ALL, name) != nullptr;
    }
    ~CLibraryLocale() { std::setlocale(LC_ALL, saved_.c_str()); }
    bool Applied() const { return applied_; }

private:
    std::string saved_;
    bool applied_ = false;
};

struct FieldCase {
    long double value;
    TNumberFormat format;
    int decimals;
};

// What the field rules, the pattern formatter, the general format and the parsers make of a set of
// values and texts, as one list of texts.
std::vector<std::string> Texts() {
    static const FieldCase fields[] = {
        {10, TNumberFormat::Standard, -1},        {0.2L, TNumberFormat::Standard, -1},
        {0.01L, TNumberFormat::Thousands, -1},    {1234567.891L, TNumberFormat::Thousands, -1},
        {-2.5L, TNumberFormat::Standard, 3},      {82.7L, TNumberFormat::Standard, 0},
        {1.5e-7L, TNumberFormat::Scientific, -1}, {-123456.0L, TNumberFormat::Engineering, 2},
        {1e300L, TNumberFormat::Thousands, -1},   {0.1L, TNumberFormat::Standard, 20},
    };
    std::vector<std::string> out;
    for (const FormatSettings &fs : {kComma, kPoint}) {
        for (const FieldCase &c : fields)
            out.push_back(ToUtf8(NumEditValueToText(c.value, c.format, c.decimals, fs)));
        for (const char *pattern : {"#,##0.00", "0.000E+00", "время #0.000 мкс", ""})
            out.push_back(FormatFloat(pattern, 12345.6789L, fs));
        out.push_back(FloatToStrGeneral(8.85e-12L, fs));
        out.push_back(FloatToStrGeneral(0.2L, fs));
    }
    const auto read = [&](bool ok, long double v) { out.push_back(ok ? FloatToStrGeneral(v, kPoint) : "-"); };
    for (const char *text : {"0,2", "0.2", "1,5E-3", "-7,25", "1 000,5"}) {
        long double v = 0;
        read(TryStrToFloat(text, kComma, v), v);
        read(TryStrToFloatEitherPoint(text, kPoint, v), v);
        const std::string_view ascii = text;
        read(TryNumEditTextToValue(std::u32string(ascii.begin(), ascii.end()), kComma, v), v);
    }
    BatchOptions options;
    const std::string error =
        ParseBatchArguments({"--batch", "task.PEPmodel", "--until", "7.5", "--from", "0.25"}, options);
    out.push_back(error + FloatToStrGeneral(options.UntilMicroseconds, kPoint) + " " +
                  FloatToStrGeneral(options.FromMicroseconds, kPoint));
    return out;
}

TEST(CLibraryLocale, TextsAreThoseOfTheCLocale) {
    std::vector<std::string> reference;
    {
        const CLibraryLocale c("C");
        ASSERT_TRUE(c.Applied());
        reference = Texts();
    }
    // What the numeric fields of the default task show on a Russian desktop.
    EXPECT_EQ(reference[0], "10");
    EXPECT_EQ(reference[1], "0,2");
    EXPECT_EQ(reference[2], "0,01");
    EXPECT_EQ(reference[3], "1\u00A0234\u00A0567,891");
    EXPECT_EQ(reference[4], "-2,500");
    EXPECT_EQ(reference[6], "1,5E-7");
    EXPECT_EQ(reference[7], "-123,45E+3");
    EXPECT_EQ(reference[10], "12\u00A0345,68");
    EXPECT_EQ(reference[11], "1,235E+04");
    EXPECT_EQ(reference.back(), "7.5 0.25");

    for (const char *name : {"ru_RU.UTF-8", "de_DE.UTF-8"}) {
        const CLibraryLocale locale(name);
        ASSERT_TRUE(locale.Applied())
            << name << " is not installed: localedef -i " << std::string(name, 5) << " -f UTF-8 " << name;
        // The locale is in force: the C library's own conversions write ",".
        ASSERT_STREQ(std::localeconv()->decimal_point, ",") << name;
        const std::vector<std::string> texts = Texts();
        ASSERT_EQ(texts.size(), reference.size());
        for (std::size_t i = 0; i < texts.size(); ++i)
            EXPECT_EQ(texts[i], reference[i]) << name << ", text " << i;
    }
}

// The batch run's closing line prints its figures with "." under any locale.
TEST(CLibraryLocale, BatchRunLineUsesThePoint) {
    namespace fs = std::filesystem;
    // A folder of this process: other builds' suites may run at the same time.
    const fs::path dir = fs::temp_directory_path() / ("pep_c_library_locale_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    std::ofstream(dir / "task.PEPmodel", std::ios::binary) << "[MainForm]\r\nDeltaT_QNSuperSpin=0,2\r\n";
    BatchOptions o;
    o.Project = (dir / "task.PEPmodel").string();
    o.OutDir = (dir / "out").string();
    o.UntilMicroseconds = 0.01;
    std::ostringstream err;
    {
        const CLibraryLocale locale("ru_RU.UTF-8");
        ASSERT_TRUE(locale.Applied());
        ASSERT_EQ(RunBatch(o, kComma, err, false), kBatchCompleted) << err.str();
    }
    fs::remove_all(dir);
    EXPECT_TRUE(std::regex_search(err.str(),
                                  std::regex("^Расчет выполнен: 50 шагов, 0\\.010 мкс за [0-9]+\\.[0-9]{2} с "
                                             "\\([0-9]+ шагов/с\\) +\n$")))
        << err.str();
}

} // namespace
