// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: the same bytes go to the profile-file reader, to the real and integer parsers
// with both decimal separators, and (value bits + pattern) to the pattern formatter. Besides the
// sanitizers, it checks round trips that must always hold.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "files/ProfileFile.h"
#include "text/Cp1251.h"
#include "text/NumberText.h"

namespace {

void Check(bool ok, const char *what) {
    if (!ok) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

void FuzzProfile(std::string_view bytes) {
    ProfileFile p = ProfileFile::Parse(bytes);
    for (const auto &line : p.Lines())
        Check(IsValidUtf8(line), "lines are UTF-8");
    (void)p.Read("MainForm", "Top");
    (void)p.ReadString("ParametersForm", "CommentEdit", "", 5);

    const std::string once = p.ToBytes();
    Check(ProfileFile::Parse(once).Lines() == p.Lines(), "Parse(ToBytes()) gives the same lines");

    // Write a value taken from the input and read it back, before and after a byte round trip.
    const std::string value = Cp1251ToUtf8(bytes.substr(0, 64));
    std::string expected(value);
    for (char &c : expected)
        if (c == '\r' || c == '\n')
            c = ' ';
    expected = std::string(TrimBlanks(expected));
    p.Write("FuzzSection", "FuzzKey", value);
    Check(p.Read("fuzzsection", "FUZZKEY") == expected, "written value reads back");
    const ProfileFile again = ProfileFile::Parse(p.ToBytes());
    Check(again.Read("FuzzSection", "FuzzKey") == expected, "written value survives the bytes");
    p.EraseSection("FUZZSECTION");
    Check(!p.HasSection("FuzzSection"), "erased section is gone");
}

void FuzzNumbers(std::string_view text) {
    for (const FormatSettings fs : {FormatSettings{U',', U'\u00A0'}, FormatSettings{U'.', U','}}) {
        long double v = 0;
        if (TryStrToFloat(text, fs, v)) {
            Check(std::string_view(text).find_first_not_of(" +-0123456789.,eE") == std::string_view::npos,
                  "accepted text has only number characters");
            const std::string g = FloatToStrGeneral(v, fs);
            long double back = 0;
            Check(TryStrToFloat(g, fs, back), "general format parses back");
            Check(FloatToStrGeneral(back, fs) == g, "general format is stable");
        }
        // A project's real: the locale's separator first, then the other of "," and ".".
        long double either = 0, own = 0, viaComma = 0, viaPoint = 0;
        const bool ownOk = TryStrToFloat(text, fs, own);
        const bool comma = TryStrToFloat(text, FormatSettings{U',', U' '}, viaComma);
        const bool point = TryStrToFloat(text, FormatSettings{U'.', U' '}, viaPoint);
        if (TryStrToFloatEitherPoint(text, fs, either))
            Check(ownOk ? either == own : (comma && either == viaComma) || (point && either == viaPoint),
                  "either point reads as the locale's separator, else as the other one");
        else
            Check(!ownOk && !comma && !point, "either point refuses only what neither separator reads");
    }
    long long i = 0;
    if (TryStrToInt(text, i)) {
        long long back = 0;
        Check(TryStrToInt(std::to_string(i), back) && back == i, "integer round trip");
    }
}

void FuzzFormat(std::string_view bytes) {
    if (bytes.size() < 10)
        return;
    unsigned char raw[16] = {};
    std::memcpy(raw, bytes.data(), 10); // any 80-bit pattern, odd encodings included
    if ((raw[0] & 7) != 0) {
        // Mostly keep the exponent within 2^±64: the big-number paths of the extreme exponents are
        // slow under coverage instrumentation and need no more than an occasional visit.
        unsigned exp = (raw[8] | (raw[9] & 0x7Fu) << 8) % 129u + 16383u - 64u;
        raw[8] = static_cast<unsigned char>(exp);
        raw[9] = static_cast<unsigned char>((raw[9] & 0x80u) | (exp >> 8));
    }
    long double v = 0;
    std::memcpy(&v, raw, sizeof v);
    const std::string_view pattern = bytes.substr(10, 200);
    for (const FormatSettings fs : {FormatSettings{U',', U'\u00A0'}, FormatSettings{U'.', U','}}) {
        const std::string out = FormatFloat(pattern, v, fs);
        if (IsValidUtf8(pattern))
            Check(IsValidUtf8(out), "UTF-8 pattern gives UTF-8 text");
        (void)FloatToStrGeneral(v, fs);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    FuzzProfile(bytes);
    FuzzNumbers(bytes);
    FuzzFormat(bytes);
    return 0;
}
