// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/RecordFigures.h"

#include <algorithm>
#include <cmath>
#include <ranges>
#include <vector>

#include "circuit/SignalRecord.h"
#include "solver/Solver.h"

namespace {

// The column of one signal over [first, last), copied out of the record's blocks.
std::vector<double> Column(const TSignalRecord &record, int signal, RecordStretch s) {
    std::vector<double> y;
    y.reserve(s.Last > s.First ? s.Last - s.First : 0);
    for (std::size_t i = s.First; i < s.Last;) {
        const std::size_t run = std::min(record.RunLength(i), s.Last - i);
        const double *v = record.ValueRun(signal, i);
        y.insert(y.end(), v, v + run);
        i += run;
    }
    return y;
}

// The plate's voltage and current, by their names in the record's signal list.
int PlateVoltageColumn(const TSignalRecord &record) {
    return SignalIndex(record.Signals(), "Upep");
}
int PlateCurrentColumn(const TSignalRecord &record) {
    return SignalIndex(record.Signals(), "Ipep");
}

// The excitation starts where the plate's voltage first reaches this share of its peak over the record.
constexpr double kExcitationLevel = 1e-3;

// The first sample of the record at the start of the excitation (the record's end when Upep stays 0).
std::size_t ExcitationStart(const TSignalRecord &record) {
    const RecordStretch all = WholeRecord(record);
    const std::vector<double> u = Column(record, PlateVoltageColumn(record), all);
    double peak = 0;
    for (double v : u)
        peak = std::max(peak, std::abs(v));
    std::size_t j = 0;
    while (j < u.size() && !(std::abs(u[j]) >= kExcitationLevel * peak && peak > 0))
        ++j;
    return all.First + j;
}

} // namespace

RecordStretch WholeRecord(const TSignalRecord &record) {
    return {record.Count() > 1 ? 1u : record.Count(), record.Count()};
}

RecordStretch StretchByTime(const TSignalRecord &record, double from_us, double to_us) {
    const RecordStretch all = WholeRecord(record);
    const auto indices = std::views::iota(all.First, all.Last);
    const auto first =
        std::ranges::partition_point(indices, [&](std::size_t i) { return record.Time(i) < from_us; });
    const auto last =
        std::ranges::partition_point(indices, [&](std::size_t i) { return record.Time(i) <= to_us; });
    RecordStretch s;
    s.First = first == indices.end() ? all.Last : *first;
    s.Last = std::max(s.First, last == indices.end() ? all.Last : *last);
    return s;
}

double PlateThicknessModeMHz(const TSolver &solver) {
    const int32_t first = solver.PiezoFirst, last = solver.PiezoLast;
    if (last <= first || first < 0 || static_cast<std::size_t>(last) >= solver.Coefficients.size())
        return 0;
    const NodeCoefficients &n = solver.Coefficients[static_cast<std::size_t>(first)];
    const long double cD = n.Stiffness + static_cast<long double>(n.PiezoE33) * n.PiezoE33 / n.Permittivity;
    const long double h = static_cast<long double>(last - first) * solver.Dx;
    const long double f = std::sqrt(cD / n.Density) / (2 * h) * 1e-6L;
    return std::isfinite(static_cast<double>(f)) && f > 0 ? static_cast<double>(f) : 0.0;
}

RecordFigures ComputeRecordFigures(const TSignalRecord &record, RecordStretch impedance, RecordStretch pulse,
                                   int signal, double dt_us, double modeMHz) {
    RecordFigures f;
    // Z = U/I is the plate's impedance only for its response to the generator's pulse from rest: a
    // stretch that starts later (echoes alone) holds voltage and current that the returning waves
    // drive through the circuit, whose ratio is the circuit's impedance seen from the plate.
    if (impedance.First > ExcitationStart(record)) {
        f.Impedance.Reason = kImpedanceNoStart;
    } else {
        const std::vector<double> u = Column(record, PlateVoltageColumn(record), impedance);
        const std::vector<double> i = Column(record, PlateCurrentColumn(record), impedance);
        f.Impedance = modeMHz > 0
                          ? ComputeImpedance(u, i, 0, u.size(), dt_us, modeMHz / 2, 1.5 * modeMHz, modeMHz)
                          : ComputeImpedance(u, i, 0, u.size(), dt_us);
    }
    const std::vector<double> y = Column(record, signal, pulse);
    const double t0 = pulse.First < pulse.Last ? record.Time(pulse.First) : 0.0;
    f.Pulse = ComputePulseFigures(y, 0, y.size(), dt_us, t0);
    // The record starts at rest (its head point is the zero before the first step): an envelope
    // above −20 dB at its first sample is the pulse's own abrupt start, not a cut.
    if (pulse.First == WholeRecord(record).First && pulse.First < pulse.Last) {
        f.Pulse.RiseClipped = false;
        f.Pulse.DurationClipped = f.Pulse.FallClipped;
    }
    return f;
}
