// SPDX-License-Identifier: GPL-3.0-or-later
#include "stack/TaskStack.h"

#include <cmath>

#include "text/CoreTexts.h"

namespace {

// The parameter window's captions of the layer grid: its column heads and row heads.
constexpr const char *kLayerNames[LayerCount] = {QT_TRANSLATE_NOOP("TParametersForm", "Демпфер"),
                                                 QT_TRANSLATE_NOOP("TParametersForm", "Электрод 1"),
                                                 QT_TRANSLATE_NOOP("TParametersForm", "Пъезоэлемент"),
                                                 QT_TRANSLATE_NOOP("TParametersForm", "Электрод 2"),
                                                 QT_TRANSLATE_NOOP("TParametersForm", "Протектор"),
                                                 QT_TRANSLATE_NOOP("TParametersForm", "Слой жидкости"),
                                                 QT_TRANSLATE_NOOP("TParametersForm", "Изделие")};
constexpr const char *kRowCaptions[RowCount] = {QT_TRANSLATE_NOOP("TParametersForm", "Толщина (мм)"),
                                                QT_TRANSLATE_NOOP("TParametersForm", "Плотность (кГ/м^3)"),
                                                QT_TRANSLATE_NOOP("TParametersForm", "Модуль С33 (ГПа)"),
                                                QT_TRANSLATE_NOOP("TParametersForm", "Вязкость (Па/c)")};

constexpr LayerRole kRoles[LayerCount] = {LayerRole::Backing,   LayerRole::Electrode, LayerRole::Plate,
                                          LayerRole::Electrode, LayerRole::Protector, LayerRole::Liquid,
                                          LayerRole::TestObject};

} // namespace

const char *TaskLayerName(int layer) {
    return kLayerNames[layer];
}

const char *LayerRowCaption(int row) {
    return kRowCaptions[row];
}

std::string LayerFieldCaption(const std::string &layerName, int row) {
    return layerName + ", " + kRowCaptions[row];
}

std::string LayerFieldCaption(int layer, int row) {
    return LayerFieldCaption(kLayerNames[layer], row);
}

std::string NotFiniteRefusal(const std::string &caption) {
    return "Параметр «" + caption + "» не является конечным числом: задача не может быть рассчитана.";
}

Stack BuildTaskStack(const TaskInputs &in) {
    Stack stack;
    stack.PlateIndex = Plate;
    for (int k = Backing; k < LayerCount; ++k) {
        const LayerInputs &f = in.Layers[k];
        Layer layer;
        layer.Name = kLayerNames[k];
        layer.Role = kRoles[k];
        layer.ThicknessMm = f.ThicknessMm;
        Material &m = layer.Material;
        m.Density = f.Density;
        m.StiffnessGPa = f.StiffnessGPa;
        m.Viscosity = layer.Role == LayerRole::Electrode ? 0.0L : f.Viscosity;
        m.Permittivity = (k == Liquid || k == Sample) ? kVacuumPermittivity : kShieldedPermittivity;
        if (k == Plate) {
            m.Piezoelectric = true;
            m.PiezoD33pCN = in.PiezoD33;
            m.RelativePermittivity = in.RelativePermittivity;
            m.PolarizationInverted = in.Inverse;
        }
        stack.Layers.push_back(layer);
    }
    return stack;
}

std::string CheckLayerThicknesses(const Stack &stack) {
    for (const Layer &layer : stack.Layers) {
        // In metres as the placement holds it: a thickness beyond the double range is not finite there.
        const long double t = layer.ThicknessMm;
        if (!std::isfinite(static_cast<double>(t * 0.001L)))
            return NotFiniteRefusal(LayerFieldCaption(layer.Name, RowThickness));
        if (t < 0)
            return "Параметр «" + LayerFieldCaption(layer.Name, RowThickness) +
                   "» меньше нуля: задача не может быть рассчитана.";
    }
    return {};
}

std::string CheckLayerThicknesses(const TaskInputs &in) {
    return CheckLayerThicknesses(BuildTaskStack(in));
}
