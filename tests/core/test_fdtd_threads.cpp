// SPDX-License-Identifier: GPL-3.0-or-later
// The time step on several threads: every node value, every plate voltage and every fault the same
// bits as on one thread; the yield hook only ever on the calling thread; the thread count setting.
#include <gtest/gtest.h>

#include <algorithm>
#include <cfenv>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

#include "../DefaultStack.h"
#include "../TestSolver.h"
#include "solver/SweepPool.h"
#include "solver/Yield.h"
#include "text/Errors.h"

namespace {

struct StepFault {
    FloatingPointError::FaultKind Kind;
    FloatingPointError::StepStage Stage;
    std::string Message;
    int Step;
};

// What a run leaves: the grid (after the fault, if one ended it), the voltages and the fault.
struct Outcome {
    std::vector<GridNode> Grid;
    std::vector<double> Voltages;
    std::optional<StepFault> Fault;
};

struct Task {
    const char *Name;
    double Dx; // m
    double Dt; // s; 0 keeps the scaled stack's
    int Nodes; // the node count the task must have
    int Steps; // steps to run (a fault may end the run sooner)
    bool Diverges;
};

// The default stack (10 um), a coarse and a fine grid, and the default stack with a time step a
// hundred times too large, whose fields grow until they overflow.
const Task kTasks[] = {
    {"default", 1e-5, 0, 2525, 2000, false},
    {"coarse", 5e-5, 0, 506, 2000, false},
    {"fine", 2e-6, 0, 12619, 400, false},
    {"diverging", 1e-5, 2e-8, 2525, 20000, true},
};

// Lays the task and steps it on the threads as they are set.
Outcome StepTask(const Task &task) {
    EXPECT_EQ(LayScaledStack(Solver, task.Dx), task.Nodes);
    if (task.Dt > 0)
        Solver.Dt = task.Dt;
    Outcome out;
    for (int step = 0; step < task.Steps; ++step) {
        try {
            out.Voltages.push_back(Solver.DoTimeStep(Pulse(step), &Yield));
        } catch (const FloatingPointError &e) {
            out.Fault = StepFault{e.Fault, e.Stage, e.what(), step};
            break;
        }
        Solver.ShiftTimeLevels();
    }
    out.Grid = Solver.NodeGrid;
    return out;
}

Outcome RunTask(const Task &task, int threads, int threshold) {
    Pool.SetThreads(threads);
    Pool.SetParallelThreshold(threshold);
    Outcome out = StepTask(task);
    Pool.SetThreads(0);
    Pool.SetParallelThreshold(-1);
    return out;
}

void ExpectSameOutcome(const Outcome &one, const Outcome &many, const std::string &where) {
    ASSERT_EQ(one.Grid.size(), many.Grid.size()) << where;
    EXPECT_EQ(std::memcmp(one.Grid.data(), many.Grid.data(), one.Grid.size() * sizeof(GridNode)), 0) << where;
    ASSERT_EQ(one.Voltages.size(), many.Voltages.size()) << where;
    EXPECT_EQ(std::memcmp(one.Voltages.data(), many.Voltages.data(), one.Voltages.size() * sizeof(double)), 0)
        << where;
    ASSERT_EQ(one.Fault.has_value(), many.Fault.has_value()) << where;
    if (one.Fault) {
        EXPECT_EQ(one.Fault->Kind, many.Fault->Kind) << where;
        EXPECT_EQ(one.Fault->Stage, many.Fault->Stage) << where;
        EXPECT_EQ(one.Fault->Message, many.Fault->Message) << where;
        EXPECT_EQ(one.Fault->Step, many.Fault->Step) << where;
    }
}

struct ThreadGuard {
    ~ThreadGuard() {
        Pool.SetThreads(0);
        Pool.SetParallelThreshold(-1);
        Yield.SetHook(nullptr);
    }
};

} // namespace

// Every task on 2, 3 and 8 threads, with the default threshold and with every sweep shared (a grid
// of 506 nodes is otherwise computed on one thread), against the single-threaded run.
TEST(SolverThreads, EveryThreadCountGivesTheSameBits) {
    ThreadGuard guard;
    for (const Task &task : kTasks) {
        const Outcome one = RunTask(task, 1, -1);
        ASSERT_GE(one.Voltages.size(), 20u) << task.Name;
        EXPECT_EQ(one.Fault.has_value(), task.Diverges) << task.Name;
        const auto moving = std::count_if(one.Grid.begin(), one.Grid.end(),
                                          [](const GridNode &g) { return g.V[1] != 0 && g.S[1] != 0; });
        EXPECT_GT(moving, 100) << task.Name << ": the waves did not spread";
        for (int threads : {2, 3, 8})
            for (int threshold : {-1, 0})
                ExpectSameOutcome(one, RunTask(task, threads, threshold),
                                  std::string(task.Name) + ", " + std::to_string(threads) +
                                      " threads, threshold " + std::to_string(threshold));
    }
}

TEST(SolverThreads, TheDivergingTaskEndsInTheSameFaultWhateverThreadMetIt) {
    ThreadGuard guard;
    const Outcome one = RunTask(kTasks[3], 1, -1);
    ASSERT_TRUE(one.Fault);
    EXPECT_EQ(one.Fault->Step, 107); // the step the fields overflow in
    EXPECT_EQ(one.Fault->Kind, FloatingPointError::FaultKind::Overflow);
    EXPECT_EQ(one.Fault->Message, "Floating-point overflow in the velocity update");
    EXPECT_EQ(one.Fault->Stage, FloatingPointError::StepStage::Velocity);
    const Outcome many = RunTask(kTasks[3], 2, 0);
    ASSERT_TRUE(many.Fault);
    ExpectSameOutcome(one, many, "diverging, 2 threads");
}

// A worker's fault flags are its own thread's and outlive a sweep: after a run whose fields
// overflowed on every thread's nodes, a healthy task on the same workers must report no fault and
// give the single-thread bits.
TEST(SolverThreads, AHealthyTaskAfterADivergingOneOnTheSameWorkersHasNoFault) {
    ThreadGuard guard;
    const Outcome one = RunTask(kTasks[0], 1, -1);
    ASSERT_FALSE(one.Fault);
    for (int threads : {2, 8}) {
        Pool.SetThreads(threads);
        Pool.SetParallelThreshold(0);
        const Outcome diverged = StepTask(kTasks[3]);
        ASSERT_TRUE(diverged.Fault) << threads;
        // The overflow reaches only a few nodes before the run stops, often on the calling thread's
        // chunks. The same state over the whole of the fine grid, stepped on, has every worker
        // compute overflowed nodes.
        ASSERT_EQ(LayScaledStack(Solver, 2e-6), 12619);
        for (int step = 0; step < 200; ++step) {
            for (GridNode &n : Solver.NodeGrid)
                for (int l = 1; l < 4; ++l)
                    n.V[l] = n.S[l] = n.E[l] = std::numeric_limits<double>::infinity();
            EXPECT_THROW(Solver.DoTimeStep(0, &Yield), FloatingPointError);
        }
        const Outcome healthy = StepTask(kTasks[0]);
        EXPECT_FALSE(healthy.Fault) << threads << " threads: step "
                                    << (healthy.Fault ? healthy.Fault->Step : 0) << ", "
                                    << (healthy.Fault ? healthy.Fault->Message : "");
        ExpectSameOutcome(one, healthy, "healthy after diverging, " + std::to_string(threads) + " threads");
    }
}

// A fault of each sweep, wherever its node lies: the same kind, stage and text on every count.
TEST(SolverThreads, FaultsOfEverySweepAreReportedAsOnOneThread) {
    ThreadGuard guard;
    struct Case {
        int Node;
        bool ZeroRho;
        bool ZeroEps;
        double J;
        const char *Message;
    };
    const Case cases[] = {
        {3, true, false, 0.0, "Invalid floating-point operation in the velocity update"},
        {1300, true, false, 0.0, "Invalid floating-point operation in the velocity update"},
        {2521, true, false, 0.0, "Invalid floating-point operation in the velocity update"},
        {740, false, true, 1e3, "Floating-point division by zero in the electric field update"},
    };
    for (const Case &c : cases)
        for (int threads : {1, 2, 8}) {
            Pool.SetThreads(threads);
            Pool.SetParallelThreshold(0);
            LayDefaultStack(Solver);
            if (c.ZeroRho)
                Solver.Coefficients[static_cast<size_t>(c.Node)].Density = 0;
            if (c.ZeroEps)
                Solver.Coefficients[static_cast<size_t>(c.Node)].Permittivity = 0;
            try {
                Solver.DoTimeStep(c.J, &Yield);
                ADD_FAILURE() << "no error at node " << c.Node;
            } catch (const FloatingPointError &e) {
                EXPECT_EQ(std::string(e.what()), c.Message) << threads;
            }
        }
}

namespace {
std::thread::id MainThread;
int HookCalls = 0;
int HookCallsOffMain = 0;
int StaleReads = 0;
std::vector<GridNode> CompletedLevels;

void CheckedHook() {
    ++HookCalls;
    if (std::this_thread::get_id() != MainThread)
        ++HookCallsOffMain;
    if (HookCalls % 101 != 0)
        return;
    for (size_t i = 0; i < Solver.NodeGrid.size(); ++i)
        for (int l = 1; l < 4; ++l)
            if (std::memcmp(&Solver.NodeGrid[i].V[l], &CompletedLevels[i].V[l], sizeof(double)) != 0 ||
                std::memcmp(&Solver.NodeGrid[i].S[l], &CompletedLevels[i].S[l], sizeof(double)) != 0 ||
                std::memcmp(&Solver.NodeGrid[i].E[l], &CompletedLevels[i].E[l], sizeof(double)) != 0)
                ++StaleReads;
}

void NoisyHook() {
    std::feraiseexcept(FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW);
}
} // namespace

// With a hook called at every yield point: only on the calling thread, only complete levels 1..3 in
// sight, and the results those of a run without a hook on one thread.
TEST(SolverThreads, TheYieldHookRunsOnlyOnTheCallingThread) {
    ThreadGuard guard;
    const Task task{"default", 1e-5, 0, 2525, 300, false};
    const Outcome one = RunTask(task, 1, -1);
    MainThread = std::this_thread::get_id();
    for (int threads : {2, 3}) {
        Pool.SetThreads(threads);
        Pool.SetParallelThreshold(0);
        LayDefaultStack(Solver);
        Yield.SetHook(&CheckedHook, 1);
        HookCalls = HookCallsOffMain = StaleReads = 0;
        std::vector<double> voltages;
        for (int step = 0; step < task.Steps; ++step) {
            CompletedLevels = Solver.NodeGrid;
            voltages.push_back(Solver.DoTimeStep(Pulse(step), &Yield));
            Solver.ShiftTimeLevels();
        }
        Yield.SetHook(nullptr);
        EXPECT_GT(HookCalls, 0) << threads;
        EXPECT_EQ(HookCallsOffMain, 0) << threads;
        EXPECT_EQ(StaleReads, 0) << threads;
        ExpectSameOutcome(one, Outcome{Solver.NodeGrid, voltages, std::nullopt},
                          std::to_string(threads) + " threads");
    }
}

namespace {

// Every node's V[1] through ForEachNodeRange, each node counted as it is read.
std::vector<double> ReadEveryNode(std::vector<int> &reads) {
    std::vector<double> values(Solver.NodeGrid.size());
    reads.assign(Solver.NodeGrid.size(), 0);
    struct Reading {
        double *Values;
        int *Reads;
    } reading{values.data(), reads.data()};
    Solver.ForEachNodeRange(
        [](const void *context, int32_t first, int32_t last) {
            const Reading &r = *static_cast<const Reading *>(context);
            for (int32_t i = first; i <= last; ++i) {
                r.Values[i] = Solver.NodeGrid[static_cast<size_t>(i)].V[1];
                ++r.Reads[i];
            }
        },
        &reading);
    return values;
}

std::vector<double> LevelOneVelocities() {
    std::vector<double> v;
    for (const GridNode &g : Solver.NodeGrid)
        v.push_back(g.V[1]);
    return v;
}

int NestedReadings = 0;
bool NestedReadsRight = true;

void ReadingHook() {
    std::vector<int> reads;
    const std::vector<double> values = ReadEveryNode(reads);
    ++NestedReadings;
    NestedReadsRight = NestedReadsRight && values == LevelOneVelocities() &&
                       std::all_of(reads.begin(), reads.end(), [](int n) { return n == 1; });
}

} // namespace

// ForEachNodeRange reads every node once, on any thread count, also from a yield handler in the
// middle of a shared sweep (where the workers are busy with the sweep).
TEST(SolverThreads, EveryNodeIsReadOnce) {
    ThreadGuard guard;
    for (int threads : {1, 2, 3, 8})
        for (int threshold : {-1, 0}) {
            Pool.SetThreads(threads);
            Pool.SetParallelThreshold(threshold);
            LayDefaultStack(Solver);
            for (int step = 0; step < 100; ++step) {
                Solver.DoTimeStep(Pulse(step), &Yield);
                Solver.ShiftTimeLevels();
            }
            std::vector<int> reads;
            EXPECT_EQ(ReadEveryNode(reads), LevelOneVelocities()) << threads << " threads";
            EXPECT_EQ(std::count(reads.begin(), reads.end(), 1), static_cast<long>(reads.size()))
                << threads << " threads";

            NestedReadings = 0;
            NestedReadsRight = true;
            Yield.SetHook(&ReadingHook, 997);
            Solver.DoTimeStep(Pulse(100), &Yield);
            Yield.SetHook(nullptr);
            EXPECT_GT(NestedReadings, 0) << threads << " threads";
            EXPECT_TRUE(NestedReadsRight) << threads << " threads";
        }
}

// Flags that a handler leaves on the calling thread are not the step's faults on several threads
// either; a real fault met by any thread still surfaces.
TEST(SolverThreads, FlagsLeftByAYieldHandlerAreNotTheStepsFaults) {
    ThreadGuard guard;
    const Task task{"default", 1e-5, 0, 2525, 100, false};
    const Outcome one = RunTask(task, 1, -1);
    Pool.SetThreads(2);
    Pool.SetParallelThreshold(0);
    LayDefaultStack(Solver);
    Yield.SetHook(&NoisyHook, 7);
    std::vector<double> voltages;
    for (int step = 0; step < task.Steps; ++step) {
        ASSERT_NO_THROW(voltages.push_back(Solver.DoTimeStep(Pulse(step), &Yield))) << step;
        Solver.ShiftTimeLevels();
    }
    ExpectSameOutcome(one, Outcome{Solver.NodeGrid, voltages, std::nullopt}, "noisy hook");
    Solver.SetMaterial(2000, 2010, 0, 275e9, 0, 0, 8.85e-12);
    try {
        Solver.DoTimeStep(0.0, &Yield);
        FAIL() << "no error";
    } catch (const FloatingPointError &e) {
        EXPECT_EQ(std::string(e.what()), "Invalid floating-point operation in the velocity update");
    }
}

namespace {
// Threads of this process other than the calling one that are running or runnable (Linux).
int BusyOtherThreads() {
    int busy = 0;
    const std::string self = std::to_string(gettid());
    for (const auto &entry : std::filesystem::directory_iterator("/proc/self/task")) {
        if (entry.path().filename() == self)
            continue;
        std::ifstream stat(entry.path() / "stat");
        std::string line;
        std::getline(stat, line);
        const size_t close = line.rfind(')');
        if (close != std::string::npos && close + 2 < line.size() && line[close + 2] == 'R')
            ++busy;
    }
    return busy;
}
} // namespace

// After a run the workers stop spinning and block: an idle program uses no CPU.
TEST(SolverThreads, IdleWorkersBlock) {
    ThreadGuard guard;
    Pool.SetThreads(3);
    LayDefaultStack(Solver);
    for (int step = 0; step < 50; ++step) {
        Solver.DoTimeStep(Pulse(step), &Yield);
        Solver.ShiftTimeLevels();
    }
    int busy = -1;
    for (int attempt = 0; attempt < 200 && busy != 0; ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        busy = BusyOtherThreads();
    }
    EXPECT_EQ(busy, 0);
}

TEST(SolverThreads, TheThreadCountSetting) {
    ThreadGuard guard;
    const int hardware = std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
    const char *saved = std::getenv("PEPSIM_THREADS");
    const std::string savedText = saved ? saved : "";
    struct Case {
        const char *Env; // nullptr: unset
        int Expected;    // 0: the hardware's count
    };
    const Case cases[] = {{nullptr, 0},
                          {"3", 3},
                          {"1", 1},
                          {"12", 12},
                          {"0", 0},
                          {"-2", 0},
                          {"", 0},
                          {"abc", 0},
                          {"4x", 0},
                          {" 4", 0},
                          {"99999999999999999999", 0}};
    for (const Case &c : cases) {
        if (c.Env)
            setenv("PEPSIM_THREADS", c.Env, 1);
        else
            unsetenv("PEPSIM_THREADS");
        EXPECT_EQ(SweepPool::DefaultThreads(), c.Expected ? c.Expected : hardware)
            << (c.Env ? c.Env : "(unset)");
    }
    if (saved)
        setenv("PEPSIM_THREADS", savedText.c_str(), 1);
    else
        unsetenv("PEPSIM_THREADS");

    Pool.SetThreads(3);
    EXPECT_EQ(Pool.Threads(), 3);
    Pool.SetThreads(1);
    EXPECT_EQ(Pool.Threads(), 1);
    Pool.SetThreads(0);
    const int defaultCount = Pool.Threads();
    EXPECT_GE(defaultCount, 1);
    Pool.SetThreads(-5);
    EXPECT_EQ(Pool.Threads(), defaultCount);
}

// When the workers rest: a window (32 sweeps and 1 ms at least) in which they computed under half
// their share of the chunks, or a wait of more than 2 ms for their chunk, rests them 8 ms; a
// sign within 50 ms of the end of the previous rest doubles that rest, up to 1,024 ms.
TEST(SolverThreads, WorkersRestWhileTheirCoresAreBusy) {
    using std::chrono::microseconds;
    using std::chrono::milliseconds;
    const WorkerRest::Clock::time_point t0 = WorkerRest::Clock::time_point{} + std::chrono::hours(1);

    // One window of 32 sweeps of 100 chunks on two threads; the workers' share should be 50.
    const auto window = [](WorkerRest &rest, int32_t workers, int threads, WorkerRest::Clock::time_point at) {
        for (int sweep = 1; sweep <= WorkerRest::kWindowSweeps; ++sweep)
            EXPECT_EQ(rest.CountSweep(100, 100 - workers), sweep == WorkerRest::kWindowSweeps);
        rest.EndWindow(threads, at);
    };
    struct ShareCase {
        int32_t Workers;
        int Threads;
        bool Rests;
    };
    for (const ShareCase &c :
         {ShareCase{25, 2, false}, ShareCase{24, 2, true}, ShareCase{0, 2, true}, ShareCase{50, 2, false},
          ShareCase{37, 4, true}, ShareCase{38, 4, false}, ShareCase{34, 3, false}, ShareCase{33, 3, true}}) {
        WorkerRest rest;
        window(rest, c.Workers, c.Threads, t0);
        EXPECT_EQ(rest.Resting(t0 + milliseconds(7)), c.Rests) << c.Workers << " of 100 on " << c.Threads;
        EXPECT_FALSE(rest.Resting(t0 + milliseconds(8)));
    }

    // A window younger than 1 ms is not judged yet: its counts go on.
    WorkerRest young;
    window(young, 0, 2, t0);
    EXPECT_TRUE(young.Resting(t0));
    EXPECT_FALSE(young.Resting(t0 + milliseconds(8))); // the window reopens here
    window(young, 0, 2, t0 + microseconds(8999));
    EXPECT_FALSE(young.Resting(t0 + microseconds(8999)));
    // Judged over 64 sweeps: the workers' 1,568 of 6,400 chunks are under a quarter, though the
    // last 32 sweeps alone would pass.
    window(young, 49, 2, t0 + milliseconds(9));
    EXPECT_TRUE(young.Resting(t0 + milliseconds(9)));

    // Waits: only one longer than 2 ms is a sign.
    WorkerRest waits;
    waits.NoteWait(microseconds(2000), t0);
    EXPECT_FALSE(waits.Resting(t0));
    waits.NoteWait(microseconds(2001), t0);
    EXPECT_TRUE(waits.Resting(t0));

    // Signs each right after the previous rest double it up to 1,024 ms; one more than 50 ms after
    // the end of the previous rest starts again at 8 ms.
    WorkerRest streak;
    WorkerRest::Clock::time_point now = t0;
    for (const int expected : {8, 16, 32, 64, 128, 256, 512, 1024, 1024}) {
        streak.NoteWait(milliseconds(3), now);
        EXPECT_EQ(streak.RestEnd() - now, milliseconds(expected));
        EXPECT_TRUE(streak.Resting(now + milliseconds(expected) - microseconds(1)));
        now += milliseconds(expected);
        EXPECT_FALSE(streak.Resting(now));
    }
    now += milliseconds(49);
    streak.NoteWait(milliseconds(3), now);
    EXPECT_EQ(streak.RestEnd() - now, milliseconds(1024));
    now = streak.RestEnd() + milliseconds(50);
    streak.NoteWait(milliseconds(3), now);
    EXPECT_EQ(streak.RestEnd() - now, milliseconds(8));
}
