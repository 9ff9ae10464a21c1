// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Amplitude spectrum of a stretch of a recorded signal by a direct Fourier sum at 501 frequencies
// of a band. Times are in µs and frequencies in MHz, so t × f counts periods with no conversion.
// The amplitude is sqrt(sin-sum² + cos-sum²) / 1000, deliberately neither scaled by the sample
// interval nor divided by the number of samples.

#include <cstddef>
#include <vector>

struct YieldPoint;

constexpr int kSpectrumPoints = 501;
// The event loop is offered a turn between terms; calling the hook through its pointer for every
// one of tens of millions of terms costs more than the hook's own countdown, so the sum counts
// down inline and calls it every kTermsPerYield terms.
constexpr int kTermsPerYield = 64;

struct SpectrumPoint {
    double F; // MHz
    double A; // signal unit per Hz
};

// Band edges from its centre and width (MHz): Middle − Width / 2 and Middle + Width / 2.
void SpectrumBand(long double middle, long double width, double &fmin, double &fmax);

// Frequency k of 0..500: (fmax − fmin) × k / 500 + fmin.
double SpectrumFrequency(double fmin, double fmax, int k);

// Sine and cosine of w in extended precision (x87 fsincos for |w| < 2^63).
void SinCosExtended(long double w, long double &s, long double &c);

// Fills `out` with the 501 points of the band for the samples (t[i], y[i]), i = 0..n−1. Services
// `yield` (when not null) every `termsPerYield` terms; when *cancel is true after such a call, stops
// and returns false (`out` is then incomplete). Returns true when all 501 points are computed.
bool SpectrumSum(const double *t, const double *y, std::size_t n, double fmin, double fmax,
                 std::vector<SpectrumPoint> &out, YieldPoint *yield = nullptr, const bool *cancel = nullptr,
                 int termsPerYield = kTermsPerYield);
