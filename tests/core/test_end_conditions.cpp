// SPDX-License-Identifier: GPL-3.0-or-later
// The places where a model plugs into the time step: the condition at each outer end of the grid
// and a material memory in the stress update.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "../DefaultStack.h"
#include "solver/SweepPool.h"

namespace {

using Ext = long double;

bool SameGrid(const TSolver &a, const TSolver &b) {
    return a.NodeGrid.size() == b.NodeGrid.size() &&
           std::memcmp(a.NodeGrid.data(), b.NodeGrid.data(), a.NodeGrid.size() * sizeof(GridNode)) == 0;
}

void RunSteps(TSolver &solver, int steps) {
    for (int k = 0; k < steps; ++k) {
        solver.DoTimeStep(Pulse(k));
        solver.ShiftTimeLevels();
    }
}

// Records every call and, on the left end, drives the two outer nodes' velocities.
struct DrivenEnd : EndCondition {
    double Velocity[2] = {0, 0};
    std::vector<EndNodes> VelocityCalls, StressCalls;
    void AfterVelocity(const EndNodes &end) override {
        VelocityCalls.push_back(end);
        if (end.End == GridEnd::Left)
            for (int32_t i = end.First; i <= end.Last; ++i)
                end.Grid[i].V[0] = Velocity[i - end.First];
    }
    void AfterStress(const EndNodes &end) override { StressCalls.push_back(end); }
};

// Keeps the stress, accumulates the strain rate per node; or halves the stress.
struct Accumulating : StressMemory {
    bool Halve = false;
    double Stress(int32_t, double stress, double strainRate, double memoryBefore,
                  double &memory) const override {
        memory = memoryBefore + strainRate;
        return Halve ? stress * 0.5 : stress;
    }
};

// The strain rate of node i at the completed level, as the step forms it.
double StrainRate(const TSolver &s, int32_t i) {
    const auto &g = s.NodeGrid;
    const double bracket =
        static_cast<double>(((27 * static_cast<Ext>(g[i].V[1]) - static_cast<Ext>(g[i + 1].V[1])) -
                             27 * static_cast<Ext>(g[i - 1].V[1])) +
                            static_cast<Ext>(g[i - 2].V[1]));
    return static_cast<double>(static_cast<Ext>(bracket) / 24 / static_cast<Ext>(s.Dx));
}

} // namespace

TEST(EndConditions, HeldEndsAreTheDefaultAndAnEndThatWritesNothingChangesNothing) {
    TSolver plain, explicitEnds;
    DrivenEnd left, right; // velocities 0: they write what the held ends keep
    HeldEnd held;
    explicitEnds.SetEndCondition(GridEnd::Left, &left);
    explicitEnds.SetEndCondition(GridEnd::Right, &right);
    LayDefaultStack(plain);
    LayDefaultStack(explicitEnds);
    RunSteps(plain, 600);
    RunSteps(explicitEnds, 600);
    EXPECT_TRUE(SameGrid(plain, explicitEnds));
    ASSERT_EQ(left.VelocityCalls.size(), 600u);
    ASSERT_EQ(right.StressCalls.size(), 600u);
    const EndNodes &l = left.VelocityCalls.back(), &r = right.StressCalls.back();
    EXPECT_TRUE(l.End == GridEnd::Left && l.First == 0 && l.Last == 1);
    EXPECT_TRUE(r.End == GridEnd::Right && r.First == 2523 && r.Last == 2524);
    EXPECT_EQ(l.Grid, explicitEnds.NodeGrid.data());
    EXPECT_EQ(l.Coefficients, explicitEnds.Coefficients.data());
    EXPECT_EQ(l.Dx, 1e-5);
    EXPECT_EQ(l.Dt, 2e-10);
    // Null restores the held ends.
    explicitEnds.SetEndCondition(GridEnd::Left, nullptr);
    explicitEnds.SetEndCondition(GridEnd::Right, &held);
    RunSteps(explicitEnds, 1);
    EXPECT_EQ(left.VelocityCalls.size(), 600u);
}

TEST(EndConditions, VelocitiesWrittenAtAnEndReachTheStressUpdate) {
    TSolver s;
    DrivenEnd left;
    left.Velocity[0] = 0.25;
    left.Velocity[1] = -0.5;
    s.SetEndCondition(GridEnd::Left, &left);
    s.InitGrid(0.0002, 1e-5, 2e-10); // 22 nodes at rest
    s.SetMaterial(0, 21, 7800, 275e9, 3, 0, 8.85e-12);
    s.SetPlate(1, 0);
    s.DoTimeStep(0);
    // Node 2's stencil reaches nodes 0 and 1: DV0 = (27 V2 - V3 - 27 V1 + V0) / 24 / Dx, V2 = V3 = 0.
    const Ext G = 24.0L / 23.0L;
    const double bracket =
        static_cast<double>((27 * static_cast<Ext>(0.0) - 0.0) - 27 * static_cast<Ext>(-0.5) + 0.25);
    const double dv0 = static_cast<double>(static_cast<Ext>(bracket) / 24 / static_cast<Ext>(1e-5));
    const Ext zero = 0;
    const double expected = static_cast<double>(
        ((zero + G * static_cast<Ext>(2e-10) * dv0 * 275e9) + G * (static_cast<Ext>(dv0) - 0.0) * 3) -
        G * 0.0 * 0.0);
    EXPECT_EQ(s.NodeGrid[2].S[0], expected);
    EXPECT_NE(expected, 0.0);
    EXPECT_NE(s.NodeGrid[3].S[0], 0.0); // its stencil reaches node 1
    EXPECT_EQ(s.NodeGrid[4].S[0], 0.0); // beyond the end's reach
    EXPECT_EQ(s.NodeGrid[20].V[0], 0.0);
}

TEST(StressMemory, EachNodeKeepsItsOwnVariableAtTwoLevelsOnAnyThreadCount) {
    for (int threads : {1, 2}) {
        SCOPED_TRACE(threads);
        SweepPool pool(threads);
        pool.SetParallelThreshold(0);
        TSolver plain(&pool), remembering(&pool);
        Accumulating model;
        remembering.SetStressMemory(&model);
        LayDefaultStack(plain);
        LayDefaultStack(remembering);
        ASSERT_EQ(remembering.StressMemoryState().size(), 2525u);
        std::vector<double> sum(2525, 0.0);
        for (int k = 0; k < 400; ++k) {
            plain.DoTimeStep(Pulse(k));
            remembering.DoTimeStep(Pulse(k));
            plain.ShiftTimeLevels();
            remembering.ShiftTimeLevels();
            for (int32_t i = 2; i <= 2522; ++i)
                sum[static_cast<size_t>(i)] += StrainRate(remembering, i);
        }
        // A model that keeps the stress leaves every field as it was.
        EXPECT_TRUE(SameGrid(plain, remembering));
        EXPECT_TRUE(std::memcmp(sum.data(), remembering.StressMemoryState().data(),
                                sum.size() * sizeof(double)) == 0);
        EXPECT_NE(remembering.StressMemoryState()[800], 0.0);

        // The stress the model returns is the node's.
        model.Halve = true;
        plain.DoTimeStep(0);
        remembering.DoTimeStep(0);
        for (size_t i = 2; i <= 2522; ++i)
            ASSERT_EQ(remembering.NodeGrid[i].S[0], plain.NodeGrid[i].S[0] * 0.5) << i;
        EXPECT_NE(plain.NodeGrid[800].S[0], 0.0);
    }
    // Without a model the solver keeps no memory.
    TSolver s;
    Accumulating model;
    s.SetStressMemory(&model);
    s.SetStressMemory(nullptr);
    LayDefaultStack(s);
    EXPECT_TRUE(s.StressMemoryState().empty());
}
