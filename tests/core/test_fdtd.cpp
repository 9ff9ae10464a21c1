// SPDX-License-Identifier: GPL-3.0-or-later
// The solver core: grid construction, the time step's formulas to the last bit, the yield
// points, and floating-point faults.
#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <cstring>
#include <fstream>
#include <new>
#include <numbers>
#include <random>
#include <stdexcept>

#include "../DefaultStack.h"
#include "../TestSolver.h"
#include "solver/Yield.h"
#include "text/Errors.h"

namespace {

using Ext = long double;

// ---- plain reference step: the formulas node by node, no shortcuts -------------------------

struct Reference {
    Ext A21, A3, A1, G;
    Reference() {
        volatile Ext n21 = 21, n3 = 3, n1 = 1, n24 = 24, n23 = 23; // divided at run time
        A21 = n21 / n23;
        A3 = n3 / n23;
        A1 = n1 / n23;
        G = n24 / n23;
    }
    static double Finish(Ext bracket, double dx) {
        const double b = static_cast<double>(bracket);
        return static_cast<double>(static_cast<Ext>(b) / 24 / dx);
    }
    static double DS(const std::vector<GridNode> &g, int i, double dx) {
        return Finish(
            ((27 * static_cast<Ext>(g[i + 1].S[1]) - g[i + 2].S[1]) - 27 * static_cast<Ext>(g[i].S[1])) +
                g[i - 1].S[1],
            dx);
    }
    static double DV(const std::vector<GridNode> &g, int i, int l, double dx) {
        return Finish(
            ((27 * static_cast<Ext>(g[i].V[l]) - g[i + 1].V[l]) - 27 * static_cast<Ext>(g[i - 1].V[l])) +
                g[i - 2].V[l],
            dx);
    }
    double Step(std::vector<GridNode> &g, const std::vector<NodeCoefficients> &k, double dx, double dt,
                int first, int last, double J) const {
        const int high = static_cast<int>(g.size()) - 1;
        for (int i = 2; i <= high - 2; ++i) {
            GridNode &n = g[i];
            n.V[0] = static_cast<double>(A21 * n.V[1] + A3 * n.V[2] - A1 * n.V[3] +
                                         G * dt * DS(g, i, dx) / k[i].Density);
        }
        for (int i = first; i <= last; ++i) {
            GridNode &n = g[i];
            n.E[0] = static_cast<double>(A21 * n.E[1] + A3 * n.E[2] - A1 * n.E[3] +
                                         G * dt * J / k[i].Permittivity -
                                         G * dt * DV(g, i, 0, dx) * k[i].PiezoE33 / k[i].Permittivity);
        }
        for (int i = 2; i <= high - 2; ++i) {
            GridNode &n = g[i];
            const double dE =
                static_cast<double>((23 * static_cast<Ext>(n.E[0]) - 21 * static_cast<Ext>(n.E[1]) -
                                     3 * static_cast<Ext>(n.E[2]) + n.E[3]) /
                                    24);
            const double dv0 = DV(g, i, 0, dx), dv1 = DV(g, i, 1, dx);
            n.S[0] = static_cast<double>(
                A21 * n.S[1] + A3 * n.S[2] - A1 * n.S[3] + G * dt * dv0 * k[i].Stiffness +
                G * (static_cast<Ext>(dv0) - dv1) * k[i].Viscosity - G * dE * k[i].PiezoE33);
        }
        double u = 0;
        for (int i = first; i <= last; ++i)
            u = static_cast<double>(g[i].E[0] * static_cast<Ext>(dx) + u);
        return u;
    }
    static void Shift(std::vector<GridNode> &g) {
        for (GridNode &n : g)
            for (double *h : {n.V, n.S, n.E}) {
                h[3] = h[2];
                h[2] = h[1];
                h[1] = h[0];
            }
    }
};

// ---- the default stack, laid by hand ---------------------------------------------------------

bool SameBits(const std::vector<GridNode> &a, const std::vector<GridNode> &b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(GridNode)) == 0;
}

int YieldCount = 0;
void CountYield() {
    ++YieldCount;
}

struct HookGuard {
    explicit HookGuard(YieldHookFn f) { Yield.SetHook(f); }
    ~HookGuard() { Yield.SetHook(nullptr); }
};

// A grid of n nodes of one material, at rest, without a plate.
void UniformGrid(double length, double rho, double c33) {
    Solver.InitGrid(length, 1e-5, 2e-10);
    Solver.SetMaterial(0, static_cast<int32_t>(Solver.NodeGrid.size()) - 1, rho, c33, 0, 0, 1e22);
    Solver.PiezoFirst = 1;
    Solver.PiezoLast = 0;
}

} // namespace

// ---- InitGrid ------------------------------------------------------------------------------

TEST(InitGrid, NodeCountTruncatesTheExtendedQuotient) {
    EXPECT_EQ(Solver.InitGrid(0.025234, 1e-5, 2e-10), 2525);
    EXPECT_EQ(Solver.NodeGrid.size(), 2525u);
    EXPECT_DOUBLE_EQ(Solver.NodeGrid[2524].X, 0.02524); // 2524 x 1e-5 rounds one ulp above the literal
    EXPECT_EQ(Solver.NodeGrid[2524].X, static_cast<double>(2524 * static_cast<Ext>(1e-5)));
    EXPECT_EQ(Solver.NodeGrid[1].X, 1e-5);
    EXPECT_EQ(Solver.Dx, 1e-5);
    EXPECT_EQ(Solver.Dt, 2e-10);

    EXPECT_EQ(Solver.InitGrid(0.01, 1e-5, 2e-10), 1001); // 0.01 / 1e-5 is just below 1000
    EXPECT_EQ(Solver.InitGrid(0.5e-5, 1e-5, 2e-10), 2);
    EXPECT_EQ(Solver.NodeGrid.size(), 2u);
}

TEST(InitGrid, EveryNodeGetsTheDefaultsAgain) {
    Solver.InitGrid(0.001, 1e-5, 2e-10);
    Solver.SetMaterial(0, 100, 1, 2, 3, 4, 5);
    for (GridNode &n : Solver.NodeGrid)
        for (double *h : {n.V, n.S, n.E})
            for (int l = 0; l < 4; ++l)
                h[l] = 7;
    ASSERT_EQ(Solver.InitGrid(0.0005, 1e-5, 1e-10), 51); // quotient just below 50
    ASSERT_EQ(Solver.NodeGrid.size(), 51u);
    for (size_t i = 0; i < Solver.NodeGrid.size(); ++i) {
        const GridNode &n = Solver.NodeGrid[i];
        const NodeCoefficients &k = Solver.Coefficients[i];
        EXPECT_EQ(n.X, static_cast<double>(static_cast<Ext>(i) * 1e-5)) << i;
        EXPECT_EQ(k.Density, 1e22);
        EXPECT_EQ(k.Stiffness, 0);
        EXPECT_EQ(k.Viscosity, 0);
        EXPECT_EQ(k.PiezoE33, 0);
        EXPECT_EQ(k.Permittivity, 8.85e-12);
        for (int l = 0; l < 4; ++l)
            EXPECT_TRUE(n.V[l] == 0 && n.S[l] == 0 && n.E[l] == 0) << i;
    }
}

namespace {
// A built grid that a failed InitGrid must leave exactly as it was.
struct Snapshot {
    std::vector<GridNode> Grid = Solver.NodeGrid;
    double SavedDx = Solver.Dx, SavedDt = Solver.Dt;
    void ExpectUnchanged() const {
        EXPECT_TRUE(SameBits(Grid, Solver.NodeGrid));
        EXPECT_EQ(Solver.Dx, SavedDx);
        EXPECT_EQ(Solver.Dt, SavedDt);
    }
};
} // namespace

TEST(InitGrid, ZeroStepFailsBeforeAnythingChanges) {
    ASSERT_EQ(LayDefaultStack(Solver), 2525);
    Solver.NodeGrid[900].S[1] = 3;
    const Snapshot before;
    try {
        Solver.InitGrid(0.02, 0.0, 1e-10);
        FAIL() << "no error";
    } catch (const FloatingPointError &e) {
        EXPECT_NE(std::string(e.what()).find("division by zero"), std::string::npos) << e.what();
    }
    before.ExpectUnchanged();
    EXPECT_THROW(Solver.InitGrid(0.0, 0.0, 1e-10), FloatingPointError); // 0 / 0
    before.ExpectUnchanged();
}

TEST(InitGrid, QuotientsOutOfRangeFailBeforeAnythingChanges) {
    ASSERT_EQ(LayDefaultStack(Solver), 2525);
    const Snapshot before;
    try {
        Solver.InitGrid(1e300, 1e-5, 1e-10); // beyond a 64-bit integer
        FAIL() << "no error";
    } catch (const FloatingPointError &e) {
        EXPECT_NE(std::string(e.what()).find("Invalid floating-point operation"), std::string::npos);
    }
    before.ExpectUnchanged();
    EXPECT_THROW(Solver.InitGrid(1e5, 1e-5, 1e-10), FloatingPointError);          // N beyond 32 bits
    EXPECT_THROW(Solver.InitGrid(-1.0, 1e-5, 1e-10), FloatingPointError);         // negative count
    EXPECT_THROW(Solver.InitGrid(0.01, std::nan(""), 1e-10), FloatingPointError); // NaN step
    EXPECT_THROW(Solver.InitGrid(INFINITY, 1e-5, 1e-10), FloatingPointError);
    before.ExpectUnchanged();
}

TEST(InitGrid, GridTooLargeForMemoryThrowsAndKeepsThePreviousTask) {
    std::ifstream overcommit("/proc/sys/vm/overcommit_memory");
    int mode = 0;
    overcommit >> mode;
    if (mode == 1)
        GTEST_SKIP() << "the kernel grants any allocation; the grid would be really touched";
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer's allocator reports an impossible allocation instead of throwing";
#endif
    ASSERT_EQ(LayDefaultStack(Solver), 2525);
    const Snapshot before;
    // 2,147,400,002 nodes of 144 bytes: about 309 GB.
    EXPECT_THROW(Solver.InitGrid(21474.0, 1e-5, 1e-9), std::bad_alloc);
    before.ExpectUnchanged();
}

// ---- SetMaterial ---------------------------------------------------------------------------

TEST(SetMaterial, WritesExactlyTheRangeAndTheLaterCallWinsOnASharedNode) {
    ASSERT_EQ(Solver.InitGrid(0.000215, 1e-5, 2e-10), 23);
    Solver.NodeGrid[5].V[1] = 0.5;
    Solver.SetMaterial(5, 5, 1000, 2e9, 3, 4, 5e-9);
    for (size_t i = 0; i < Solver.NodeGrid.size(); ++i)
        EXPECT_EQ(Solver.Coefficients[i].Density, i == 5 ? 1000 : 1e22) << i;
    const GridNode &five = Solver.NodeGrid[5];
    EXPECT_EQ(Solver.Coefficients[5].Stiffness, 2e9);
    EXPECT_EQ(Solver.Coefficients[5].Viscosity, 3);
    EXPECT_EQ(Solver.Coefficients[5].PiezoE33, 4);
    EXPECT_EQ(Solver.Coefficients[5].Permittivity, 5e-9);
    EXPECT_EQ(five.X, 5e-5);
    EXPECT_EQ(five.V[1], 0.5);

    const std::vector<GridNode> before = Solver.NodeGrid;
    Solver.SetMaterial(7, 6, 1, 1, 1, 1, 1);
    EXPECT_TRUE(SameBits(before, Solver.NodeGrid));

    Solver.SetMaterial(8, 12, 100, 1, 0, 0, 1);
    Solver.SetMaterial(12, 15, 200, 2, 0, 0, 2);
    EXPECT_EQ(Solver.Coefficients[11].Density, 100);
    EXPECT_EQ(Solver.Coefficients[12].Density, 200);
    EXPECT_EQ(Solver.Coefficients[12].Stiffness, 2);
    EXPECT_EQ(Solver.Coefficients[15].Density, 200);
    EXPECT_EQ(Solver.Coefficients[16].Density, 1e22);
}

TEST(SetMaterial, RangesReachingOutsideTheGridAreClipped) {
    ASSERT_EQ(Solver.InitGrid(0.000215, 1e-5, 2e-10), 23);
    Solver.SetMaterial(-5, 2, 100, 0, 0, 0, 1);
    Solver.SetMaterial(20, 40, 300, 0, 0, 0, 1);
    EXPECT_EQ(Solver.Coefficients[0].Density, 100);
    EXPECT_EQ(Solver.Coefficients[2].Density, 100);
    EXPECT_EQ(Solver.Coefficients[3].Density, 1e22);
    EXPECT_EQ(Solver.Coefficients[19].Density, 1e22);
    EXPECT_EQ(Solver.Coefficients[20].Density, 300);
    EXPECT_EQ(Solver.Coefficients[22].Density, 300);
}

// ---- DoTimeStep and ShiftTimeLevels: formulas --------------------------------------------

TEST(TimeStep, FourNodesOrFewerChangeNothing) {
    ASSERT_EQ(Solver.InitGrid(2.5e-5, 1e-5, 2e-10), 4);
    Solver.SetMaterial(0, 3, 1000, 1e9, 1, 0, 1e-9);
    Solver.PiezoFirst = 1;
    Solver.PiezoLast = 0;
    for (GridNode &n : Solver.NodeGrid)
        n.S[1] = n.V[1] = 1;
    const std::vector<GridNode> before = Solver.NodeGrid;
    HookGuard hook(&CountYield);
    YieldCount = 0;
    EXPECT_EQ(Solver.DoTimeStep(5.0, &Yield), 0.0);
    EXPECT_TRUE(SameBits(before, Solver.NodeGrid));
    EXPECT_EQ(YieldCount, 0);
}

TEST(TimeStep, AGridAtRestStaysAtRest) {
    ASSERT_EQ(LayDefaultStack(Solver), 2525);
    for (int step = 0; step < 20; ++step) {
        EXPECT_EQ(Solver.DoTimeStep(0.0, &Yield), 0.0);
        Solver.ShiftTimeLevels();
    }
    for (const GridNode &n : Solver.NodeGrid)
        for (int l = 0; l < 4; ++l)
            ASSERT_TRUE(n.V[l] == 0 && n.S[l] == 0 && n.E[l] == 0 && !std::signbit(n.V[l]));
}

TEST(TimeStep, CurrentIntoThreePlateNodes) {
    ASSERT_EQ(Solver.InitGrid(6.5e-5, 1e-5, 1e-9), 8);
    Solver.SetMaterial(2, 4, 1000, 0, 0, 0, 1e-8);
    Solver.PiezoFirst = 2;
    Solver.PiezoLast = 4;
    const double u = Solver.DoTimeStep(1.0, &Yield);
    const double e0 = 24.0 / 23.0 * 1e-9 / 1e-8;
    for (int i = 2; i <= 4; ++i)
        EXPECT_NEAR(Solver.NodeGrid[i].E[0], e0, 1e-16) << i;
    EXPECT_NEAR(Solver.NodeGrid[2].E[0], 0.104347826086956522, 1e-16);
    EXPECT_EQ(Solver.NodeGrid[1].E[0], 0);
    EXPECT_EQ(Solver.NodeGrid[5].E[0], 0);
    EXPECT_NEAR(u, 3 * 1e-5 * e0, 1e-20);
}

TEST(TimeStep, ASingleStressGivesTheFourthOrderStencil) {
    UniformGrid(0.000215, 2000, 5e9);
    ASSERT_EQ(Solver.NodeGrid.size(), 23u);
    const int k = 10;
    Solver.NodeGrid[k].S[1] = 1.0;
    Solver.DoTimeStep(0.0, &Yield);
    const double f = 24.0 / 23.0 * 2e-10 / (24 * 1e-5 * 2000.0);
    const double ratio[4] = {-1, 27, -27, 1};
    for (int j = 0; j < 4; ++j)
        EXPECT_NEAR(Solver.NodeGrid[k - 2 + j].V[0], ratio[j] * f, 1e-15 * std::abs(ratio[j] * f)) << j;
    for (int i = 0; i < 23; ++i) {
        if (i < k - 2 || i > k + 1) {
            EXPECT_EQ(Solver.NodeGrid[i].V[0], 0.0) << i;
        }
    }
}

TEST(TimeStep, ShiftMovesEveryHistoryDownOneLevel) {
    Solver.InitGrid(0.0001, 1e-5, 2e-10);
    const size_t high = Solver.NodeGrid.size() - 1;
    for (size_t i : {size_t{0}, size_t{5}, high}) {
        GridNode &n = Solver.NodeGrid[i];
        for (int l = 0; l < 4; ++l) {
            n.V[l] = 1 + l + 10.0 * i;
            n.S[l] = 100 + l + 10.0 * i;
            n.E[l] = 200 + l + 10.0 * i;
        }
    }
    Solver.ShiftTimeLevels();
    for (size_t i : {size_t{0}, size_t{5}, high}) {
        const GridNode &n = Solver.NodeGrid[i];
        for (const auto &[h, base] : {std::pair{n.V, 1.0}, {n.S, 100.0}, {n.E, 200.0}}) {
            const double a = base + 10.0 * i;
            EXPECT_EQ(h[0], a);
            EXPECT_EQ(h[1], a);
            EXPECT_EQ(h[2], a + 1);
            EXPECT_EQ(h[3], a + 2);
        }
    }
}

// The optimised step against the plain formulas, to the last bit, including direct edits of
// the grid and a changed Dx between steps, with and without a yield hook.
TEST(TimeStep, BitIdenticalToThePlainFormulas) {
    const Reference ref;
    for (bool hooked : {false, true}) {
        ASSERT_EQ(LayDefaultStack(Solver), 2525);
        std::vector<GridNode> plain = Solver.NodeGrid;
        HookGuard hook(hooked ? &CountYield : nullptr);
        for (int step = 0; step < 700; ++step) {
            if (step == 300) { // a caller writing completed levels directly
                Solver.NodeGrid[1500].V[1] += 1e-4;
                plain[1500].V[1] += 1e-4;
                Solver.NodeGrid[740].E[2] = -3;
                plain[740].E[2] = -3;
            }
            if (step == 400 || step == 450)
                Solver.Dx = step == 400 ? 1.1e-5 : 1e-5;
            const double u = Solver.DoTimeStep(Pulse(step), &Yield);
            const double uRef = ref.Step(plain, Solver.Coefficients, Solver.Dx, Solver.Dt, Solver.PiezoFirst,
                                         Solver.PiezoLast, Pulse(step));
            ASSERT_EQ(std::memcmp(&u, &uRef, sizeof u), 0) << "step " << step;
            ASSERT_TRUE(SameBits(Solver.NodeGrid, plain)) << "step " << step;
            Solver.ShiftTimeLevels();
            Reference::Shift(plain);
        }
        // The pulse has left the plate both ways and the comparison covered moving fields.
        EXPECT_NE(Solver.NodeGrid[700].V[1], 0.0);
        EXPECT_NE(Solver.NodeGrid[800].V[1], 0.0);
    }
}

// Values of every magnitude and sign, signed zeros and subnormals, in every history level.
TEST(TimeStep, BitIdenticalToThePlainFormulasOnArbitraryValues) {
    const Reference ref;
    std::mt19937_64 random(12345);
    std::uniform_real_distribution<double> unit(-1.0, 1.0), exponent(-150.0, 100.0);
    auto value = [&] {
        switch (random() % 8) {
        case 0:
            return 0.0;
        case 1:
            return -0.0;
        case 2:
            return unit(random) * 1e-310;
        default:
            return unit(random) * std::pow(10.0, exponent(random));
        }
    };
    for (int round = 0; round < 20; ++round) {
        ASSERT_EQ(Solver.InitGrid(0.000605, 1e-5, 2e-10), 62);
        for (size_t i = 0; i < Solver.NodeGrid.size(); ++i) {
            GridNode &n = Solver.NodeGrid[i];
            NodeCoefficients &k = Solver.Coefficients[i];
            for (double *h : {n.V, n.S, n.E})
                for (int l = 0; l < 4; ++l)
                    h[l] = value();
            k.Density = 1000 + 9000 * std::abs(unit(random));
            k.Stiffness = 1e11 * std::abs(unit(random));
            k.Viscosity = 1000 * std::abs(unit(random));
            k.PiezoE33 = 10 * unit(random);
            k.Permittivity = 1e-8 * (1.01 + unit(random));
        }
        Solver.PiezoFirst = 10;
        Solver.PiezoLast = 40;
        std::vector<GridNode> plain = Solver.NodeGrid;
        for (int step = 0; step < 3; ++step) {
            const double j = value();
            const double u = Solver.DoTimeStep(j, &Yield);
            const double uRef = ref.Step(plain, Solver.Coefficients, Solver.Dx, Solver.Dt, Solver.PiezoFirst,
                                         Solver.PiezoLast, j);
            ASSERT_EQ(std::memcmp(&u, &uRef, sizeof u), 0) << round << " " << step;
            ASSERT_TRUE(SameBits(Solver.NodeGrid, plain)) << round << " " << step;
            Solver.ShiftTimeLevels();
            Reference::Shift(plain);
        }
    }
}

// ---- yield points --------------------------------------------------------------------------

namespace {
std::vector<GridNode> CompletedLevels;
int StaleReads = 0;
void CheckCompletedLevels() {
    ++YieldCount;
    if (YieldCount % 97 != 0)
        return;
    for (size_t i = 0; i < Solver.NodeGrid.size(); ++i)
        for (int l = 1; l < 4; ++l)
            if (std::memcmp(&Solver.NodeGrid[i].V[l], &CompletedLevels[i].V[l], sizeof(double)) != 0 ||
                std::memcmp(&Solver.NodeGrid[i].S[l], &CompletedLevels[i].S[l], sizeof(double)) != 0 ||
                std::memcmp(&Solver.NodeGrid[i].E[l], &CompletedLevels[i].E[l], sizeof(double)) != 0)
                ++StaleReads;
}
} // namespace

TEST(TimeStep, YieldsOncePerNodeUpdateAndHandlersSeeCompletedLevels) {
    ASSERT_EQ(LayDefaultStack(Solver), 2525);
    const int high = static_cast<int>(Solver.NodeGrid.size()) - 1;
    const int perStep = (high - 3) + (Solver.PiezoLast - Solver.PiezoFirst + 1) + (high - 3);
    EXPECT_EQ(perStep, 2521 + 41 + 2521);
    HookGuard hook(&CheckCompletedLevels);
    // On one thread every node update is the calling thread's; on several, the hook runs before
    // the calling thread's own updates only (test_fdtd_threads).
    Pool.SetThreads(1);
    for (int step = 0; step < 30; ++step) {
        CompletedLevels = Solver.NodeGrid;
        YieldCount = 0;
        StaleReads = 0;
        Solver.DoTimeStep(Pulse(step), &Yield);
        EXPECT_EQ(YieldCount, perStep) << step;
        EXPECT_EQ(StaleReads, 0) << step;
        YieldCount = 0;
        Solver.ShiftTimeLevels();
        EXPECT_EQ(YieldCount, 0);
    }
    Pool.SetThreads(0);
}

namespace {
void RaiseEveryFlag() {
    std::feraiseexcept(FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW);
}
} // namespace

TEST(TimeStep, FlagsLeftByAYieldHandlerAreNotTheStepsFaults) {
    ASSERT_EQ(LayDefaultStack(Solver), 2525);
    std::vector<GridNode> quiet = Solver.NodeGrid;
    std::vector<GridNode> noisy = Solver.NodeGrid;
    for (int step = 0; step < 50; ++step) {
        Solver.NodeGrid.swap(quiet);
        const double u1 = Solver.DoTimeStep(Pulse(step), &Yield);
        Solver.ShiftTimeLevels();
        Solver.NodeGrid.swap(quiet);
        Solver.NodeGrid.swap(noisy);
        double u2 = 0;
        {
            HookGuard hook(&RaiseEveryFlag);
            ASSERT_NO_THROW(u2 = Solver.DoTimeStep(Pulse(step), &Yield)) << step;
        }
        Solver.ShiftTimeLevels();
        Solver.NodeGrid.swap(noisy);
        ASSERT_EQ(u1, u2);
    }
    EXPECT_TRUE(SameBits(quiet, noisy));
    // A real fault still surfaces with the same noisy handler.
    Solver.NodeGrid.swap(noisy);
    Solver.SetMaterial(1000, 1010, 0, 67e9, 0, 0, 1e22);
    HookGuard hook(&RaiseEveryFlag);
    EXPECT_THROW(Solver.DoTimeStep(0.0, &Yield), FloatingPointError);
}

// ---- faults ---------------------------------------------------------------------------------

TEST(TimeStepFaults, ZeroDensityInTheVelocityUpdate) {
    ASSERT_EQ(LayDefaultStack(Solver), 2525);
    Solver.SetMaterial(1000, 1100, 0, 275e9, 0, 0, 8.85e-12); // at rest: 0 / 0
    try {
        Solver.DoTimeStep(0.0, &Yield);
        FAIL() << "no error";
    } catch (const FloatingPointError &e) {
        EXPECT_NE(std::string(e.what()).find("Invalid floating-point operation"), std::string::npos)
            << e.what();
        EXPECT_NE(std::string(e.what()).find("velocity"), std::string::npos) << e.what();
    }
    EXPECT_TRUE(std::isnan(Solver.NodeGrid[1000].V[0]));
    EXPECT_EQ(Solver.NodeGrid[1000].V[1], 0.0);
}

TEST(TimeStepFaults, ZeroPermittivityOnAPlateNode) {
    ASSERT_EQ(LayDefaultStack(Solver), 2525);
    Solver.Coefficients[740].Permittivity = 0;
    try {
        Solver.DoTimeStep(1e3, &Yield);
        FAIL() << "no error";
    } catch (const FloatingPointError &e) {
        EXPECT_NE(std::string(e.what()).find("division by zero"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("field"), std::string::npos) << e.what();
    }
    ASSERT_EQ(LayDefaultStack(Solver), 2525);
    Solver.Coefficients[740].Permittivity = 0;
    EXPECT_THROW(Solver.DoTimeStep(0.0, &Yield), FloatingPointError); // 0 / 0
}

TEST(TimeStepFaults, ZeroSpatialStep) {
    ASSERT_EQ(LayDefaultStack(Solver), 2525);
    Solver.Dx = 0.0;
    EXPECT_THROW(Solver.DoTimeStep(0.0, &Yield), FloatingPointError);
    Solver.Dx = 1e-5;
    EXPECT_NO_THROW(Solver.DoTimeStep(0.0, &Yield));
}

TEST(TimeStepFaults, ADivergingSchemeEndsInOverflowNotInInfinity) {
    ASSERT_EQ(LayDefaultStack(Solver), 2525);
    Solver.Dt = 2e-8; // a hundred times too large for these sound speeds
    bool thrown = false;
    for (int step = 0; step < 20000 && !thrown; ++step) {
        try {
            Solver.DoTimeStep(Pulse(step), &Yield);
            Solver.ShiftTimeLevels();
        } catch (const FloatingPointError &e) {
            thrown = true;
            EXPECT_TRUE(std::string(e.what()).find("overflow") != std::string::npos ||
                        std::string(e.what()).find("Invalid") != std::string::npos)
                << e.what();
        }
    }
    ASSERT_TRUE(thrown);
    for (const GridNode &n : Solver.NodeGrid)
        ASSERT_TRUE(std::isfinite(n.V[1]) && std::isfinite(n.S[1]) && std::isfinite(n.E[1]));
}

TEST(TimeStepFaults, APlateOutsideTheGridIsRefused) {
    Solver.NodeGrid.clear();
    Solver.PiezoFirst = Solver.PiezoLast = 0; // the state before any task
    EXPECT_THROW(Solver.DoTimeStep(1.0, &Yield), std::out_of_range);
    ASSERT_EQ(LayDefaultStack(Solver), 2525);
    Solver.PiezoLast = 2524;
    const std::vector<GridNode> before = Solver.NodeGrid;
    HookGuard hook(&CountYield);
    YieldCount = 0;
    EXPECT_THROW(Solver.DoTimeStep(1.0, &Yield), std::out_of_range);
    EXPECT_EQ(YieldCount, 0);
    EXPECT_TRUE(SameBits(before, Solver.NodeGrid));
}
