// SPDX-License-Identifier: GPL-3.0-or-later
// The solver of one task: the node grid and one time step of the coupled elastic and piezoelectric
// equations.
//
// Every expression is evaluated in extended precision (long double, 64-bit mantissa) left to
// right and rounded to double where it is stored, so results do not depend on the compiler's
// choice of registers. The step is bit-for-bit the plain node-by-node formula; the speed comes
// from skipping divisions whose result is already known exactly:
//  - a difference operator is a pure function of its bracket (rounded to double) and of Dx, so
//    each node remembers its last (bracket, result) pair. The strain rate of the completed
//    level, DV1, is then the DV0 of the previous step without dividing again, and nodes at rest
//    (bracket 0) never divide. Only finite results are remembered, so a reused value can never
//    hide a division by zero, an invalid operation or an overflow;
//  - a zero numerator divided by a positive number is the same zero, with the same sign;
//  - outside the plate the field history is zero, so the field's time difference needs no /24.
// Each sweep goes through its nodes in blocks of kBlock: it computes the block's divisions first,
// in a short loop whose iterations overlap well, into a small buffer on the stack, and then
// updates the block's nodes, yielding before each update as the run requires. The block's lines
// are still in cache for the second loop, and the buffers cost no memory per node.
//
// Threads: within one sweep the node updates are independent (a sweep reads levels 1 to 3 and the
// finished sweeps, and writes level 0 and the memo only at the index of the node it computes), so
// on a large grid a sweep is cut into chunks that the calling thread and the workers of the solver's
// SweepPool claim one by one; the sweeps stay in order, each finished before the next begins, and
// the level shift is shared the same way. Every value is therefore the same bits for any
// thread count, and with one thread (or a small grid) the whole sweep runs on the calling thread.
// Only the calling thread yields, before each of its own updates and while it waits for workers'
// chunks; workers write only level 0 and the memos, so handlers still see complete levels 1 to 3.
//
// Floating-point faults are not trapped: the sweeps clear the <cfenv> flags and test them
// afterwards. The flags are per thread: each worker hands back the flags of its chunks, and a
// sweep's fault is the union of all of them, whichever thread met it.

#include "solver/Solver.h"

#include <algorithm>
#include <bit>
#include <cfenv>
#include <cmath>
#include <limits>
#include <new>
#include <stdexcept>
#include <string>

#include "solver/SweepPool.h"
#include "solver/Yield.h"
#include "text/Errors.h"

namespace {

using Ext = long double;

// Coefficients of the third-order multistep formula, nearest 64-bit-mantissa values.
constexpr Ext A21 = 21.0L / 23.0L;
constexpr Ext A3 = 3.0L / 23.0L;
constexpr Ext A1 = 1.0L / 23.0L;
constexpr Ext G = 24.0L / 23.0L;

constexpr int kFaultFlags = FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW;

// Out of line and behind a memory barrier: every result of a sweep is stored to the grid
// before the flags are read, so no arithmetic can be moved across the test.
[[gnu::noinline]] int PendingFaults() {
    asm volatile("" ::: "memory");
    return std::fetestexcept(kFaultFlags);
}

[[gnu::noinline]] void ClearFaults() {
    std::feclearexcept(kFaultFlags);
    asm volatile("" ::: "memory");
}

using FaultKind = FloatingPointError::FaultKind;
using StepStage = FloatingPointError::StepStage;

[[noreturn]] void ThrowFault(int flags, StepStage stage) {
    const FaultKind fault = (flags & FE_DIVBYZERO) ? FaultKind::DivisionByZero
                            : (flags & FE_INVALID) ? FaultKind::Invalid
                                                   : FaultKind::Overflow;
    const char *what = fault == FaultKind::DivisionByZero ? "Floating-point division by zero"
                       : fault == FaultKind::Invalid      ? "Invalid floating-point operation"
                                                          : "Floating-point overflow";
    const char *where = stage == StepStage::Velocity ? "the velocity update"
                        : stage == StepStage::Field  ? "the electric field update"
                        : stage == StepStage::Stress ? "the stress update"
                                                     : "the plate voltage";
    throw FloatingPointError(std::string(what) + " in " + where, fault, stage);
}

// A signalling-NaN pattern: a bracket rounded to double is never one, so it never matches.
constexpr uint64_t kEmptyKey = 0x7FF0000000000001ull;

// Difference operator from its bracket: bracket to double, / 24, / Dx, to double again.
inline double Derivative(Ext bracket, DerivMemo &memo, Ext dx, bool remember) {
    const double b = static_cast<double>(bracket);
    const uint64_t key = std::bit_cast<uint64_t>(b);
    if (key == memo.Key)
        return memo.Value;
    const double d = static_cast<double>(static_cast<Ext>(b) / 24 / dx);
    if (remember && std::isfinite(d)) {
        memo.Key = key;
        memo.Value = d;
    }
    return d;
}

inline Ext StressBracket(const GridNode *g, int32_t i) {
    return ((27 * static_cast<Ext>(g[i + 1].S[1]) - static_cast<Ext>(g[i + 2].S[1])) -
            27 * static_cast<Ext>(g[i].S[1])) +
           static_cast<Ext>(g[i - 1].S[1]);
}

inline Ext VelocityBracket(const GridNode *g, int32_t i, int level) {
    return ((27 * static_cast<Ext>(g[i].V[level]) - static_cast<Ext>(g[i + 1].V[level])) -
            27 * static_cast<Ext>(g[i - 1].V[level])) +
           static_cast<Ext>(g[i - 2].V[level]);
}

// Nodes whose divisions a sweep computes ahead of their updates (their lines are still in the
// nearest cache for the updates; longer blocks measured no faster, shorter ones slower on 250,000
// nodes).
constexpr int32_t kBlock = 256;

// update(i) for i = first .. last, yielding before each when Yield.
template <bool Yield, class Update>
inline void UpdateNodes(YieldPoint *yield, int32_t first, int32_t last, Update update) {
    if constexpr (Yield)
        yield->ForEach(first, last, update);
    else
        for (int32_t i = first; i <= last; ++i)
            update(i);
}

struct StepConstants {
    GridNode *Grid;
    const NodeCoefficients *K;
    DerivMemo *StressDeriv;
    DerivMemo *VelocityDeriv;
    const double *MemoryBefore; // each node's memory variable after the previous step
    double *Memory;             // and after this one
    const StressMemory *MemoryModel;
    YieldPoint *Yield; // null when the step does not yield
    int32_t High;
    Ext Dx;
    Ext GDt;  // G * Dt, the same value the formula forms at every node
    Ext GDtJ; // G * Dt * J
};

// Each sweep is computed over a range of nodes: the whole sweep on one thread, or its chunks on
// several. Over a range, it goes block by block: the divisions of the block's nodes into a buffer,
// then the updates, yielding before each when asked to. The first loop only reads what the sweep
// reads anyway, and every write of a sweep (level 0 and the memo) is to the index of the node
// being computed, so ranges are independent and their results do not depend on how a sweep is cut.

// V0[i] = A21 V1 + A3 V2 - A1 V3 + G Dt DS(i) / Density[i]
template <bool Yield> void VelocitySweep(const StepConstants &c, int32_t first, int32_t last) {
    GridNode *g = c.Grid;
    const NodeCoefficients *k = c.K;
    DerivMemo *memo = c.StressDeriv;
    Ext increment[kBlock];
    for (int32_t block = first; block <= last; block += kBlock) {
        const int32_t end = std::min(last, block + kBlock - 1);
        for (int32_t i = block; i <= end; ++i) {
            const double ds = Derivative(StressBracket(g, i), memo[i], c.Dx, true);
            Ext force = c.GDt * ds;
            if (!(force == 0 && std::isgreater(k[i].Density, 0.0)))
                force = force / k[i].Density;
            increment[i - block] = force;
        }
        const auto update = [&](int32_t i) {
            GridNode &n = g[i];
            n.V[0] = static_cast<double>(((A21 * n.V[1] + A3 * n.V[2]) - A1 * n.V[3]) + increment[i - block]);
        };
        UpdateNodes<Yield>(c.Yield, block, end, update);
    }
}

// E0[i] = A21 E1 + A3 E2 - A1 E3 + G Dt J / Permittivity[i] - G Dt DV0(i) PiezoE33[i] / Permittivity[i]
template <bool Yield> void FieldSweep(const StepConstants &c, int32_t first, int32_t last) {
    GridNode *g = c.Grid;
    const NodeCoefficients *k = c.K;
    DerivMemo *memo = c.VelocityDeriv;
    const auto update = [&](int32_t i) {
        GridNode &n = g[i];
        const NodeCoefficients &m = k[i];
        const double dv0 = Derivative(VelocityBracket(g, i, 0), memo[i], c.Dx, false);
        n.E[0] =
            static_cast<double>((((A21 * n.E[1] + A3 * n.E[2]) - A1 * n.E[3]) + c.GDtJ / m.Permittivity) -
                                c.GDt * dv0 * m.PiezoE33 / m.Permittivity);
    };
    UpdateNodes<Yield>(c.Yield, first, last, update);
}

// S0[i] = A21 S1 + A3 S2 - A1 S3 + G Dt DV0 Stiffness + G (DV0 - DV1) Viscosity - G dE PiezoE33; with a material
// memory (a separate instantiation, so the plain sweep pays nothing for it), the model then turns
// that value into the node's stress.
template <bool Yield, bool Memory> void StressSweep(const StepConstants &c, int32_t first, int32_t last) {
    GridNode *g = c.Grid;
    const NodeCoefficients *k = c.K;
    DerivMemo *memo = c.VelocityDeriv;
    double rate0[kBlock];
    double rate1[kBlock];
    for (int32_t block = first; block <= last; block += kBlock) {
        const int32_t end = std::min(last, block + kBlock - 1);
        for (int32_t i = block; i <= end; ++i) {
            // DV1 first: the memo still holds the previous step's DV0, which it usually equals.
            rate1[i - block] = Derivative(VelocityBracket(g, i, 1), memo[i], c.Dx, false);
            rate0[i - block] = Derivative(VelocityBracket(g, i, 0), memo[i], c.Dx, true);
        }
        const auto update = [&](int32_t i) {
            GridNode &n = g[i];
            const NodeCoefficients &m = k[i];
            const double dv0 = rate0[i - block];
            const Ext fieldBracket = ((23 * static_cast<Ext>(n.E[0]) - 21 * static_cast<Ext>(n.E[1])) -
                                      3 * static_cast<Ext>(n.E[2])) +
                                     n.E[3];
            // A zero bracket divided by 24 is the same zero.
            const double dE = fieldBracket == 0 ? static_cast<double>(fieldBracket)
                                                : static_cast<double>(fieldBracket / 24);
            const double stress = static_cast<double>(
                ((((A21 * n.S[1] + A3 * n.S[2]) - A1 * n.S[3]) + c.GDt * dv0 * m.Stiffness) +
                 G * (static_cast<Ext>(dv0) - rate1[i - block]) * m.Viscosity) -
                G * dE * m.PiezoE33);
            if constexpr (Memory)
                n.S[0] = c.MemoryModel->Stress(i, stress, dv0, c.MemoryBefore[i], c.Memory[i]);
            else
                n.S[0] = stress;
        };
        UpdateNodes<Yield>(c.Yield, block, end, update);
    }
}

using SweepFn = void (*)(const StepConstants &, int32_t, int32_t);

// A chunk of a sweep as the pool calls it.
template <SweepFn Sweep> void SweepChunk(const void *context, int32_t first, int32_t last) {
    Sweep(*static_cast<const StepConstants *>(context), first, last);
}

void ServiceYieldPoint(void *yield) {
    static_cast<YieldPoint *>(yield)->Service();
}

// One sweep over first..last, yielding or not: on the calling thread alone (one thread, or a short
// range), or shared with the pool's workers, which never yield. Returns the fault flags the
// workers met; the calling thread's own stay in its floating-point state.
template <SweepFn Plain, SweepFn Yielding>
int RunSweep(const StepConstants &c, int32_t first, int32_t last, bool yield, SweepWorkers *workers,
             int threshold) {
    if (workers == nullptr || last - first + 1 < threshold) {
        (yield ? Yielding : Plain)(c, first, last);
        return 0;
    }
    return workers->Run(first, last, &SweepChunk<Plain>, yield ? &SweepChunk<Yielding> : &SweepChunk<Plain>,
                        &c, yield ? &ServiceYieldPoint : nullptr, c.Yield);
}

// A yield hook runs window code, which may leave fault flags of its own (on the calling thread,
// the only one that yields). When a sweep that yielded ends with a flag set, the sweep is computed
// again without yielding (it reads only levels 1 to 3 and finished sweeps, so it gives the same
// values) and only its own flags count.
template <typename Sweep> void CheckSweep(int workerFaults, bool yielded, StepStage where, Sweep &&again) {
    int flags = PendingFaults() | workerFaults;
    if (flags == 0)
        return;
    if (yielded) {
        ClearFaults();
        workerFaults = again();
        flags = PendingFaults() | workerFaults;
        if (flags == 0)
            return;
    }
    ThrowFault(flags, where);
}

} // namespace

TSolver::TSolver(SweepPool *pool) : FPool(pool), FMemoDxBits(kEmptyKey) {}

int32_t TSolver::InitGrid(double Length, double DxArg, double DtArg) {
    // The node count first: every failure here leaves Dx, Dt and the grid as they were.
    ClearFaults();
    const Ext quotient = static_cast<Ext>(Length) / static_cast<Ext>(DxArg);
    const int flags = PendingFaults();
    if (flags & FE_DIVBYZERO)
        throw FloatingPointError("Floating-point division by zero: the spatial step is 0");
    if ((flags & FE_INVALID) || !(quotient > -9223372036854775809.0L && quotient < 9223372036854775808.0L))
        throw FloatingPointError(
            "Invalid floating-point operation: length / spatial step is not a 64-bit integer");
    const int64_t n = static_cast<int64_t>(quotient) + 2; // truncation toward zero
    if (n < 2 || n > std::numeric_limits<int32_t>::max())
        throw FloatingPointError("Invalid floating-point operation: the node count " + std::to_string(n) +
                                 " is out of range");

    // The nodes, their positions and default coefficients, and the step's storage, built aside:
    // when memory runs out, the previous task stays whole and consistent with its own Dx and Dt.
    const size_t size = static_cast<size_t>(n);
    std::vector<GridNode> grid(size); // value-initialised: histories 0
    std::vector<NodeCoefficients> coefficients(size, NodeCoefficients{1e22, 0.0, 0.0, 0.0, 8.85e-12});
    std::vector<DerivMemo> stressDeriv(size, DerivMemo{kEmptyKey, 0.0});
    std::vector<DerivMemo> velocityDeriv(size, DerivMemo{kEmptyKey, 0.0});
    std::vector<double> memory(FMemoryModel ? size : 0, 0.0);
    std::vector<double> memoryBefore(FMemoryModel ? size : 0, 0.0);
    const Ext dx = DxArg;
    for (int64_t i = 0; i < n; ++i)
        grid[static_cast<size_t>(i)].X = static_cast<double>(static_cast<Ext>(i) * dx);
    NodeGrid.swap(grid);
    Coefficients.swap(coefficients);
    FStressDeriv.swap(stressDeriv);
    FVelocityDeriv.swap(velocityDeriv);
    FMemory.swap(memory);
    FMemoryBefore.swap(memoryBefore);
    Dx = DxArg;
    Dt = DtArg;
    FMemoDxBits = std::bit_cast<uint64_t>(Dx);
    return static_cast<int32_t>(n);
}

// Indices outside the grid would write outside it; they are clipped to the grid.
void TSolver::SetMaterial(int32_t First, int32_t Last, double Density, double Stiffness, double Viscosity,
                          double PiezoE33, double Permittivity) {
    const int64_t high = static_cast<int64_t>(Coefficients.size()) - 1;
    const int64_t first = std::max<int64_t>(First, 0);
    const int64_t last = std::min<int64_t>(Last, high);
    for (int64_t i = first; i <= last; ++i)
        Coefficients[static_cast<size_t>(i)] = NodeCoefficients{Density, Stiffness, Viscosity, PiezoE33, Permittivity};
}

void TSolver::SetEndCondition(GridEnd end, EndCondition *condition) {
    FEnds[end == GridEnd::Left ? 0 : 1] = condition ? condition : &FHeld;
}

void TSolver::SetStressMemory(const StressMemory *model) {
    FMemoryModel = model;
    for (std::vector<double> *memory : {&FMemory, &FMemoryBefore}) {
        memory->assign(model ? NodeGrid.size() : 0, 0.0);
        if (!model)
            memory->shrink_to_fit();
    }
}

// The step's storage must match the grid's size and the memos the current Dx (the grid and Dx may
// also be written directly, which the memo keys take care of).
void TSolver::PrepareScratch() {
    if (Coefficients.size() != NodeGrid.size())
        throw std::logic_error("The grid has " + std::to_string(NodeGrid.size()) + " nodes but " +
                               std::to_string(Coefficients.size()) + " coefficients");
    const uint64_t dxBits = std::bit_cast<uint64_t>(Dx);
    if (dxBits != FMemoDxBits || FStressDeriv.size() != NodeGrid.size()) {
        FStressDeriv.assign(NodeGrid.size(), DerivMemo{kEmptyKey, 0.0});
        FVelocityDeriv.assign(NodeGrid.size(), DerivMemo{kEmptyKey, 0.0});
        FMemoDxBits = dxBits;
    }
    if (FMemoryModel && FMemory.size() != NodeGrid.size()) {
        FMemory.assign(NodeGrid.size(), 0.0);
        FMemoryBefore.assign(NodeGrid.size(), 0.0);
    }
}

void TSolver::CallEnds(bool afterVelocity) {
    const int32_t n = static_cast<int32_t>(NodeGrid.size());
    for (GridEnd end : {GridEnd::Left, GridEnd::Right}) {
        const EndNodes nodes{end,
                             end == GridEnd::Left ? 0 : std::max(n - 2, 0),
                             end == GridEnd::Left ? std::min(1, n - 1) : n - 1,
                             NodeGrid.data(),
                             Coefficients.data(),
                             Dx,
                             Dt};
        EndCondition *condition = FEnds[end == GridEnd::Left ? 0 : 1];
        if (afterVelocity)
            condition->AfterVelocity(nodes);
        else
            condition->AfterStress(nodes);
    }
}

double TSolver::DoTimeStep(double CurrentDensity, YieldPoint *yield) {
    const int32_t high = static_cast<int32_t>(NodeGrid.size()) - 1;
    // The field update reads velocities PiezoFirst - 2 ... PiezoLast + 1: refuse a plate that
    // does not lie inside the grid instead of reading outside it.
    if (PiezoFirst <= PiezoLast && (PiezoFirst < 2 || PiezoLast > high - 1))
        throw std::out_of_range("The piezo plate nodes " + std::to_string(PiezoFirst) + ".." +
                                std::to_string(PiezoLast) + " do not lie inside the grid of " +
                                std::to_string(high + 1) + " nodes");
    PrepareScratch();

    const bool yielding = yield != nullptr && yield->Hook != nullptr;
    const StepConstants c{
        NodeGrid.data(),       Coefficients.data(),        FStressDeriv.data(),
        FVelocityDeriv.data(), FMemoryBefore.data(),       FMemory.data(),
        FMemoryModel,          yielding ? yield : nullptr, high,
        static_cast<Ext>(Dx),  G * static_cast<Ext>(Dt),   G * static_cast<Ext>(Dt) * CurrentDensity};
    const int threshold = FPool ? FPool->ParallelThreshold() : 0;
    SweepWorkers *workers = FPool && high - 3 >= threshold ? FPool->Workers() : nullptr;
    const auto velocity = [&](bool yield) {
        return RunSweep<VelocitySweep<false>, VelocitySweep<true>>(c, 2, high - 2, yield, workers, threshold);
    };
    const auto field = [&](bool yield) {
        return RunSweep<FieldSweep<false>, FieldSweep<true>>(c, PiezoFirst, PiezoLast, yield, workers,
                                                             threshold);
    };
    const auto stress = [&](bool yield) {
        if (FMemoryModel)
            return RunSweep<StressSweep<false, true>, StressSweep<true, true>>(c, 2, high - 2, yield, workers,
                                                                               threshold);
        return RunSweep<StressSweep<false, false>, StressSweep<true, false>>(c, 2, high - 2, yield, workers,
                                                                             threshold);
    };

    ClearFaults();
    CheckSweep(velocity(yielding), yielding, StepStage::Velocity, [&] { return velocity(false); });
    CallEnds(true);
    CheckSweep(0, false, StepStage::Velocity, [] { return 0; });
    if (PiezoFirst <= PiezoLast)
        CheckSweep(field(yielding), yielding, StepStage::Field, [&] { return field(false); });
    CheckSweep(stress(yielding), yielding, StepStage::Stress, [&] { return stress(false); });
    CallEnds(false);
    CheckSweep(0, false, StepStage::Stress, [] { return 0; });

    double voltage = 0.0;
    for (int32_t i = PiezoFirst; i <= PiezoLast; ++i)
        voltage = static_cast<double>(NodeGrid[static_cast<size_t>(i)].E[0] * c.Dx + voltage);
    CheckSweep(0, false, StepStage::Voltage, [] { return 0; });
    return voltage;
}

namespace {

void ShiftLevels(GridNode *g, int32_t first, int32_t last) {
    for (int32_t i = first; i <= last; ++i) {
        GridNode &n = g[i];
        n.V[3] = n.V[2];
        n.V[2] = n.V[1];
        n.V[1] = n.V[0];
        n.S[3] = n.S[2];
        n.S[2] = n.S[1];
        n.S[1] = n.S[0];
        n.E[3] = n.E[2];
        n.E[2] = n.E[1];
        n.E[1] = n.E[0];
    }
}

void ShiftChunk(const void *context, int32_t first, int32_t last) {
    ShiftLevels(static_cast<GridNode *>(const_cast<void *>(context)), first, last);
}

} // namespace

void TSolver::ShiftTimeLevels() {
    ForEachNodeRange(&ShiftChunk, NodeGrid.data());
    FMemoryBefore.swap(FMemory);
}

void TSolver::ForEachNodeRange(void (*fn)(const void *context, int32_t first, int32_t last),
                               const void *context) {
    const int32_t last = static_cast<int32_t>(NodeGrid.size()) - 1;
    if (last < 0)
        return;
    SweepWorkers *workers = FPool && last + 1 >= FPool->ParallelThreshold() ? FPool->Workers() : nullptr;
    if (workers == nullptr)
        fn(context, 0, last);
    else
        workers->Run(0, last, fn, fn, context);
}
