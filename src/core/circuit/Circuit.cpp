// SPDX-License-Identifier: GPL-3.0-or-later
#include "circuit/Circuit.h"

#include <cfenv>
#include <cmath>

#include "text/Errors.h"

namespace {

using Ext = long double;

void Shift(double (&h)[4]) {
    h[3] = h[2];
    h[2] = h[1];
    h[1] = h[0];
}

} // namespace

void InitCircuitState(CircuitSignals &s, double chargeVoltage) {
    s = CircuitSignals{};
    for (double &u : s.U0)
        u = chargeVoltage;
}

double SwitchResistance(const CircuitConstants &c, double t) {
    const Ext tt = t;
    const Ext dR = std::fabs(Ext(c.Roff) - Ext(c.Ron));
    if (tt >= 0 && tt < c.Tfront)
        return static_cast<double>(std::fabs(Ext(c.Roff) - dR * tt / Ext(c.Tfront)));
    if (tt >= c.Tfront && tt < c.Tpulse)
        return c.Ron;
    if (tt >= c.Tpulse && tt <= Ext(c.Tpulse) + Ext(c.Tfront))
        return static_cast<double>(std::fabs(Ext(c.Ron) + dR * (tt - Ext(c.Tpulse)) / Ext(c.Tfront)));
    // After the pulse, and (never reached by the run) before time 0: the switch is off.
    return c.Roff;
}

double BreakdownCurrent(const CircuitConstants &c, double V) {
    // Reverse conduction is tested second and wins, which matters only for a negative Ucut.
    if (V < 0)
        return static_cast<double>(Ext(V) / Ext(c.Ron));
    if (V > c.Ucut)
        return static_cast<double>((Ext(V) - Ext(c.Ucut)) / Ext(c.Ron));
    return 0.0;
}

double SmoothSwitchCurrent(const CircuitSignals &s, long double rawCurrent) {
    const Ext q = 0.25L;
    return static_cast<double>(q * rawCurrent + q * Ext(s.I0[1]) + q * Ext(s.I0[2]) + q * Ext(s.I0[3]));
}

double SwitchCurrent(const CircuitConstants &c, const CircuitSignals &s, double V, double t) {
    const Ext raw = Ext(V) / Ext(SwitchResistance(c, t)) + Ext(BreakdownCurrent(c, V));
    return SmoothSwitchCurrent(s, raw);
}

void CircuitStep(const CircuitConstants &c, CircuitSignals &s, double Dt, double t) {
    std::feclearexcept(FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW);
    const Ext dt = Dt;
    const double Xc = static_cast<double>((Ext(s.U0[1]) - Ext(s.U1[1])) - dt * Ext(s.I0[1]) / Ext(c.C));
    const double Y = static_cast<double>(
        ((Ext(s.Upep[0]) / Ext(c.RL) - dt * Ext(s.U1[1]) / 2 / Ext(c.L)) - Ext(s.IL[1])) - Ext(s.I0[1]));
    const double Z = static_cast<double>((1 / Ext(c.R) + dt / 2 / Ext(c.L)) + 1 / Ext(c.RL));
    const double U1 = static_cast<double>(Ext(Y) / Ext(Z));
    const double U0 = static_cast<double>(Ext(U1) + Ext(Xc));
    const double I0 = SwitchCurrent(c, s, U0, t);
    const double IL = static_cast<double>(Ext(s.IL[1]) + (Ext(U1) + Ext(s.U1[1])) * dt / 2 / Ext(c.L));
    const double Ipep = static_cast<double>((Ext(U1) - Ext(s.Upep[0])) / Ext(c.RL));
    // A fault leaves the histories as they were, so the run can stop in an orderly way.
    if (std::fetestexcept(FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW))
        throw FloatingPointError("Ошибка вычислений в схеме генератора (деление на ноль или переполнение).");
    s.U1[0] = U1;
    s.U0[0] = U0;
    s.I0[0] = I0;
    s.IL[0] = IL;
    s.Ipep[0] = Ipep;
}

void ShiftCircuitLevels(CircuitSignals &s) {
    Shift(s.U0);
    Shift(s.U1);
    Shift(s.Upep);
    Shift(s.I0);
    Shift(s.IL);
    Shift(s.Ipep);
}

std::string CheckCircuitConstants(const CircuitConstants &c) {
    struct Item {
        double value;
        bool divisor;
        const char *caption;
    };
    // Captions as the parameter window shows them, in the order of its electrical tab.
    const Item items[] = {
        {c.C, true, "Конденсатор С (нФ)"},
        {c.R, true, "Резистор R (Ом)"},
        {c.L, true, "Индуктивность L (мкГ)"},
        {c.RL, true, "Резистор RL (Ом)"},
        {c.Ron, true, "Сопротивление ключа в открытом состоянии (Ом)"},
        {c.Roff, true, "Сопротивление ключа в закрытом состоянии (Ом)"},
        {c.Tfront, true, "Длительность фронта (нс)"},
        {c.Tpulse, false, "Длительность импульса ЗИ (нс)"},
        {c.Ucut, false, "Напряжение пробоя VT (В)"},
    };
    for (const Item &it : items) {
        if (!std::isfinite(it.value))
            return std::string("Параметр «") + it.caption +
                   "» не является конечным числом: схема генератора не может быть рассчитана.";
        if (it.divisor && it.value == 0)
            return std::string("Параметр «") + it.caption +
                   "» равен нулю: схема генератора не может быть рассчитана.";
    }
    return {};
}
