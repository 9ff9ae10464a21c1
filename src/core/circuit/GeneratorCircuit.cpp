// SPDX-License-Identifier: GPL-3.0-or-later
#include "circuit/GeneratorCircuit.h"

#include <cassert>

#include "text/CoreTexts.h"

const std::vector<SignalInfo> &GeneratorSignals() {
    // The captions are the signal window's; translated where it shows them.
    static const std::vector<SignalInfo> list = {
        {"U0", "V", QT_TRANSLATE_NOOP("TElectroForm", "Напряжение U0")},
        {"U1", "V", QT_TRANSLATE_NOOP("TElectroForm", "Напряжение U1")},
        {"Upep", "V", QT_TRANSLATE_NOOP("TElectroForm", "Напряжение Upep")},
        {"I0", "A", QT_TRANSLATE_NOOP("TElectroForm", "Ток I0")},
        {"IL", "A", QT_TRANSLATE_NOOP("TElectroForm", "Ток IL")},
        {"Ipep", "A", QT_TRANSLATE_NOOP("TElectroForm", "Ток Ipep")},
    };
    return list;
}

void TGeneratorCircuit::Init(const CircuitConstants &c, double chargeVoltage) {
    FConstants = c;
    InitCircuitState(FSignals, chargeVoltage);
}

void TGeneratorCircuit::Step(double plateVoltage, double Dt, double t) {
    FSignals.Upep[0] = plateVoltage;
    CircuitStep(FConstants, FSignals, Dt, t);
}

void TGeneratorCircuit::ShiftLevels() {
    ShiftCircuitLevels(FSignals);
}

void TGeneratorCircuit::Sample(std::span<double> out) const {
    assert(out.size() == 6);
    out[0] = FSignals.U0[1];
    out[1] = FSignals.U1[1];
    out[2] = FSignals.Upep[1];
    out[3] = FSignals.I0[1];
    out[4] = FSignals.IL[1];
    out[5] = FSignals.Ipep[1];
}
