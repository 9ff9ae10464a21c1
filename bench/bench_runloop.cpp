// SPDX-License-Identifier: GPL-3.0-or-later
// The whole calculation run through the real main window on the offscreen platform, with the
// signal window shown and a redraw every 10 steps: steps per second, and the longest time the
// event loop waited between two servicings.
#include <QCoreApplication>
#include <QTimer>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>

#include "main/AppEngine.h"
#include "main/EventYield.h"
#include "main/Main.h"
#include "parameters/ParametersUnit.h"
#include "signals/ElectroUnit.h"
#include "solver/Yield.h"
#include "widgets/SpinEdit.h"

namespace {

struct Windows {
    TMainForm Main;
    TParametersForm Params;
    TElectroForm Electro;
    Windows() {
        Main.SetWindows(&Params, &Electro);
        Main.ShowError = [](const QString &) {};
        Main.show();
        Electro.show();
        for (int i = 0; i < 10; ++i)
            QCoreApplication::processEvents();
        Main.IterationSpinEdit->SetValue(10);
        InstallEventYield();
        Main.CreateTaskBitBtnClick();
    }
    ~Windows() { Engine.Yield().SetHook(nullptr); }

    // Runs through the buttons' handlers until at least `steps` more steps are done; "Прервать"
    // is pressed from a timer, i.e. from inside the run, as a user would.
    int32_t Run(int32_t steps) {
        const int32_t start = Engine.StepCount;
        QTimer poll;
        poll.setInterval(0);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (Engine.StepCount - start >= steps)
                Main.BreakCalculationBitBtnClick();
        });
        poll.start();
        Main.CalculateTaskBitBtnClick();
        return Engine.StepCount - start;
    }
};

void BM_RunLoop_DefaultTask(benchmark::State &state) {
    Windows w;
    int64_t steps = 0;
    std::chrono::steady_clock::duration maxGap{};
    for (auto _ : state) {
        ResetYieldStats();
        steps += w.Run(2000);
        maxGap = std::max(maxGap, YieldStats().MaxGap);
    }
    state.SetItemsProcessed(steps);
    state.counters["max_gap_ms"] = std::chrono::duration<double, std::milli>(maxGap).count();
    state.counters["record_points"] = static_cast<double>(w.Electro.Record().Count());
}
BENCHMARK(BM_RunLoop_DefaultTask)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

// 100,000 steps of the default task (20 µs of simulated time) in one run.
void BM_RunLoop_100kSteps(benchmark::State &state) {
    for (auto _ : state) {
        state.PauseTiming();
        Windows w;
        ResetYieldStats();
        state.ResumeTiming();
        const int32_t done = w.Run(100000);
        state.counters["steps"] = done;
        state.counters["max_gap_ms"] = std::chrono::duration<double, std::milli>(YieldStats().MaxGap).count();
    }
}
BENCHMARK(BM_RunLoop_100kSteps)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

} // namespace
