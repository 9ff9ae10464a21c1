// SPDX-License-Identifier: GPL-3.0-or-later
#include "stack/TaskFields.h"

#include <algorithm>
#include <cctype>

#include "text/CoreTexts.h"

namespace {

constexpr auto kStd = TNumberFormat::Standard;
constexpr auto kGroup = TNumberFormat::Thousands;
constexpr const char *kParams = kParametersFormSection;

// A layer's field: its caption is the layer's name and the row head.
TaskField LayerField(const char *name, long double initial, TNumberFormat format, LayerIndex layer,
                     LayerRow row) {
    static constexpr TaskInput kInputs[RowCount] = {TaskInput::Thickness, TaskInput::Density,
                                                    TaskInput::Stiffness, TaskInput::Viscosity};
    return {kParams, name, initial, format, LayerRowCaption(row), nullptr, kInputs[row], layer};
}

TaskField Field(const char *section, const char *name, long double initial, TNumberFormat format,
                const char *caption, const char *secondLine, TaskInput sets) {
    return {section, name, initial, format, caption, secondLine, sets, LayerCount};
}

std::string Trimmed(std::string s) {
    while (!s.empty() && s.back() == ' ')
        s.pop_back();
    return s;
}

} // namespace

const std::vector<TaskField> &TaskFields() {
    using In = TaskInput;
    // clang-format off
    static const std::vector<TaskField> fields = {
        Field(kParams, "Electro_C_QNSuperSpin", 68, kGroup,
              QT_TRANSLATE_NOOP("TParametersForm", "Конденсатор С (нФ)"), nullptr, In::CapacitorC),
        Field(kParams, "Electro_R_QNSuperSpin", 180, kGroup,
              QT_TRANSLATE_NOOP("TParametersForm", "Резистор R (Ом)"), nullptr, In::ResistorR),
        Field(kParams, "Electro_L_QNSuperSpin", 1.2L, kStd,
              QT_TRANSLATE_NOOP("TParametersForm", "Индуктивность L (мкГ)"), nullptr, In::InductanceL),
        Field(kParams, "Electro_U0_QNSuperSpin", 300, kStd,
              QT_TRANSLATE_NOOP("TParametersForm", "Напряжение заряда"),
              QT_TRANSLATE_NOOP("TParametersForm", "на конденсаторе С (В)"), In::ChargeVoltage),
        Field(kParams, "Electro_VTRon_QNSuperSpin", 16, kStd,
              QT_TRANSLATE_NOOP("TParametersForm", "Сопротивление ключа"),
              QT_TRANSLATE_NOOP("TParametersForm", "в открытом состоянии (Ом)"), In::SwitchOnResistance),
        Field(kParams, "Electro_VTRoff_QNSuperSpin", 10000, kGroup,
              QT_TRANSLATE_NOOP("TParametersForm", "Сопротивление ключа"),
              QT_TRANSLATE_NOOP("TParametersForm", "в закрытом состоянии (Ом)"), In::SwitchOffResistance),
        Field(kParams, "Electro_VTFrontTime_QNSuperSpin", 10, kStd,
              QT_TRANSLATE_NOOP("TParametersForm", "Длительность фронта (нс)"), nullptr, In::FrontTime),
        Field(kParams, "Electro_VTTime_QNSuperSpin", 100, kStd,
              QT_TRANSLATE_NOOP("TParametersForm", "Длительность импульса ЗИ (нс)"), nullptr, In::PulseTime),
        Field(kParams, "VT_Cut_Off_QNSuperSpin", 600, kStd,
              QT_TRANSLATE_NOOP("TParametersForm", "Напряжение пробоя VT (В)"), nullptr, In::CutOffVoltage),
        Field(kParams, "Electro_RL_QNSuperSpin", 0.01L, kGroup,
              QT_TRANSLATE_NOOP("TParametersForm", "Резистор RL (Ом)"), nullptr, In::ResistorRL),
        LayerField("Protector_Ro_QNSuperSpin", 2650, kGroup, Protector, RowDensity),
        LayerField("Piezo_Ro_QNSuperSpin", 7600, kGroup, Plate, RowDensity),
        LayerField("Dempfer_Nu_QNSuperSpin", 650, kStd, Backing, RowViscosity),
        LayerField("Dempfer_L_QNSuperSpin", 6, kStd, Backing, RowThickness),
        LayerField("Dempfer_C33_QNSuperSpin", 67, kStd, Backing, RowModulus),
        LayerField("Dempfer_Ro_QNSuperSpin", 8200, kGroup, Backing, RowDensity),
        LayerField("Piezo_L_QNSuperSpin", 0.4L, kStd, Plate, RowThickness),
        LayerField("Protector_L_QNSuperSpin", 0.5L, kStd, Protector, RowThickness),
        LayerField("Liquid_L_QNSuperSpin", 0, kStd, Liquid, RowThickness),
        LayerField("Sample_L_QNSuperSpin", 16, kStd, Sample, RowThickness),
        LayerField("Liquid_Ro_QNSuperSpin", 1000, kGroup, Liquid, RowDensity),
        LayerField("Sample_Ro_QNSuperSpin", 7800, kGroup, Sample, RowDensity),
        LayerField("Piezo_C33_QNSuperSpin", 121, kStd, Plate, RowModulus),
        LayerField("Protector_C33_QNSuperSpin", 90, kStd, Protector, RowModulus),
        LayerField("Liquid_C33_QNSuperSpin", 2.25L, kStd, Liquid, RowModulus),
        LayerField("Sample_C33_QNSuperSpin", 275, kStd, Sample, RowModulus),
        LayerField("Piezo_Nu_QNSuperSpin", 30, kStd, Plate, RowViscosity),
        LayerField("Protector_Nu_QNSuperSpin", 20, kStd, Protector, RowViscosity),
        LayerField("Liquid_Nu_QNSuperSpin", 0, kStd, Liquid, RowViscosity),
        LayerField("Sample_Nu_QNSuperSpin", 0, kStd, Sample, RowViscosity),
        Field(kParams, "Piezo_d33_QNSuperSpin", 40, kGroup,
              QT_TRANSLATE_NOOP("TParametersForm", "Пъезомодуль d33 (Кл/Н) = (м/В) 10^-12"), nullptr,
              In::PiezoD33),
        Field(kParams, "Piezo_ee0_QNSuperSpin", 1300, kStd,
              QT_TRANSLATE_NOOP("TParametersForm", "Относительная диэлектрическая "),
              QT_TRANSLATE_NOOP("TParametersForm", "проницаемость "), In::RelativePermittivity),
        Field(kParams, "Spep_QNSuperSpin", 50, kStd,
              QT_TRANSLATE_NOOP("TParametersForm", "Площадь пъезопластины (мм^2)"), nullptr, In::PlateArea),
        LayerField("Ag_L2_QNSuperSpin", 0.02L, kStd, Electrode2, RowThickness),
        LayerField("Ag_Ro2_QNSuperSpin", 10500, kGroup, Electrode2, RowDensity),
        LayerField("Ag_C33_2_QNSuperSpin", 82.7L, kStd, Electrode2, RowModulus),
        LayerField("Ag_L1_QNSuperSpin", 0.02L, kStd, Electrode1, RowThickness),
        LayerField("Ag_Ro1_QNSuperSpin", 10500, kGroup, Electrode1, RowDensity),
        LayerField("Ag_C33_1_QNSuperSpin", 82.7L, kStd, Electrode1, RowModulus),
        Field(kParams, "InverseCheckBox", 0, kStd,
              QT_TRANSLATE_NOOP("TParametersForm", "инверсия поляризации"), nullptr,
              In::PolarizationInverted),
        Field(kMainFormSection, "DeltaX_QNSuperSpin", 10, kStd,
              QT_TRANSLATE_NOOP("TMainForm", "Шаг в пространстве (мкм)"), nullptr, In::DeltaX),
        Field(kMainFormSection, "DeltaT_QNSuperSpin", 0.2L, kStd,
              QT_TRANSLATE_NOOP("TMainForm", "Шаг во времени (нс)"), nullptr, In::DeltaT),
    };
    // clang-format on
    return fields;
}

const TaskField *FindTaskField(std::string_view name) {
    const auto same = [name](const TaskField &f) {
        const std::string_view n(f.Name);
        return n.size() == name.size() && std::equal(n.begin(), n.end(), name.begin(), [](char a, char b) {
                   return std::tolower(static_cast<unsigned char>(a)) ==
                          std::tolower(static_cast<unsigned char>(b));
               });
    };
    const auto &fields = TaskFields();
    const auto it = std::find_if(fields.begin(), fields.end(), same);
    return it == fields.end() ? nullptr : &*it;
}

std::string TaskFieldCaption(const TaskField &field) {
    if (field.Layer != LayerCount)
        return std::string(TaskLayerName(field.Layer)) + ", " + field.Caption;
    if (field.CaptionSecondLine)
        return Trimmed(field.Caption) + ' ' + Trimmed(field.CaptionSecondLine);
    return field.Caption;
}

void SetTaskInput(EngineInputs &inputs, const TaskField &field, long double value) {
    TaskInputs &task = inputs.Task;
    CircuitInputs &g = inputs.Generator;
    switch (field.Sets) {
    case TaskInput::Thickness:
        task.Layers[field.Layer].ThicknessMm = value;
        break;
    case TaskInput::Density:
        task.Layers[field.Layer].Density = value;
        break;
    case TaskInput::Stiffness:
        task.Layers[field.Layer].StiffnessGPa = value;
        break;
    case TaskInput::Viscosity:
        task.Layers[field.Layer].Viscosity = value;
        break;
    case TaskInput::PiezoD33:
        task.PiezoD33 = value;
        break;
    case TaskInput::RelativePermittivity:
        task.RelativePermittivity = value;
        break;
    case TaskInput::PlateArea:
        inputs.PlateAreaMm2 = value;
        break;
    case TaskInput::PolarizationInverted:
        task.Inverse = value != 0;
        break;
    case TaskInput::ChargeVoltage:
        g.ChargeVoltage = value;
        break;
    case TaskInput::CapacitorC:
        g.C = value;
        break;
    case TaskInput::ResistorR:
        g.R = value;
        break;
    case TaskInput::InductanceL:
        g.L = value;
        break;
    case TaskInput::ResistorRL:
        g.RL = value;
        break;
    case TaskInput::SwitchOnResistance:
        g.Ron = value;
        break;
    case TaskInput::SwitchOffResistance:
        g.Roff = value;
        break;
    case TaskInput::FrontTime:
        g.Tfront = value;
        break;
    case TaskInput::PulseTime:
        g.Tpulse = value;
        break;
    case TaskInput::CutOffVoltage:
        g.Ucut = value;
        break;
    case TaskInput::DeltaX:
        task.DeltaX = value;
        break;
    case TaskInput::DeltaT:
        task.DeltaT = value;
        break;
    }
}
