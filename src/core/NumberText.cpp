// Provisional: replaced by the full formatter and strict parser.
#include "NumberText.h"

#include <cstdlib>
#include <string>

#include "Errors.h"

std::string FormatFloat(std::string_view pattern, long double value, const FormatSettings &) {
    return std::string(pattern) + std::to_string(static_cast<double>(value));
}

std::string FloatToStrGeneral(long double value, const FormatSettings &) {
    return std::to_string(static_cast<double>(value));
}

bool TryStrToFloat(std::string_view text, const FormatSettings &fs, long double &value) {
    std::string t(text);
    const std::string dec = Utf8(fs.DecimalSeparator);
    for (auto p = t.find(dec); p != std::string::npos; p = t.find(dec))
        t.replace(p, dec.size(), ".");
    char *end = nullptr;
    value = std::strtold(t.c_str(), &end);
    return end && *end == '\0' && !t.empty();
}

long double StrToFloat(std::string_view text, const FormatSettings &fs) {
    long double v = 0;
    if (!TryStrToFloat(text, fs, v))
        throw ConversionError(std::string(text));
    return v;
}
