// SPDX-License-Identifier: GPL-3.0-or-later
// The stack model: the window's seven layers as a stack, a stack of any number of layers placed on
// the grid, and the one table of the task's fields.
#include <gtest/gtest.h>

#include <cstdint>
#include <set>

#include "../DefaultInputs.h"
#include "stack/TaskFields.h"
#include "stack/TaskLayout.h"

namespace {

Material Passive(long double density, long double gpa, long double viscosity, double permittivity) {
    Material m;
    m.Density = density;
    m.StiffnessGPa = gpa;
    m.Viscosity = viscosity;
    m.Permittivity = permittivity;
    return m;
}

} // namespace

TEST(Stack, TheWindowsLayersAreOneConstructionOfAStack) {
    const Stack s = BuildTaskStack(DefaultInputs());
    ASSERT_EQ(s.Layers.size(), 7u);
    EXPECT_EQ(s.PlateIndex, 2u);
    EXPECT_EQ(s.LeftEnd, StackEnd::GridEdge);
    EXPECT_EQ(s.RightEnd, StackEnd::GridEdge);
    const struct {
        const char *name;
        LayerRole role;
        long double thickness, viscosity;
        double permittivity;
    } expected[] = {
        {"Демпфер", LayerRole::Backing, 6, 650, 1e22},
        {"Электрод 1", LayerRole::Electrode, 0.02L, 0, 1e22},
        {"Пъезоэлемент", LayerRole::Plate, 0.4L, 30, 1e22},
        {"Электрод 2", LayerRole::Electrode, 0.02L, 0, 1e22},
        {"Протектор", LayerRole::Protector, 0.5L, 20, 1e22},
        {"Слой жидкости", LayerRole::Liquid, 0, 0, 8.85e-12},
        {"Изделие", LayerRole::TestObject, 16, 0, 8.85e-12},
    };
    for (std::size_t k = 0; k < 7; ++k) {
        const Layer &l = s.Layers[k];
        EXPECT_EQ(l.Name, expected[k].name);
        EXPECT_EQ(l.Role, expected[k].role) << k;
        EXPECT_EQ(l.ThicknessMm, expected[k].thickness) << k;
        EXPECT_EQ(l.Material.Viscosity, expected[k].viscosity) << k;
        EXPECT_EQ(l.Material.Piezoelectric, k == 2) << k;
        if (k != 2) {
            EXPECT_EQ(l.Material.Permittivity, expected[k].permittivity) << k;
        }
    }
    const Material &plate = s.Layers[2].Material;
    EXPECT_EQ(plate.PiezoD33pCN, 40);
    EXPECT_EQ(plate.RelativePermittivity, 1300);
    EXPECT_FALSE(plate.PolarizationInverted);
}

// Nine layers, the plate fifth between two matching layers on each side. Thicknesses are whole
// multiples of 10 nm, so the expected nodes follow from integer arithmetic: the stack starts 5 % of
// 1.1 T into the grid, every boundary is truncated to the node below, the grid has trunc(1.1 T /
// Dx) + 2 nodes. The start lies 0.925 of a node past a node, far from any rounding.
TEST(Stack, NineLayersPlacedOnTheGrid) {
    const struct {
        long double mm;
        int64_t units; // of 10 nm
        long double density, gpa, viscosity;
    } rows[] = {
        {2.0L, 200000, 8200, 67, 650}, {0.01L, 1000, 10500, 83, 0},   {0.37L, 37000, 3000, 20, 5},
        {0.01L, 1000, 19300, 78, 0},   {0.13L, 13000, 7600, 121, 30}, {0.25L, 25000, 2000, 9, 2},
        {0.5L, 50000, 2650, 90, 20},   {0.08L, 8000, 1000, 2, 0},     {3.0L, 300000, 7800, 275, 0},
    };
    Stack s;
    for (const auto &r : rows) {
        Layer l;
        l.Name = "layer";
        l.Role = LayerRole::Matching;
        l.ThicknessMm = r.mm;
        l.Material = Passive(r.density, r.gpa, r.viscosity, kShieldedPermittivity);
        s.Layers.push_back(l);
    }
    s.PlateIndex = 4;
    Material &plate = s.Layers[4].Material;
    plate.Piezoelectric = true;
    plate.PiezoD33pCN = 40;
    plate.RelativePermittivity = 1300;
    plate.PolarizationInverted = true;

    const TaskLayout l = PlaceStack(s, 10.0L, 0.2L);
    ASSERT_EQ(CheckTaskLayout(l), "");

    const int64_t dx = 1000; // 10 µm in units of 10 nm
    int64_t total = 0;
    for (const auto &r : rows)
        total += r.units;
    EXPECT_EQ(l.N, total * 11 / 10 / dx + 2);
    int64_t position = total * 55 / 1000; // 0.05 × 1.1 T
    ASSERT_EQ(l.Boundaries.size(), 10u);
    ASSERT_EQ(l.Materials.size(), 9u);
    EXPECT_EQ(l.Boundaries[0], position / dx);
    for (std::size_t k = 0; k < 9; ++k) {
        SCOPED_TRACE(k);
        const int64_t first = position / dx;
        position += rows[k].units;
        const int64_t last = position / dx;
        EXPECT_EQ(l.Boundaries[k + 1], last);
        const PlacedLayer &m = l.Materials[k];
        EXPECT_EQ(m.First, first);
        EXPECT_EQ(m.Last, last);
        EXPECT_EQ(m.Density, static_cast<double>(rows[k].density));
        EXPECT_EQ(m.Stiffness, static_cast<double>(rows[k].gpa) * 1e9);
        EXPECT_EQ(m.Viscosity, static_cast<double>(rows[k].viscosity));
        // Each layer keeps its nodes but the last, which the next layer takes.
        EXPECT_EQ(OwnNodeCount(l, k), last - first + (k == 8 ? 1 : 0));
        if (k != 4) {
            EXPECT_EQ(m.PiezoE33, 0);
            EXPECT_EQ(m.Permittivity, 1e22);
        }
    }
    EXPECT_EQ(l.Boundaries, (std::vector<int64_t>{34, 234, 235, 272, 273, 286, 311, 361, 369, 669}));
    EXPECT_EQ(l.PiezoFirst, 273);
    EXPECT_EQ(l.PiezoLast, 286);
    EXPECT_NEAR(l.Materials[4].PiezoE33, -4.84, 1e-12);
    EXPECT_NEAR(l.Materials[4].Permittivity, 1.1505e-8, 1e-20);
}

// The window's stack placed through the general placement is the task's layout.
TEST(Stack, PlanTaskIsThePlacementOfTheWindowsStack) {
    TaskInputs in = DefaultInputs();
    in.DeltaX = 7;
    const TaskLayout a = PlanTask(in);
    const TaskLayout b = PlaceStack(BuildTaskStack(in), 7, in.DeltaT);
    EXPECT_EQ(a.Boundaries, b.Boundaries);
    EXPECT_EQ(a.N, b.N);
    EXPECT_EQ(a.PiezoFirst, b.PiezoFirst);
}

// Every field of the table sets its own input: fields set to distinct values land in distinct
// places, each where its name says.
TEST(TaskFieldTable, EveryFieldSetsItsOwnInput) {
    EngineInputs in;
    const auto &fields = TaskFields();
    ASSERT_EQ(fields.size(), 42u); // 39 fields and the check box of the parameter window, two steps
    for (std::size_t i = 0; i < fields.size(); ++i)
        SetTaskInput(in, fields[i], static_cast<long double>(i + 1));
    const TaskInputs &t = in.Task;
    const CircuitInputs &g = in.Generator;
    std::multiset<long double> stored = {in.PlateAreaMm2, t.PiezoD33, t.RelativePermittivity,
                                         t.DeltaX,     t.DeltaT,   g.ChargeVoltage,
                                         g.C,          g.R,        g.L,
                                         g.RL,         g.Ron,      g.Roff,
                                         g.Tfront,     g.Tpulse,   g.Ucut};
    for (const LayerInputs &l : t.Layers)
        for (long double v : {l.ThicknessMm, l.Density, l.StiffnessGPa, l.Viscosity})
            if (v != 0) // the electrodes have no viscosity field
                stored.insert(v);
    std::multiset<long double> expected;
    for (std::size_t i = 0; i < fields.size(); ++i)
        if (!IsCheckBox(fields[i]))
            expected.insert(static_cast<long double>(i + 1));
    EXPECT_EQ(stored, expected);
    EXPECT_TRUE(t.Inverse);
    SetTaskInput(in, *FindTaskField("InverseCheckBox"), 0);
    EXPECT_FALSE(t.Inverse);

    const auto at = [&](const char *name) {
        const TaskField *f = FindTaskField(name);
        EXPECT_NE(f, nullptr) << name;
        return static_cast<long double>(f - fields.data() + 1);
    };
    EXPECT_EQ(t.Layers[Plate].ThicknessMm, at("piezo_l_qnsuperspin"));
    EXPECT_EQ(t.Layers[Electrode1].Density, at("Ag_Ro1_QNSuperSpin"));
    EXPECT_EQ(t.Layers[Sample].StiffnessGPa, at("Sample_C33_QNSuperSpin"));
    EXPECT_EQ(t.Layers[Backing].Viscosity, at("Dempfer_Nu_QNSuperSpin"));
    EXPECT_EQ(in.PlateAreaMm2, at("Spep_QNSuperSpin"));
    EXPECT_EQ(g.Ron, at("Electro_VTRon_QNSuperSpin"));
    EXPECT_EQ(t.DeltaT, at("DeltaT_QNSuperSpin"));
    EXPECT_EQ(FindTaskField("IterationSpinEdit"), nullptr);

    EXPECT_EQ(TaskFieldCaption(*FindTaskField("Piezo_L_QNSuperSpin")), "Пъезоэлемент, Толщина (мм)");
    EXPECT_EQ(TaskFieldCaption(*FindTaskField("Piezo_ee0_QNSuperSpin")),
              "Относительная диэлектрическая проницаемость");
    EXPECT_EQ(TaskFieldCaption(*FindTaskField("Electro_U0_QNSuperSpin")),
              "Напряжение заряда на конденсаторе С (В)");
}
