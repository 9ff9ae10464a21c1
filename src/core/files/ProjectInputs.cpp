// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/ProjectInputs.h"

#include <algorithm>
#include <cctype>
#include <limits>
#include <map>
#include <optional>
#include <stdexcept>

#include "files/ProfileFile.h"
#include "text/Errors.h"
#include "text/NumberText.h"

namespace {

constexpr const char *kMain = "MainForm";
constexpr const char *kParameters = "ParametersForm";
constexpr auto kStd = TNumberFormat::Standard;
constexpr auto kGroup = TNumberFormat::Thousands;

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

const std::vector<ProjectRealField> &ProjectRealFields() {
    static const std::vector<ProjectRealField> fields = {
        {kParameters, "Electro_C_QNSuperSpin", 68, kGroup},
        {kParameters, "Electro_R_QNSuperSpin", 180, kGroup},
        {kParameters, "Electro_L_QNSuperSpin", 1.2L, kStd},
        {kParameters, "Electro_U0_QNSuperSpin", 300, kStd},
        {kParameters, "Electro_VTRon_QNSuperSpin", 16, kStd},
        {kParameters, "Electro_VTRoff_QNSuperSpin", 10000, kGroup},
        {kParameters, "Electro_VTFrontTime_QNSuperSpin", 10, kStd},
        {kParameters, "Electro_VTTime_QNSuperSpin", 100, kStd},
        {kParameters, "VT_Cut_Off_QNSuperSpin", 600, kStd},
        {kParameters, "Electro_RL_QNSuperSpin", 0.01L, kGroup},
        {kParameters, "Protector_Ro_QNSuperSpin", 2650, kGroup},
        {kParameters, "Piezo_Ro_QNSuperSpin", 7600, kGroup},
        {kParameters, "Dempfer_Nu_QNSuperSpin", 650, kStd},
        {kParameters, "Dempfer_L_QNSuperSpin", 6, kStd},
        {kParameters, "Dempfer_C33_QNSuperSpin", 67, kStd},
        {kParameters, "Dempfer_Ro_QNSuperSpin", 8200, kGroup},
        {kParameters, "Piezo_L_QNSuperSpin", 0.4L, kStd},
        {kParameters, "Protector_L_QNSuperSpin", 0.5L, kStd},
        {kParameters, "Liquid_L_QNSuperSpin", 0, kStd},
        {kParameters, "Sample_L_QNSuperSpin", 16, kStd},
        {kParameters, "Liquid_Ro_QNSuperSpin", 1000, kGroup},
        {kParameters, "Sample_Ro_QNSuperSpin", 7800, kGroup},
        {kParameters, "Piezo_C33_QNSuperSpin", 121, kStd},
        {kParameters, "Protector_C33_QNSuperSpin", 90, kStd},
        {kParameters, "Liquid_C33_QNSuperSpin", 2.25L, kStd},
        {kParameters, "Sample_C33_QNSuperSpin", 275, kStd},
        {kParameters, "Piezo_Nu_QNSuperSpin", 30, kStd},
        {kParameters, "Protector_Nu_QNSuperSpin", 20, kStd},
        {kParameters, "Liquid_Nu_QNSuperSpin", 0, kStd},
        {kParameters, "Sample_Nu_QNSuperSpin", 0, kStd},
        {kParameters, "Piezo_d33_QNSuperSpin", 40, kGroup},
        {kParameters, "Piezo_ee0_QNSuperSpin", 1300, kStd},
        {kParameters, "Spep_QNSuperSpin", 50, kStd},
        {kParameters, "Ag_L2_QNSuperSpin", 0.02L, kStd},
        {kParameters, "Ag_Ro2_QNSuperSpin", 10500, kGroup},
        {kParameters, "Ag_C33_2_QNSuperSpin", 82.7L, kStd},
        {kParameters, "Ag_L1_QNSuperSpin", 0.02L, kStd},
        {kParameters, "Ag_Ro1_QNSuperSpin", 10500, kGroup},
        {kParameters, "Ag_C33_1_QNSuperSpin", 82.7L, kStd},
        {kMain, "DeltaX_QNSuperSpin", 10, kStd},
        {kMain, "DeltaT_QNSuperSpin", 0.2L, kStd},
    };
    return fields;
}

EngineInputs ReadProjectInputs(const ProfileFile &profile, const ProjectOverrides &overrides,
                               const FormatSettings &fs) {
    // A file is read only when every real it holds can be read, in the order of the windows.
    for (const char *section : {kMain, kParameters})
        for (const ProjectRealField &f : ProjectRealFields())
            if (f.Section == section)
                if (const auto text = profile.Read(f.Section, f.Name))
                    StrToFloatEitherPoint(*text, fs);
    for (const char *name : {"Middle_F_QNSuperSpin", "Width_F_QNSuperSpin", "Diapazon_QNSuperSpin"})
        if (const auto text = profile.Read("ElectroForm", name))
            StrToFloatEitherPoint(*text, fs);

    // Field values by lower-case name, as the windows would read them after loading the file.
    std::map<std::string, long double> real;
    for (const ProjectRealField &f : ProjectRealFields()) {
        long double v = f.Initial;
        if (const auto text = profile.Read(f.Section, f.Name))
            v = StrToFloatEitherPoint(*text, fs);
        real[Lower(f.Name)] = v;
    }
    int redraw = ReadInt(profile.Read(kMain, "IterationSpinEdit"), 10);
    bool inverse = ReadInt(profile.Read(kParameters, "InverseCheckBox"), 0) != 0;

    for (const auto &[name, text] : overrides) {
        const std::string key = Lower(name);
        if (const auto it = real.find(key); it != real.end()) {
            it->second = StrToFloatEitherPoint(text, fs);
        } else if (key == "iterationspinedit" || key == "inversecheckbox") {
            long long v = 0;
            if (!TryStrToInt(text, v) || v < std::numeric_limits<int>::min() ||
                v > std::numeric_limits<int>::max())
                throw std::invalid_argument("Значение «" + text + "» параметра " + name +
                                            " не является целым числом.");
            if (key == "iterationspinedit")
                redraw = static_cast<int>(v);
            else
                inverse = v != 0;
        } else {
            throw std::invalid_argument("Параметр " + name + " не является входным параметром задачи.");
        }
    }

    for (const ProjectRealField &f : ProjectRealFields()) {
        long double &v = real[Lower(f.Name)];
        v = ThroughField(v, f.Format, fs);
    }
    const auto get = [&](const char *name) { return real.at(Lower(name)); };
    const auto layer = [&](const char *l, const char *ro, const char *c33, const char *nu) {
        return LayerInputs{get(l), get(ro), get(c33), nu ? get(nu) : 0.0L};
    };

    EngineInputs in;
    in.RedrawEvery = redraw;
    in.PlateArea = get("Spep_QNSuperSpin");
    TaskInputs &t = in.Task;
    t.Layers[Backing] = layer("Dempfer_L_QNSuperSpin", "Dempfer_Ro_QNSuperSpin", "Dempfer_C33_QNSuperSpin",
                              "Dempfer_Nu_QNSuperSpin");
    t.Layers[Electrode1] = layer("Ag_L1_QNSuperSpin", "Ag_Ro1_QNSuperSpin", "Ag_C33_1_QNSuperSpin", nullptr);
    t.Layers[Plate] =
        layer("Piezo_L_QNSuperSpin", "Piezo_Ro_QNSuperSpin", "Piezo_C33_QNSuperSpin", "Piezo_Nu_QNSuperSpin");
    t.Layers[Electrode2] = layer("Ag_L2_QNSuperSpin", "Ag_Ro2_QNSuperSpin", "Ag_C33_2_QNSuperSpin", nullptr);
    t.Layers[Protector] = layer("Protector_L_QNSuperSpin", "Protector_Ro_QNSuperSpin",
                                "Protector_C33_QNSuperSpin", "Protector_Nu_QNSuperSpin");
    t.Layers[Liquid] = layer("Liquid_L_QNSuperSpin", "Liquid_Ro_QNSuperSpin", "Liquid_C33_QNSuperSpin",
                             "Liquid_Nu_QNSuperSpin");
    t.Layers[Sample] = layer("Sample_L_QNSuperSpin", "Sample_Ro_QNSuperSpin", "Sample_C33_QNSuperSpin",
                             "Sample_Nu_QNSuperSpin");
    t.PiezoD33 = get("Piezo_d33_QNSuperSpin");
    t.PiezoEe0 = get("Piezo_ee0_QNSuperSpin");
    t.Inverse = inverse;
    t.DeltaX = get("DeltaX_QNSuperSpin");
    t.DeltaT = get("DeltaT_QNSuperSpin");

    CircuitInputs &g = in.Generator;
    g.ChargeVoltage = get("Electro_U0_QNSuperSpin");
    g.C = get("Electro_C_QNSuperSpin");
    g.R = get("Electro_R_QNSuperSpin");
    g.L = get("Electro_L_QNSuperSpin");
    g.RL = get("Electro_RL_QNSuperSpin");
    g.Ron = get("Electro_VTRon_QNSuperSpin");
    g.Roff = get("Electro_VTRoff_QNSuperSpin");
    g.Tfront = get("Electro_VTFrontTime_QNSuperSpin");
    g.Tpulse = get("Electro_VTTime_QNSuperSpin");
    g.Ucut = get("VT_Cut_Off_QNSuperSpin");
    return in;
}
