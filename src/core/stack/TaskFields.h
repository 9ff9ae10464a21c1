// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The fields of a task, one table for every place that knows them: the parameter window
// creates its fields from it, the project reader and the batch line's --set read and replace
// them by name, and the windows build a task from them. Each field has its window's section in a
// project file, its control name, initial value, number format, caption and the input it sets.

#include <string>
#include <string_view>
#include <vector>

#include "run/Engine.h"
#include "stack/TaskStack.h"
#include "text/NumEditRules.h"

// Sections of a project file, named after their windows.
inline constexpr const char *kMainFormSection = "MainForm";
inline constexpr const char *kParametersFormSection = "ParametersForm";

// What a field's value sets in EngineInputs.
enum class TaskInput {
    Thickness, // of Layer, mm
    Density,   // of Layer, kg/m^3
    Stiffness, // of Layer, GPa
    Viscosity, // of Layer, Pa*s
    PiezoD33,
    RelativePermittivity,
    PlateArea,
    PolarizationInverted, // a check box: 0 or 1
    ChargeVoltage,
    CapacitorC,
    ResistorR,
    InductanceL,
    ResistorRL,
    SwitchOnResistance,
    SwitchOffResistance,
    FrontTime,
    PulseTime,
    CutOffVoltage,
    DeltaX,
    DeltaT,
};

struct TaskField {
    const char *Section;
    const char *Name; // control name and project-file key
    long double Initial;
    TNumberFormat Format;
    // The caption beside the field, marked for translation in its window's context; a caption on
    // two lines has its second line apart. A layer's field has its row head here, its column head
    // is the layer's name (TaskLayerName).
    const char *Caption;
    const char *CaptionSecondLine;
    TaskInput Sets;
    LayerIndex Layer; // the layer of a layer quantity, LayerCount for the others
};

// Every field of a task: the parameter window's in its tab order (the order a project file lists
// them), then the main window's. All are numeric fields but the polarisation check box.
const std::vector<TaskField> &TaskFields();

inline bool IsCheckBox(const TaskField &field) {
    return field.Sets == TaskInput::PolarizationInverted;
}

// The field of a control name (any letter case); null when there is none.
const TaskField *FindTaskField(std::string_view name);

// The whole caption as one line, untranslated: "Демпфер, Толщина (мм)", "Относительная
// диэлектрическая проницаемость".
std::string TaskFieldCaption(const TaskField &field);

// Stores a field's value where it belongs in the inputs of a task (the values in the field's units).
void SetTaskInput(EngineInputs &inputs, const TaskField &field, long double value);
