// SPDX-License-Identifier: GPL-3.0-or-later
// Steps per second of batch-style runs: the engine's coupled iteration on the default task, each
// sample appended to a signal record, and the record written as CSV text every 2000 steps. Compare
// with BM_TimeStep_DefaultTask, the bare solver step, in the same run.
#include <benchmark/benchmark.h>

#include <sstream>

#include "circuit/SignalRecord.h"
#include "files/DataFiles.h"
#include "files/ProfileFile.h"
#include "files/ProjectInputs.h"
#include "run/Engine.h"
#include "solver/SweepPool.h"
#include "text/FormatSettings.h"

namespace {

void BM_Batch_DefaultTask(benchmark::State &state) {
    constexpr int kStepsPerWrite = 2000;
    SweepPool pool; // the default threads, as the batch line computes
    TSimulationEngine engine(&pool);
    if (!engine.CreateTask(ReadProjectInputs(ProfileFile{}, {}, FormatSettings{})).empty()) {
        state.SkipWithError("the default task was refused");
        return;
    }
    TSignalRecord record;
    engine.OnSample = [&record](double t, const TSimulationEngine::Sample &v) { record.Append(t, v); };
    // The waves cross the whole stack first, as in the bare step's benchmark.
    for (int i = 0; i < 30000; ++i)
        engine.Iterate();
    record.Clear();
    std::size_t bytes = 0;
    for (auto _ : state) {
        for (int i = 0; i < kStepsPerWrite; ++i)
            engine.Iterate();
        std::ostringstream csv;
        WriteSignalsCsv(csv, record);
        bytes += csv.str().size();
        record.Clear();
    }
    state.SetItemsProcessed(state.iterations() * kStepsPerWrite);
    state.counters["csv_bytes_per_step"] =
        static_cast<double>(bytes) / static_cast<double>(state.iterations() * kStepsPerWrite);
}

} // namespace

BENCHMARK(BM_Batch_DefaultTask)->Unit(benchmark::kMillisecond);
