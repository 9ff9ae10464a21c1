// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/Spectrum.h"

#include <cmath>
#include <limits>

#include "solver/Yield.h"

static_assert(std::numeric_limits<long double>::digits == 64, "extended precision needs a 64-bit mantissa");

void SpectrumBand(long double middle, long double width, double &fmin, double &fmax) {
    fmin = static_cast<double>(middle - width / 2);
    fmax = static_cast<double>(middle + width / 2);
}

double SpectrumFrequency(double fmin, double fmax, int k) {
    return static_cast<double>((static_cast<long double>(fmax) - fmin) * k / 500 + fmin);
}

void SinCosExtended(long double w, long double &s, long double &c) {
#if defined(__x86_64__) || defined(__i386__)
    // fsincos reduces the argument itself and yields both values in one instruction; it refuses
    // |w| >= 2^63 (and NaN/infinity), which the library function handles.
    if (std::fabs(w) < 0x1p63L) {
        __asm__("fsincos" : "=t"(c), "=u"(s) : "0"(w));
        return;
    }
#endif
    s = std::sin(w);
    c = std::cos(w);
}

bool SpectrumSum(const double *t, const double *y, std::size_t n, double fmin, double fmax,
                 std::vector<SpectrumPoint> &out, YieldPoint *yield, const bool *cancel, int termsPerYield) {
    out.clear();
    out.reserve(kSpectrumPoints);
    if (termsPerYield < 1)
        termsPerYield = 1;
    int countdown = 1; // a turn before the very first term
    for (int k = 0; k < kSpectrumPoints; ++k) {
        const double f = SpectrumFrequency(fmin, fmax, k);
        const long double omega = 6.28318L * f;
        double sinSum = 0;
        double cosSum = 0;
        for (std::size_t i = 0; i < n; ++i) {
            if (--countdown == 0) {
                countdown = termsPerYield;
                if (yield)
                    yield->Service();
                if (cancel && *cancel)
                    return false;
            }
            const long double w = t[i] * omega;
            long double s, c;
            SinCosExtended(w, s, c);
            const long double v = y[i];
            sinSum = static_cast<double>(sinSum + s * v);
            cosSum = static_cast<double>(cosSum + c * v);
        }
        const long double ls = sinSum;
        const long double lc = cosSum;
        out.push_back({f, static_cast<double>(std::sqrt(ls * ls + lc * lc) / 1000)});
    }
    return true;
}
