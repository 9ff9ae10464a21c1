// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Figures of one pulse (an echo, the exciting pulse): its normalised amplitude spectrum with the
// peak, the −6 dB and −20 dB bands, and its envelope with the peak time and the −20 dB duration.
// Plain functions over arrays; frequencies in MHz, times in µs.

#include <cstddef>
#include <span>
#include <string>
#include <vector>

struct PulseFigures {
    bool Valid = false;
    std::string Reason; // why there is no result (Russian, for the user); empty when Valid

    // Amplitude spectrum in dB relative to its peak, from 0 to Band_fmax_MHz.
    std::vector<double> f_MHz;
    std::vector<double> Level_dB;
    double Band_fmax_MHz = 0;
    double GridStep_MHz = 0;
    double Peak_MHz = 0;

    // −6 dB band: edges where the spectrum first falls to −6 dB either side of the peak.
    bool Band6Found = false;
    double Low6_MHz = 0, High6_MHz = 0;
    double fc_MHz = 0;      // (Low6 + High6) / 2
    double bw6_MHz = 0;     // High6 − Low6
    double bw6_percent = 0; // bw6 as a percentage of fc
    bool Band20Found = false;
    double Low20_MHz = 0, High20_MHz = 0;
    double bw20_MHz = 0;

    // Envelope |x + i·H[x]| of the stretch, one value per sample, in the signal's unit.
    std::vector<double> Envelope;
    double EnvelopePeak = 0;
    double EnvelopePeak_us = 0;
    // First and last crossing of EnvelopePeak / 10 (−20 dB) and the time between them; Clipped when
    // the envelope is still above that level at an end of the stretch (the crossing is then the end).
    double Rise20_us = 0, Fall20_us = 0, Duration20_us = 0;
    bool DurationClipped = false;
    bool RiseClipped = false, FallClipped = false; // which end; DurationClipped is either
};

// Figures of the stretch [first, last) of y, sampled every dt_us µs, sample j at t0_us + j·dt_us.
// The spectrum is returned up to fmax_MHz, or when fmax_MHz ≤ 0 up to the highest frequency at
// which it is within 60 dB of its peak.
PulseFigures ComputePulseFigures(std::span<const double> y, std::size_t first, std::size_t last, double dt_us,
                                 double t0_us = 0, double fmax_MHz = 0);

// The upper end of a frequency axis that shows the pulse's band: twice the upper edge of its −20 dB
// band (of its −6 dB band when that is all there is), within Band_fmax_MHz; Band_fmax_MHz without
// either. A spectrum with a steep front reaches −60 dB only far above its band (63 MHz for the
// default task's 4 MHz pulse), which would squeeze the band into the axis' first tenth.
double PulseDisplayTop_MHz(const PulseFigures &p);

inline constexpr const char *kPulseNoData = "Недостаточно данных для расчета спектра.";
inline constexpr const char *kPulseZeroSignal = "Сигнал на выбранном участке равен нулю.";
