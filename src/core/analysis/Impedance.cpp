// SPDX-License-Identifier: GPL-3.0-or-later
// Impedance of the plate as the ratio of the Fourier transforms of its voltage and current.
//
// Window: none (rectangular over the whole stretch). The plate's voltage and current are the
// response of a linear system to a pulse; when the ringing has died out within the stretch the
// transforms of the two finite sequences are their complete spectra, and their ratio is exactly the
// plate's impedance at every frequency. A taper would multiply both signals by the same function of
// time, which is not the same as multiplying their spectra, and would bias the ratio. The stretch
// must therefore cover the ringing to its end; nothing is gained by cutting it short.
//
// Zero-padding (PaddedFftLength): samples the transform between the stretch's own 1/T bins, so
// that the resonances are located by a parabola through three close points. Near a resonance of a
// plate (or of any network with a reactance linear in frequency there) |Z|² is a parabola in f
// about the series resonance and 1/|Z|² a parabola about the parallel one, so those are the
// quantities refined.
//
// Both signals share one complex transform: U as the real part, I scaled by a power of two (exact)
// as the imaginary part, so that neither drowns in the other's rounding; the two spectra are
// separated by the symmetry of real signals.

#include "analysis/Impedance.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <limits>
#include <numbers>

#include "analysis/FourierBuffer.h"
#include "analysis/Interpolation.h"

namespace {

// Z is computed only where |I(f)| is at least this fraction of its peak: the transform's rounding
// is about 1e-16 of the peak, so Z keeps about seven digits there.
constexpr double kMeasurableCurrent = 1e-8;
// The automatic band ends where the current's spectrum falls 60 dB below its peak for good.
constexpr double kAutomaticBandLevel = 1e-3;
// The capacitance is fitted from 0 up to this fraction of the series resonance (or of the band's top).
constexpr double kCapacitanceBandFraction = 0.25;
constexpr std::size_t kMinCapacitancePoints = 6;
constexpr double kFlatCurve = 1e-6;
// Points whose reactance is a vanishing share of |Z| (a resistor's rounding) say nothing of a capacitance.
constexpr double kMinReactanceShare = 1e-6;
// The stretch has rung out when |U| and |I| over its last 2 % (at least 4 samples) stay within 10⁻³
// of their peaks: what was cut off then moves the low-frequency spectra by about that share.
constexpr double kRungOutShare = 0.02;
constexpr double kRungOutLevel = 1e-3;
// The clamped capacitance is read at 2·fm and at 2·fm·(1 ± 2 %); the middle value must lie within
// 0.1 % of the mean of the outer two. Across a free plate's full-wave frequency C(f) is straight to
// 10⁻⁴ (kt 0.5); a record cut short scatters it by percents.
constexpr double kCapacitanceSpread = 0.02;
constexpr double kCapacitanceStraight = 1e-3;

bool AllFinite(std::span<const double> a, std::size_t first, std::size_t last) {
    return std::all_of(a.begin() + static_cast<std::ptrdiff_t>(first),
                       a.begin() + static_cast<std::ptrdiff_t>(last),
                       [](double v) { return std::isfinite(v); });
}

double MaxAbs(std::span<const double> a, std::size_t first, std::size_t last) {
    double m = 0;
    for (std::size_t j = first; j < last; ++j)
        m = std::max(m, std::abs(a[j]));
    return m;
}

// Least-squares fit of y = c0 + c1·s + c2·s² (s ∈ [0, 1]); returns c0, or NaN when singular.
double QuadraticInterceptFit(const std::vector<double> &s, const std::vector<double> &y) {
    long double a[3][4] = {};
    for (std::size_t i = 0; i < s.size(); ++i) {
        const long double p[3] = {1, s[i], static_cast<long double>(s[i]) * s[i]};
        for (int r = 0; r < 3; ++r) {
            for (int c = 0; c < 3; ++c)
                a[r][c] += p[r] * p[c];
            a[r][3] += p[r] * y[i];
        }
    }
    // Gaussian elimination (the normal matrix is symmetric positive definite: no pivoting needed).
    for (int k = 0; k < 3; ++k) {
        if (!(a[k][k] > 0))
            return std::numeric_limits<double>::quiet_NaN();
        for (int r = k + 1; r < 3; ++r) {
            const long double m = a[r][k] / a[k][k];
            for (int c = k; c < 4; ++c)
                a[r][c] -= m * a[k][c];
        }
    }
    long double x[3];
    for (int r = 2; r >= 0; --r) {
        long double v = a[r][3];
        for (int c = r + 1; c < 3; ++c)
            v -= a[r][c] * x[c];
        x[r] = v / a[r][r];
    }
    return static_cast<double>(x[0]);
}

// Whether |U| and |I| have fallen to kRungOutLevel of their peaks over the stretch's last samples.
bool RungOut(std::span<const double> U, std::span<const double> I, std::size_t first, std::size_t last,
             double maxU, double maxI) {
    const std::size_t n = last - first;
    const auto share = static_cast<std::size_t>(static_cast<double>(n) * kRungOutShare);
    const std::size_t tail = std::min(n, std::max<std::size_t>(4, share));
    return MaxAbs(U, last - tail, last) <= kRungOutLevel * maxU &&
           MaxAbs(I, last - tail, last) <= kRungOutLevel * maxI;
}

ImpedanceFigures Refused(const char *why) {
    ImpedanceFigures r;
    r.Reason = why;
    return r;
}

// Resonances around the phase maximum of the curve: walking down in frequency to the |Z| minimum,
// up to the |Z| maximum. Between the two the plate is inductive and its phase highest, so the walk
// starts inside the thickness mode's own interval whatever the other modes and the band hold.
void FindResonances(ImpedanceFigures &r) {
    const std::vector<double> &f = r.f_MHz, &z = r.AbsZ_Ohm;
    const std::size_t n = f.size();
    if (n < 3)
        return;
    // A curve flat to a part in a million (a resistor) has only rounding wiggles, no resonance.
    const auto [zMin, zMax] = std::minmax_element(z.begin(), z.end());
    if (*zMax - *zMin <= kFlatCurve * *zMax)
        return;
    const std::size_t top = static_cast<std::size_t>(
        std::max_element(r.Phase_deg.begin(), r.Phase_deg.end()) - r.Phase_deg.begin());
    std::size_t j = top;
    while (j > 0 && z[j - 1] < z[j])
        --j;
    if (j > 0 && j + 1 < n && z[j + 1] >= z[j]) {
        double fv = f[j], y = z[j] * z[j];
        ParabolaVertex(f[j - 1], z[j - 1] * z[j - 1], f[j], z[j] * z[j], f[j + 1], z[j + 1] * z[j + 1], fv,
                       y);
        // A vertex at or below |Z| = 0 is no minimum of a physical |Z|: a kink in a falling curve.
        r.SeriesFound = y > 0;
        r.fr_MHz = r.SeriesFound ? fv : 0;
        r.Zr_Ohm = r.SeriesFound ? std::sqrt(y) : 0;
    }
    j = top;
    while (j + 1 < n && z[j + 1] > z[j])
        ++j;
    if (j > 0 && j + 1 < n && z[j - 1] <= z[j]) {
        const auto admittance2 = [&](std::size_t i) { return 1 / (z[i] * z[i]); };
        double fv = f[j], y = admittance2(j);
        ParabolaVertex(f[j - 1], admittance2(j - 1), f[j], admittance2(j), f[j + 1], admittance2(j + 1), fv,
                       y);
        r.ParallelFound = y > 0;
        r.fa_MHz = r.ParallelFound ? fv : 0;
        r.Za_Ohm = r.ParallelFound ? 1 / std::sqrt(y) : 0;
    }
    if (r.SeriesFound && r.ParallelFound && r.fa_MHz > r.fr_MHz && r.fr_MHz > 0) {
        const long double q = static_cast<long double>(r.fr_MHz) / r.fa_MHz;
        r.keff = static_cast<double>(std::sqrt(1 - q * q));
        const long double half = std::numbers::pi_v<long double> / 2;
        r.kt = static_cast<double>(std::sqrt(half * q * std::tan(half * (1 - q))));
    }
}

} // namespace

ImpedanceFigures ComputeImpedance(std::span<const double> U, std::span<const double> I, std::size_t first,
                                  std::size_t last, double dt_us, double fmin_MHz, double fmax_MHz,
                                  double plateModeMHz) {
    if (!(dt_us > 0) || !std::isfinite(dt_us))
        return Refused(kAnalysisBadStep);
    if (first >= last || last > U.size() || last > I.size() || last - first < 4)
        return Refused(kImpedanceNoData);
    if (!AllFinite(U, first, last) || !AllFinite(I, first, last))
        return Refused(kAnalysisNotFinite);
    const double maxU = MaxAbs(U, first, last), maxI = MaxAbs(I, first, last);
    if (maxI == 0)
        return Refused(kImpedanceNoCurrent);

    const std::size_t n = last - first;
    const std::size_t m = PaddedFftLength(n);
    int expU = 0, expI = 0;
    std::frexp(maxI, &expI);
    if (maxU > 0)
        std::frexp(maxU, &expU);
    else
        expU = expI;
    const double scale = std::ldexp(1.0, expU - expI);
    FourierBuffer x(m);
    for (std::size_t j = 0; j < n; ++j)
        x[j] = {U[first + j], scale * I[first + j]};
    x.Forward();

    // Spectra of the two real signals: U(k) = (X(k) + X*(m−k)) / 2, I(k) = (X(k) − X*(m−k)) / (2i).
    // Only |I|² is kept for every bin; Z is formed for the bins that are used.
    const std::size_t half = m / 2;
    const auto current = [&](std::size_t k) {
        const std::complex<double> a = x[k], b = std::conj(x[(m - k) % m]);
        return (a - b) * std::complex<double>(0, -0.5) / scale;
    };
    const auto impedance = [&](std::size_t k) {
        const std::complex<double> a = x[k], b = std::conj(x[(m - k) % m]);
        return 0.5 * (a + b) / current(k);
    };
    // |X(k) − X*(m−k)|² = 4·scale²·|I(k)|², without a division; recomputed where needed rather
    // than stored (a megabyte-sized array costs more to fault in than these few operations).
    const auto normI = [&](std::size_t k) {
        const std::complex<double> a = x[k], b = x[(m - k) % m];
        const double re = a.real() - b.real(), im = a.imag() + b.imag();
        return re * re + im * im;
    };
    double peakNorm = 0;
    for (std::size_t k = 0; k <= half; ++k)
        peakNorm = std::max(peakNorm, normI(k));
    if (peakNorm == 0)
        return Refused(kImpedanceNoCurrent);

    ImpedanceFigures r;
    const double df = static_cast<double>(1 / (static_cast<long double>(m) * dt_us));
    r.GridStep_MHz = df;
    const double nyquist = static_cast<double>(half) * df;
    if (fmax_MHz > fmin_MHz) {
        r.Band_fmin_MHz = std::max(0.0, fmin_MHz);
        r.Band_fmax_MHz = std::min(nyquist, fmax_MHz);
    } else {
        std::size_t k = half;
        while (k > 0 && normI(k) < kAutomaticBandLevel * kAutomaticBandLevel * peakNorm)
            --k;
        r.Band_fmin_MHz = 0;
        r.Band_fmax_MHz = static_cast<double>(k) * df;
    }
    const double measurable = kMeasurableCurrent * kMeasurableCurrent * peakNorm; // in |I|² units
    const auto frequency = [&](std::size_t k) { return static_cast<double>(k) * df; };
    // The zero-frequency bin is left out: the mean current through a plate (a capacitor) is ~0, and
    // the ratio of the two means says nothing about the plate.
    const std::size_t kLo =
        std::max<std::size_t>(1, static_cast<std::size_t>(std::ceil(r.Band_fmin_MHz / df)));
    for (std::size_t k = kLo; k <= half && frequency(k) <= r.Band_fmax_MHz; ++k) {
        if (normI(k) < measurable)
            continue;
        const std::complex<double> z = impedance(k);
        r.f_MHz.push_back(frequency(k));
        r.AbsZ_Ohm.push_back(std::abs(z));
        r.Phase_deg.push_back(std::arg(z) * (180 / std::numbers::pi));
    }
    if (r.f_MHz.empty())
        return Refused(kImpedanceEmptyBand);
    r.Valid = true;
    FindResonances(r);
    if (!r.SeriesFound)
        r.SeriesReason = kImpedanceNoMinimum;
    if (!r.ParallelFound)
        r.ParallelReason = kImpedanceNoMaximum;

    // Capacitance: C(f) = −1/(ω·Im Z) is even in f and, below the first resonance, smooth; a fit
    // in powers of f² over the low band, taken at f = 0, removes the rise towards the resonance
    // that a plain average would keep.
    const double fC = kCapacitanceBandFraction * (r.SeriesFound ? r.fr_MHz : r.Band_fmax_MHz);
    std::vector<double> s, c;
    for (std::size_t k = 1; k <= half && frequency(k) <= fC; ++k) {
        if (normI(k) < measurable)
            continue;
        const std::complex<double> z = impedance(k);
        if (!(z.imag() < -kMinReactanceShare * std::abs(z)))
            continue;
        const long double omega = 2 * std::numbers::pi_v<long double> * frequency(k) * 1e6L;
        const long double u = frequency(k) / static_cast<long double>(fC);
        s.push_back(static_cast<double>(u * u));
        c.push_back(static_cast<double>(-1 / (omega * z.imag()) * 1e12L));
    }
    if (s.size() >= kMinCapacitancePoints) {
        const double c0 = QuadraticInterceptFit(s, c);
        if (std::isfinite(c0) && c0 > 0) {
            r.CapacitanceFound = true;
            r.Cfree_pF = c0;
        }
    }

    // The clamped capacitance, as 1/(ω·|Z|) rather than −1/(ω·Im Z): the record's voltage and
    // current sit half a step apart, which turns the phase by 180°·f·dt (3.6° at 10 MHz with a 2 ns
    // step) and moves Im Z by 0.2 % there, but not |Z|.
    if (!RungOut(U, I, first, last, maxU, maxI)) {
        r.C0Reason = kCapacitanceNotRungOut;
    } else if (plateModeMHz > 0) {
        const auto capacitance = [&](double f) {
            const double at = f / df;
            const auto k = static_cast<std::size_t>(at);
            if (k + 1 > half || normI(k) < measurable || normI(k + 1) < measurable)
                return std::numeric_limits<double>::quiet_NaN();
            const auto ck = [&](std::size_t q) {
                const long double omega = 2 * std::numbers::pi_v<long double> * frequency(q) * 1e6L;
                return static_cast<double>(1 / (omega * std::abs(impedance(q))) * 1e12L);
            };
            return ck(k) + (ck(k + 1) - ck(k)) * (at - static_cast<double>(k));
        };
        const double fw = 2 * plateModeMHz;
        const double below = capacitance(fw * (1 - kCapacitanceSpread)), middle = capacitance(fw),
                     above = capacitance(fw * (1 + kCapacitanceSpread));
        if (!std::isfinite(below) || !std::isfinite(middle) || !std::isfinite(above)) {
            r.C0Reason = kCapacitanceNoCurrent;
        } else if (!(std::abs(middle - (below + above) / 2) <= kCapacitanceStraight * middle)) {
            r.C0Reason = kCapacitanceUneven;
        } else {
            r.ClampedFound = true;
            r.C0_pF = middle;
            r.C0Frequency_MHz = fw;
        }
    } else if (r.CapacitanceFound && r.kt > 0) {
        r.ClampedFound = true;
        r.C0_pF = static_cast<double>(r.Cfree_pF * (1 - static_cast<long double>(r.kt) * r.kt));
    } else {
        r.C0Reason = kCapacitanceNoResonances;
    }
    return r;
}
