// SPDX-License-Identifier: GPL-3.0-or-later
#include "run/Engine.h"

#include <cmath>
#include <exception>
#include <new>
#include <utility>

CircuitConstants ConvertCircuitInputs(const CircuitInputs &in) {
    CircuitConstants k;
    k.R = static_cast<double>(in.R);
    k.RL = static_cast<double>(in.RL);
    k.C = static_cast<double>(in.C * 1e-9L);
    k.L = static_cast<double>(in.L * 1e-6L);
    k.Ron = static_cast<double>(in.Ron);
    k.Roff = static_cast<double>(in.Roff);
    k.Tfront = static_cast<double>(in.Tfront * 1e-9L);
    k.Tpulse = static_cast<double>(in.Tpulse * 1e-9L);
    k.Ucut = static_cast<double>(in.Ucut);
    return k;
}

std::string CheckCircuitInputs(const CircuitInputs &in) {
    if (!std::isfinite(static_cast<double>(in.ChargeVoltage)))
        return "Параметр «Напряжение заряда на конденсаторе С (В)» не является конечным числом: схема "
               "генератора не может быть рассчитана.";
    return CheckCircuitConstants(ConvertCircuitInputs(in));
}

std::string SolverFailureReason(const SolverFailure &failure) {
    using Fault = FloatingPointError::FaultKind;
    using Stage = FloatingPointError::StepStage;
    const char *what = failure.Fault == Fault::DivisionByZero ? "деление на ноль"
                       : failure.Fault == Fault::Invalid      ? "недопустимая операция"
                       : failure.Fault == Fault::Overflow     ? "переполнение"
                                                              : "ошибка вычислений";
    const char *where = failure.Stage == Stage::Velocity ? " при расчете скоростей"
                        : failure.Stage == Stage::Field ? " при расчете электрического поля"
                        : failure.Stage == Stage::Stress ? " при расчете механических напряжений"
                        : failure.Stage == Stage::Voltage ? " при расчете напряжения на пластине"
                                                          : "";
    return std::string(what) + where;
}

double PlateCurrentDensity(double current, double area) {
    return static_cast<double>(static_cast<long double>(current) / area);
}

std::string TSimulationEngine::CheckTask(const EngineInputs &in, TaskLayout *layout) {
    std::string refusal = CheckCircuitInputs(in.Generator);
    const TaskLayout planned = PlanTask(in.Task);
    if (refusal.empty())
        refusal = CheckLayerThicknesses(in.Task);
    if (refusal.empty())
        refusal = CheckTaskLayout(planned);
    if (refusal.empty() && !(in.PlateAreaMm2 * 1e-6L > 0))
        refusal = "Площадь пъезопластины должна быть больше нуля.";
    // An infinite area would make the plate's current density zero: a plate that never moves.
    if (refusal.empty() && !std::isfinite(static_cast<double>(in.PlateAreaMm2 * 1e-6L)))
        refusal = NotFiniteRefusal("Площадь пъезопластины (мм^2)");
    if (layout)
        *layout = planned;
    return refusal;
}

std::string TSimulationEngine::CreateTask(const EngineInputs &in) {
    TaskLayout layout;
    std::string refusal = CheckTask(in, &layout);
    if (!refusal.empty())
        return refusal;

    // The grid first: when it does not fit, the previous task stays as it was.
    try {
        ApplyTaskLayout(FSolver, layout);
    } catch (const std::bad_alloc &) {
        return "Сетка не помещается в памяти: увеличьте шаг в пространстве.";
    } catch (const std::exception &e) {
        return e.what();
    }
    RedrawEvery = in.RedrawEvery;
    PlateArea = static_cast<double>(in.PlateAreaMm2 * 1e-6L);
    FCircuit->Init(ConvertCircuitInputs(in.Generator), static_cast<double>(in.Generator.ChargeVoltage));
    FLayout = layout;
    FFailure = SolverFailure{};
    StepCount = 0;
    FHasTask = true;
    return {};
}

void TSimulationEngine::SetCircuitModel(std::unique_ptr<TCircuitModel> model) {
    FCircuit = std::move(model);
    FSample.assign(FCircuit->SignalCount(), 0.0);
    FHasTask = false;
}

double TSimulationEngine::TimeMicroseconds() const {
    return static_cast<double>(static_cast<long double>(StepCount) * FSolver.Dt * 1e6L);
}

void TSimulationEngine::RecordFailure(const std::exception &e) {
    FFailure = SolverFailure{StepCount, FloatingPointError::FaultKind::Unknown,
                             FloatingPointError::StepStage::Other, e.what()};
    if (const auto *fault = dynamic_cast<const FloatingPointError *>(&e)) {
        FFailure.Fault = fault->Fault;
        FFailure.Stage = fault->Stage;
    }
}

bool TSimulationEngine::Iterate() {
    // The solver's step n is driven by the plate current of step n - 1; the generator's step n
    // sees the plate voltage of step n.
    bool solved = true;
    double plateVoltage = FCircuit->PlateVoltage();
    try {
        plateVoltage = FSolver.DoTimeStep(PlateCurrentDensity(FCircuit->PlateCurrent(), PlateArea), &FYield);
    } catch (const std::exception &e) {
        solved = false;
        RecordFailure(e);
    }

    const double dt = FSolver.Dt;
    const double t = static_cast<double>(static_cast<long double>(StepCount) * dt);
    FCircuit->Step(plateVoltage, dt, t);
    FCircuit->ShiftLevels();
    FSolver.ShiftTimeLevels();
    // A period of 0 would divide by zero: redraw every step then.
    const int32_t period = RedrawEvery == 0 ? 1 : RedrawEvery;
    if (OnRedraw && StepCount % period == 0)
        OnRedraw();
    if (OnSample) {
        const double time = TimeMicroseconds();
        FCircuit->Sample(FSample);
        OnSample(time, FSample);
    }
    ++StepCount;
    return solved;
}
