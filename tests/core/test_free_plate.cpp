// SPDX-License-Identifier: GPL-3.0-or-later
// A free piezo plate driven by the generator, end to end: the engine's run, then the impedance of
// the recorded plate voltage and current, against the thickness-mode impedance of a plate with
// stress-free faces,
//   Z(f) = (1/(jωC0))·(1 − kt²·tan(x)/x),  x = ωh/(2vD),  vD = sqrt(cD/ρ),
//   cD = C33 + e33²/ε,  kt² = e33²/(cD·ε),  C0 = ε·A/h,
// with fa = vD/(2h) and fr the first zero of the bracket.
//
// The stack: backing and protector 0.3 mm thick with no stiffness and no viscosity, so the plate's
// faces carry no stress; their density (1000 kg/m³) keeps the step stable (the node beside a face
// is a mass on the plate's stiffness; at 700 kg/m³ the strongly coupled plate diverges) and loads
// each face a little: fr and fa come out about 0.15 % low, a shift of first order in Dx (see
// docs/validation.md). Electrodes, liquid and test object are 0 thick. The plate is 0.4 mm; on the
// grid its thickness is h = (PiezoLast − PiezoFirst)·Dx, and the analytic values are taken for
// that h (here exactly 0.4 mm: 20 cells). Grid: Dx = 20 µm, Dt = 2 ns; run: 1000 µs = 500,000
// steps. The plate's viscosity of 3 Pa·s gives a quality factor of about 1300 at 5 MHz: its ringing
// decays by e^−12 within the run (the transform then sees the whole response), and the loss hardly
// moves the |Z| extrema away from the lossless fr and fa.
//
// With PEP_FREE_PLATE_CSV set to a folder, the computed and analytic curves of each plate are
// written there as free-plate-<name>.csv (for the picture in docs/).
#include <gtest/gtest.h>

#include <charconv>
#include <chrono>
#include <cmath>
#include <complex>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <numbers>
#include <string>
#include <vector>

#include "analysis/Impedance.h"
#include "run/Engine.h"

namespace {

using std::numbers::pi;
using Complex = std::complex<double>;

struct PlateMaterial {
    double Rho, C33_GPa, D33_pC_N, EpsR, Eta;
};

constexpr double kDx_um = 20, kDt_ns = 2, kDuration_us = 1000, kFaceRho = 1000, kArea_mm2 = 50;

EngineInputs FreePlateInputs(const PlateMaterial &m) {
    EngineInputs in;
    const LayerInputs face{0.3L, kFaceRho, 0, 0};
    const LayerInputs empty{0, 1000, 0, 0};
    in.Task.Layers[Backing] = face;
    in.Task.Layers[Electrode1] = empty;
    in.Task.Layers[Plate] = {0.4L, m.Rho, m.C33_GPa, m.Eta};
    in.Task.Layers[Electrode2] = empty;
    in.Task.Layers[Protector] = face;
    in.Task.Layers[Liquid] = empty;
    in.Task.Layers[Sample] = empty;
    in.Task.PiezoD33 = m.D33_pC_N;
    in.Task.RelativePermittivity = m.EpsR;
    in.Task.DeltaX = kDx_um;
    in.Task.DeltaT = kDt_ns;
    // The generator with the parameter window's initial values.
    in.Generator = {.ChargeVoltage = 300,
                    .C = 68,
                    .R = 180,
                    .L = 1.2L,
                    .RL = 0.01L,
                    .Ron = 16,
                    .Roff = 10000,
                    .Tfront = 10,
                    .Tpulse = 100,
                    .Ucut = 600};
    in.PlateAreaMm2 = kArea_mm2;
    return in;
}

// The thickness mode of a plate of thickness h (m), in SI units inside.
struct ThicknessMode {
    PlateMaterial m;
    double h;
    long double e33() const { return m.D33_pC_N * 1e-12L * m.C33_GPa * 1e9L; }
    long double eps() const { return m.EpsR * 8.85e-12L; }
    long double cD() const { return m.C33_GPa * 1e9L + e33() * e33() / eps(); }
    double kt2() const { return static_cast<double>(e33() * e33() / (cD() * eps())); }
    double C0_pF() const { return static_cast<double>(eps() * kArea_mm2 * 1e-6L / h * 1e12L); }
    double fa_MHz() const { return static_cast<double>(std::sqrt(cD() / m.Rho) / (2 * h) / 1e6L); }
    // First zero of 1 − kt²·tan(x)/x, i.e. x·cot(x) = kt² on (0, π/2), by bisection.
    double fr_MHz() const {
        long double lo = 1e-9L, hi = pi / 2;
        for (int i = 0; i < 200; ++i) {
            const long double x = (lo + hi) / 2;
            (x / std::tan(x) > kt2() ? lo : hi) = x;
        }
        return static_cast<double>(fa_MHz() * lo / (pi / 2));
    }
    double keff() const { return std::sqrt(1 - std::pow(fr_MHz() / fa_MHz(), 2)); }
    // Z with the plate's viscosity as an imaginary stiffness jωη (for the curves; finite at fr, fa).
    Complex Z(double f_MHz) const {
        const double w = 2 * pi * f_MHz * 1e6;
        const Complex c = Complex(static_cast<double>(cD()), w * m.Eta);
        const double e2 = static_cast<double>(e33() * e33()), ep = static_cast<double>(eps());
        const Complex kt2c = e2 / (c * ep), v = std::sqrt(c / m.Rho), x = w * h / (2.0 * v);
        const double c0 = ep * kArea_mm2 * 1e-6 / h;
        return (1.0 - kt2c * std::tan(x) / x) / Complex(0, w * c0);
    }
};

struct PlateCase {
    const char *Name;
    PlateMaterial Material;
};

void AppendNumber(std::string &line, double v) {
    char buf[32];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
    line.append(buf, end);
}

void WriteCsv(const std::string &path, const ImpedanceFigures &z, const ThicknessMode &a) {
    std::ofstream out(path);
    out << "f_MHz,absZ_Ohm,absZ_analytic_Ohm,phase_deg,phase_analytic_deg\n";
    for (std::size_t k = 0; k < z.f_MHz.size() && z.f_MHz[k] <= 3 * a.fa_MHz(); ++k) {
        const Complex za = a.Z(z.f_MHz[k]);
        std::string line;
        for (double v : {z.f_MHz[k], z.AbsZ_Ohm[k], std::abs(za), z.Phase_deg[k], std::arg(za) * 180 / pi}) {
            if (!line.empty())
                line += ',';
            AppendNumber(line, v);
        }
        out << line << '\n';
    }
}

void PrintTo(const PlateCase &c, std::ostream *os) {
    *os << c.Name;
}

class FreePlate : public ::testing::TestWithParam<PlateCase> {};

} // namespace

TEST_P(FreePlate, ResonancesAndCouplingMatchTheThicknessMode) {
    const PlateCase &plate = GetParam();
    TSimulationEngine engine;
    ASSERT_EQ(engine.CreateTask(FreePlateInputs(plate.Material)), "");
    std::vector<double> U, I;
    engine.OnSample = [&](double, const TSimulationEngine::Sample &s) {
        U.push_back(s[2]); // Upep
        I.push_back(s[5]); // Ipep
    };
    const int steps = static_cast<int>(std::lround(kDuration_us * 1000 / kDt_ns));
    const auto start = std::chrono::steady_clock::now();
    for (int k = 0; k < steps; ++k)
        ASSERT_TRUE(engine.Iterate()) << "step " << k << ": " << engine.Failure().What;
    const double runSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    // The ringing has died out: the last samples are a millionth of the peak voltage or less.
    const double peakU = std::abs(
        *std::max_element(U.begin(), U.end(), [](double a, double b) { return std::abs(a) < std::abs(b); }));
    ASSERT_LT(std::abs(U.back()), 1e-6 * peakU);

    const ThicknessMode a{plate.Material,
                          (engine.Layout().PiezoLast - engine.Layout().PiezoFirst) * engine.Layout().Dx};
    EXPECT_NEAR(a.h, 0.4e-3, 1e-12); // 20 cells: the grid's plate is the input's
    const ImpedanceFigures z = ComputeImpedance(U, I, 0, U.size(), kDt_ns * 1e-3);
    ASSERT_TRUE(z.Valid) << z.Reason;
    ASSERT_TRUE(z.SeriesFound && z.ParallelFound && z.CapacitanceFound && z.ClampedFound);
    std::printf("%s plate, h = %.4f mm, %zu samples, run %.2f s:\n"
                "  fr %.5f MHz (analytic %.5f, %+.3f %%)\n  fa %.5f MHz (analytic %.5f, %+.3f %%)\n"
                "  keff %.5f (analytic %.5f, %+.3f %%), kt %.5f (analytic %.5f)\n"
                "  Cfree %.2f pF (analytic %.2f), C0 %.2f pF (analytic %.2f)\n",
                plate.Name, a.h * 1e3, U.size(), runSeconds, z.fr_MHz, a.fr_MHz(),
                100 * (z.fr_MHz / a.fr_MHz() - 1), z.fa_MHz, a.fa_MHz(), 100 * (z.fa_MHz / a.fa_MHz() - 1),
                z.keff, a.keff(), 100 * (z.keff / a.keff() - 1), z.kt, std::sqrt(a.kt2()), z.Cfree_pF,
                a.C0_pF() / (1 - a.kt2()), z.C0_pF, a.C0_pF());

    EXPECT_NEAR(z.fr_MHz / a.fr_MHz(), 1, 0.005);
    EXPECT_NEAR(z.fa_MHz / a.fa_MHz(), 1, 0.005);
    EXPECT_NEAR(z.keff / a.keff(), 1, 0.02);
    EXPECT_NEAR(z.kt / std::sqrt(a.kt2()), 1, 0.02);
    EXPECT_NEAR(z.Cfree_pF / (a.C0_pF() / (1 - a.kt2())), 1, 0.005);
    EXPECT_NEAR(z.C0_pF / a.C0_pF(), 1, 0.005);
    // Away from the resonance the plate is its capacitance: |Z| follows the analytic curve.
    for (std::size_t k = 0; k < z.f_MHz.size(); ++k) {
        if (z.f_MHz[k] > 0.1 * a.fa_MHz() && z.f_MHz[k] < 0.6 * a.fa_MHz()) {
            ASSERT_NEAR(z.AbsZ_Ohm[k] / std::abs(a.Z(z.f_MHz[k])), 1, 0.005) << z.f_MHz[k];
        }
    }

    // Given the plate's thickness mode, C0 is read at twice it (the plate one wavelength thick):
    // the clamped capacitance ε·A/h within 0.2 %, as the parameter window shows it.
    const ImpedanceFigures full = ComputeImpedance(U, I, 0, U.size(), kDt_ns * 1e-3, 0, 0, a.fa_MHz());
    ASSERT_TRUE(full.ClampedFound) << full.C0Reason;
    EXPECT_EQ(full.C0Frequency_MHz, 2 * a.fa_MHz());
    EXPECT_NEAR(full.C0_pF / a.C0_pF(), 1, 0.002);
    std::printf("  C0 at 2·fa %.2f pF (%+.3f %%)\n", full.C0_pF, 100 * (full.C0_pF / a.C0_pF() - 1));
    // The first 2 µs alone have not rung out: C0 is withheld.
    const ImpedanceFigures cut = ComputeImpedance(U, I, 0, 1000, kDt_ns * 1e-3, 0, 0, a.fa_MHz());
    EXPECT_FALSE(cut.ClampedFound);
    EXPECT_EQ(cut.C0Reason, "Колебания не затухли к концу участка: емкость C0 не определяется.");

    if (const char *folder = std::getenv("PEP_FREE_PLATE_CSV"))
        WriteCsv(std::string(folder) + "/free-plate-" + plate.Name + ".csv", z, a);
}

// The default plate (ρ 7600, C33 121 GPa, d33 40 pC/N, εr 1300: kt ≈ 0.13) and a strongly
// coupled one (ρ 7500, C33 111 GPa, d33 207 pC/N, εr 1470: e33 ≈ 23 C/m², kt ≈ 0.52).
INSTANTIATE_TEST_SUITE_P(Plates, FreePlate,
                         ::testing::Values(PlateCase{"default", {7600, 121, 40, 1300, 3}},
                                           PlateCase{"strong", {7500, 111, 207, 1470, 3}}),
                         [](const ::testing::TestParamInfo<PlateCase> &info) { return info.param.Name; });
