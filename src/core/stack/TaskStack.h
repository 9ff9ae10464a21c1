// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The task of the parameter window: seven layers in a fixed order, the plate's piezoelectric
// constants and the grid steps, as the fields hold them. BuildTaskStack turns it into a Stack.

#include <array>
#include <string>

#include "stack/Stack.h"

// One layer's inputs as the fields hold them (extended precision, input units).
struct LayerInputs {
    long double ThicknessMm = 0;
    long double Density = 0;      // kg/m^3
    long double StiffnessGPa = 0; // c33
    long double Viscosity = 0;    // Pa*s; the electrodes have no field of it and ignore it
};

// The window's layers in stack order (its columns left to right).
enum LayerIndex { Backing, Electrode1, Plate, Electrode2, Protector, Liquid, Sample, LayerCount };

struct TaskInputs {
    std::array<LayerInputs, LayerCount> Layers{};
    long double PiezoD33 = 0;             // 1e-12 C/N
    long double RelativePermittivity = 0; // of the plate
    bool Inverse = false;                 // polarisation inverted
    long double DeltaX = 0;               // µm
    long double DeltaT = 0;               // ns
};

// The seven layers as a stack: names from the window's column heads, the plate's constants on
// its material, zero viscosity on the electrodes, the shielded permittivity on the backing, the
// electrodes and the protector, the vacuum's on the liquid and the test object.
Stack BuildTaskStack(const TaskInputs &in);

// The window's column head of a layer ("Демпфер"), untranslated.
const char *TaskLayerName(int layer);

// A layer's quantities as the rows of the window's layer grid name them.
enum LayerRow { RowThickness, RowDensity, RowModulus, RowViscosity, RowCount };
// The row head ("Толщина (мм)"), untranslated.
const char *LayerRowCaption(int row);

// The caption of a layer's field, "<layer name>, <row head>" ("Пъезоэлемент, Толщина (мм)").
std::string LayerFieldCaption(const std::string &layerName, int row);
std::string LayerFieldCaption(int layer, int row);

// The refusal of a field whose value is not a finite number, naming it by its caption.
std::string NotFiniteRefusal(const std::string &caption);

// Why the layer thicknesses cannot be placed, as a Russian sentence naming the field; empty when
// they can. A negative or non-finite thickness is refused before the layout is planned: a negative
// one would fold the stack back over its neighbours.
std::string CheckLayerThicknesses(const Stack &stack);
std::string CheckLayerThicknesses(const TaskInputs &in);
