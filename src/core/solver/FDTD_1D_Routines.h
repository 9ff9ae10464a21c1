// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Solver core: the node grid of the transducer stack and one time step of the coupled
// elastic and piezoelectric equations. Module-level state, as the rest of the program reads it.

#include <cstdint>
#include <limits>
#include <vector>

static_assert(std::numeric_limits<long double>::digits == 64, "extended precision needs a 64-bit mantissa");

struct GridNode {
    double X;        // m, i * Dx
    double V[4];     // m/s, particle velocity; level 0 being computed, 1 last completed, 2..3 older
    double S[4];     // Pa, mechanical stress
    double E[4];     // V/m, electric field
    double Rho;      // kg/m^3
    double C33;      // Pa
    double Eta;      // Pa*s
    double PiezoE33; // C/m^2
    double Eps;      // F/m
};

extern std::vector<GridNode> NodeGrid;
extern double Dx;          // m
extern double Dt;          // s
extern int32_t PiezoFirst; // first node of the piezo plate
extern int32_t PiezoLast;  // last node of the piezo plate

// (Re)builds the grid; returns the node count N = Trunc(Length / Dx) + 2.
// Throws FloatingPointError (Dx = 0, quotient out of range) before anything changes,
// and std::bad_alloc when the grid does not fit in memory.
int32_t InitGrid(double Length, double Dx, double Dt);

// Material constants for nodes First..Last inclusive (nothing when Last < First).
void SetMaterial(int32_t First, int32_t Last, double Rho, double C33, double Eta, double PiezoE33,
                 double Eps);

// One time step driven by the plate current density (A/m^2); returns the plate voltage (V).
// Throws FloatingPointError on division by zero, invalid operation or overflow, and
// std::out_of_range (before anything changes) when a non-empty plate range PiezoFirst..PiezoLast
// is not inside 2 .. N - 2, as before the first task. A yield hook must not write the grid.
double DoTimeStep(double CurrentDensity);

// Moves every history down one level: 3 <- 2 <- 1 <- 0.
void ShiftTimeLevels();

// fn(context, first, last) over ranges that together cover every node of the grid, shared between
// the solver's threads the way the time step shares its sweeps, so that each thread mostly reads
// the nodes it computes, which are in its cache; on the calling thread alone for a small grid, with
// one thread, or when called from a yield handler during a time step. fn may read the grid and
// write only what belongs to its own range of nodes.
void ForEachNodeRange(void (*fn)(const void *context, int32_t first, int32_t last), const void *context);

// Threads that compute a time step, the calling thread included; n < 1 selects the default. With
// one thread the step runs entirely on the calling thread. Results are the same bits for any count.
// Not to be called during a time step.
void SetSolverThreads(int n);
int SolverThreads();
// PEPSIM_THREADS when it is a positive integer, else the hardware's thread count (at least 1).
int DefaultSolverThreads();
// Sweeps and level shifts of fewer nodes than this run on the calling thread alone (there, handing
// chunks to other threads costs more than it saves). nodes < 0 restores the default; 0 shares
// every sweep, also while other work keeps the workers off their cores (which otherwise lets the
// calling thread compute alone for a while); tests use it to run small grids through the workers.
void SetSolverParallelThreshold(int nodes);
int SolverParallelThreshold();
