// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The simulation engine: one task and its run, with no windows. It builds a task from plain inputs
// (the layer table, the grid steps, the generator constants and the plate area, in the units the
// input fields show) and advances the coupled computation one iteration at a time: the guarded
// solver step driven by the plate current, the generator step, the two level shifts, and the new
// sample of the circuit's signals. The windows, the batch command line, the benchmarks and the
// tests all drive this one piece of code, so they compute the same bits.
//
// Each engine owns its solver and its run's yield point and shares nothing else with other engines
// but the SweepPool it is handed, so several engines compute independently in one process.

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "circuit/GeneratorCircuit.h"
#include "solver/Solver.h"
#include "solver/Yield.h"
#include "stack/TaskLayout.h"
#include "text/Errors.h"

// The generator inputs in the units of their fields.
struct CircuitInputs {
    long double ChargeVoltage = 0; // V, the storage capacitor's charge
    long double C = 0;             // nF
    long double R = 0;             // ohm
    long double L = 0;             // µH
    long double RL = 0;            // ohm
    long double Ron = 0;           // ohm
    long double Roff = 0;          // ohm
    long double Tfront = 0;        // ns
    long double Tpulse = 0;        // ns
    long double Ucut = 0;          // V
};

// SI constants of the generator (nF, µH and ns converted in extended precision).
CircuitConstants ConvertCircuitInputs(const CircuitInputs &in);

// Empty when the generator can be calculated; otherwise a Russian sentence naming the field.
std::string CheckCircuitInputs(const CircuitInputs &in);

// Everything a new task is built from.
struct EngineInputs {
    TaskInputs Task;
    CircuitInputs Generator;
    long double PlateAreaMm2 = 0; // mm^2
    int32_t RedrawEvery = 10;  // spatial redraw period in steps (the windows' concern; 0 means every step)
};

// The plate current density (A/m^2) that drives the solver: current / area in extended precision,
// rounded to double once.
double PlateCurrentDensity(double current, double area);

// How a solver step failed: the step, what the arithmetic met and where.
struct SolverFailure {
    int32_t Step = 0;
    FloatingPointError::FaultKind Fault = FloatingPointError::FaultKind::Unknown;
    FloatingPointError::StepStage Stage = FloatingPointError::StepStage::Other;
    std::string What; // the core's English text
};

// The Russian reason of a solver failure for the status bar and messages, e.g. "переполнение при
// расчете скоростей".
std::string SolverFailureReason(const SolverFailure &failure);

class TSimulationEngine {
public:
    // One value per signal of the circuit model, in the order of SignalList(); for the generator U0,
    // U1, Upep (V), I0, IL, Ipep (A).
    using Sample = std::span<const double>;

    // pool: the threads that share the solver's sweeps (null: the calling thread alone).
    explicit TSimulationEngine(SweepPool *pool = nullptr) : FSolver(pool) {}
    TSimulationEngine(const TSimulationEngine &) = delete;
    TSimulationEngine &operator=(const TSimulationEngine &) = delete;

    // The task's grid, steps and plate.
    TSolver &Solver() { return FSolver; }
    const TSolver &Solver() const { return FSolver; }
    // Serviced before every node update of the run's time steps; the windows install their hook
    // here, and hand it to the other long computations they run (the spectrum).
    YieldPoint &Yield() { return FYield; }

    // Checks every input, then builds the task: generator constants and histories, the grid and its
    // layers, the plate indices, StepCount = 0. Returns a Russian refusal (and changes nothing) when
    // the task cannot be computed; "" on success. Throws nothing for bad inputs.
    std::string CreateTask(const EngineInputs &in);
    // The same refusal without building anything.
    static std::string CheckTask(const EngineInputs &in, TaskLayout *layout = nullptr);

    // One coupled iteration. A failure of the solver step is caught: the level-0 plate voltage then
    // keeps its previous value, the rest of the iteration runs, and the result is false (Failure()
    // says why). A failure of the generator step propagates (FloatingPointError).
    bool Iterate();

    // Called in the iteration after the shifts when StepCount is a multiple of the redraw period.
    std::function<void()> OnRedraw;
    // Called with each new sample: the time in µs and the circuit's signals.
    std::function<void(double timeMicroseconds, const Sample &values)> OnSample;

    // Notes a failure met outside the solver step (the generator's equations) at the current step.
    void RecordFailure(const std::exception &e);

    bool HasTask() const { return FHasTask; }
    const TaskLayout &Layout() const { return FLayout; }
    const SolverFailure &Failure() const { return FFailure; }
    // StepCount × Dt × 1e6, the time of the next iteration's sample.
    double TimeMicroseconds() const;

    // The circuit model (today's generator unless SetCircuitModel installed another) and its signals.
    TCircuitModel &Circuit() { return *FCircuit; }
    const TCircuitModel &Circuit() const { return *FCircuit; }
    const std::vector<SignalInfo> &SignalList() const { return FCircuit->SignalList(); }
    // Another topology for the next task: the current task, if any, ends (HasTask() is false until
    // CreateTask).
    void SetCircuitModel(std::unique_ptr<TCircuitModel> model);

    // The state of the run, read and written by the windows under their own names.
    double PlateArea = 1.0; // m^2
    int32_t StepCount = 0;
    int32_t RedrawEvery = 10;

private:
    std::unique_ptr<TCircuitModel> FCircuit = std::make_unique<TGeneratorCircuit>();
    std::vector<double> FSample = std::vector<double>(FCircuit->SignalCount()); // filled in each iteration
    TSolver FSolver;
    YieldPoint FYield;
    TaskLayout FLayout;
    SolverFailure FFailure;
    bool FHasTask = false;
};
