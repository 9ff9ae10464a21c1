// SPDX-License-Identifier: GPL-3.0-or-later
// The stable-step estimate against closed forms and against real runs of the solver: just below
// the estimate a run stays finite for 100,000 steps, clearly above it the fields overflow.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <numbers>

#include "../DefaultInputs.h"
#include "../TestSolver.h"
#include "solver/Stability.h"
#include "stack/TaskLayout.h"
#include "text/Errors.h"

namespace {

// A 110 GPa plate between thin layers of the given density (and the modulus of air or of a soft
// polymer): a small grid of about 150 nodes.
TaskInputs PlateBetweenLightLayers(long double rho) {
    TaskInputs in = DefaultInputs();
    const long double c33 = rho < 10 ? 1.42e-4L : 2.0L; // GPa
    in.Layers[Backing] = {0.3L, rho, c33, 0.0L};
    in.Layers[Plate] = {0.4L, 7600.0L, 110.0L, 30.0L};
    in.Layers[Protector] = {0.3L, rho, c33, 0.0L};
    in.Layers[Sample] = {0.3L, rho, c33, 0.0L};
    return in;
}

double Limit(const TaskInputs &in) {
    const TaskLayout layout = PlanTask(in);
    EXPECT_EQ(CheckTaskLayout(layout), "");
    ApplyTaskLayout(Solver, layout);
    return MaxStableTimeStep(Solver.Coefficients, Solver.PiezoFirst, Solver.PiezoLast, Solver.Dx);
}

// A short half-sine current pulse through the plate, then none.
double Pulse(int step) {
    return step < 40 ? 2e4 * std::sin(std::numbers::pi * step / 40) : 0.0;
}

struct RunOutcome {
    int faultStep = -1; // step whose DoTimeStep failed, -1 when none did
    FloatingPointError::FaultKind fault = FloatingPointError::FaultKind::Unknown;
    // Largest |v| over the first and the second half of the run (every 10th step after the
    // first 1,000): a growing mode shows as a second half well above the first.
    double firstHalf = 0, secondHalf = 0;
};

double LargestVelocity() {
    double v = 0;
    for (const GridNode &g : Solver.NodeGrid)
        v = std::max(v, std::fabs(g.V[1]));
    return v;
}

// A fresh grid of the task with time step dt, run for `steps` steps or until the first fault.
RunOutcome RunTask(TaskInputs in, double dt, int steps) {
    ApplyTaskLayout(Solver, PlanTask(in));
    Solver.Dt = dt;
    RunOutcome out;
    for (int s = 0; s < steps; ++s) {
        try {
            Solver.DoTimeStep(Pulse(s), &Yield);
        } catch (const FloatingPointError &e) {
            out.faultStep = s;
            out.fault = e.Fault;
            return out;
        }
        Solver.ShiftTimeLevels();
        if (s >= 1000 && s % 10 == 0) {
            double &half = s < steps / 2 ? out.firstHalf : out.secondHalf;
            half = std::max(half, LargestVelocity());
        }
    }
    return out;
}

} // namespace

// In a uniform medium the row bound is the largest eigenvalue itself: Courant number 5/3 with the
// largest wavenumber 7 / (3 Dx), that is Dt = (5/7) Dx / c; a purely viscous medium gives
// Dt = (25/18) / (56^2 Eta / (576 Dx^2 Rho)).
TEST(Stability, UniformMediaGiveTheClosedForms) {
    Solver.InitGrid(0.001, 1e-5, 1e-10);
    Solver.SetMaterial(0, 101, 7800, 275e9, 0, 0, 8.85e-12);
    const double c = std::sqrt(275e9 / 7800.0);
    EXPECT_NEAR(MaxStableTimeStep(Solver.Coefficients, 0, -1, Solver.Dx), 5.0 / 7.0 * 1e-5 / c, 1e-24);

    Solver.SetMaterial(0, 101, 1000, 0, 50, 0, 8.85e-12);
    const double q = 56.0 * 56.0 * 50 / (576.0 * 1e-10 * 1000);
    EXPECT_NEAR(MaxStableTimeStep(Solver.Coefficients, 0, -1, Solver.Dx), 25.0 / 18.0 / q, 1e-24);

    // A viscosity that dwarfs the stiffness (q^2 >> 25/9 p): the viscous bound, to 1e-12, not a
    // root lost to cancellation.
    Solver.SetMaterial(0, 101, 7800, 60e9, 7.8e13, 0, 8.85e-12);
    const double qHuge = 56.0 * 56.0 * 7.8e13 / (576.0 * 1e-10 * 7800);
    const double viscous = MaxStableTimeStep(Solver.Coefficients, 0, -1, Solver.Dx);
    EXPECT_GT(viscous, 0);
    EXPECT_NEAR(viscous / (25.0 / 18.0 / qHuge), 1, 1e-12);

    // Nothing stiff or viscous: no limit; a node without density: no stable step at all.
    Solver.SetMaterial(0, 101, 1000, 0, 0, 0, 8.85e-12);
    EXPECT_EQ(MaxStableTimeStep(Solver.Coefficients, 0, -1, Solver.Dx),
              std::numeric_limits<double>::infinity());
    Solver.SetMaterial(50, 50, 0, 0, 0, 0, 8.85e-12);
    EXPECT_EQ(MaxStableTimeStep(Solver.Coefficients, 0, -1, Solver.Dx), 0.0);
}

TEST(Stability, ThePiezoelectricTermStiffensThePlate) {
    Solver.InitGrid(0.001, 1e-5, 1e-10);
    Solver.SetMaterial(0, 101, 7600, 121e9, 0, 4.84, 1300 * 8.85e-12);
    const double cD = 121e9 + 4.84 * 4.84 / (1300 * 8.85e-12);
    EXPECT_NEAR(MaxStableTimeStep(Solver.Coefficients, 0, 101, Solver.Dx),
                5.0 / 7.0 * 1e-5 / std::sqrt(cD / 7600), 1e-24);
    EXPECT_NEAR(MaxStableTimeStep(Solver.Coefficients, 0, -1, Solver.Dx),
                5.0 / 7.0 * 1e-5 / std::sqrt(121e9 / 7600), 1e-24);
}

// A light layer is limited by the stiff neighbour its stencil reaches: beside the plate, air
// (1.2 kg/m^3) fails at Dt = 0.5 ns while a 500 kg/m^3 layer runs.
TEST(Stability, ALightLayerBesideTheStiffPlate) {
    const double air = Limit(PlateBetweenLightLayers(1.2L));
    const double polymer = Limit(PlateBetweenLightLayers(500.0L));
    EXPECT_LT(air, 0.1e-9);
    EXPECT_GT(polymer, 0.5e-9);
    EXPECT_GE(RunTask(PlateBetweenLightLayers(1.2L), 0.5e-9, 2000).faultStep, 0);
    const RunOutcome runs = RunTask(PlateBetweenLightLayers(500.0L), 0.5e-9, 20000);
    EXPECT_EQ(runs.faultStep, -1);
    EXPECT_GT(runs.firstHalf, 0);
    EXPECT_LE(runs.secondHalf, 2 * runs.firstHalf);
}

struct RunCase {
    const char *name;
    TaskInputs (*inputs)();
    double low, high; // the expected range of the estimate, s
};

class StabilityRuns : public ::testing::TestWithParam<RunCase> {};

TEST_P(StabilityRuns, FiniteJustBelowTheEstimateAndOverflowClearlyAbove) {
    const RunCase c = GetParam();
    const double limit = Limit(c.inputs());
    EXPECT_GT(limit, c.low);
    EXPECT_LT(limit, c.high);

    const RunOutcome below = RunTask(c.inputs(), 0.99 * limit, 100000);
    EXPECT_EQ(below.faultStep, -1);
    // No slow growth either.
    EXPECT_GT(below.firstHalf, 0);
    EXPECT_LE(below.secondHalf, 2 * below.firstHalf);

    const RunOutcome above = RunTask(c.inputs(), 1.3 * limit, 100000);
    EXPECT_GE(above.faultStep, 0);
    EXPECT_EQ(above.fault, FloatingPointError::FaultKind::Overflow);
    std::printf("[ %s ] limit %.6g s; 0.99x: largest |v| %.3g m/s in the first half, %.3g in the second; "
                "1.3x overflows at step %d\n",
                c.name, limit, below.firstHalf, below.secondHalf, above.faultStep);
}

INSTANTIATE_TEST_SUITE_P(
    Tasks, StabilityRuns,
    ::testing::Values(
        RunCase{"DefaultTask", &DefaultInputs, 0.3e-9, 0.33e-9},
        RunCase{"PlateBetweenAir", [] { return PlateBetweenLightLayers(1.2L); }, 0.04e-9, 0.07e-9},
        RunCase{"PlateBetweenPolymer", [] { return PlateBetweenLightLayers(500.0L); }, 0.8e-9, 1.1e-9}),
    [](const auto &info) { return std::string(info.param.name); });
