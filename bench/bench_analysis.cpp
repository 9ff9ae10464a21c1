// SPDX-License-Identifier: GPL-3.0-or-later
// Impedance and pulse figures of a 1,000,000-sample record (200 µs at 0.2 ns), the two together per
// iteration, as the signal window would compute them for a whole long run.
#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "analysis/Impedance.h"
#include "analysis/PulseFigures.h"

namespace {

constexpr double kDt_us = 0.0002;

struct RingingRecord {
    std::vector<double> U, I;
    explicit RingingRecord(std::size_t n) : U(n), I(n) {
        // A 5 MHz current pulse and a voltage ringing down from it, as a plate's would.
        for (std::size_t j = 0; j < n; ++j) {
            const double t = static_cast<double>(j) * kDt_us;
            const double w = 2 * std::numbers::pi * 5 * t;
            const double g = (t - 1) / 0.1;
            I[j] = 0.5 * std::exp(-g * g / 2) * std::sin(w);
            U[j] = t < 0.7 ? 0 : 200 * std::exp(-(t - 0.7) / 20) * std::sin(w);
        }
    }
};

void BM_Analysis_1M(benchmark::State &state) {
    const RingingRecord r(1000000);
    std::size_t points = 0;
    for (auto _ : state) {
        const ImpedanceFigures z = ComputeImpedance(r.U, r.I, 0, r.U.size(), kDt_us);
        const PulseFigures p = ComputePulseFigures(r.U, 0, r.U.size(), kDt_us);
        benchmark::DoNotOptimize(z.fr_MHz);
        benchmark::DoNotOptimize(p.fc_MHz);
        if (!z.Valid || !p.Valid)
            state.SkipWithError("analysis refused the record");
        points = z.f_MHz.size() + p.f_MHz.size();
    }
    state.counters["curve_points"] = static_cast<double>(points);
}
BENCHMARK(BM_Analysis_1M)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace
