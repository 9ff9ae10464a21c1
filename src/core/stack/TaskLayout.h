// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Layout of a new task: the stack thickness, the grid length and steps, the node index of every
// layer boundary and the material constants each layer gives its nodes. A pure computation over
// the input values; applying it to the solver's grid is a separate step, so that a task that
// cannot be computed is refused before anything changes.

#include <array>
#include <cstdint>
#include <string>

// One layer's inputs as the fields hold them (extended precision, input units).
class TSolver;

struct LayerInputs {
    long double Thickness = 0; // mm
    long double Rho = 0;       // kg/m^3
    long double C33 = 0;       // GPa
    long double Eta = 0;       // Pa*s
};

enum LayerIndex { Backing, Electrode1, Plate, Electrode2, Protector, Liquid, Sample, LayerCount };

struct TaskInputs {
    std::array<LayerInputs, LayerCount> Layers{};
    long double PiezoD33 = 0; // 1e-12 C/N
    long double PiezoEe0 = 0; // relative permittivity
    bool Inverse = false;     // polarisation inverted
    long double DeltaX = 0;   // µm
    long double DeltaT = 0;   // ns
};

struct LayerMaterial {
    int32_t First = 0;
    int32_t Last = 0;
    double Rho = 0, C33 = 0, Eta = 0, PiezoE33 = 0, Eps = 0;
};

struct TaskLayout {
    double T = 0;  // stack thickness, m
    double L = 0;  // grid length, m
    double Dx = 0; // m
    double Dt = 0; // s
    int64_t N = 0; // node count InitGrid will give (0 when it cannot be computed)
    // Boundary node indices in marker order: outer face of the backing, the six inner boundaries,
    // far face of the test object.
    std::array<int64_t, 8> Boundaries{};
    std::array<LayerMaterial, LayerCount> Materials{};
    int32_t PiezoFirst = 0;
    int32_t PiezoLast = 0;
};

// Positions, indices and materials, with the arithmetic of task construction (conversion factors
// in extended precision, every named quantity held as a double, indices truncated toward zero).
TaskLayout PlanTask(const TaskInputs &in);

// Why the layer thicknesses cannot be placed, as a Russian sentence naming the field; empty when
// they can. A negative or non-finite thickness is refused before the layout is planned: a negative
// one would fold the stack back over its neighbours.
std::string CheckLayerThicknesses(const TaskInputs &in);

// Why the layout cannot be computed, as a Russian sentence for the user; empty when it can.
// Checks the spatial and time steps, the node count (int32 range and available memory), that every
// layer lies inside the grid, that the piezo plate can carry the difference stencils and spans at
// least two nodes, and the constants of every layer that keeps nodes of its own (density > 0,
// modulus and viscosity >= 0, all finite; the plate's permittivity > 0 and its constant finite).
std::string CheckTaskLayout(const TaskLayout &layout);

// How many nodes of the grid carry layer k's constants once every later layer has been set
// (a later layer wins a shared node).
int64_t OwnNodeCount(const TaskLayout &layout, int k);

// The caption of a layer's field as the parameter window names it, "Пъезоэлемент, Толщина (мм)".
// row: 0 thickness, 1 density, 2 modulus C33, 3 viscosity.
std::string LayerFieldCaption(int layer, int row);

// The refusal of a field whose value is not a finite number, naming it by its caption.
std::string NotFiniteRefusal(const std::string &caption);

// Builds the solver's grid from the layout: InitGrid, one SetMaterial per layer in stack order,
// PiezoFirst and PiezoLast. Returns the node count.
int32_t ApplyTaskLayout(TSolver &solver, const TaskLayout &layout);
