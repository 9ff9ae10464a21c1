// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The pulse generator as a circuit model: the equations of Circuit.h (CircuitStep,
// ShiftCircuitLevels) over one set of constants and histories, publishing six signals: U0, U1, Upep
// (V), I0, IL, Ipep (A).

#include "circuit/CircuitModel.h"

// The generator's six signals, in the order of its sample and of the signal window's choice.
const std::vector<SignalInfo> &GeneratorSignals();

class TGeneratorCircuit : public TCircuitModel {
public:
    const std::vector<SignalInfo> &SignalList() const override { return GeneratorSignals(); }
    void Init(const CircuitConstants &c, double chargeVoltage) override;
    void Step(double plateVoltage, double Dt, double t) override;
    void ShiftLevels() override;
    double PlateVoltage() const override { return FSignals.Upep[0]; }
    double PlateCurrent() const override { return FSignals.Ipep[1]; }
    void Sample(std::span<double> out) const override;

    const CircuitConstants &Constants() const { return FConstants; }
    CircuitSignals &Signals() { return FSignals; }
    const CircuitSignals &Signals() const { return FSignals; }

private:
    CircuitConstants FConstants;
    CircuitSignals FSignals;
};
