// SPDX-License-Identifier: GPL-3.0-or-later
// Benchmarks run with a QApplication on the offscreen platform, so that window benchmarks and
// the event-loop yield behave as in the program.
#include <QApplication>
#include <benchmark/benchmark.h>

#include "app/AppFormat.h"

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
