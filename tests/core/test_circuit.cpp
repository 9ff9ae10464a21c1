// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>

#include "circuit/Circuit.h"
#include "text/Errors.h"

namespace {

// The generator of the parameter window's initial values, in SI units.
CircuitConstants InitialConstants() {
    CircuitConstants c;
    c.R = 180;
    c.RL = 0.01;
    c.C = 68e-9;
    c.L = 1.2e-6;
    c.Ron = 16;
    c.Roff = 10000;
    c.Tfront = 10e-9;
    c.Tpulse = 100e-9;
    c.Ucut = 600;
    return c;
}

constexpr double kDt = 0.2e-9;

} // namespace

TEST(CircuitState, InitChargesOnlyU0) {
    CircuitSignals s;
    s.IL[2] = 5;
    s.Upep[0] = 7;
    InitCircuitState(s, 300);
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(s.U0[k], 300);
        EXPECT_EQ(s.U1[k], 0);
        EXPECT_EQ(s.Upep[k], 0);
        EXPECT_EQ(s.I0[k], 0);
        EXPECT_EQ(s.IL[k], 0);
        EXPECT_EQ(s.Ipep[k], 0);
    }
}

TEST(CircuitState, ShiftMovesEveryHistoryDownOneLevel) {
    CircuitSignals s;
    double *all[] = {s.U0, s.U1, s.Upep, s.I0, s.IL, s.Ipep};
    for (int n = 0; n < 6; ++n)
        for (int k = 0; k < 4; ++k)
            all[n][k] = 10 * n + k;
    ShiftCircuitLevels(s);
    for (int n = 0; n < 6; ++n) {
        EXPECT_EQ(all[n][0], 10 * n + 0);
        EXPECT_EQ(all[n][1], 10 * n + 0);
        EXPECT_EQ(all[n][2], 10 * n + 1);
        EXPECT_EQ(all[n][3], 10 * n + 2);
    }
}

TEST(SwitchResistance, ProfileOfTheInitialSwitch) {
    const CircuitConstants c = InitialConstants();
    EXPECT_DOUBLE_EQ(SwitchResistance(c, 0), 10000);
    EXPECT_NEAR(SwitchResistance(c, 2.5e-9), 7504, 1e-9);
    EXPECT_NEAR(SwitchResistance(c, 5e-9), 5008, 1e-9);
    EXPECT_NEAR(SwitchResistance(c, 0.2e-9), 9800.32, 1e-9);
    for (double t : {10e-9, 10.2e-9, 50e-9, 99.8e-9})
        EXPECT_EQ(SwitchResistance(c, t), 16) << t;
    EXPECT_NEAR(SwitchResistance(c, 100e-9), 16, 1e-9);
    EXPECT_NEAR(SwitchResistance(c, 105e-9), 5008, 1e-6);
    EXPECT_NEAR(SwitchResistance(c, 110e-9), 10000, 1e-6);
    EXPECT_EQ(SwitchResistance(c, 110.2e-9), 10000);
    EXPECT_EQ(SwitchResistance(c, 1e-3), 10000);
}

TEST(SwitchResistance, PulseShorterThanFrontTurnsOffAtTheFrontEnd) {
    CircuitConstants c = InitialConstants();
    c.Tpulse = 4e-9;
    // Falling front until Tfront, then the turn-off formula measured from Tpulse.
    EXPECT_NEAR(SwitchResistance(c, 8e-9), 10000 - 9984 * 0.8, 1e-6);
    EXPECT_NEAR(SwitchResistance(c, 10e-9), 16 + 9984 * 0.6, 1e-6);
    EXPECT_EQ(SwitchResistance(c, 15e-9), 10000);
}

TEST(SwitchCurrent, BreakdownAboveUcutAndReverseBelowZero) {
    const CircuitConstants c = InitialConstants();
    EXPECT_DOUBLE_EQ(BreakdownCurrent(c, 650), 3.125);
    EXPECT_DOUBLE_EQ(BreakdownCurrent(c, -10), -0.625);
    EXPECT_EQ(BreakdownCurrent(c, 600), 0);
    EXPECT_EQ(BreakdownCurrent(c, 0), 0);
    EXPECT_EQ(BreakdownCurrent(c, 300), 0);

    // With a zero history the smoothed value is a quarter of the raw current (R_VT = Roff at 200 ns).
    const CircuitSignals zero;
    EXPECT_NEAR(SwitchCurrent(c, zero, 650, 200e-9), 0.25 * 3.19, 1e-15);
    EXPECT_NEAR(SwitchCurrent(c, zero, -10, 200e-9), 0.25 * -0.626, 1e-15);
    EXPECT_NEAR(SwitchCurrent(c, zero, 600, 200e-9), 0.25 * 0.06, 1e-15);
    EXPECT_EQ(SwitchCurrent(c, zero, 0, 200e-9), 0);
}

TEST(SwitchCurrent, WithANegativeUcutReverseConductionWins) {
    CircuitConstants c = InitialConstants();
    c.Ucut = -20;
    EXPECT_DOUBLE_EQ(BreakdownCurrent(c, -10), -10 / 16.0);
    EXPECT_DOUBLE_EQ(BreakdownCurrent(c, -30), -30 / 16.0);
    EXPECT_DOUBLE_EQ(BreakdownCurrent(c, 5), (5 + 20) / 16.0);
}

TEST(SwitchCurrent, SmoothingOfAConstantRawCurrent) {
    CircuitSignals s;
    const double x = 1.0;
    const double expected[] = {0.25, 0.3125, 0.390625, 0.48828125, 0.5478515625};
    for (double e : expected) {
        s.I0[0] = SmoothSwitchCurrent(s, x);
        EXPECT_DOUBLE_EQ(s.I0[0], e * x);
        ShiftCircuitLevels(s);
    }
    for (int i = 0; i < 200; ++i) {
        s.I0[0] = SmoothSwitchCurrent(s, x);
        ShiftCircuitLevels(s);
    }
    EXPECT_NEAR(s.I0[1], x, 1e-12);
}

TEST(CircuitStep, FirstAndSecondStepOfTheInitialGenerator) {
    const CircuitConstants c = InitialConstants();
    CircuitSignals s;
    InitCircuitState(s, 300);

    s.Upep[0] = 0;
    CircuitStep(c, s, kDt, 0);
    EXPECT_EQ(s.U1[0], 0);
    EXPECT_EQ(s.U0[0], 300);
    EXPECT_DOUBLE_EQ(s.I0[0], 0.0075);
    EXPECT_EQ(s.IL[0], 0);
    EXPECT_EQ(s.Ipep[0], 0);
    ShiftCircuitLevels(s);

    s.Upep[0] = 0; // the plate current of the first step was 0
    CircuitStep(c, s, kDt, kDt);
    EXPECT_NEAR(s.U1[0], -7.4996e-5, 0.00005e-5);
    EXPECT_NEAR(s.U0[0], 299.999903, 0.0000005);
    EXPECT_NEAR(s.I0[0], 0.0095278, 0.00000005);
    EXPECT_NEAR(s.IL[0], -6.2496e-9, 0.00005e-9);
    EXPECT_NEAR(s.Ipep[0], -0.0074996, 0.00000005);
    // Ipep is U1 through RL, and IL integrates U1 by the trapezoidal rule.
    EXPECT_DOUBLE_EQ(s.Ipep[0], s.U1[0] / 0.01);
    EXPECT_NEAR(s.IL[0], s.U1[0] * kDt / 2 / 1.2e-6, 1e-20);
}

TEST(CircuitStep, KirchhoffAtTheOutputNodeHoldsEachStep) {
    const CircuitConstants c = InitialConstants();
    CircuitSignals s;
    InitCircuitState(s, 300);
    for (int n = 0; n < 2000; ++n) {
        s.Upep[0] = 0.5 * s.U1[1]; // some plate voltage
        const double i0Prev = s.I0[1], ilPrev = s.IL[1], u1Prev = s.U1[1];
        CircuitStep(c, s, kDt, n * kDt);
        const double ilHalf = ilPrev + u1Prev * kDt / 2 / c.L;
        const double residual = s.U1[0] / c.R + (ilHalf + s.U1[0] * kDt / 2 / c.L) + s.Ipep[0] + i0Prev;
        EXPECT_NEAR(residual, 0, 1e-9 * (1 + std::fabs(s.Ipep[0]))) << n;
        ShiftCircuitLevels(s);
    }
    // The capacitor discharges through the switch once it is on: U0 - U1 has fallen.
    EXPECT_LT(s.U0[1] - s.U1[1], 300);
}

TEST(CircuitStep, ZeroDivisorThrowsAndChangesNothing) {
    CircuitConstants c = InitialConstants();
    c.L = 0;
    CircuitSignals s;
    InitCircuitState(s, 300);
    ShiftCircuitLevels(s);
    const CircuitSignals before = s;
    EXPECT_THROW(CircuitStep(c, s, kDt, 0), FloatingPointError);
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(s.U0[k], before.U0[k]);
        EXPECT_EQ(s.U1[k], before.U1[k]);
        EXPECT_EQ(s.I0[k], before.I0[k]);
    }
}

TEST(CheckCircuitConstants, AcceptsTheInitialGenerator) {
    EXPECT_EQ(CheckCircuitConstants(InitialConstants()), "");
}

TEST(CheckCircuitConstants, NamesEachZeroDivisor) {
    struct Case {
        double CircuitConstants::*field;
        const char *caption;
    };
    const Case cases[] = {
        {&CircuitConstants::R, "«Резистор R (Ом)»"},
        {&CircuitConstants::RL, "«Резистор RL (Ом)»"},
        {&CircuitConstants::C, "«Конденсатор С (нФ)»"},
        {&CircuitConstants::L, "«Индуктивность L (мкГ)»"},
        {&CircuitConstants::Ron, "«Сопротивление ключа в открытом состоянии (Ом)»"},
        {&CircuitConstants::Roff, "«Сопротивление ключа в закрытом состоянии (Ом)»"},
        {&CircuitConstants::Tfront, "«Длительность фронта (нс)»"},
    };
    for (const Case &k : cases) {
        CircuitConstants c = InitialConstants();
        c.*k.field = 0;
        const std::string msg = CheckCircuitConstants(c);
        EXPECT_NE(msg.find(k.caption), std::string::npos) << msg;
        EXPECT_NE(msg.find("равен нулю"), std::string::npos) << msg;
    }
}

TEST(CheckCircuitConstants, ZeroPulseAndCutOffAreAllowedButNotInfinity) {
    CircuitConstants c = InitialConstants();
    c.Tpulse = 0;
    c.Ucut = 0;
    EXPECT_EQ(CheckCircuitConstants(c), "");
    c.Ucut = INFINITY;
    EXPECT_NE(CheckCircuitConstants(c).find("«Напряжение пробоя VT (В)»"), std::string::npos);
    c = InitialConstants();
    c.R = NAN;
    EXPECT_NE(CheckCircuitConstants(c).find("«Резистор R (Ом)»"), std::string::npos);
}
