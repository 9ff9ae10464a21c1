// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The transducer as a stack of layers: each layer's material and thickness, which layer is the
// piezoelectric plate, and the condition at the stack's two outer ends. A description only;
// PlaceStack (TaskLayout.h) puts it on the solver's grid.
//
// Values keep the units and the extended precision of the inputs they come from, so that placing
// a stack converts them exactly as the task construction always has.

#include <cstddef>
#include <string>
#include <vector>

// The permittivity a passive layer gives its nodes (F/m).
constexpr double kShieldedPermittivity = 1e22; // metal or backing: the field there stays zero
constexpr double kVacuumPermittivity = 8.85e-12;

struct Material {
    long double Density = 0;      // kg/m^3
    long double StiffnessGPa = 0; // the modulus c33
    long double Viscosity = 0;    // Pa*s
    // A piezoelectric material: its d33 (1e-12 C/N, as the field gives it) becomes the stress
    // constant e33 = c33 d33, its relative permittivity the nodes' permittivity.
    bool Piezoelectric = false;
    long double PiezoD33pCN = 0;
    long double RelativePermittivity = 0;
    bool PolarizationInverted = false;
    // The absolute permittivity of a passive material (F/m).
    double Permittivity = kShieldedPermittivity;
};

enum class LayerRole { Backing, Electrode, Plate, Protector, Liquid, TestObject, Matching, Other };

struct Layer {
    std::string Name; // the caption a person reads, e.g. "Демпфер"
    LayerRole Role = LayerRole::Other;
    long double ThicknessMm = 0;
    ::Material Material;
};

// What lies beyond an outer end of the stack. GridEdge: the grid goes on a little past the layers
// and the fields are held at zero beyond its computed nodes.
enum class StackEnd { GridEdge };

struct Stack {
    std::vector<Layer> Layers;  // from the grid's first node on
    std::size_t PlateIndex = 0; // the layer that carries the electric field and the electrodes' voltage
    StackEnd LeftEnd = StackEnd::GridEdge;
    StackEnd RightEnd = StackEnd::GridEdge;
};
