// SPDX-License-Identifier: GPL-3.0-or-later
// Spectrum of a 100,000-sample stretch: 501 frequencies × 100,000 terms = 50 million sine–cosine
// evaluations, with the windows' event-loop hook installed as in the program.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "analysis/Spectrum.h"
#include "main/AppEngine.h"
#include "main/EventYield.h"

namespace {

struct Stretch {
    std::vector<double> t, y;
    explicit Stretch(int n) : t(n), y(n) {
        // Dt = 10 ns, a 5 MHz tone with some decay, the stretch starting at 2 µs.
        for (int i = 0; i < n; ++i) {
            t[i] = (200 + i) * 0.01;
            y[i] = 300 * std::sin(6.283185307179586 * 5 * t[i]) * std::exp(-t[i] / 400);
        }
    }
};

void RunSpectrum(benchmark::State &state, bool hook, int termsPerYield) {
    const Stretch s(static_cast<int>(state.range(0)));
    if (hook)
        InstallEventYield();
    else
        Engine.Yield().SetHook(nullptr);
    double fmin = 0, fmax = 0;
    SpectrumBand(5, 8, fmin, fmax);
    std::vector<SpectrumPoint> out;
    for (auto _ : state) {
        SpectrumSum(s.t.data(), s.y.data(), s.t.size(), fmin, fmax, out, &Engine.Yield(), nullptr,
                    termsPerYield);
        benchmark::DoNotOptimize(out.data());
    }
    Engine.Yield().SetHook(nullptr);
    state.counters["ns_per_term"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * 501 * static_cast<double>(state.range(0)),
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_Spectrum_100k(benchmark::State &state) {
    RunSpectrum(state, true, kTermsPerYield);
}
void BM_Spectrum_100k_NoHook(benchmark::State &state) {
    RunSpectrum(state, false, kTermsPerYield);
}
// The hook called through its pointer at every term, for comparison with the inline countdown.
void BM_Spectrum_100k_HookEveryTerm(benchmark::State &state) {
    RunSpectrum(state, true, 1);
}

void BM_SinCos_fsincos(benchmark::State &state) {
    long double w = 0.1L, acc = 0;
    for (auto _ : state) {
        long double s, c;
        SinCosExtended(w, s, c);
        acc += s + c;
        w += 0.7L;
    }
    benchmark::DoNotOptimize(acc);
}

void BM_SinCos_sincosl(benchmark::State &state) {
    long double w = 0.1L, acc = 0;
    for (auto _ : state) {
        long double s, c;
        sincosl(w, &s, &c);
        acc += s + c;
        w += 0.7L;
    }
    benchmark::DoNotOptimize(acc);
}

} // namespace

BENCHMARK(BM_Spectrum_100k)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_Spectrum_100k_NoHook)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_Spectrum_100k_HookEveryTerm)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_SinCos_fsincos);
BENCHMARK(BM_SinCos_sincosl);
