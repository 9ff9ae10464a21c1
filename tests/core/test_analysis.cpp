// SPDX-License-Identifier: GPL-3.0-or-later
// The analysis against networks and pulses whose impedance and spectrum are known in closed form:
// a resistor, a series RC, a series RLC, a parallel RLC and a crystal-like network (a capacitance
// beside a series RLC), each driven by a smooth pulse that starts and ends at rest inside the
// record; and Gaussian-modulated sines for the pulse figures.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <functional>
#include <limits>
#include <numbers>
#include <vector>

#include "analysis/FourierBuffer.h"
#include "analysis/Impedance.h"
#include "analysis/PulseFigures.h"

namespace {

using std::numbers::pi;
using Complex = std::complex<double>;

constexpr double kDt_us = 0.01; // 10 ns
constexpr double kCentre_us = 2.0;
constexpr double kSigma_us = 0.05; // the driving pulse's width: content up to about 15 MHz

// A Gaussian g(t) = exp(−(t − tc)²/(2σ²)) and its first two time derivatives, t in µs, derivatives
// per second.
struct Gaussian {
    double g, d1, d2;
};
Gaussian GaussianAt(double t_us) {
    const double s = kSigma_us * 1e-6, u = (t_us - kCentre_us) * 1e-6;
    const double g = std::exp(-u * u / (2 * s * s));
    return {g, -u / (s * s) * g, (u * u / (s * s * s * s) - 1 / (s * s)) * g};
}

struct Record {
    std::vector<double> U, I;
};

// U and I of a network whose state variable x (charge for a series network, flux for a parallel
// one) is the Gaussian: the two signals as functions of (x, x', x'').
Record Synthesize(std::size_t n, const std::function<void(const Gaussian &, double &, double &)> &signals) {
    Record r{std::vector<double>(n), std::vector<double>(n)};
    for (std::size_t j = 0; j < n; ++j)
        signals(GaussianAt(static_cast<double>(j) * kDt_us), r.U[j], r.I[j]);
    return r;
}

double Relative(double a, double b) {
    return std::abs(a - b) / std::abs(b);
}

// Largest deviation of the curve from Z(f): relative in |Z|, absolute in phase (degrees).
void ExpectCurve(const ImpedanceFigures &r, const std::function<Complex(double)> &z, double relTol,
                 double degTol) {
    ASSERT_TRUE(r.Valid) << r.Reason;
    ASSERT_GT(r.f_MHz.size(), 100u);
    double worstAbs = 0, worstPhase = 0;
    for (std::size_t k = 0; k < r.f_MHz.size(); ++k) {
        if (r.f_MHz[k] == 0)
            continue;
        const Complex expected = z(r.f_MHz[k]);
        worstAbs = std::max(worstAbs, Relative(r.AbsZ_Ohm[k], std::abs(expected)));
        worstPhase = std::max(worstPhase, std::abs(r.Phase_deg[k] - std::arg(expected) * 180 / pi));
    }
    EXPECT_LT(worstAbs, relTol);
    EXPECT_LT(worstPhase, degTol);
}

double Omega(double f_MHz) {
    return 2 * pi * f_MHz * 1e6;
}

// Extremum of |Z(f)| in [lo, hi] by golden-section search (sign +1 minimum, −1 maximum).
double Extremum(const std::function<Complex(double)> &z, double lo, double hi, double sign) {
    const double g = (std::sqrt(5.0) - 1) / 2;
    for (int i = 0; i < 200; ++i) {
        const double a = hi - g * (hi - lo), b = lo + g * (hi - lo);
        if (sign * std::abs(z(a)) < sign * std::abs(z(b)))
            hi = b;
        else
            lo = a;
    }
    return (lo + hi) / 2;
}

} // namespace

TEST(FourierLength, NiceLengthsHaveOnlyFactorsTwoThreeFive) {
    struct Case {
        std::size_t n, nice;
    };
    for (const Case &c : {Case{1, 1}, Case{2, 2}, Case{7, 8}, Case{11, 12}, Case{13, 15}, Case{49, 50},
                          Case{1000001, 1012500}, Case{2000000, 2000000}})
        EXPECT_EQ(NiceFftLength(c.n), c.nice) << c.n;
    // Eight times a short stretch, twice a long one.
    EXPECT_EQ(PaddedFftLength(4096), 32768u);
    EXPECT_EQ(PaddedFftLength(300000), 2097152u);
    EXPECT_EQ(PaddedFftLength(1000000), 2097152u);
    EXPECT_EQ(PaddedFftLength(2000000), 4000000u);
}

TEST(Impedance, OfAResistorIsItsResistanceAtEveryFrequency) {
    const double R = 75;
    const Record rec = Synthesize(4096, [&](const Gaussian &q, double &u, double &i) {
        i = q.d1;
        u = R * i;
    });
    const ImpedanceFigures r = ComputeImpedance(rec.U, rec.I, 0, rec.U.size(), kDt_us);
    ExpectCurve(
        r, [&](double) { return Complex(R, 0); }, 1e-9, 1e-7);
    EXPECT_FALSE(r.SeriesFound);
    EXPECT_FALSE(r.ParallelFound);
    EXPECT_FALSE(r.CapacitanceFound);
    EXPECT_EQ(r.GridStep_MHz, 1 / (32768 * kDt_us));
}

TEST(Impedance, OfASeriesRCGivesItsResistanceAndCapacitance) {
    const double R = 50, C = 1e-9;
    const Record rec = Synthesize(4096, [&](const Gaussian &q, double &u, double &i) {
        const double charge = 1e-9 * q.g, current = 1e-9 * q.d1;
        i = current;
        u = R * current + charge / C;
    });
    const auto z = [&](double f) { return Complex(R, -1 / (Omega(f) * C)); };
    const ImpedanceFigures r = ComputeImpedance(rec.U, rec.I, 0, rec.U.size(), kDt_us);
    ExpectCurve(r, z, 1e-6, 1e-4);
    ASSERT_TRUE(r.CapacitanceFound);
    EXPECT_LT(Relative(r.Cfree_pF, 1000), 1e-6);
    // The resistance is the real part at every frequency.
    for (std::size_t k = 0; k < r.f_MHz.size(); k += 97)
        EXPECT_LT(Relative(r.AbsZ_Ohm[k] * std::cos(r.Phase_deg[k] * pi / 180), R), 1e-3) << r.f_MHz[k];
    EXPECT_FALSE(r.SeriesFound);
    EXPECT_FALSE(r.ParallelFound);
}

TEST(Impedance, OfASeriesRLCFindsItsResonance) {
    const double R = 20, C = 1e-9, L = 1 / (std::pow(Omega(3), 2) * C); // resonance at 3 MHz
    const Record rec = Synthesize(4096, [&](const Gaussian &q, double &u, double &i) {
        i = 1e-9 * q.d1;
        u = L * 1e-9 * q.d2 + R * i + 1e-9 * q.g / C;
    });
    const auto z = [&](double f) { return Complex(R, Omega(f) * L - 1 / (Omega(f) * C)); };
    const ImpedanceFigures r = ComputeImpedance(rec.U, rec.I, 0, rec.U.size(), kDt_us);
    ExpectCurve(r, z, 1e-6, 1e-4);
    ASSERT_TRUE(r.SeriesFound);
    EXPECT_LT(Relative(r.fr_MHz, 3.0), 1e-5);
    EXPECT_LT(Relative(r.Zr_Ohm, R), 1e-4);
    EXPECT_FALSE(r.ParallelFound);
    ASSERT_TRUE(r.CapacitanceFound);
    EXPECT_LT(Relative(r.Cfree_pF, 1000), 1e-4);
}

TEST(Impedance, OfAParallelRLCFindsItsParallelResonance) {
    const double R = 500, C = 1e-9, L = 1 / (std::pow(Omega(4), 2) * C); // resonance at 4 MHz
    // The flux (integral of U) is the Gaussian: U = Φ', I = U/R + C·U' + Φ/L.
    const Record rec = Synthesize(4096, [&](const Gaussian &q, double &u, double &i) {
        const double flux = 1e-7 * q.g;
        u = 1e-7 * q.d1;
        i = u / R + C * 1e-7 * q.d2 + flux / L;
    });
    const auto z = [&](double f) { return 1.0 / Complex(1 / R, Omega(f) * C - 1 / (Omega(f) * L)); };
    const ImpedanceFigures r = ComputeImpedance(rec.U, rec.I, 0, rec.U.size(), kDt_us);
    ExpectCurve(r, z, 1e-6, 1e-4);
    ASSERT_TRUE(r.ParallelFound);
    EXPECT_LT(Relative(r.fa_MHz, 4.0), 1e-5);
    EXPECT_LT(Relative(r.Za_Ohm, R), 1e-4);
    EXPECT_FALSE(r.SeriesFound);
}

// A capacitance C0 beside a series R1 L1 C1, the lumped picture of a plate near its resonance,
// driven by a Gaussian voltage; the motional current is integrated by fourth-order Runge–Kutta
// with 64 substeps per sample, far below the tolerances.
TEST(Impedance, OfACrystalLikeNetworkGivesBothResonancesAndTheCoupling) {
    const double C0 = 1e-9, C1 = 0.1e-9, L1 = 1 / (std::pow(Omega(3), 2) * C1), R1 = Omega(3) * L1 / 30;
    const std::size_t n = 16384;
    const auto voltage = [](double t_us) { return GaussianAt(t_us); };
    Record rec{std::vector<double>(n), std::vector<double>(n)};
    double i1 = 0, q1 = 0; // motional current and charge
    const int sub = 64;
    const double h = kDt_us * 1e-6 / sub;
    const auto di = [&](double t_us, double i, double q) { return (voltage(t_us).g - R1 * i - q / C1) / L1; };
    for (std::size_t j = 0; j < n; ++j) {
        const double t = static_cast<double>(j) * kDt_us;
        rec.U[j] = voltage(t).g;
        rec.I[j] = C0 * voltage(t).d1 + i1;
        for (int s = 0; s < sub; ++s) {
            const double ts = t + kDt_us * s / sub, th = ts + kDt_us / (2 * sub), te = ts + kDt_us / sub;
            const double k1i = di(ts, i1, q1), k1q = i1;
            const double k2i = di(th, i1 + h / 2 * k1i, q1 + h / 2 * k1q), k2q = i1 + h / 2 * k1i;
            const double k3i = di(th, i1 + h / 2 * k2i, q1 + h / 2 * k2q), k3q = i1 + h / 2 * k2i;
            const double k4i = di(te, i1 + h * k3i, q1 + h * k3q), k4q = i1 + h * k3i;
            i1 += h / 6 * (k1i + 2 * k2i + 2 * k3i + k4i);
            q1 += h / 6 * (k1q + 2 * k2q + 2 * k3q + k4q);
        }
    }
    const auto z = [&](double f) {
        const Complex motional(R1, Omega(f) * L1 - 1 / (Omega(f) * C1));
        return 1.0 / (Complex(0, Omega(f) * C0) + 1.0 / motional);
    };
    const double fr = Extremum(z, 2.5, 3.1, +1), fa = Extremum(z, 3.05, 3.5, -1);
    const ImpedanceFigures r = ComputeImpedance(rec.U, rec.I, 0, n, kDt_us);
    ExpectCurve(r, z, 1e-4, 1e-2);
    ASSERT_TRUE(r.SeriesFound && r.ParallelFound);
    EXPECT_LT(Relative(r.fr_MHz, fr), 1e-5);
    EXPECT_LT(Relative(r.fa_MHz, fa), 1e-5);
    EXPECT_LT(Relative(r.Zr_Ohm, std::abs(z(fr))), 1e-3);
    EXPECT_LT(Relative(r.Za_Ohm, std::abs(z(fa))), 1e-3);
    EXPECT_LT(Relative(r.keff, std::sqrt(1 - fr * fr / (fa * fa))), 1e-4);
    ASSERT_TRUE(r.CapacitanceFound);
    EXPECT_LT(Relative(r.Cfree_pF, 1100), 1e-4);
    ASSERT_TRUE(r.ClampedFound);
    EXPECT_EQ(r.C0_pF, r.Cfree_pF * (1 - r.kt * r.kt));
}

TEST(Impedance, ABandGivenByTheCallerLimitsTheCurveAndTheSearch) {
    const double R = 20, C = 1e-9, L = 1 / (std::pow(Omega(3), 2) * C);
    const Record rec = Synthesize(4096, [&](const Gaussian &q, double &u, double &i) {
        i = 1e-9 * q.d1;
        u = L * 1e-9 * q.d2 + R * i + 1e-9 * q.g / C;
    });
    const ImpedanceFigures r = ComputeImpedance(rec.U, rec.I, 0, rec.U.size(), kDt_us, 2, 4);
    ASSERT_TRUE(r.Valid);
    EXPECT_EQ(r.Band_fmin_MHz, 2);
    EXPECT_EQ(r.Band_fmax_MHz, 4);
    EXPECT_GE(r.f_MHz.front(), 2);
    EXPECT_LE(r.f_MHz.back(), 4);
    EXPECT_LT(Relative(r.fr_MHz, 3.0), 1e-5);
    // A band with the resonance outside finds none.
    EXPECT_FALSE(ComputeImpedance(rec.U, rec.I, 0, rec.U.size(), kDt_us, 4, 6).SeriesFound);
}

TEST(Impedance, RefusesWithAReason) {
    const std::vector<double> u(100, 1.0), zero(100, 0.0);
    std::vector<double> bad(100, 1.0);
    bad[50] = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        std::vector<double> U, I;
        std::size_t first, last;
        double dt, fmin, fmax;
        const char *reason;
    };
    const Case cases[] = {
        {u, u, 10, 10, kDt_us, 0, 0, "Недостаточно данных для расчета импеданса."},
        {u, u, 20, 10, kDt_us, 0, 0, "Недостаточно данных для расчета импеданса."},
        {u, u, 0, 101, kDt_us, 0, 0, "Недостаточно данных для расчета импеданса."},
        {u, u, 0, 3, kDt_us, 0, 0, "Недостаточно данных для расчета импеданса."},
        {{}, {}, 0, 0, kDt_us, 0, 0, "Недостаточно данных для расчета импеданса."},
        {u, zero, 0, 100, kDt_us, 0, 0, "Ток через пластину равен нулю: импеданс не определен."},
        {u, u, 0, 100, 0, 0, 0, "Шаг по времени должен быть положительным."},
        {u, u, 0, 100, -kDt_us, 0, 0, "Шаг по времени должен быть положительным."},
        {u, u, 0, 100, std::numeric_limits<double>::infinity(), 0, 0,
         "Шаг по времени должен быть положительным."},
        {u, bad, 0, 100, kDt_us, 0, 0, "Сигнал содержит нечисловые значения."},
        {bad, u, 0, 100, kDt_us, 0, 0, "Сигнал содержит нечисловые значения."},
        {u, u, 0, 100, kDt_us, 1000, 2000, "В выбранной полосе частот ток через пластину равен нулю."},
    };
    for (const Case &c : cases) {
        const ImpedanceFigures r = ComputeImpedance(c.U, c.I, c.first, c.last, c.dt, c.fmin, c.fmax);
        EXPECT_FALSE(r.Valid);
        EXPECT_EQ(r.Reason, c.reason) << c.first << ".." << c.last;
        EXPECT_TRUE(r.f_MHz.empty());
    }
    // A stretch beyond a NaN is fine.
    EXPECT_TRUE(ComputeImpedance(bad, u, 51, 100, kDt_us).Valid);
}

// exp(−(t − tc)²/(2σ²))·sin(2πf0(t − tc)): its spectrum about f0 is the Gaussian
// exp(−(2π(f − f0)σ)²/2), which falls to the amplitude ratio r at f0 ± sqrt(−2 ln r)/(2πσ); so the
// full band at −6 dB (r = 10^−0.3) is 2·sqrt(0.6 ln 10)/(2πσ) and at −20 dB (r = 0.1)
// 2·sqrt(2 ln 10)/(2πσ). The envelope is the Gaussian itself: it falls to a tenth at tc ± σ·sqrt(2 ln 10).
TEST(PulseFigures, OfAGaussianModulatedSineMatchTheClosedForms) {
    struct Case {
        double f0_MHz, sigma_us, centre_us;
        std::size_t n;
    };
    for (const Case &c :
         {Case{5, 0.2, 3.0037, 1024}, Case{2.25, 0.5, 6.1234, 2000}, Case{10, 0.15, 2.5, 400}}) {
        std::vector<double> y(c.n + 50);
        for (std::size_t j = 0; j < y.size(); ++j) {
            const double t = 0.5 + static_cast<double>(j) * kDt_us - c.centre_us; // record starts at 0.5 µs
            y[j] = 3 * std::exp(-t * t / (2 * c.sigma_us * c.sigma_us)) * std::sin(2 * pi * c.f0_MHz * t);
        }
        const PulseFigures p = ComputePulseFigures(y, 50, 50 + c.n, kDt_us, 0.5);
        ASSERT_TRUE(p.Valid) << p.Reason;
        const double bw6 = 2 * std::sqrt(0.6 * std::log(10.0)) / (2 * pi * c.sigma_us);
        const double bw20 = 2 * std::sqrt(2 * std::log(10.0)) / (2 * pi * c.sigma_us);
        EXPECT_LT(Relative(p.Peak_MHz, c.f0_MHz), 1e-4) << c.f0_MHz;
        ASSERT_TRUE(p.Band6Found && p.Band20Found);
        EXPECT_LT(Relative(p.fc_MHz, c.f0_MHz), 5e-5) << c.f0_MHz;
        EXPECT_LT(Relative(p.bw6_MHz, bw6), 1e-4) << c.f0_MHz;
        EXPECT_LT(Relative(p.bw6_percent, 100 * bw6 / c.f0_MHz), 1e-4) << c.f0_MHz;
        EXPECT_LT(Relative(p.bw20_MHz, bw20), 1e-4) << c.f0_MHz;
        EXPECT_NEAR(p.EnvelopePeak_us, c.centre_us, 0.01 * kDt_us) << c.f0_MHz;
        EXPECT_LT(Relative(p.EnvelopePeak, 3), 1e-4) << c.f0_MHz;
        EXPECT_NEAR(p.Duration20_us, 2 * c.sigma_us * std::sqrt(2 * std::log(10.0)), 0.1 * kDt_us)
            << c.f0_MHz;
        EXPECT_FALSE(p.DurationClipped);
        EXPECT_EQ(p.Envelope.size(), c.n);
        ASSERT_FALSE(p.Level_dB.empty());
        EXPECT_LE(*std::max_element(p.Level_dB.begin(), p.Level_dB.end()), 0.0);
        EXPECT_GE(p.Level_dB.back(), -60.0 - 1.0);
    }
}

TEST(PulseFigures, APulseCutByTheStretchIsMarkedClipped) {
    std::vector<double> y(400);
    for (std::size_t j = 0; j < y.size(); ++j)
        y[j] = std::exp(-static_cast<double>(j) * kDt_us / 0.5) *
               std::sin(2 * pi * 5 * static_cast<double>(j) * kDt_us);
    const PulseFigures p = ComputePulseFigures(y, 0, y.size(), kDt_us);
    ASSERT_TRUE(p.Valid);
    EXPECT_TRUE(p.DurationClipped);
    EXPECT_EQ(p.Rise20_us, 0);
}

TEST(PulseFigures, RefusesWithAReason) {
    const std::vector<double> y(100, 1.0), zero(100, 0.0);
    std::vector<double> bad(100, 1.0);
    bad[3] = std::numeric_limits<double>::infinity();
    struct Case {
        const std::vector<double> *y;
        std::size_t first, last;
        double dt;
        const char *reason;
    };
    const Case cases[] = {
        {&y, 5, 5, kDt_us, "Недостаточно данных для расчета спектра."},
        {&y, 0, 200, kDt_us, "Недостаточно данных для расчета спектра."},
        {&zero, 0, 100, kDt_us, "Сигнал на выбранном участке равен нулю."},
        {&y, 0, 100, 0, "Шаг по времени должен быть положительным."},
        {&bad, 0, 100, kDt_us, "Сигнал содержит нечисловые значения."},
    };
    for (const Case &c : cases) {
        const PulseFigures p = ComputePulseFigures(*c.y, c.first, c.last, c.dt);
        EXPECT_FALSE(p.Valid);
        EXPECT_EQ(p.Reason, c.reason);
        EXPECT_TRUE(p.Envelope.empty());
    }
}
