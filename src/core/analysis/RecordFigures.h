// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The transducer figures of a signal record: the plate's impedance from Upep and Ipep and the pulse
// figures of one signal, over a stretch of the record. The windows and the batch run both use it.

#include <cstddef>
#include <string>

#include "analysis/Impedance.h"
#include "analysis/PulseFigures.h"

class TSignalRecord;
class TSolver;

// Samples of the record from time `from_us` to `to_us` inclusive, as [First, Last); the record's
// head point (the zero before the first step) is never part of a stretch.
struct RecordStretch {
    std::size_t First = 0, Last = 0;
};
RecordStretch StretchByTime(const TSignalRecord &record, double from_us, double to_us);
// Every sample after the head point.
RecordStretch WholeRecord(const TSignalRecord &record);

struct RecordFigures {
    ImpedanceFigures Impedance;
    PulseFigures Pulse;
};

// The thickness mode of the task's piezo plate on the solver's grid: vD / (2 h) with the stiffened
// modulus cD = C33 + e33² / ε of its first node and h = (PiezoLast − PiezoFirst) · Dx; 0 without a plate.
double PlateThicknessModeMHz(const TSolver &solver);

// The impedance over `impedance`, its resonances searched within [modeMHz / 2, 3 modeMHz / 2] (the
// whole band when modeMHz is 0) and its clamped capacitance read at 2 modeMHz, and the pulse
// figures of `signal` over `pulse`; samples are dt_us apart. The impedance is refused
// (kImpedanceNoStart) when `impedance` begins after the excitation does: after the first sample
// where |Upep| reaches 10⁻³ of its peak over the record. A pulse stretch from the record's first
// step is not cut at its start (the record starts at rest). The impedance is the record's signal
// "Upep" over "Ipep", found by name.
RecordFigures ComputeRecordFigures(const TSignalRecord &record, RecordStretch impedance, RecordStretch pulse,
                                   int signal, double dt_us, double modeMHz);
