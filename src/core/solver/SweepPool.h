// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Worker threads that compute the chunks of one sweep of the time step together with the calling
// (main) thread. The program creates a SweepPool (the thread count and the parallel threshold) and
// hands it to its engines; the pool starts its SweepWorkers when a step first needs them.
//
// A sweep over first..last is cut into chunks; each thread owns a home range of them (the same
// nodes in every sweep, so they stay in its cache). Even ranges are worked from the front, odd
// ones from the back, and a thread whose range is done takes the chunks left in other ranges from
// their other end: two neighbouring threads both work towards the border of their ranges, so only
// the chunks near it change hands from sweep to sweep. The calling thread takes part, so a chunk
// that nobody has started is never waited for: when a worker is descheduled, the caller computes
// its share. The caller then waits only for chunks that workers are computing, and calls its idle
// function while it waits. Workers are started once and kept; between sweeps they spin briefly,
// then block, so an idle program uses no CPU.
//
// When the machine's cores are busy with other work, the workers cost more than they give: the
// caller computes their share through the slower shared path, or waits for a chunk whose worker
// lost its core. WorkerRest watches for both signs and then lets the calling thread compute alone
// (SweepPool::Workers() returns null) for a while.
//
// <cfenv> flags belong to each thread: a worker clears its own before a sweep and hands back the
// fault flags it met (Run's result); the caller's flags stay in the caller's floating-point state.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

// When the calling thread computes the sweeps alone. A sign of busy cores is a wait of more than
// kLateWait for a worker's chunk (the worker lost its core in the middle of it), or a window of at
// least kWindowSweeps sweeps and kWindowTime in which the workers computed under half their share
// of the chunks ((threads - 1) / threads). A sign rests the workers for kShortestRest; a sign
// within kStreakTime of the end of the previous rest (the cores are still busy) for twice as long
// as that rest, up to 128 times kShortestRest. A sign that comes later (a core was taken away for
// a moment) starts again from kShortestRest. Windows count from the end of a rest.
class WorkerRest {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr auto kLateWait = std::chrono::milliseconds(2);
    static constexpr int kWindowSweeps = 32;
    static constexpr auto kWindowTime = std::chrono::milliseconds(1);
    static constexpr auto kShortestRest = std::chrono::milliseconds(8);
    static constexpr int kLongestRestDoublings = 7;
    static constexpr auto kStreakTime = std::chrono::milliseconds(50);

    // A sweep of `chunks` chunks, `mine` of them computed by the calling thread. True every
    // kWindowSweeps sweeps: then call EndWindow, which judges the window once it is kWindowTime old.
    bool CountSweep(int32_t chunks, int32_t mine) {
        WindowChunks += chunks;
        WindowMine += mine;
        return ++WindowSweeps >= kWindowSweeps;
    }
    void EndWindow(int threads, Clock::time_point now);
    // The calling thread waited `waited` for workers' chunks.
    void NoteWait(Clock::duration waited, Clock::time_point now);
    // Whether a rest is on; one that has ended opens a new window.
    bool Resting(Clock::time_point now);
    bool RestPending() const { return Pending; }
    Clock::time_point RestEnd() const { return RestUntil; }

private:
    void StartRest(Clock::time_point now);
    void OpenWindow(Clock::time_point now);

    Clock::time_point WindowStart{};
    int WindowSweeps = 0;
    int64_t WindowChunks = 0;
    int64_t WindowMine = 0;
    bool Pending = false;
    Clock::time_point RestUntil{};
    int Streak = 0;
};

class SweepWorkers {
public:
    // Computes the nodes first..last of the sweep whose data is `context`.
    using ChunkFn = void (*)(const void *context, int32_t first, int32_t last);

    // threads: the calling thread and threads - 1 workers.
    explicit SweepWorkers(int threads);
    ~SweepWorkers();
    SweepWorkers(const SweepWorkers &) = delete;
    SweepWorkers &operator=(const SweepWorkers &) = delete;

    int Threads() const { return static_cast<int>(Ranges.size()); }

    // Whether the workers rest (see WorkerRest); reads the clock only while a rest is on.
    bool Resting() { return Rest.RestPending() && Rest.Resting(std::chrono::steady_clock::now()); }

    // Computes first..last in chunks: the workers with workerChunk, the calling thread with
    // mainChunk; idle (may be null) is called with idleContext by the calling thread while it waits
    // for chunks that workers are computing. Returns when every chunk is done, with the OR of the
    // FE_DIVBYZERO, FE_INVALID and FE_OVERFLOW flags that workers met. A call from within a Run (from idle or
    // from a chunk of the calling thread) computes all of first..last with mainChunk on the calling thread.
    int Run(int32_t first, int32_t last, ChunkFn workerChunk, ChunkFn mainChunk, const void *context,
            void (*idle)(void *) = nullptr, void *idleContext = nullptr);

private:
    void StopWorkers();
    void WorkerLoop(int range);
    uint64_t WaitForJob(int range, uint32_t seen);
    bool Claim(int range, uint32_t generation, bool own, int32_t &index);
    bool ClaimAny(int range, uint32_t generation, int32_t &index);
    void WaitForWorkers(int32_t count, void (*idle)(void *), void *idleContext);

    std::vector<std::thread> Workers;
    uint32_t Generation = 0; // of the latest job; written by the calling thread only
    WorkerRest Rest;         // the calling thread's only
    bool InRun = false;      // the calling thread is inside Run

    // The job: written by the calling thread before the claim word announces it.
    std::atomic<ChunkFn> Fn{nullptr};
    std::atomic<const void *> Context{nullptr};
    std::atomic<int32_t> First{0};
    std::atomic<int32_t> ChunkSize{1};
    std::atomic<int32_t> ChunkCount{0};
    std::atomic<int32_t> Last{0};

    // The unclaimed chunks of each thread's home range (the calling thread's is range 0), as
    // (generation << 32) | (end << 16) | first: a claim for a finished job can never take a chunk
    // of the next one.
    struct alignas(64) HomeRange {
        std::atomic<uint64_t> Claims{0};
    };
    std::vector<HomeRange> Ranges;
    alignas(64) std::atomic<int32_t> Done{0};
    std::atomic<int> WorkerFaults{0};
    std::atomic<int> MainSleeping{0};
    alignas(64) std::atomic<uint32_t> WakeGeneration{0};
    std::atomic<int> Sleepers{0};
    std::atomic<bool> Stop{false};
};

// The threads that compute the time steps of the engines it is handed to, and when they share a
// sweep. One pool serves one thread of control at a time (the engines of one run loop, stepped in
// turn); the workers start on first use and again when the count changed.
class SweepPool {
public:
    // threads < 1 selects DefaultThreads().
    explicit SweepPool(int threads = 0);

    // Threads that compute a time step, the calling thread included; n < 1 selects the default.
    // With one thread the step runs entirely on the calling thread. Results are the same bits for
    // any count. Not to be called during a time step.
    void SetThreads(int n);
    int Threads() const { return FRequested > 0 ? FRequested : FDefault; }
    // PEPSIM_THREADS when it is a positive integer, else the hardware's thread count (at least 1).
    static int DefaultThreads();

    // Sweeps and level shifts of fewer nodes than this run on the calling thread alone (there,
    // handing chunks to other threads costs more than it saves). nodes < 0 restores the default;
    // 0 shares every sweep, also while other work keeps the workers off their cores (which
    // otherwise lets the calling thread compute alone for a while); tests use it to run small
    // grids through the workers.
    void SetParallelThreshold(int nodes);
    int ParallelThreshold() const { return FThreshold; }

    // The workers of Threads() threads, started when needed; null with one thread, when no thread
    // can be started, and while the workers rest.
    SweepWorkers *Workers();

private:
    int FRequested = 0; // 0: the default
    int FDefault = 1;
    int FThreshold;
    std::unique_ptr<SweepWorkers> FWorkers;
};
