// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Electrical impedance Z(f) = U(f) / I(f) of the piezo plate from its recorded voltage and current,
// and the readouts of its thickness mode: series and parallel resonance, coupling factors and
// capacitances. Plain functions over arrays; frequencies in MHz, times in µs, Z in ohms.

#include <cstddef>
#include <span>
#include <string>
#include <vector>

struct ImpedanceFigures {
    bool Valid = false;
    std::string Reason; // why there is no result (Russian, for the user); empty when Valid

    // The curve over the analysed band, at the grid points where the current is measurable.
    std::vector<double> f_MHz;
    std::vector<double> AbsZ_Ohm;
    std::vector<double> Phase_deg;
    double Band_fmin_MHz = 0, Band_fmax_MHz = 0; // the analysed band
    double GridStep_MHz = 0;                     // spacing of the zero-padded transform's grid

    // Series resonance: the |Z| minimum below the phase maximum; parallel: the |Z| maximum above it.
    bool SeriesFound = false;
    double fr_MHz = 0, Zr_Ohm = 0;
    bool ParallelFound = false;
    double fa_MHz = 0, Za_Ohm = 0;
    // With both resonances: keff = sqrt(1 − fr²/fa²) and the thickness coupling factor
    // kt = sqrt((π/2)(fr/fa)·tan((π/2)(fa − fr)/fa)) of a plate vibrating in thickness.
    double keff = 0, kt = 0;

    // Low-frequency capacitance −1/(ω·Im Z) extrapolated to f → 0 (for a plate its free
    // capacitance), and with both resonances the plate's clamped capacitance Cfree·(1 − kt²).
    bool CapacitanceFound = false;
    double Cfree_pF = 0;
    bool ClampedFound = false;
    double C0_pF = 0;
};

// Impedance of the stretch [first, last) of the voltage U (V) and current I (A), sampled every
// dt_us µs. The band searched for the resonances is [fmin_MHz, fmax_MHz]; fmax_MHz ≤ fmin_MHz asks
// for the automatic band, from 0 to the highest frequency at which the current's spectrum is
// within 60 dB of its peak.
ImpedanceFigures ComputeImpedance(std::span<const double> U, std::span<const double> I, std::size_t first,
                                  std::size_t last, double dt_us, double fmin_MHz = 0, double fmax_MHz = 0);

// Messages of a refused computation.
inline constexpr const char *kImpedanceNoData = "Недостаточно данных для расчета импеданса.";
inline constexpr const char *kImpedanceNoCurrent = "Ток через пластину равен нулю: импеданс не определен.";
inline constexpr const char *kAnalysisBadStep = "Шаг по времени должен быть положительным.";
inline constexpr const char *kAnalysisNotFinite = "Сигнал содержит нечисловые значения.";
inline constexpr const char *kImpedanceEmptyBand = "В выбранной полосе частот ток через пластину равен нулю.";
