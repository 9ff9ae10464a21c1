// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The solver of one task: the node grid of the transducer stack (fields apart from coefficients),
// the steps Dx and Dt, the piezo plate's nodes, and one time step of the coupled elastic and
// piezoelectric equations. Each engine owns one; solvers share nothing but the SweepPool they are
// handed, so several can compute in one process.

#include <cstdint>
#include <memory>
#include <vector>

#include "solver/EndCondition.h"
#include "solver/Grid.h"

class SweepPool;
struct YieldPoint;

// Last (bracket, result) pair of a difference operator at one node.
struct DerivMemo {
    uint64_t Key;
    double Value;
};

class TSolver {
public:
    // pool: the threads that share the sweeps (null: the calling thread alone).
    explicit TSolver(SweepPool *pool = nullptr);
    TSolver(const TSolver &) = delete;
    TSolver &operator=(const TSolver &) = delete;

    SweepPool *Pool() const { return FPool; }
    void SetPool(SweepPool *pool) { FPool = pool; }

    // (Re)builds the grid; returns the node count N = Trunc(Length / Dx) + 2. Every node's
    // coefficients are density 1e22, permittivity 8.85e-12 and the rest 0; the plate is kept.
    // Throws FloatingPointError (Dx = 0, quotient out of range) before anything changes,
    // and std::bad_alloc when the grid does not fit in memory.
    int32_t InitGrid(double Length, double Dx, double Dt);

    // Coefficients of nodes First..Last inclusive (nothing when Last < First), clipped to the grid.
    void SetMaterial(int32_t First, int32_t Last, double Density, double Stiffness, double Viscosity,
                     double PiezoE33, double Permittivity);

    // The piezo plate's nodes (First > Last: no plate).
    void SetPlate(int32_t First, int32_t Last) {
        PiezoFirst = First;
        PiezoLast = Last;
    }

    // One time step driven by the plate current density (A/m^2); returns the plate voltage (V).
    // yield (may be null) is serviced before every node update on the calling thread; its hook must
    // not write the grid. Throws FloatingPointError on division by zero, invalid operation or
    // overflow, and std::out_of_range (before anything changes) when a non-empty plate range
    // PiezoFirst..PiezoLast is not inside 2 .. N - 2, as before the first task.
    double DoTimeStep(double CurrentDensity, YieldPoint *yield = nullptr);

    // Moves every history down one level: 3 <- 2 <- 1 <- 0.
    void ShiftTimeLevels();

    // fn(context, first, last) over ranges that together cover every node of the grid, shared
    // between the pool's threads the way the time step shares its sweeps, so that each thread
    // mostly reads the nodes it computes, which are in its cache; on the calling thread alone for a
    // small grid, with one thread, or when called from a yield handler during a time step. fn may
    // read the grid and write only what belongs to its own range of nodes.
    void ForEachNodeRange(void (*fn)(const void *context, int32_t first, int32_t last), const void *context);

    // The condition at each outer end; null restores the held ends. The solver does not own them.
    void SetEndCondition(GridEnd end, EndCondition *condition);

    // A material memory in the stress update (null: none, the plain update). The solver keeps one
    // memory variable per node for it, at two levels like the fields: the step reads the previous
    // one and writes the new one, ShiftTimeLevels makes the new one the previous. Both are zero when
    // the model or the grid is set. The solver does not own the model.
    void SetStressMemory(const StressMemory *model);
    // The memory variables after the last completed (shifted) step.
    const std::vector<double> &StressMemoryState() const { return FMemoryBefore; }

    // The task's state, read by the windows, the analysis and the batch run. The grid and its
    // coefficients may also be written between steps (tests do); they keep the same size.
    std::vector<GridNode> NodeGrid;
    std::vector<NodeCoefficients> Coefficients;
    double Dx = 0.0;        // m
    double Dt = 0.0;        // s
    int32_t PiezoFirst = 0; // first node of the piezo plate
    int32_t PiezoLast = 0;  // last node of the piezo plate

private:
    void PrepareScratch();
    void CallEnds(bool afterVelocity);

    SweepPool *FPool = nullptr;
    // Per-node working storage of the step, sized with the grid.
    std::vector<DerivMemo> FStressDeriv;   // DS of each velocity point
    std::vector<DerivMemo> FVelocityDeriv; // DV0 of each stress point (DV1 of the next step)
    uint64_t FMemoDxBits;                  // Dx the remembered results were computed with
    HeldEnd FHeld;
    EndCondition *FEnds[2] = {&FHeld, &FHeld};
    const StressMemory *FMemoryModel = nullptr;
    std::vector<double> FMemory;       // written by the step
    std::vector<double> FMemoryBefore; // read by the step
};
