// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A stack placed on the grid: the stack thickness, the grid length and steps, the node index of
// every layer boundary and the material constants each layer gives its nodes. A pure computation
// over the stack; applying it to the solver's grid is a separate step, so that a task that cannot
// be computed is refused before anything changes.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "stack/Stack.h"
#include "stack/TaskStack.h"

class TSolver;

// A layer on the grid: its nodes and the constants it gives them (SI units).
struct PlacedLayer {
    std::string Name; // names the layer's fields in refusals
    int32_t First = 0;
    int32_t Last = 0;
    double Density = 0, Stiffness = 0, Viscosity = 0, PiezoE33 = 0, Permittivity = 0;
};

struct TaskLayout {
    double T = 0;  // stack thickness, m
    double L = 0;  // grid length, m
    double Dx = 0; // m
    double Dt = 0; // s
    int64_t N = 0; // node count InitGrid will give (0 when it cannot be computed)
    // Boundary node indices in stack order: the first layer's outer face, the inner boundaries,
    // the last layer's far face (one more than there are layers).
    std::vector<int64_t> Boundaries;
    std::vector<PlacedLayer> Materials; // one per layer, in stack order
    std::size_t PlateIndex = 0;
    int32_t PiezoFirst = 0;
    int32_t PiezoLast = 0;
};

// Places a stack on a grid of spatial step deltaX (µm) and time step deltaT (ns): the grid is
// 1.1 times the stack long, the stack starts 5 % of that in. The arithmetic of task construction:
// conversion factors in extended precision, every named quantity held as a double, indices
// truncated toward zero. Any number of layers; a later layer wins a shared node.
TaskLayout PlaceStack(const Stack &stack, long double deltaX, long double deltaT);

// The parameter window's task placed: PlaceStack(BuildTaskStack(in), in.DeltaX, in.DeltaT).
TaskLayout PlanTask(const TaskInputs &in);

// Why the layout cannot be computed, as a Russian sentence for the user; empty when it can.
// Checks the spatial and time steps, the node count (int32 range and available memory), that every
// layer lies inside the grid, that the piezo plate can carry the difference stencils and spans at
// least two nodes, and the constants of every layer that keeps nodes of its own (density > 0,
// modulus and viscosity >= 0, all finite; the plate's permittivity > 0 and its constant finite).
std::string CheckTaskLayout(const TaskLayout &layout);

// How many nodes of the grid carry layer k's constants once every later layer has been set
// (a later layer wins a shared node).
int64_t OwnNodeCount(const TaskLayout &layout, std::size_t k);

// Builds the solver's grid from the layout: InitGrid, one SetMaterial per layer in stack order,
// PiezoFirst and PiezoLast. Returns the node count.
int32_t ApplyTaskLayout(TSolver &solver, const TaskLayout &layout);
