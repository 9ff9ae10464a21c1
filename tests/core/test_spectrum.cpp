// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "analysis/Spectrum.h"
#include "solver/Yield.h"

namespace {

std::vector<SpectrumPoint> Compute(const std::vector<double> &t, const std::vector<double> &y,
                                   long double middle, long double width) {
    double fmin = 0, fmax = 0;
    SpectrumBand(middle, width, fmin, fmax);
    std::vector<SpectrumPoint> out;
    EXPECT_TRUE(SpectrumSum(t.data(), y.data(), t.size(), fmin, fmax, out));
    return out;
}

YieldPoint Yield;
int gYieldCalls = 0;
int gCancelAfter = -1;
bool gCancel = false;
void CountingYield() {
    ++gYieldCalls;
    if (gCancelAfter >= 0 && gYieldCalls >= gCancelAfter)
        gCancel = true;
}

} // namespace

TEST(Spectrum, BandOfDefaultFieldsRunsFromOneToNineMegahertz) {
    double fmin = 0, fmax = 0;
    SpectrumBand(5, 8, fmin, fmax);
    EXPECT_EQ(fmin, 1.0);
    EXPECT_EQ(fmax, 9.0);
    EXPECT_EQ(SpectrumFrequency(fmin, fmax, 0), 1.0);
    EXPECT_EQ(SpectrumFrequency(fmin, fmax, 1), 1.016);
    EXPECT_EQ(SpectrumFrequency(fmin, fmax, 2), 1.032);
    EXPECT_EQ(SpectrumFrequency(fmin, fmax, 250), 5.0);
    EXPECT_EQ(SpectrumFrequency(fmin, fmax, 500), 9.0);
    // A centre below half the width gives negative frequencies, evaluated like any other.
    SpectrumBand(1, 4, fmin, fmax);
    EXPECT_EQ(fmin, -1.0);
    EXPECT_EQ(fmax, 3.0);
}

TEST(Spectrum, TheSinglePointAtTimeZeroGivesFiveHundredAndOneZeros) {
    const auto out = Compute({0.0}, {0.0}, 5, 8);
    ASSERT_EQ(out.size(), 501u);
    for (int k = 0; k < 501; ++k) {
        EXPECT_EQ(out[k].A, 0.0);
        EXPECT_EQ(out[k].F, SpectrumFrequency(1, 9, k));
    }
    EXPECT_EQ(out.front().F, 1.0);
    EXPECT_EQ(out.back().F, 9.0);
}

TEST(Spectrum, ZeroWidthGivesEqualAmplitudesAtTheCentre) {
    const std::vector<double> t{0.0, 0.01, 0.02, 0.03};
    const std::vector<double> y{0.0, 1.0, -0.5, 2.0};
    const auto out = Compute(t, y, 3, 0);
    ASSERT_EQ(out.size(), 501u);
    for (const auto &p : out) {
        EXPECT_EQ(p.F, 3.0);
        EXPECT_EQ(p.A, out[0].A);
    }
    EXPECT_GT(out[0].A, 0.0);
}

TEST(Spectrum, UsesTheFiveDecimalTwoPiFactor) {
    // Two unit samples half a period apart cancel exactly with 2π; with 6.28318 the residue is
    // 2 sin(ε/2) with ε = π − 3.14159.
    const auto out = Compute({0.0, 0.5}, {1.0, 1.0}, 1, 0);
    const long double eps = std::numbers::pi_v<long double> - 3.14159L;
    const double expected = static_cast<double>(2 * std::sin(eps / 2) / 1000);
    EXPECT_NEAR(out[0].A, expected, expected * 1e-9);
    EXPECT_GT(out[0].A, 2.6e-9);
}

TEST(Spectrum, PureSinePeaksAtItsFrequencyWithHeightOfHalfTheSampleCount) {
    // 5 MHz, amplitude 2, sampled every 10 ns over 100 whole periods.
    const int n = 2000;
    const double a = 2.0;
    std::vector<double> t(n), y(n);
    for (int i = 0; i < n; ++i) {
        t[i] = i * 0.01;
        y[i] = a * std::sin(2 * std::numbers::pi * 5.0 * t[i]);
    }
    const auto out = Compute(t, y, 5, 8);
    int peak = 0;
    for (int k = 1; k < 501; ++k)
        if (out[k].A > out[peak].A)
            peak = k;
    EXPECT_EQ(out[peak].F, 5.0);
    EXPECT_NEAR(out[peak].A, a * n / 2 / 1000, 0.01 * a * n / 2 / 1000);
    // Far from the line the sum nearly cancels.
    EXPECT_LT(out[0].A, 0.02 * out[peak].A);
}

TEST(Spectrum, AgreesWithTheLibraryExtendedSineTermByTerm) {
    const int n = 300;
    std::vector<double> t(n), y(n);
    for (int i = 0; i < n; ++i) {
        t[i] = i * 0.0137;
        y[i] = std::cos(i * 0.37) * (1 + i % 7);
    }
    const auto out = Compute(t, y, 7.5, 11);
    for (int k = 0; k < 501; k += 50) {
        const long double omega = 6.28318L * out[k].F;
        double s = 0, c = 0;
        for (int i = 0; i < n; ++i) {
            const long double w = t[i] * omega;
            s = static_cast<double>(s + sinl(w) * y[i]);
            c = static_cast<double>(c + cosl(w) * y[i]);
        }
        const double a = static_cast<double>(
            sqrtl(static_cast<long double>(s) * s + static_cast<long double>(c) * c) / 1000);
        EXPECT_NEAR(out[k].A, a, 1e-15 + 1e-13 * a) << "k = " << k;
    }
}

TEST(Spectrum, SinCosExtendedMatchesTheLibraryAndHandlesHugeArguments) {
    for (long double w : {0.0L, 0.5L, -1.25L, 3.14159L, 1234.5678L, -98765.4321L}) {
        long double s, c;
        SinCosExtended(w, s, c);
        EXPECT_NEAR(static_cast<double>(s), static_cast<double>(sinl(w)), 1e-15);
        EXPECT_NEAR(static_cast<double>(c), static_cast<double>(cosl(w)), 1e-15);
    }
    long double s, c;
    SinCosExtended(0x1p70L, s, c); // beyond fsincos: falls back to the library
    EXPECT_EQ(s, sinl(0x1p70L));
    EXPECT_EQ(c, cosl(0x1p70L));
    SinCosExtended(INFINITY, s, c);
    EXPECT_TRUE(std::isnan(s));
    EXPECT_TRUE(std::isnan(c));
}

TEST(Spectrum, OffersTheEventLoopATurnEveryFewTermsAndStopsWhenCancelled) {
    const std::vector<double> t(1000, 0.5), y(1000, 1.0);
    std::vector<SpectrumPoint> out;
    Yield.SetHook(&CountingYield);

    gYieldCalls = 0;
    gCancelAfter = -1;
    EXPECT_TRUE(SpectrumSum(t.data(), y.data(), t.size(), 1, 9, out, &Yield, &gCancel, 1));
    EXPECT_EQ(gYieldCalls, 501 * 1000);

    gYieldCalls = 0;
    EXPECT_TRUE(SpectrumSum(t.data(), y.data(), t.size(), 1, 9, out, &Yield, &gCancel));
    EXPECT_EQ(gYieldCalls, 1 + (501 * 1000 - 1) / kTermsPerYield);
    EXPECT_EQ(out.size(), 501u);

    gYieldCalls = 0;
    gCancelAfter = 100;
    gCancel = false;
    EXPECT_FALSE(SpectrumSum(t.data(), y.data(), t.size(), 1, 9, out, &Yield, &gCancel));
    EXPECT_EQ(gYieldCalls, 100);
    EXPECT_LT(out.size(), 501u);

    Yield.SetHook(nullptr);
    gCancel = false;
}
