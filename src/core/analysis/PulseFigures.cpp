// SPDX-License-Identifier: GPL-3.0-or-later
// Spectrum and envelope of one pulse from a single zero-padded transform.
//
// Window: none (rectangular). The stretch is meant to hold the whole pulse, from rest to rest, and
// then its transform is the pulse's complete spectrum; a taper would narrow the stretch in time and
// widen the spectrum, misstating exactly the bandwidth that is measured. The padding
// (PaddedFftLength) samples that spectrum finely enough for the linear interpolation of the band
// edges, and is at least twice the stretch, so the same transform gives the analytic signal
// (the envelope) without the circular wrap-around of the Hilbert transform.
//
// The peak is refined by a parabola through the three grid points about it in dB: a pulse with a
// Gaussian envelope has a Gaussian spectrum, a parabola in dB, and any smooth peak is one close to
// its top. Band edges are interpolated linearly in dB between the two grid points that bracket the
// level; −6 dB and −20 dB are those levels exactly (amplitude ratios 10^−0.3 and 0.1), and 0 dB is
// the refined peak.

#include "analysis/PulseFigures.h"

#include <algorithm>
#include <cmath>
#include <complex>

#include "analysis/FourierBuffer.h"
#include "analysis/Impedance.h"
#include "analysis/Interpolation.h"

namespace {

// The automatic band ends where the spectrum falls 60 dB below its peak for good.
constexpr double kAutomaticBandLevel = 1e-3;
// dB shown for a frequency where the spectrum is exactly zero.
constexpr double kFloor_dB = -300;

PulseFigures Refused(const char *why) {
    PulseFigures r;
    r.Reason = why;
    return r;
}

// Edges where level (dB, ≤ 0 about the peak index) first falls to `threshold` below and above the
// peak. False when one side never does within the grid.
template <class Level>
bool BandEdges(const Level &level, std::size_t size, std::size_t peak, double df, double threshold,
               double &low, double &high) {
    std::size_t k = peak;
    while (k > 0 && level(k) > threshold)
        --k;
    if (level(k) > threshold)
        return false;
    low = LinearCrossing(static_cast<double>(k) * df, level(k), static_cast<double>(k + 1) * df, level(k + 1),
                         threshold);
    k = peak;
    while (k + 1 < size && level(k) > threshold)
        ++k;
    if (level(k) > threshold)
        return false;
    high = LinearCrossing(static_cast<double>(k - 1) * df, level(k - 1), static_cast<double>(k) * df,
                          level(k), threshold);
    return true;
}

} // namespace

double PulseDisplayTop_MHz(const PulseFigures &p) {
    const double edge = p.Band20Found ? p.High20_MHz : p.Band6Found ? p.High6_MHz : 0;
    return edge > 0 ? std::min(2 * edge, p.Band_fmax_MHz) : p.Band_fmax_MHz;
}

PulseFigures ComputePulseFigures(std::span<const double> y, std::size_t first, std::size_t last, double dt_us,
                                 double t0_us, double fmax_MHz) {
    if (!(dt_us > 0) || !std::isfinite(dt_us) || !std::isfinite(t0_us))
        return Refused(kAnalysisBadStep);
    if (first >= last || last > y.size() || last - first < 4)
        return Refused(kPulseNoData);
    if (!std::all_of(y.begin() + static_cast<std::ptrdiff_t>(first),
                     y.begin() + static_cast<std::ptrdiff_t>(last),
                     [](double v) { return std::isfinite(v); }))
        return Refused(kAnalysisNotFinite);
    if (std::all_of(y.begin() + static_cast<std::ptrdiff_t>(first),
                    y.begin() + static_cast<std::ptrdiff_t>(last), [](double v) { return v == 0; }))
        return Refused(kPulseZeroSignal);

    const std::size_t n = last - first;
    const std::size_t m = PaddedFftLength(n);
    FourierBuffer x(m);
    for (std::size_t j = 0; j < n; ++j)
        x[j] = {y[first + j], 0};
    x.Forward();

    PulseFigures r;
    const std::size_t half = m / 2;
    const double df = static_cast<double>(1 / (static_cast<long double>(m) * dt_us));
    r.GridStep_MHz = df;
    // Powers |Y(k)|² and levels in dB are formed where they are used, not stored for every bin.
    const auto power = [&](std::size_t k) { return std::norm(x[k]); };
    std::size_t peak = 0;
    for (std::size_t k = 1; k <= half; ++k)
        if (power(k) > power(peak))
            peak = k;
    const double peakPower = power(peak);
    if (peakPower == 0)
        return Refused(kPulseZeroSignal);
    const auto gridLevel = [&](std::size_t k) {
        return power(k) > 0 ? 10 * std::log10(power(k) / peakPower) : kFloor_dB;
    };
    double peakLevel = 0;
    r.Peak_MHz = static_cast<double>(peak) * df;
    if (peak > 0 && peak < half)
        ParabolaVertex(static_cast<double>(peak - 1) * df, gridLevel(peak - 1), r.Peak_MHz, 0.0,
                       static_cast<double>(peak + 1) * df, gridLevel(peak + 1), r.Peak_MHz, peakLevel);
    const auto level = [&](std::size_t k) { return std::max(kFloor_dB, gridLevel(k) - peakLevel); };

    r.Band6Found = BandEdges(level, half + 1, peak, df, -6, r.Low6_MHz, r.High6_MHz);
    if (r.Band6Found) {
        r.fc_MHz = (r.Low6_MHz + r.High6_MHz) / 2;
        r.bw6_MHz = r.High6_MHz - r.Low6_MHz;
        r.bw6_percent = r.fc_MHz > 0 ? 100 * r.bw6_MHz / r.fc_MHz : 0;
    }
    r.Band20Found = BandEdges(level, half + 1, peak, df, -20, r.Low20_MHz, r.High20_MHz);
    if (r.Band20Found)
        r.bw20_MHz = r.High20_MHz - r.Low20_MHz;

    std::size_t top = half;
    if (fmax_MHz > 0)
        top = std::min(half, static_cast<std::size_t>(std::floor(fmax_MHz / df)));
    else
        while (top > 0 && power(top) < kAutomaticBandLevel * kAutomaticBandLevel * peakPower)
            --top;
    r.Band_fmax_MHz = static_cast<double>(top) * df;
    r.f_MHz.resize(top + 1);
    r.Level_dB.resize(top + 1);
    for (std::size_t k = 0; k <= top; ++k) {
        r.f_MHz[k] = static_cast<double>(k) * df;
        r.Level_dB[k] = level(k);
    }

    // Analytic signal: keep the mean (and the Nyquist term of an even length), double the positive
    // frequencies, drop the negative ones.
    const std::size_t positiveEnd = (m % 2 == 0) ? half : half + 1; // first index not doubled
    for (std::size_t k = 1; k < positiveEnd; ++k)
        x[k] *= 2;
    for (std::size_t k = half + 1; k < m; ++k)
        x[k] = 0;
    x.Backward();
    r.Envelope.resize(n);
    for (std::size_t j = 0; j < n; ++j)
        r.Envelope[j] = std::abs(x[j]) / static_cast<double>(m);

    const auto time = [&](std::size_t j) {
        return static_cast<double>(t0_us + static_cast<long double>(first + j) * dt_us);
    };
    const std::vector<double> &e = r.Envelope;
    const std::size_t ep = static_cast<std::size_t>(std::max_element(e.begin(), e.end()) - e.begin());
    r.EnvelopePeak = e[ep];
    r.EnvelopePeak_us = time(ep);
    if (ep > 0 && ep + 1 < n)
        ParabolaVertex(time(ep - 1), e[ep - 1], time(ep), e[ep], time(ep + 1), e[ep + 1], r.EnvelopePeak_us,
                       r.EnvelopePeak);
    const double threshold = r.EnvelopePeak / 10;
    std::size_t rise = 0;
    while (rise < ep && e[rise] < threshold)
        ++rise;
    std::size_t fall = n - 1;
    while (fall > ep && e[fall] < threshold)
        --fall;
    r.RiseClipped = rise == 0;
    r.FallClipped = fall == n - 1;
    r.DurationClipped = r.RiseClipped || r.FallClipped;
    r.Rise20_us =
        rise == 0 ? time(0) : LinearCrossing(time(rise - 1), e[rise - 1], time(rise), e[rise], threshold);
    r.Fall20_us = fall == n - 1 ? time(n - 1)
                                : LinearCrossing(time(fall), e[fall], time(fall + 1), e[fall + 1], threshold);
    r.Duration20_us = r.Fall20_us - r.Rise20_us;
    r.Valid = true;
    return r;
}
