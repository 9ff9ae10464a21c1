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
#include "solver/FDTD_1D_Routines.h"
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
    double Step(std::vector<GridNode> &g, double dx, double dt, int first, int last, double J) const {
        const int high = static_cast<int>(g.size()) - 1;
        for (int i = 2; i <= high - 2; ++i) {
            GridNode &n = g[i];
            n.V[0] =
                static_cast<double>(A21 * n.V[1] + A3 * n.V[2] - A1 * n.V[3] + G * dt * DS(g, i, dx) / n.Rho);
        }
        for (int i = first; i <= last; ++i) {
            GridNode &n = g[i];
            n.E[0] = static_cast<double>(A21 * n.E[1] + A3 * n.E[2] - A1 * n.E[3] + G * dt * J / n.Eps -
                                         G * dt * DV(g, i, 0, dx) * n.PiezoE33 / n.Eps);
        }
        for (int i = 2; i <= high - 2; ++i) {
            GridNode &n = g[i];
            const double dE =
                static_cast<double>((23 * static_cast<Ext>(n.E[0]) - 21 * static_cast<Ext>(n.E[1]) -
                                     3 * static_cast<Ext>(n.E[2]) + n.E[3]) /
                                    24);
            const double dv0 = DV(g, i, 0, dx), dv1 = DV(g, i, 1, dx);
            n.S[0] = static_cast<double>(A21 * n.S[1] + A3 * n.S[2] - A1 * n.S[3] + G * dt * dv0 * n.C33 +
                                         G * (static_cast<Ext>(dv0) - dv1) * n.Eta - G * dE * n.PiezoE33);
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
    explicit HookGuard(YieldHookFn f) { SetYieldHook(f); }
    ~HookGuard() { SetYieldHook(nullptr); }
};

// A grid of n nodes of one material, at rest, without a plate.
void UniformGrid(double length, double rho, double c33) {
    InitGrid(length, 1e-5, 2e-10);
    SetMaterial(0, static_cast<int32_t>(NodeGrid.size()) - 1, rho, c33, 0, 0, 1e22);
    PiezoFirst = 1;
    PiezoLast = 0;
}

} // namespace

// ---- InitGrid ------------------------------------------------------------------------------

TEST(InitGrid, NodeCountTruncatesTheExtendedQuotient) {
    EXPECT_EQ(InitGrid(0.025234, 1e-5, 2e-10), 2525);
    EXPECT_EQ(NodeGrid.size(), 2525u);
    EXPECT_DOUBLE_EQ(NodeGrid[2524].X, 0.02524); // 2524 x 1e-5 rounds one ulp above the literal
    EXPECT_EQ(NodeGrid[2524].X, static_cast<double>(2524 * static_cast<Ext>(1e-5)));
    EXPECT_EQ(NodeGrid[1].X, 1e-5);
    EXPECT_EQ(Dx, 1e-5);
    EXPECT_EQ(Dt, 2e-10);

    EXPECT_EQ(InitGrid(0.01, 1e-5, 2e-10), 1001); // 0.01 / 1e-5 is just below 1000
    EXPECT_EQ(InitGrid(0.5e-5, 1e-5, 2e-10), 2);
    EXPECT_EQ(NodeGrid.size(), 2u);
}

TEST(InitGrid, EveryNodeGetsTheDefaultsAgain) {
    InitGrid(0.001, 1e-5, 2e-10);
    SetMaterial(0, 100, 1, 2, 3, 4, 5);
    for (GridNode &n : NodeGrid)
        for (double *h : {n.V, n.S, n.E})
            for (int l = 0; l < 4; ++l)
                h[l] = 7;
    ASSERT_EQ(InitGrid(0.0005, 1e-5, 1e-10), 51); // quotient just below 50
    ASSERT_EQ(NodeGrid.size(), 51u);
    for (size_t i = 0; i < NodeGrid.size(); ++i) {
        const GridNode &n = NodeGrid[i];
        EXPECT_EQ(n.X, static_cast<double>(static_cast<Ext>(i) * 1e-5)) << i;
        EXPECT_EQ(n.Rho, 1e22);
        EXPECT_EQ(n.C33, 0);
        EXPECT_EQ(n.Eta, 0);
        EXPECT_EQ(n.PiezoE33, 0);
        EXPECT_EQ(n.Eps, 8.85e-12);
        for (int l = 0; l < 4; ++l)
            EXPECT_TRUE(n.V[l] == 0 && n.S[l] == 0 && n.E[l] == 0) << i;
    }
}

namespace {
// A built grid that a failed InitGrid must leave exactly as it was.
struct Snapshot {
    std::vector<GridNode> Grid = NodeGrid;
    double SavedDx = Dx, SavedDt = Dt;
    void ExpectUnchanged() const {
        EXPECT_TRUE(SameBits(Grid, NodeGrid));
        EXPECT_EQ(Dx, SavedDx);
        EXPECT_EQ(Dt, SavedDt);
    }
};
} // namespace

TEST(InitGrid, ZeroStepFailsBeforeAnythingChanges) {
    ASSERT_EQ(LayDefaultStack(), 2525);
    NodeGrid[900].S[1] = 3;
    const Snapshot before;
    try {
        InitGrid(0.02, 0.0, 1e-10);
        FAIL() << "no error";
    } catch (const FloatingPointError &e) {
        EXPECT_NE(std::string(e.what()).find("division by zero"), std::string::npos) << e.what();
    }
    before.ExpectUnchanged();
    EXPECT_THROW(InitGrid(0.0, 0.0, 1e-10), FloatingPointError); // 0 / 0
    before.ExpectUnchanged();
}

TEST(InitGrid, QuotientsOutOfRangeFailBeforeAnythingChanges) {
    ASSERT_EQ(LayDefaultStack(), 2525);
    const Snapshot before;
    try {
        InitGrid(1e300, 1e-5, 1e-10); // beyond a 64-bit integer
        FAIL() << "no error";
    } catch (const FloatingPointError &e) {
        EXPECT_NE(std::string(e.what()).find("Invalid floating-point operation"), std::string::npos);
    }
    before.ExpectUnchanged();
    EXPECT_THROW(InitGrid(1e5, 1e-5, 1e-10), FloatingPointError);          // N beyond 32 bits
    EXPECT_THROW(InitGrid(-1.0, 1e-5, 1e-10), FloatingPointError);         // negative count
    EXPECT_THROW(InitGrid(0.01, std::nan(""), 1e-10), FloatingPointError); // NaN step
    EXPECT_THROW(InitGrid(INFINITY, 1e-5, 1e-10), FloatingPointError);
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
    ASSERT_EQ(LayDefaultStack(), 2525);
    const Snapshot before;
    // 2,147,400,002 nodes of 144 bytes: about 309 GB.
    EXPECT_THROW(InitGrid(21474.0, 1e-5, 1e-9), std::bad_alloc);
    before.ExpectUnchanged();
}

// ---- SetMaterial ---------------------------------------------------------------------------

TEST(SetMaterial, WritesExactlyTheRangeAndTheLaterCallWinsOnASharedNode) {
    ASSERT_EQ(InitGrid(0.000215, 1e-5, 2e-10), 23);
    NodeGrid[5].V[1] = 0.5;
    SetMaterial(5, 5, 1000, 2e9, 3, 4, 5e-9);
    for (size_t i = 0; i < NodeGrid.size(); ++i)
        EXPECT_EQ(NodeGrid[i].Rho, i == 5 ? 1000 : 1e22) << i;
    const GridNode &five = NodeGrid[5];
    EXPECT_EQ(five.C33, 2e9);
    EXPECT_EQ(five.Eta, 3);
    EXPECT_EQ(five.PiezoE33, 4);
    EXPECT_EQ(five.Eps, 5e-9);
    EXPECT_EQ(five.X, 5e-5);
    EXPECT_EQ(five.V[1], 0.5);

    const std::vector<GridNode> before = NodeGrid;
    SetMaterial(7, 6, 1, 1, 1, 1, 1);
    EXPECT_TRUE(SameBits(before, NodeGrid));

    SetMaterial(8, 12, 100, 1, 0, 0, 1);
    SetMaterial(12, 15, 200, 2, 0, 0, 2);
    EXPECT_EQ(NodeGrid[11].Rho, 100);
    EXPECT_EQ(NodeGrid[12].Rho, 200);
    EXPECT_EQ(NodeGrid[12].C33, 2);
    EXPECT_EQ(NodeGrid[15].Rho, 200);
    EXPECT_EQ(NodeGrid[16].Rho, 1e22);
}

TEST(SetMaterial, RangesReachingOutsideTheGridAreClipped) {
    ASSERT_EQ(InitGrid(0.000215, 1e-5, 2e-10), 23);
    SetMaterial(-5, 2, 100, 0, 0, 0, 1);
    SetMaterial(20, 40, 300, 0, 0, 0, 1);
    EXPECT_EQ(NodeGrid[0].Rho, 100);
    EXPECT_EQ(NodeGrid[2].Rho, 100);
    EXPECT_EQ(NodeGrid[3].Rho, 1e22);
    EXPECT_EQ(NodeGrid[19].Rho, 1e22);
    EXPECT_EQ(NodeGrid[20].Rho, 300);
    EXPECT_EQ(NodeGrid[22].Rho, 300);
}

// ---- DoTimeStep and ShiftTimeLevels: formulas --------------------------------------------

TEST(TimeStep, FourNodesOrFewerChangeNothing) {
    ASSERT_EQ(InitGrid(2.5e-5, 1e-5, 2e-10), 4);
    SetMaterial(0, 3, 1000, 1e9, 1, 0, 1e-9);
    PiezoFirst = 1;
    PiezoLast = 0;
    for (GridNode &n : NodeGrid)
        n.S[1] = n.V[1] = 1;
    const std::vector<GridNode> before = NodeGrid;
    HookGuard hook(&CountYield);
    YieldCount = 0;
    EXPECT_EQ(DoTimeStep(5.0), 0.0);
    EXPECT_TRUE(SameBits(before, NodeGrid));
    EXPECT_EQ(YieldCount, 0);
}

TEST(TimeStep, AGridAtRestStaysAtRest) {
    ASSERT_EQ(LayDefaultStack(), 2525);
    for (int step = 0; step < 20; ++step) {
        EXPECT_EQ(DoTimeStep(0.0), 0.0);
        ShiftTimeLevels();
    }
    for (const GridNode &n : NodeGrid)
        for (int l = 0; l < 4; ++l)
            ASSERT_TRUE(n.V[l] == 0 && n.S[l] == 0 && n.E[l] == 0 && !std::signbit(n.V[l]));
}

TEST(TimeStep, CurrentIntoThreePlateNodes) {
    ASSERT_EQ(InitGrid(6.5e-5, 1e-5, 1e-9), 8);
    SetMaterial(2, 4, 1000, 0, 0, 0, 1e-8);
    PiezoFirst = 2;
    PiezoLast = 4;
    const double u = DoTimeStep(1.0);
    const double e0 = 24.0 / 23.0 * 1e-9 / 1e-8;
    for (int i = 2; i <= 4; ++i)
        EXPECT_NEAR(NodeGrid[i].E[0], e0, 1e-16) << i;
    EXPECT_NEAR(NodeGrid[2].E[0], 0.104347826086956522, 1e-16);
    EXPECT_EQ(NodeGrid[1].E[0], 0);
    EXPECT_EQ(NodeGrid[5].E[0], 0);
    EXPECT_NEAR(u, 3 * 1e-5 * e0, 1e-20);
}

TEST(TimeStep, ASingleStressGivesTheFourthOrderStencil) {
    UniformGrid(0.000215, 2000, 5e9);
    ASSERT_EQ(NodeGrid.size(), 23u);
    const int k = 10;
    NodeGrid[k].S[1] = 1.0;
    DoTimeStep(0.0);
    const double f = 24.0 / 23.0 * 2e-10 / (24 * 1e-5 * 2000.0);
    const double ratio[4] = {-1, 27, -27, 1};
    for (int j = 0; j < 4; ++j)
        EXPECT_NEAR(NodeGrid[k - 2 + j].V[0], ratio[j] * f, 1e-15 * std::abs(ratio[j] * f)) << j;
    for (int i = 0; i < 23; ++i) {
        if (i < k - 2 || i > k + 1) {
            EXPECT_EQ(NodeGrid[i].V[0], 0.0) << i;
        }
    }
}

TEST(TimeStep, ShiftMovesEveryHistoryDownOneLevel) {
    InitGrid(0.0001, 1e-5, 2e-10);
    const size_t high = NodeGrid.size() - 1;
    for (size_t i : {size_t{0}, size_t{5}, high}) {
        GridNode &n = NodeGrid[i];
        for (int l = 0; l < 4; ++l) {
            n.V[l] = 1 + l + 10.0 * i;
            n.S[l] = 100 + l + 10.0 * i;
            n.E[l] = 200 + l + 10.0 * i;
        }
    }
    ShiftTimeLevels();
    for (size_t i : {size_t{0}, size_t{5}, high}) {
        const GridNode &n = NodeGrid[i];
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
        ASSERT_EQ(LayDefaultStack(), 2525);
        std::vector<GridNode> plain = NodeGrid;
        HookGuard hook(hooked ? &CountYield : nullptr);
        for (int step = 0; step < 700; ++step) {
            if (step == 300) { // a caller writing completed levels directly
                NodeGrid[1500].V[1] += 1e-4;
                plain[1500].V[1] += 1e-4;
                NodeGrid[740].E[2] = -3;
                plain[740].E[2] = -3;
            }
            if (step == 400 || step == 450)
                Dx = step == 400 ? 1.1e-5 : 1e-5;
            const double u = DoTimeStep(Pulse(step));
            const double uRef = ref.Step(plain, Dx, Dt, PiezoFirst, PiezoLast, Pulse(step));
            ASSERT_EQ(std::memcmp(&u, &uRef, sizeof u), 0) << "step " << step;
            ASSERT_TRUE(SameBits(NodeGrid, plain)) << "step " << step;
            ShiftTimeLevels();
            Reference::Shift(plain);
        }
        // The pulse has left the plate both ways and the comparison covered moving fields.
        EXPECT_NE(NodeGrid[700].V[1], 0.0);
        EXPECT_NE(NodeGrid[800].V[1], 0.0);
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
        ASSERT_EQ(InitGrid(0.000605, 1e-5, 2e-10), 62);
        for (GridNode &n : NodeGrid) {
            for (double *h : {n.V, n.S, n.E})
                for (int l = 0; l < 4; ++l)
                    h[l] = value();
            n.Rho = 1000 + 9000 * std::abs(unit(random));
            n.C33 = 1e11 * std::abs(unit(random));
            n.Eta = 1000 * std::abs(unit(random));
            n.PiezoE33 = 10 * unit(random);
            n.Eps = 1e-8 * (1.01 + unit(random));
        }
        PiezoFirst = 10;
        PiezoLast = 40;
        std::vector<GridNode> plain = NodeGrid;
        for (int step = 0; step < 3; ++step) {
            const double j = value();
            const double u = DoTimeStep(j);
            const double uRef = ref.Step(plain, Dx, Dt, PiezoFirst, PiezoLast, j);
            ASSERT_EQ(std::memcmp(&u, &uRef, sizeof u), 0) << round << " " << step;
            ASSERT_TRUE(SameBits(NodeGrid, plain)) << round << " " << step;
            ShiftTimeLevels();
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
    for (size_t i = 0; i < NodeGrid.size(); ++i)
        for (int l = 1; l < 4; ++l)
            if (std::memcmp(&NodeGrid[i].V[l], &CompletedLevels[i].V[l], sizeof(double)) != 0 ||
                std::memcmp(&NodeGrid[i].S[l], &CompletedLevels[i].S[l], sizeof(double)) != 0 ||
                std::memcmp(&NodeGrid[i].E[l], &CompletedLevels[i].E[l], sizeof(double)) != 0)
                ++StaleReads;
}
} // namespace

TEST(TimeStep, YieldsOncePerNodeUpdateAndHandlersSeeCompletedLevels) {
    ASSERT_EQ(LayDefaultStack(), 2525);
    const int high = static_cast<int>(NodeGrid.size()) - 1;
    const int perStep = (high - 3) + (PiezoLast - PiezoFirst + 1) + (high - 3);
    EXPECT_EQ(perStep, 2521 + 41 + 2521);
    HookGuard hook(&CheckCompletedLevels);
    // On one thread every node update is the calling thread's; on several, the hook runs before
    // the calling thread's own updates only (test_fdtd_threads).
    SetSolverThreads(1);
    for (int step = 0; step < 30; ++step) {
        CompletedLevels = NodeGrid;
        YieldCount = 0;
        StaleReads = 0;
        DoTimeStep(Pulse(step));
        EXPECT_EQ(YieldCount, perStep) << step;
        EXPECT_EQ(StaleReads, 0) << step;
        YieldCount = 0;
        ShiftTimeLevels();
        EXPECT_EQ(YieldCount, 0);
    }
    SetSolverThreads(0);
}

namespace {
void RaiseEveryFlag() {
    std::feraiseexcept(FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW);
}
} // namespace

TEST(TimeStep, FlagsLeftByAYieldHandlerAreNotTheStepsFaults) {
    ASSERT_EQ(LayDefaultStack(), 2525);
    std::vector<GridNode> quiet = NodeGrid;
    std::vector<GridNode> noisy = NodeGrid;
    for (int step = 0; step < 50; ++step) {
        NodeGrid.swap(quiet);
        const double u1 = DoTimeStep(Pulse(step));
        ShiftTimeLevels();
        NodeGrid.swap(quiet);
        NodeGrid.swap(noisy);
        double u2 = 0;
        {
            HookGuard hook(&RaiseEveryFlag);
            ASSERT_NO_THROW(u2 = DoTimeStep(Pulse(step))) << step;
        }
        ShiftTimeLevels();
        NodeGrid.swap(noisy);
        ASSERT_EQ(u1, u2);
    }
    EXPECT_TRUE(SameBits(quiet, noisy));
    // A real fault still surfaces with the same noisy handler.
    NodeGrid.swap(noisy);
    SetMaterial(1000, 1010, 0, 67e9, 0, 0, 1e22);
    HookGuard hook(&RaiseEveryFlag);
    EXPECT_THROW(DoTimeStep(0.0), FloatingPointError);
}

// ---- faults ---------------------------------------------------------------------------------

TEST(TimeStepFaults, ZeroDensityInTheVelocityUpdate) {
    ASSERT_EQ(LayDefaultStack(), 2525);
    SetMaterial(1000, 1100, 0, 275e9, 0, 0, 8.85e-12); // at rest: 0 / 0
    try {
        DoTimeStep(0.0);
        FAIL() << "no error";
    } catch (const FloatingPointError &e) {
        EXPECT_NE(std::string(e.what()).find("Invalid floating-point operation"), std::string::npos)
            << e.what();
        EXPECT_NE(std::string(e.what()).find("velocity"), std::string::npos) << e.what();
    }
    EXPECT_TRUE(std::isnan(NodeGrid[1000].V[0]));
    EXPECT_EQ(NodeGrid[1000].V[1], 0.0);
}

TEST(TimeStepFaults, ZeroPermittivityOnAPlateNode) {
    ASSERT_EQ(LayDefaultStack(), 2525);
    NodeGrid[740].Eps = 0;
    try {
        DoTimeStep(1e3);
        FAIL() << "no error";
    } catch (const FloatingPointError &e) {
        EXPECT_NE(std::string(e.what()).find("division by zero"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("field"), std::string::npos) << e.what();
    }
    ASSERT_EQ(LayDefaultStack(), 2525);
    NodeGrid[740].Eps = 0;
    EXPECT_THROW(DoTimeStep(0.0), FloatingPointError); // 0 / 0
}

TEST(TimeStepFaults, ZeroSpatialStep) {
    ASSERT_EQ(LayDefaultStack(), 2525);
    Dx = 0.0;
    EXPECT_THROW(DoTimeStep(0.0), FloatingPointError);
    Dx = 1e-5;
    EXPECT_NO_THROW(DoTimeStep(0.0));
}

TEST(TimeStepFaults, ADivergingSchemeEndsInOverflowNotInInfinity) {
    ASSERT_EQ(LayDefaultStack(), 2525);
    Dt = 2e-8; // a hundred times too large for these sound speeds
    bool thrown = false;
    for (int step = 0; step < 20000 && !thrown; ++step) {
        try {
            DoTimeStep(Pulse(step));
            ShiftTimeLevels();
        } catch (const FloatingPointError &e) {
            thrown = true;
            EXPECT_TRUE(std::string(e.what()).find("overflow") != std::string::npos ||
                        std::string(e.what()).find("Invalid") != std::string::npos)
                << e.what();
        }
    }
    ASSERT_TRUE(thrown);
    for (const GridNode &n : NodeGrid)
        ASSERT_TRUE(std::isfinite(n.V[1]) && std::isfinite(n.S[1]) && std::isfinite(n.E[1]));
}

TEST(TimeStepFaults, APlateOutsideTheGridIsRefused) {
    NodeGrid.clear();
    PiezoFirst = PiezoLast = 0; // the state before any task
    EXPECT_THROW(DoTimeStep(1.0), std::out_of_range);
    ASSERT_EQ(LayDefaultStack(), 2525);
    PiezoLast = 2524;
    const std::vector<GridNode> before = NodeGrid;
    HookGuard hook(&CountYield);
    YieldCount = 0;
    EXPECT_THROW(DoTimeStep(1.0), std::out_of_range);
    EXPECT_EQ(YieldCount, 0);
    EXPECT_TRUE(SameBits(before, NodeGrid));
}
