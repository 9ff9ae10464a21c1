#include <gtest/gtest.h>

#include "FDTD_1D_Routines.h"
#include "TaskLayout.h"

namespace {

// The parameter window's initial values, as the fields read them (extended precision).
TaskInputs DefaultInputs() {
    TaskInputs in;
    in.Layers[Backing] = {6.0L, 8200.0L, 67.0L, 650.0L};
    in.Layers[Electrode1] = {0.02L, 10500.0L, 82.7L, 0.0L};
    in.Layers[Plate] = {0.4L, 7600.0L, 121.0L, 30.0L};
    in.Layers[Electrode2] = {0.02L, 10500.0L, 82.7L, 0.0L};
    in.Layers[Protector] = {0.5L, 2650.0L, 90.0L, 20.0L};
    in.Layers[Liquid] = {0.0L, 1000.0L, 2.25L, 0.0L};
    in.Layers[Sample] = {16.0L, 7800.0L, 275.0L, 0.0L};
    in.PiezoD33 = 40.0L;
    in.PiezoEe0 = 1300.0L;
    in.DeltaX = 10.0L;
    in.DeltaT = 0.2L;
    return in;
}

std::array<int64_t, 8> Indices(const TaskLayout &l) { return l.Boundaries; }

} // namespace

TEST(TaskLayout, DefaultStackGivesTheWorkedExample) {
    const TaskLayout l = PlanTask(DefaultInputs());
    EXPECT_DOUBLE_EQ(l.T, 0.02294);
    EXPECT_DOUBLE_EQ(l.L, 0.025234);
    EXPECT_EQ(l.Dx, 1e-5);
    EXPECT_EQ(l.Dt, 2e-10);
    EXPECT_EQ(l.N, 2525);
    EXPECT_EQ(Indices(l), (std::array<int64_t, 8>{126, 726, 728, 768, 770, 820, 820, 2420}));
    EXPECT_EQ(l.PiezoFirst, 728);
    EXPECT_EQ(l.PiezoLast, 768);
    EXPECT_NEAR(l.Materials[Plate].PiezoE33, 4.84, 1e-12);
    EXPECT_NEAR(l.Materials[Plate].Eps, 1.1505e-8, 1e-20);
    EXPECT_EQ(l.Materials[Electrode1].Eps, 1e22);
    EXPECT_EQ(l.Materials[Sample].Eps, 8.85e-12);
    EXPECT_EQ(l.Materials[Backing].C33, 67e9);
    EXPECT_EQ(CheckTaskLayout(l), "");
}

TEST(TaskLayout, CoarseStepAndLiquidLayerVariants) {
    TaskInputs in = DefaultInputs();
    in.DeltaX = 50.0L;
    TaskLayout l = PlanTask(in);
    EXPECT_EQ(l.N, 506);
    EXPECT_EQ(Indices(l), (std::array<int64_t, 8>{25, 145, 145, 153, 154, 164, 164, 484}));
    EXPECT_EQ(l.PiezoFirst, 145);
    EXPECT_EQ(l.PiezoLast, 153);

    in = DefaultInputs();
    in.Layers[Liquid].Thickness = 2.0L;
    l = PlanTask(in);
    EXPECT_EQ(l.N, 2745);
    EXPECT_EQ(Indices(l), (std::array<int64_t, 8>{137, 737, 739, 779, 781, 831, 1031, 2631}));
    EXPECT_EQ(l.Materials[Liquid].First, 831);
    EXPECT_EQ(l.Materials[Liquid].Last, 1031);
    EXPECT_EQ(l.Materials[Liquid].C33, 2.25e9);
}

TEST(TaskLayout, InversionFlipsOnlyThePlateConstant) {
    TaskInputs in = DefaultInputs();
    const TaskLayout a = PlanTask(in);
    in.Inverse = true;
    const TaskLayout b = PlanTask(in);
    EXPECT_EQ(b.Materials[Plate].PiezoE33, -a.Materials[Plate].PiezoE33);
    EXPECT_EQ(a.Boundaries, b.Boundaries);
    EXPECT_EQ(a.Materials[Plate].Eps, b.Materials[Plate].Eps);
}

TEST(TaskLayout, ApplyBuildsTheGridWithLaterLayerWinningSharedNodes) {
    const TaskLayout l = PlanTask(DefaultInputs());
    ASSERT_EQ(ApplyTaskLayout(l), 2525);
    EXPECT_EQ(PiezoFirst, 728);
    EXPECT_EQ(PiezoLast, 768);
    EXPECT_EQ(NodeGrid[125].Rho, 1e22); // lead-in keeps the defaults
    EXPECT_EQ(NodeGrid[126].Rho, 8200);
    EXPECT_EQ(NodeGrid[726].Rho, 10500); // electrode 1 starts on the backing's last node
    EXPECT_EQ(NodeGrid[728].Rho, 7600);
    EXPECT_EQ(NodeGrid[768].Rho, 10500); // PiezoLast carries electrode 2
    EXPECT_EQ(NodeGrid[768].Eps, 1e22);
    EXPECT_EQ(NodeGrid[820].Rho, 7800); // empty liquid layer overwritten by the test object
    EXPECT_EQ(NodeGrid[2420].Rho, 7800);
    EXPECT_EQ(NodeGrid[2421].Rho, 1e22);
}

TEST(TaskLayout, RefusesTasksThatCannotBeComputed) {
    TaskInputs in = DefaultInputs();
    in.DeltaX = 0;
    EXPECT_NE(CheckTaskLayout(PlanTask(in)), "");
    in.DeltaX = -10;
    EXPECT_NE(CheckTaskLayout(PlanTask(in)), "");

    in = DefaultInputs();
    in.DeltaT = 0;
    EXPECT_NE(CheckTaskLayout(PlanTask(in)), "");

    in = DefaultInputs();
    in.DeltaX = 1e-9L; // about 2.5e10 nodes
    EXPECT_NE(CheckTaskLayout(PlanTask(in)), "");

    in = DefaultInputs();
    in.DeltaX = 1e5L; // far too coarse: N = 2
    EXPECT_NE(CheckTaskLayout(PlanTask(in)), "");

    in = DefaultInputs();
    for (auto &layer : in.Layers)
        layer.Thickness = 0;
    in.Layers[Plate].Thickness = 0.1L; // plate alone: its stencil would reach outside the grid
    const TaskLayout plateOnly = PlanTask(in);
    EXPECT_LT(plateOnly.PiezoFirst, 2);
    EXPECT_NE(CheckTaskLayout(plateOnly), "");

    in = DefaultInputs();
    in.Layers[Backing].Thickness = -30; // layers pushed before the start of the grid
    EXPECT_NE(CheckTaskLayout(PlanTask(in)), "");
}
