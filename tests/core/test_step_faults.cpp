// SPDX-License-Identifier: GPL-3.0-or-later
// Faults of the time step reported exactly: the kind, the part of the step and the text; and a
// fault reported again when the caller steps on from the state it left.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>

#include "../DefaultStack.h"
#include "../TestSolver.h"
#include "text/Errors.h"

namespace {

using Fault = FloatingPointError::FaultKind;
using Stage = FloatingPointError::StepStage;

struct Caught {
    Fault fault;
    Stage stage;
    std::string what;
};

std::optional<Caught> StepOnce(double j) {
    try {
        Solver.DoTimeStep(j, &Yield);
    } catch (const FloatingPointError &e) {
        return Caught{e.Fault, e.Stage, e.what()};
    }
    return std::nullopt;
}

// The default stack at a time step far beyond its stable one, driven by the usual pulse, until the
// step fails; the step count is returned through `steps`.
std::optional<Caught> Diverge(double dt, int &steps) {
    LayDefaultStack(Solver);
    Solver.Dt = dt;
    for (steps = 0; steps < 100000; ++steps) {
        if (auto c = StepOnce(Pulse(steps)))
            return c;
        Solver.ShiftTimeLevels();
    }
    return std::nullopt;
}

} // namespace

// The fields grow until a value no double holds: the step reports an overflow, and nothing else,
// as soon as it meets one.
TEST(StepFaults, ADivergingRunReportsOverflow) {
    for (double dt : {1e-9, 5e-9, 1e-7}) {
        SCOPED_TRACE(dt);
        int steps = 0;
        const std::optional<Caught> c = Diverge(dt, steps);
        ASSERT_TRUE(c.has_value());
        EXPECT_EQ(c->fault, Fault::Overflow);
        EXPECT_EQ(c->stage, Stage::Velocity);
        EXPECT_EQ(c->what, "Floating-point overflow in the velocity update");
        // Every level the step read was finite: the overflow is new in this step.
        for (const GridNode &g : Solver.NodeGrid)
            ASSERT_TRUE(std::isfinite(g.V[1]) && std::isfinite(g.S[1]) && std::isfinite(g.E[1]));
        std::printf("Dt %g s: overflow at step %d\n", dt, steps);
    }
}

// A difference whose result overflows is not remembered: stepping again from the same levels
// divides again and reports the same fault, rather than running on with an infinite value.
TEST(StepFaults, AFaultIsReportedAgainWhenTheStepIsRepeated) {
    Solver.InitGrid(0.001, 1e-5, 1e-10);
    Solver.SetMaterial(0, 101, 7800, 275e9, 0, 0, 8.85e-12);
    Solver.PiezoFirst = 0;
    Solver.PiezoLast = -1;            // no plate
    Solver.NodeGrid[50].S[1] = 1e304; // 27e304 / 24 / 1e-5 is beyond the largest double
    for (int attempt = 0; attempt < 3; ++attempt) {
        SCOPED_TRACE(attempt);
        const std::optional<Caught> c = StepOnce(0);
        ASSERT_TRUE(c.has_value());
        EXPECT_EQ(c->fault, Fault::Overflow);
        EXPECT_EQ(c->stage, Stage::Velocity);
        EXPECT_EQ(c->what, "Floating-point overflow in the velocity update");
    }
}

// A run continued after its failing iteration (the levels shifted as the iteration completes) keeps
// failing: the infinities left behind are never stepped on silently.
TEST(StepFaults, ARunContinuedAfterAFaultFailsAgain) {
    int steps = 0;
    ASSERT_TRUE(Diverge(1e-9, steps).has_value());
    Solver.ShiftTimeLevels();
    for (int more = 0; more < 5; ++more) {
        SCOPED_TRACE(more);
        const std::optional<Caught> c = StepOnce(0);
        ASSERT_TRUE(c.has_value());
        EXPECT_NE(c->fault, Fault::Unknown);
        Solver.ShiftTimeLevels();
    }
}
