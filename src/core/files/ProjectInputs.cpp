// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/ProjectInputs.h"

#include <algorithm>
#include <cctype>
#include <limits>
#include <map>
#include <optional>
#include <stdexcept>

#include "files/ProfileFile.h"
#include "stack/TaskFields.h"
#include "text/Errors.h"
#include "text/NumberText.h"

namespace {

constexpr const char *kMain = kMainFormSection;
constexpr const char *kParameters = kParametersFormSection;

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

// The value a field shows for x and gives back when read: the display rounds to its digits.
long double ThroughField(long double x, TNumberFormat format, const FormatSettings &fs) {
    return NumEditTextToValue(NumEditValueToText(x, format, -1, fs), fs);
}

// An integer entry as the windows read it: unreadable or out of range keeps `current`.
int ReadInt(const std::optional<std::string> &text, int current) {
    long long v = 0;
    if (!text || !TryStrToInt(*text, v) || v < std::numeric_limits<int>::min() ||
        v > std::numeric_limits<int>::max())
        return current;
    return static_cast<int>(v);
}

} // namespace

EngineInputs ReadProjectInputs(const ProfileFile &profile, const ProjectOverrides &overrides,
                               const FormatSettings &fs) {
    // A file is read only when every real it holds can be read, in the order of the windows.
    for (const char *section : {kMain, kParameters})
        for (const TaskField &f : TaskFields())
            if (f.Section == section && !IsCheckBox(f))
                if (const auto text = profile.Read(f.Section, f.Name))
                    StrToFloatEitherPoint(*text, fs);
    for (const char *name : {"Middle_F_QNSuperSpin", "Width_F_QNSuperSpin", "Diapazon_QNSuperSpin"})
        if (const auto text = profile.Read("ElectroForm", name))
            StrToFloatEitherPoint(*text, fs);

    // Field values by lower-case name, as the windows would read them after loading the file.
    std::map<std::string, long double> real;
    bool inverse = false;
    for (const TaskField &f : TaskFields()) {
        const auto text = profile.Read(f.Section, f.Name);
        if (IsCheckBox(f))
            inverse = ReadInt(text, static_cast<int>(f.Initial)) != 0;
        else
            real[Lower(f.Name)] = text ? StrToFloatEitherPoint(*text, fs) : f.Initial;
    }
    int redraw = ReadInt(profile.Read(kMain, "IterationSpinEdit"), 10);

    for (const auto &[name, text] : overrides) {
        const TaskField *field = FindTaskField(name);
        const bool redrawPeriod = Lower(name) == "iterationspinedit";
        if (field && !IsCheckBox(*field)) {
            real[Lower(field->Name)] = StrToFloatEitherPoint(text, fs);
        } else if (field || redrawPeriod) {
            long long v = 0;
            if (!TryStrToInt(text, v) || v < std::numeric_limits<int>::min() ||
                v > std::numeric_limits<int>::max())
                throw std::invalid_argument("Значение «" + text + "» параметра " + name +
                                            " не является целым числом.");
            if (redrawPeriod)
                redraw = static_cast<int>(v);
            else
                inverse = v != 0;
        } else {
            throw std::invalid_argument("Параметр " + name + " не является входным параметром задачи.");
        }
    }

    EngineInputs in;
    in.RedrawEvery = redraw;
    for (const TaskField &f : TaskFields())
        SetTaskInput(in, f, IsCheckBox(f) ? inverse : ThroughField(real.at(Lower(f.Name)), f.Format, fs));
    return in;
}
