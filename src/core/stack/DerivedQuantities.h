// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Quantities the parameter window derives from the layer inputs: sound speed and acoustic impedance
// of each layer, and the static capacitance, thickness resonance and matching inductance of the
// piezo plate. Inputs in the window's units; results in SI units with validity flags.

#include <array>

#include "stack/TaskStack.h"

// One layer's inputs.
struct LayerElastics {
    double Density = 0;      // kg/m^3
    double StiffnessGPa = 0; // c33
};

// A layer's derived pair. Valid is false when the density is not positive or the result is not a
// finite real number (a negative modulus); CL and Z are then meaningless.
struct LayerAcoustics {
    bool Valid = false;
    double CL = 0; // m/s
    double Z = 0;  // kg/(m^2 s)
};

struct DerivedInputs {
    std::array<LayerElastics, LayerCount> Layers{}; // the window's layers; the plate is Layers[Plate]
    double PlateThicknessMm = 0;
    double RelativePermittivity = 0; // of the plate
    double PlateAreaMm2 = 0; // mm^2
};

struct DerivedResults {
    std::array<LayerAcoustics, LayerCount> Layers{};
    bool C0Valid = false; // finite static capacitance
    double C0 = 0;        // F (1e-16 when the plate thickness is 0)
    bool FValid = false;  // positive plate density and a finite frequency
    double F = 0;         // Hz (1.0 when the plate thickness is 0)
    bool LcValid = false; // frequency valid and the inductance finite
    double Lc = 0;        // H
};

LayerAcoustics ComputeLayerAcoustics(const LayerElastics &m);
DerivedResults ComputeDerivedQuantities(const DerivedInputs &in);
