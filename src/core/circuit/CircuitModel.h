// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A circuit model as the engine drives it: one topology of elements around the piezo plate, with
// the signals it publishes. Each iteration the solver is driven by PlateCurrent() of the last
// completed step, the model steps with the plate voltage the solver returned, shifts its time
// levels, and Sample() gives the completed step's value of every published signal, in the order of
// SignalList(). Today's generator is TGeneratorCircuit; a topology with more elements (a cable, a
// receiver) is another class, or a subclass that appends its signals to the list.

#include <span>
#include <vector>

#include "circuit/Circuit.h"
#include "circuit/SignalInfo.h"

class TCircuitModel {
public:
    virtual ~TCircuitModel() = default;

    // The published signals; the list does not change over a model's life.
    virtual const std::vector<SignalInfo> &SignalList() const = 0;
    std::size_t SignalCount() const { return SignalList().size(); }

    // A new task: the constants in SI units and the storage capacitor's charge; histories at rest.
    virtual void Init(const CircuitConstants &c, double chargeVoltage) = 0;
    // One step at time t: the plate voltage of this step in, every other signal's level 0 out.
    // Throws FloatingPointError when the arithmetic fails (the histories but the plate voltage
    // stay as they were).
    virtual void Step(double plateVoltage, double Dt, double t) = 0;
    // Level 3 <- 2 <- 1 <- 0 for every history; level 0 keeps its value.
    virtual void ShiftLevels() = 0;

    // The plate voltage at level 0: the solver's last result, kept when a solver step fails.
    virtual double PlateVoltage() const = 0;
    // The plate current (A) of the last completed step, which drives the next solver step.
    virtual double PlateCurrent() const = 0;
    // The last completed step's value of each published signal; out.size() == SignalCount().
    virtual void Sample(std::span<double> out) const = 0;
};
