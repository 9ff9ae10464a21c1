// SPDX-License-Identifier: GPL-3.0-or-later
// Chart figures: the cost of recording one step of the six signals, and of one replot of the
// signal chart over a million-sample record.
#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <fstream>
#include <malloc.h>
#include <unistd.h>

#include "charts/ChartAdapter.h"
#include "circuit/SignalRecord.h"

namespace {

// Resident set size of the process, from /proc.
double ResidentBytes() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE));
}

std::array<double, 6> Signals(std::size_t i) {
    const double t = static_cast<double>(i) * 1e-3;
    const double v = 300 * std::exp(-t / 300) * std::sin(t);
    return {v, 0.5 * v, 0.25 * v, v * 1e-3, v * 2e-3, -v * 1e-3};
}

void BM_SignalAppend(benchmark::State &state) {
    TSignalRecord record;
    TChart chart;
    for (int s = 0; s < record.SignalCount(); ++s)
        chart.SetActive(chart.AddRecordSeries(QString("Series%1").arg(s + 1), &record, s), s == 0);
    std::size_t i = 0;
    const auto values = Signals(7);
    for (auto _ : state) {
        record.Append(static_cast<double>(i) * 1e-3, values);
        if (++i == (std::size_t{1} << 21)) {
            // Bounded memory however many iterations run; rare enough not to count.
            state.PauseTiming();
            record.Clear();
            i = 0;
            state.ResumeTiming();
        }
    }
    benchmark::DoNotOptimize(chart.Count(0));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SignalAppend);

void BM_SignalReplot_1M(benchmark::State &state) {
    const std::size_t n = 1000000;
    // Earlier benchmarks may leave freed blocks in the heap; hand them back so the delta is ours.
    malloc_trim(0);
    const double rssBefore = ResidentBytes();
    TSignalRecord record;
    for (std::size_t i = 0; i < n; ++i)
        record.Append(static_cast<double>(i) * 1e-3, Signals(i));
    const double rssAfter = ResidentBytes();

    // The signal window's chart: six record curves, one shown, fixed vertical range.
    TChart chart;
    chart.resize(640, 470);
    chart.SetTickFormat("#,##0.00");
    chart.SetBottomTitle("мкс");
    chart.SetLeftTitle("В");
    for (int s = 0; s < record.SignalCount(); ++s)
        chart.SetActive(chart.AddRecordSeries(QString("Series%1").arg(s + 1), &record, s), s == 0);
    chart.SetLeftMinimum(-350);
    chart.SetLeftMaximum(350);
    chart.RefreshNow();

    for (auto _ : state)
        chart.RefreshNow();

    state.counters["record_MB"] = static_cast<double>(record.BytesAllocated()) / 1e6;
    state.counters["rss_delta_MB"] = (rssAfter - rssBefore) / 1e6;
    state.counters["points"] = static_cast<double>(n);
}
BENCHMARK(BM_SignalReplot_1M)->Unit(benchmark::kMillisecond);

} // namespace
