// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What happens at an outer end of the grid and inside a material with memory: the two places where
// a model plugs into the time step without the step knowing it.
//
// The step updates nodes 2 .. N - 3; the two outer nodes at each end are the end's. An end
// condition is called on the calling thread after the velocity sweep (before the field and stress
// sweeps read the new velocities) and after the stress sweep, and may write level 0 of its own
// nodes; a floating-point fault it causes counts as one of that sweep.

#include <cstdint>

#include "solver/Grid.h"

enum class GridEnd { Left, Right };

struct EndNodes {
    GridEnd End;
    int32_t First; // the end's nodes: 0 .. 1 on the left, N - 2 .. N - 1 on the right
    int32_t Last;
    GridNode *Grid;                       // every node's fields
    const NodeCoefficients *Coefficients; // every node's coefficients
    double Dx;                            // m
    double Dt;                            // s
};

class EndCondition {
public:
    virtual ~EndCondition() = default;
    virtual void AfterVelocity(const EndNodes &end) = 0;
    virtual void AfterStress(const EndNodes &end) = 0;
};

// The ends as they always were: the outer nodes are never updated, so with a grid at rest they are
// held at zero velocity and stress (a rigid, stress-free clamp of the difference stencils).
class HeldEnd final : public EndCondition {
public:
    void AfterVelocity(const EndNodes &) override {}
    void AfterStress(const EndNodes &) override {}
};

// A material's memory (relaxation terms) in the stress update: one variable per node that the
// solver keeps for the model. Stress() is called for every updated node with the stress that the
// elastic, viscous and piezoelectric terms give, the node's strain rate of this step and its memory
// variable after the previous step; it sets the variable's new value and returns the node's new
// stress. It runs on the solver's threads at once and never yields. A sweep may be computed again
// (when a yield handler left fault flags): the same inputs must give the same results.
class StressMemory {
public:
    virtual ~StressMemory() = default;
    virtual double Stress(int32_t node, double stress, double strainRate, double memoryBefore,
                          double &memory) const = 0;
};
