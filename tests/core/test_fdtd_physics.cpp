// SPDX-License-Identifier: GPL-3.0-or-later
// The time step against the physics it discretises: a driven transducer stack, the sound speed
// sqrt(C33 / rho), the reflection at an interface and the thickness resonance of a plate.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>

#include "../DefaultStack.h"
#include "../TestSolver.h"

namespace {

constexpr double kDx = 1e-5;
constexpr double kDt = 2e-10;

double Step(double J = 0.0) {
    const double u = Solver.DoTimeStep(J, &Yield);
    Solver.ShiftTimeLevels();
    return u;
}

// Kinetic energy per unit area of nodes [first, last).
double KineticEnergy(int first, int last) {
    double e = 0;
    for (int i = first; i < last; ++i)
        e += 0.5 * Solver.Coefficients[i].Density * Solver.NodeGrid[i].V[1] * Solver.NodeGrid[i].V[1] * kDx;
    return e;
}

// A Gaussian stress at rest (all history levels alike): it splits into two halves running
// apart at the sound speed.
void StressBump(int centre, double width) {
    for (size_t i = 0; i < Solver.NodeGrid.size(); ++i) {
        const double x = (static_cast<double>(i) - centre) / width;
        for (int l = 0; l < 4; ++l)
            Solver.NodeGrid[i].S[l] = std::exp(-0.5 * x * x);
    }
}

// Position (in nodes, parabola through the extremum) and value of the largest |S1| in [first, last).
std::pair<double, double> StressPeak(int first, int last) {
    int k = first;
    for (int i = first; i < last; ++i)
        if (std::abs(Solver.NodeGrid[i].S[1]) > std::abs(Solver.NodeGrid[k].S[1]))
            k = i;
    const double a = Solver.NodeGrid[k - 1].S[1], b = Solver.NodeGrid[k].S[1],
                 c = Solver.NodeGrid[k + 1].S[1];
    const double shift = 0.5 * (a - c) / (a - 2 * b + c);
    return {k + shift, b - 0.25 * (a - c) * shift};
}

} // namespace

TEST(Physics, DrivenStackStaysFiniteAndRadiatesBothWays) {
    ASSERT_EQ(LayDefaultStack(Solver), 2525);
    for (int step = 0; step < 600; ++step) {
        Step(Pulse(step));
        for (const GridNode &n : Solver.NodeGrid)
            ASSERT_TRUE(std::isfinite(n.V[1]) && std::isfinite(n.S[1]) && std::isfinite(n.E[1])) << step;
    }
    const double backing = KineticEnergy(126, 722);
    const double plate = KineticEnergy(728, 768);
    const double front = KineticEnergy(774, 2420);
    std::cout << "kinetic energy J/m^2: backing " << backing << ", plate " << plate << ", front " << front
              << "\n";
    EXPECT_GT(backing, 0.01 * plate);
    EXPECT_GT(front, 0.01 * plate);
    // The wave fronts have not reached the far part of the test object nor the outer face of
    // the backing (the stencil's numerical precursor there is negligible).
    EXPECT_LT(KineticEnergy(1000, 2525), 1e-30 * front);
    EXPECT_LT(KineticEnergy(0, 400), 1e-30 * backing);
}

TEST(Physics, PulseTravelsAtTheSoundSpeed) {
    const double rho = 7800, c33 = 275e9;
    ASSERT_EQ(Solver.InitGrid(0.03, kDx, kDt), 3001);
    Solver.SetMaterial(0, 3000, rho, c33, 0, 0, 8.85e-12);
    Solver.PiezoFirst = 1;
    Solver.PiezoLast = 0;
    StressBump(1000, 15);
    const int n1 = 2000, n2 = 8000;
    for (int step = 0; step < n1; ++step)
        Step();
    const double x1 = StressPeak(1001, 2990).first;
    for (int step = n1; step < n2; ++step)
        Step();
    const double x2 = StressPeak(1001, 2990).first;
    const double measured = (x2 - x1) * kDx / ((n2 - n1) * kDt);
    const double expected = std::sqrt(c33 / rho);
    std::cout << "sound speed " << measured << " m/s, expected " << expected << "\n";
    EXPECT_NEAR(measured / expected, 1.0, 1e-3);
}

TEST(Physics, ReflectionAtAnInterfaceFollowsTheImpedances) {
    const double rho1 = 7800, c1 = 275e9, rho2 = 2650, c2 = 90e9;
    ASSERT_EQ(Solver.InitGrid(0.03, kDx, kDt), 3001);
    Solver.SetMaterial(0, 1999, rho1, c1, 0, 0, 8.85e-12);
    Solver.SetMaterial(2000, 3000, rho2, c2, 0, 0, 8.85e-12);
    Solver.PiezoFirst = 1;
    Solver.PiezoLast = 0;
    StressBump(1400, 15);
    for (int step = 0; step < 7500; ++step)
        Step();
    const double incident = StressPeak(200, 900).second;    // the left-running twin
    const double reflected = StressPeak(1450, 1960).second; // back from the interface
    const double transmitted = StressPeak(2040, 2800).second;
    const double z1 = std::sqrt(rho1 * c1), z2 = std::sqrt(rho2 * c2);
    std::cout << "incident " << incident << ", R " << reflected / incident << " (expected "
              << (z2 - z1) / (z2 + z1) << "), T " << transmitted / incident << " (expected "
              << 2 * z2 / (z1 + z2) << ")\n";
    EXPECT_NEAR(incident, 0.5, 0.01);
    EXPECT_NEAR(reflected / incident, (z2 - z1) / (z2 + z1), 0.002);
    EXPECT_NEAR(transmitted / incident, 2 * z2 / (z1 + z2), 0.002);
}

// An unclamped plate rings at c / 2h after a short current pulse; with the circuit open the
// field stiffens the plate, c = sqrt((C33 + e33^2 / eps) / rho).
TEST(Physics, FreePlateRingsAtItsThicknessResonance) {
    const double rho = 7600, c33 = 121e9, e33 = 4.84, eps = 1300 * 8.85e-12;
    ASSERT_EQ(Solver.InitGrid(0.00405, kDx, kDt), 406);
    // Movable surround without stiffness: free faces.
    Solver.SetMaterial(0, 405, rho, 0, 0, 0, 1e22);
    Solver.SetMaterial(100, 299, rho, c33, 0, e33, eps);
    Solver.PiezoFirst = 100;
    Solver.PiezoLast = 299;
    std::vector<double> voltage;
    for (int step = 0; step < 40000; ++step) {
        const double u = Step(step < 20 ? 1e4 : 0.0);
        if (step >= 100 && step % 10 == 0) // a period is about 5000 steps
            voltage.push_back(u);
    }
    double mean = 0;
    for (double u : voltage)
        mean += u / static_cast<double>(voltage.size());
    // Amplitude spectrum with a Hann window, searched finely around the expected line.
    const double h = 200 * kDx;
    const double expected = std::sqrt((c33 + e33 * e33 / eps) / rho) / (2 * h);
    auto amplitude = [&](double f) {
        std::complex<double> sum = 0;
        const double n = static_cast<double>(voltage.size());
        for (size_t k = 0; k < voltage.size(); ++k) {
            const double w = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * static_cast<double>(k) / n);
            sum += w * (voltage[k] - mean) *
                   std::polar(1.0, -2 * std::numbers::pi * f * 10 * kDt * static_cast<double>(k));
        }
        return std::abs(sum);
    };
    double best = 0, bestF = 0;
    for (double f = 0.5 * expected; f <= 1.5 * expected; f += 0.0005 * expected)
        if (const double a = amplitude(f); a > best) {
            best = a;
            bestF = f;
        }
    std::cout << "resonance " << bestF << " Hz, expected " << expected << " Hz\n";
    // The faces lie within a node of the nominal thickness (0.5 %).
    EXPECT_NEAR(bestF / expected, 1.0, 0.01);
    EXPECT_GT(best, 10 * amplitude(0.6 * expected)); // a clear line, not noise
}
