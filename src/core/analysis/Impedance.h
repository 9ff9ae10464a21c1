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

    // Series resonance: the |Z| minimum below the phase maximum (a true minimum: the parabola through
    // it opens upwards to a positive |Z|²); parallel: the |Z| maximum above it.
    bool SeriesFound = false;
    double fr_MHz = 0, Zr_Ohm = 0;
    bool ParallelFound = false;
    double fa_MHz = 0, Za_Ohm = 0;
    // With both resonances: keff = sqrt(1 − fr²/fa²) and the thickness coupling factor
    // kt = sqrt((π/2)(fr/fa)·tan((π/2)(fa − fr)/fa)) of a plate vibrating in thickness.
    double keff = 0, kt = 0;

    // Low-frequency capacitance −1/(ω·Im Z) extrapolated to f → 0 (for a plate its free
    // capacitance).
    bool CapacitanceFound = false;
    double Cfree_pF = 0;
    // The plate's clamped capacitance ε·A/h. Given the plate's thickness mode fm (vD/2h), it is
    // 1/(ω·|Z|) at 2·fm, where the plate is one wavelength thick and its piezoelectric term vanishes
    // whatever loads its faces; without fm, Cfree·(1 − kt²) from both resonances (a free plate).
    // Withheld when the stretch has not rung out (|U| or |I| in its last 2 % above 10⁻³ of the
    // peak) or C(f) is not straight through 2·fm within 0.1 %.
    bool ClampedFound = false;
    double C0_pF = 0;
    double C0Frequency_MHz = 0; // where C0 was measured (0 for the resonance relation)

    // Why a figure is withheld (Russian, for the user); empty when it was found.
    std::string SeriesReason, ParallelReason, C0Reason;
    // keff needs both resonances: the reason of the first one missing.
    const std::string &KeffReason() const { return SeriesFound ? ParallelReason : SeriesReason; }
};

// Impedance of the stretch [first, last) of the voltage U (V) and current I (A), sampled every
// dt_us µs. The band searched for the resonances is [fmin_MHz, fmax_MHz]; fmax_MHz ≤ fmin_MHz asks
// for the automatic band, from 0 to the highest frequency at which the current's spectrum is
// within 60 dB of its peak. plateModeMHz > 0 is the plate's thickness mode, at twice which the
// clamped capacitance is measured.
ImpedanceFigures ComputeImpedance(std::span<const double> U, std::span<const double> I, std::size_t first,
                                  std::size_t last, double dt_us, double fmin_MHz = 0, double fmax_MHz = 0,
                                  double plateModeMHz = 0);

// Messages of a refused computation.
inline constexpr const char *kImpedanceNoData = "Недостаточно данных для расчета импеданса.";
inline constexpr const char *kImpedanceNoCurrent = "Ток через пластину равен нулю: импеданс не определен.";
inline constexpr const char *kAnalysisBadStep = "Шаг по времени должен быть положительным.";
inline constexpr const char *kAnalysisNotFinite = "Сигнал содержит нечисловые значения.";
inline constexpr const char *kImpedanceEmptyBand = "В выбранной полосе частот ток через пластину равен нулю.";
// Figures withheld: the stretch does not support them.
inline constexpr const char *kImpedanceNoStart =
    "Участок не содержит начала возбуждения: импеданс пластины по нему не определяется.";
inline constexpr const char *kImpedanceNoMinimum = "В полосе поиска нет минимума |Z|.";
inline constexpr const char *kImpedanceNoMaximum = "В полосе поиска нет максимума |Z|.";
inline constexpr const char *kCapacitanceNotRungOut =
    "Колебания не затухли к концу участка: емкость C0 не определяется.";
inline constexpr const char *kCapacitanceNoCurrent =
    "Ток на удвоенной частоте толщинной моды неизмерим: емкость C0 не определяется.";
inline constexpr const char *kCapacitanceUneven =
    "Емкость около удвоенной частоты толщинной моды неровная: C0 не определяется.";
inline constexpr const char *kCapacitanceNoResonances = "Без обоих резонансов емкость C0 не определяется.";
