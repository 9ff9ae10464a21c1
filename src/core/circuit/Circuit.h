// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The lumped model of the pulse generator: a charged capacitor discharged by an electronic switch
// with a timed resistance profile, loading R, L and (through RL) the piezo plate. Plain structs and
// functions; the parameter window's module holds the single instances the run advances.

#include <string>

// Circuit constants in SI units (ohm, farad, henry, second, volt).
struct CircuitConstants {
    double R = 0;      // output node to ground
    double RL = 0;     // output node to the plate
    double C = 0;      // storage capacitor between U0 and U1
    double L = 0;      // output node to ground
    double Ron = 0;    // switch resistance when on
    double Roff = 0;   // switch resistance when off
    double Tfront = 0; // duration of each switching front
    double Tpulse = 0; // pulse duration
    double Ucut = 0;   // breakdown voltage of the switch
};

// Histories of the six signals; level 0 is being computed, 1 the last completed step, 2 and 3 older.
struct CircuitSignals {
    double U0[4] = {};   // V, switch side of C
    double U1[4] = {};   // V, output node
    double Upep[4] = {}; // V, across the plate (written by the run)
    double I0[4] = {};   // A, switch current, smoothed
    double IL[4] = {};   // A, through L
    double Ipep[4] = {}; // A, through RL into the plate
};

// U0 at every level = chargeVoltage; every other signal 0.
void InitCircuitState(CircuitSignals &s, double chargeVoltage);

// Switch resistance R_VT(t) (ohm) for t in seconds.
double SwitchResistance(const CircuitConstants &c, double t);

// Extra current of the switch: above Ucut the excess voltage, below zero the whole voltage, through Ron.
double BreakdownCurrent(const CircuitConstants &c, double V);

// Four-term recursive average of the raw current with I0 levels 1..3.
double SmoothSwitchCurrent(const CircuitSignals &s, long double rawCurrent);

// Smoothed switch current for the new U0 = V at step time t.
double SwitchCurrent(const CircuitConstants &c, const CircuitSignals &s, double V, double t);

// One step: writes level 0 of U1, U0, I0, IL and Ipep from level 0 of Upep and the older levels.
// Throws FloatingPointError (and changes nothing) when the arithmetic divides by zero, overflows or
// produces an invalid result.
void CircuitStep(const CircuitConstants &c, CircuitSignals &s, double Dt, double t);

// For each signal: level 3 <- 2, 2 <- 1, 1 <- 0; level 0 keeps its value.
void ShiftCircuitLevels(CircuitSignals &s);

// Empty when every divisor of the equations (R, RL, C, L, Ron, Roff, Tfront) is non-zero and every
// constant finite; otherwise a message (UTF-8) naming the offending field by its caption.
std::string CheckCircuitConstants(const CircuitConstants &c);
