// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "../DefaultInputs.h"
#include "../TestSolver.h"
#include "files/ProfileFile.h"
#include "files/ProjectInputs.h"
#include "run/Engine.h"
#include "stack/TaskLayout.h"

namespace {

std::array<int64_t, 8> Indices(const TaskLayout &l) {
    std::array<int64_t, 8> b{};
    std::copy(l.Boundaries.begin(), l.Boundaries.end(), b.begin());
    return b;
}

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
    EXPECT_NEAR(l.Materials[Plate].Permittivity, 1.1505e-8, 1e-20);
    EXPECT_EQ(l.Materials[Electrode1].Permittivity, 1e22);
    EXPECT_EQ(l.Materials[Sample].Permittivity, 8.85e-12);
    EXPECT_EQ(l.Materials[Backing].Stiffness, 67e9);
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
    in.Layers[Liquid].ThicknessMm = 2.0L;
    l = PlanTask(in);
    EXPECT_EQ(l.N, 2745);
    EXPECT_EQ(Indices(l), (std::array<int64_t, 8>{137, 737, 739, 779, 781, 831, 1031, 2631}));
    EXPECT_EQ(l.Materials[Liquid].First, 831);
    EXPECT_EQ(l.Materials[Liquid].Last, 1031);
    EXPECT_EQ(l.Materials[Liquid].Stiffness, 2.25e9);
}

TEST(TaskLayout, InversionFlipsOnlyThePlateConstant) {
    TaskInputs in = DefaultInputs();
    const TaskLayout a = PlanTask(in);
    in.Inverse = true;
    const TaskLayout b = PlanTask(in);
    EXPECT_EQ(b.Materials[Plate].PiezoE33, -a.Materials[Plate].PiezoE33);
    EXPECT_EQ(a.Boundaries, b.Boundaries);
    EXPECT_EQ(a.Materials[Plate].Permittivity, b.Materials[Plate].Permittivity);
}

TEST(TaskLayout, ApplyBuildsTheGridWithLaterLayerWinningSharedNodes) {
    const TaskLayout l = PlanTask(DefaultInputs());
    ASSERT_EQ(ApplyTaskLayout(Solver, l), 2525);
    EXPECT_EQ(Solver.PiezoFirst, 728);
    EXPECT_EQ(Solver.PiezoLast, 768);
    EXPECT_EQ(Solver.Coefficients[125].Density, 1e22); // lead-in keeps the defaults
    EXPECT_EQ(Solver.Coefficients[126].Density, 8200);
    EXPECT_EQ(Solver.Coefficients[726].Density, 10500); // electrode 1 starts on the backing's last node
    EXPECT_EQ(Solver.Coefficients[728].Density, 7600);
    EXPECT_EQ(Solver.Coefficients[768].Density, 10500); // PiezoLast carries electrode 2
    EXPECT_EQ(Solver.Coefficients[768].Permittivity, 1e22);
    EXPECT_EQ(Solver.Coefficients[820].Density, 7800); // empty liquid layer overwritten by the test object
    EXPECT_EQ(Solver.Coefficients[2420].Density, 7800);
    EXPECT_EQ(Solver.Coefficients[2421].Density, 1e22);
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
        layer.ThicknessMm = 0;
    in.Layers[Plate].ThicknessMm = 0.1L; // plate alone: its stencil would reach outside the grid
    const TaskLayout plateOnly = PlanTask(in);
    EXPECT_LT(plateOnly.PiezoFirst, 2);
    EXPECT_NE(CheckTaskLayout(plateOnly), "");

    in = DefaultInputs();
    in.Layers[Backing].ThicknessMm = -30; // layers pushed before the start of the grid
    EXPECT_NE(CheckTaskLayout(PlanTask(in)), "");
}

// The grid length is 1.1 T formed in extended precision and rounded once. With a 11.06 mm test
// object the double product 1.1 * T would be one unit above and give one node more.
TEST(TaskLayout, GridLengthIsTheExtendedProductRoundedOnce) {
    TaskInputs in = DefaultInputs();
    in.Layers[Sample].ThicknessMm = 11.06L;
    const TaskLayout l = PlanTask(in);
    EXPECT_EQ(l.T, 0.017999999999999999);
    EXPECT_EQ(l.L, 0.019799999999999998);
    EXPECT_NE(l.L, l.T * 1.1); // the product in double precision differs here
    EXPECT_EQ(l.N, 1981);
    EXPECT_EQ(l.Boundaries[7], 1898); // trunc((0.05 L + T) / Dx) = trunc(1898.99…)
}

// Every layer's node range and five constants, exactly.
TEST(TaskLayout, EveryLayerGetsItsOwnFiveConstants) {
    struct Expect {
        LayerIndex layer;
        int32_t first, last;
        double rho, c33, eta, e33, eps;
    };
    const double e33 = static_cast<double>(121.0L * (40.0L * 1e-12L) * 1e9L);
    const double epsPlate = static_cast<double>(1300.0L * 8.85L * 1e-12L);
    const Expect expected[] = {
        {Backing, 126, 726, 8200, 67e9, 650, 0, 1e22},
        {Electrode1, 726, 728, 10500, static_cast<double>(82.7L * 1e9L), 0, 0, 1e22},
        {Plate, 728, 768, 7600, 121e9, 30, e33, epsPlate},
        {Electrode2, 768, 770, 10500, static_cast<double>(82.7L * 1e9L), 0, 0, 1e22},
        {Protector, 770, 820, 2650, 90e9, 20, 0, 1e22},
        {Liquid, 820, 820, 1000, 2.25e9, 0, 0, 8.85e-12},
        {Sample, 820, 2420, 7800, 275e9, 0, 0, 8.85e-12},
    };
    const TaskLayout l = PlanTask(DefaultInputs());
    for (const Expect &x : expected) {
        SCOPED_TRACE(x.layer);
        const PlacedLayer &m = l.Materials[x.layer];
        EXPECT_EQ(m.First, x.first);
        EXPECT_EQ(m.Last, x.last);
        EXPECT_EQ(m.Density, x.rho);
        EXPECT_EQ(m.Stiffness, x.c33);
        EXPECT_EQ(m.Viscosity, x.eta);
        EXPECT_EQ(m.PiezoE33, x.e33);
        EXPECT_EQ(m.Permittivity, x.eps);
    }
    EXPECT_NEAR(e33, 4.84, 1e-12);
    // Electrodes carry no viscosity whatever their field says.
    TaskInputs in = DefaultInputs();
    in.Layers[Electrode1].Viscosity = 5;
    in.Layers[Electrode2].Viscosity = 5;
    EXPECT_EQ(PlanTask(in).Materials[Electrode1].Viscosity, 0);
    EXPECT_EQ(PlanTask(in).Materials[Electrode2].Viscosity, 0);
}

// The plate's stencils reach two nodes to the left and one to the right: PiezoFirst = 2 and
// PiezoLast = N - 2 are the last accepted positions.
TEST(TaskLayout, PlateAtTheEdgeOfTheGridExactBoundary) {
    const std::string refusal = "Пъезопластина слишком близко к краю сетки: проверьте толщины слоев.";
    const TaskLayout base = PlanTask(DefaultInputs());
    struct Case {
        int32_t first;
        int64_t lastFromEnd; // PiezoLast = N - lastFromEnd
        bool accepted;
    };
    for (const Case c :
         {Case{2, 2, true}, Case{2, 1, false}, Case{1, 2, false}, Case{3, 3, true}, Case{0, 1, false}}) {
        SCOPED_TRACE(testing::Message() << c.first << " .. N-" << c.lastFromEnd);
        TaskLayout l = base;
        l.PiezoFirst = c.first;
        l.PiezoLast = static_cast<int32_t>(l.N - c.lastFromEnd);
        EXPECT_EQ(CheckTaskLayout(l), c.accepted ? "" : refusal);
    }
}

// Each refusal with its own sentence.
TEST(TaskLayout, EachRefusalSaysWhy) {
    struct Case {
        const char *name;
        void (*change)(TaskInputs &);
        const char *message;
    };
    const Case cases[] = {
        {"zero spatial step", [](TaskInputs &in) { in.DeltaX = 0; },
         "Шаг в пространстве должен быть больше нуля."},
        {"negative spatial step", [](TaskInputs &in) { in.DeltaX = -10; },
         "Шаг в пространстве должен быть больше нуля."},
        {"zero time step", [](TaskInputs &in) { in.DeltaT = 0; }, "Шаг во времени должен быть больше нуля."},
        {"negative time step", [](TaskInputs &in) { in.DeltaT = -1; },
         "Шаг во времени должен быть больше нуля."},
        {"no layers",
         [](TaskInputs &in) {
             for (auto &layer : in.Layers)
                 layer.ThicknessMm = 0;
         },
         "Суммарная толщина слоев должна быть больше нуля."},
        {"too many nodes", [](TaskInputs &in) { in.DeltaX = 1e-9L; },
         "Слишком много узлов в сетке: увеличьте шаг в пространстве."},
        {"too few nodes", [](TaskInputs &in) { in.DeltaX = 1e5L; },
         "Слишком мало узлов в сетке: уменьшите шаг в пространстве."},
        {"plate alone",
         [](TaskInputs &in) {
             for (auto &layer : in.Layers)
                 layer.ThicknessMm = 0;
             in.Layers[Plate].ThicknessMm = 0.1L;
         },
         "Пъезопластина слишком близко к краю сетки: проверьте толщины слоев."},
        {"layers before the grid", [](TaskInputs &in) { in.Layers[Backing].ThicknessMm = -3; },
         "Слои выходят за пределы сетки: проверьте толщины слоев."},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TaskInputs in = DefaultInputs();
        c.change(in);
        EXPECT_EQ(CheckTaskLayout(PlanTask(in)), c.message);
    }
}

// Nodes each layer keeps once the later layers are set: a shared boundary node goes to the later
// layer, an empty liquid layer keeps none, the test object keeps its last node too.
TEST(TaskLayout, OwnNodeCountsOfTheDefaultStack) {
    const TaskLayout l = PlanTask(DefaultInputs());
    const int64_t expected[LayerCount] = {600, 2, 40, 2, 50, 0, 1601};
    for (int k = Backing; k < LayerCount; ++k)
        EXPECT_EQ(OwnNodeCount(l, k), expected[k]) << k;
}

// Inputs that describe no computable stack, set as the batch line's --set does (the windows read
// the same values through the same check): each refused with the sentence naming the field, and a
// refused task leaves the previous grid as it was.
TEST(TaskLayout, ImpossibleLayersAreRefusedNamingTheField) {
    const FormatSettings fs{U',', U' '};
    const std::string finite = "» не является конечным числом: задача не может быть рассчитана.";
    const std::string positive = "» должен быть больше нуля: задача не может быть рассчитана.";
    const std::string negative = "» меньше нуля: задача не может быть рассчитана.";
    struct Case {
        ProjectOverrides set;
        std::string message;
    };
    const Case cases[] = {
        {{{"Piezo_L_QNSuperSpin", "0"}},
         "Параметр «Пъезоэлемент, Толщина (мм)» слишком мал: пъезопластина должна занимать не менее двух "
         "узлов сетки."},
        {{{"Piezo_Ro_QNSuperSpin", "-7600"}}, "Параметр «Пъезоэлемент, Плотность (кГ/м^3)" + positive},
        {{{"Protector_L_QNSuperSpin", "-1"}}, "Параметр «Протектор, Толщина (мм)" + negative},
        {{{"Dempfer_L_QNSuperSpin", "-3"}}, "Параметр «Демпфер, Толщина (мм)" + negative},
        {{{"Sample_Ro_QNSuperSpin", "0"}}, "Параметр «Изделие, Плотность (кГ/м^3)" + positive},
        {{{"Ag_Ro1_QNSuperSpin", "0"}}, "Параметр «Электрод 1, Плотность (кГ/м^3)" + positive},
        {{{"Liquid_L_QNSuperSpin", "2"}, {"Liquid_Ro_QNSuperSpin", "0"}},
         "Параметр «Слой жидкости, Плотность (кГ/м^3)" + positive},
        {{{"Dempfer_C33_QNSuperSpin", "-67"}}, "Параметр «Демпфер, Модуль С33 (ГПа)" + negative},
        {{{"Ag_C33_2_QNSuperSpin", "-82.7"}}, "Параметр «Электрод 2, Модуль С33 (ГПа)" + negative},
        {{{"Protector_Nu_QNSuperSpin", "-1"}}, "Параметр «Протектор, Вязкость (Па/c)" + negative},
        {{{"Piezo_ee0_QNSuperSpin", "0"}},
         "Параметр «Относительная диэлектрическая проницаемость" + positive},
        {{{"Piezo_Ro_QNSuperSpin", "1e400"}}, "Параметр «Пъезоэлемент, Плотность (кГ/м^3)" + finite},
        {{{"Sample_L_QNSuperSpin", "1e4000"}}, "Параметр «Изделие, Толщина (мм)" + finite},
        {{{"Piezo_d33_QNSuperSpin", "1e400"}}, "Параметр «Пъезомодуль d33 (Кл/Н) = (м/В) 10^-12" + finite},
        {{{"DeltaT_QNSuperSpin", "1e400"}}, "Параметр «Шаг во времени (нс)" + finite},
        {{{"DeltaX_QNSuperSpin", "1e400"}}, "Параметр «Шаг в пространстве (мкм)" + finite},
        {{{"Spep_QNSuperSpin", "1e400"}}, "Параметр «Площадь пъезопластины (мм^2)" + finite},
        // Constants of a layer with no nodes of its own are never used: accepted.
        {{{"Liquid_Ro_QNSuperSpin", "0"}, {"Liquid_C33_QNSuperSpin", "-1"}}, ""},
        {{{"Ag_L1_QNSuperSpin", "0"}, {"Ag_Ro1_QNSuperSpin", "0"}}, ""},
        {{{"Dempfer_Nu_QNSuperSpin", "0"}, {"Piezo_d33_QNSuperSpin", "0"}}, ""},
        // A layer of zero modulus carries no stress: a free face.
        {{{"Protector_C33_QNSuperSpin", "0"}}, ""},
    };
    TSimulationEngine engine;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.set.front().first + "=" + c.set.front().second);
        ASSERT_EQ(engine.CreateTask(ReadProjectInputs(ProfileFile{}, {{"DeltaX_QNSuperSpin", "50"}}, fs)),
                  "");
        EngineInputs in = ReadProjectInputs(ProfileFile{}, c.set, fs);
        EXPECT_EQ(TSimulationEngine::CheckTask(in), c.message);
        EXPECT_EQ(engine.CreateTask(in), c.message);
        EXPECT_EQ(engine.Solver().NodeGrid.size(), c.message.empty() ? PlanTask(in.Task).N : 506);
    }
}

// Two electrodes of different metals and thicknesses: every node of each layer carries that
// layer's own five constants, so one electrode cannot take the other's.
TEST(TaskLayout, ElectrodesOfDifferentMaterialsKeepTheirOwnConstants) {
    TaskInputs in = DefaultInputs();
    in.Layers[Electrode1] = {0.03L, 19300.0L, 78.0L, 0.0L}; // gold, 3 nodes
    in.Layers[Electrode2] = {0.05L, 8960.0L, 137.0L, 0.0L}; // copper, 5 nodes
    const TaskLayout l = PlanTask(in);
    ASSERT_EQ(CheckTaskLayout(l), "");
    ASSERT_EQ(ApplyTaskLayout(Solver, l), l.N);
    EXPECT_EQ(Solver.PiezoFirst, 729);
    EXPECT_EQ(Solver.PiezoLast, 769);
    struct Expect {
        LayerIndex layer;
        int32_t first, last; // the nodes the layer keeps
        double rho, c33, eta, e33, eps;
    };
    const double e33 = static_cast<double>(121.0L * (40.0L * 1e-12L) * 1e9L);
    const double epsPlate = static_cast<double>(1300.0L * 8.85L * 1e-12L);
    const Expect expected[] = {
        {Backing, 126, 725, 8200, 67e9, 650, 0, 1e22},     {Electrode1, 726, 728, 19300, 78e9, 0, 0, 1e22},
        {Plate, 729, 768, 7600, 121e9, 30, e33, epsPlate}, {Electrode2, 769, 773, 8960, 137e9, 0, 0, 1e22},
        {Protector, 774, 823, 2650, 90e9, 20, 0, 1e22},
    };
    for (const Expect &x : expected) {
        SCOPED_TRACE(x.layer);
        EXPECT_EQ(OwnNodeCount(l, x.layer), x.last - x.first + 1);
        for (int32_t i = x.first - 1; i <= x.last + 1; ++i) {
            const bool inside = i >= x.first && i <= x.last;
            const NodeCoefficients &node = Solver.Coefficients[static_cast<size_t>(i)];
            EXPECT_EQ(node.Density == x.rho && node.Stiffness == x.c33 && node.Viscosity == x.eta &&
                          node.PiezoE33 == x.e33 && node.Permittivity == x.eps,
                      inside)
                << "node " << i;
        }
    }
}
