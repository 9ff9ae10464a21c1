// SPDX-License-Identifier: GPL-3.0-or-later
// The bare time step (DoTimeStep + ShiftTimeLevels) on 1 and 2 threads, on the default stack laid
// on grids of 506 to 252,342 nodes, in nanoseconds per node and step; and the same while another
// thread spins on one of the cores for the whole benchmark. Wall-clock times: the workers' time is
// not the calling thread's. ns_per_node_step prints as seconds with an SI prefix ("29.3n");
// bytes_per_node is the heap taken by the grid and the step's own storage.
#include <benchmark/benchmark.h>

#include <malloc.h>
#include <pthread.h>
#include <sched.h>

#include <atomic>
#include <cmath>
#include <numbers>
#include <thread>

#include "../tests/DefaultStack.h"
#include "../tests/TestSolver.h"

namespace {

// Spatial steps giving 506, 2525, 25236 and 252342 nodes.
constexpr double kDx[] = {5e-5, 1e-5, 1e-6, 1e-7};

// Every node of the stack in motion, as after a long run: a few waves of small amplitude in every
// history level (a grid at rest would take shortcuts that a running task does not).
void LayMovingStack(double dx) {
    const int32_t n = LayScaledStack(Solver, dx);
    // Below 10 um the viscous layers need a time step shrinking with dx squared to stay stable.
    if (dx < 1e-5)
        Solver.Dt = 2e-10 * (dx / 1e-5) * (dx / 1e-5);
    for (int32_t i = 2; i < n - 2; ++i) {
        GridNode &g = Solver.NodeGrid[static_cast<size_t>(i)];
        if (Solver.Coefficients[static_cast<size_t>(i)].Stiffness == 0)
            continue;
        for (int l = 0; l < 4; ++l) {
            const double phase = 2 * std::numbers::pi * i / 97.0 + 0.05 * l;
            g.V[l] = 1e-3 * std::sin(phase);
            g.S[l] = 1e6 * std::cos(phase);
        }
    }
    for (int32_t i = Solver.PiezoFirst; i < Solver.PiezoLast; ++i)
        for (int l = 0; l < 4; ++l)
            Solver.NodeGrid[static_cast<size_t>(i)].E[l] = 1e3 * std::sin(0.3 * i + 0.05 * l);
}

size_t HeapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

void TimeSteps(benchmark::State &state) {
    const double dx = kDx[state.range(0)];
    Pool.SetThreads(static_cast<int>(state.range(1)));
    Solver.InitGrid(0.0, 1.0, 1.0); // two nodes and no plate: the previous grid's memory is given back
    Solver.SetPlate(1, 0);
    Solver.DoTimeStep(0.0); // and the step's own storage sized for two nodes
    const size_t heapBefore = HeapInUse();
    LayMovingStack(dx);
    Solver.DoTimeStep(0.0);
    Solver.ShiftTimeLevels();
    const size_t heapAfter = HeapInUse();
    const double n = static_cast<double>(Solver.NodeGrid.size());
    long long step = 0;
    for (int i = 0; i < 20; ++i, ++step) { // start the workers, warm the caches
        Solver.DoTimeStep(0.0);
        Solver.ShiftTimeLevels();
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(Solver.DoTimeStep(100.0 * std::sin(0.006 * static_cast<double>(step++))));
        Solver.ShiftTimeLevels();
    }
    Pool.SetThreads(0);
    state.counters["nodes"] = n;
    // The grid and the step's storage, measured as the heap's growth.
    state.counters["bytes_per_node"] = static_cast<double>(heapAfter - heapBefore) / (n - 2);
    state.counters["ns_per_node_step"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * n,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_TimeStep_Threads(benchmark::State &state) {
    TimeSteps(state);
}

// A thread that spins on the last core for the whole benchmark.
class Competitor {
public:
    Competitor()
        : Thread([this] {
              while (!Stop.load(std::memory_order_relaxed))
                  benchmark::DoNotOptimize(++Spins);
          }) {
        cpu_set_t set;
        CPU_ZERO(&set);
        const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
        CPU_SET(cores - 1, &set);
        pthread_setaffinity_np(Thread.native_handle(), sizeof set, &set);
    }
    ~Competitor() {
        Stop = true;
        Thread.join();
    }

private:
    std::atomic<bool> Stop{false};
    long long Spins = 0;
    std::thread Thread;
};

void BM_TimeStep_Threads_Contended(benchmark::State &state) {
    Competitor competitor;
    TimeSteps(state);
}

} // namespace

// Arguments: grid (0: 506, 1: 2525, 2: 25236, 3: 252342 nodes), threads.
BENCHMARK(BM_TimeStep_Threads)
    ->ArgsProduct({{0, 1, 2, 3}, {1, 2}})
    ->ArgNames({"grid", "threads"})
    ->UseRealTime()
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TimeStep_Threads_Contended)
    ->ArgsProduct({{1, 2}, {1, 2}})
    ->ArgNames({"grid", "threads"})
    ->UseRealTime()
    ->Unit(benchmark::kMicrosecond);
