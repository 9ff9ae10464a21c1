// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Worker threads that compute the chunks of one sweep of the time step together with the calling
// (main) thread. The thread count is set with SetSolverThreads (FDTD_1D_Routines.h).
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
// (SolverPool() returns null) for a while.
//
// <cfenv> flags belong to each thread: a worker clears its own before a sweep and hands back the
// fault flags it met (Run's result); the caller's flags stay in the caller's floating-point state.

#include <atomic>
#include <chrono>
#include <cstdint>
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

class SweepPool {
public:
    // Computes the nodes first..last of the sweep whose data is `context`.
    using ChunkFn = void (*)(const void *context, int32_t first, int32_t last);

    // threads: the calling thread and threads - 1 workers.
    explicit SweepPool(int threads);
    ~SweepPool();
    SweepPool(const SweepPool &) = delete;
    SweepPool &operator=(const SweepPool &) = delete;

    int Threads() const { return static_cast<int>(Ranges.size()); }

    // Whether the workers rest (see WorkerRest); reads the clock only while a rest is on.
    bool Resting() { return Rest.RestPending() && Rest.Resting(std::chrono::steady_clock::now()); }

    // Computes first..last in chunks: the workers with workerChunk, the calling thread with
    // mainChunk; idle (may be null) is called by the calling thread while it waits for chunks that
    // workers are computing. Returns when every chunk is done, with the OR of the FE_DIVBYZERO,
    // FE_INVALID and FE_OVERFLOW flags that workers met. A call from within a Run (from idle or from
    // a chunk of the calling thread) computes all of first..last with mainChunk on the calling
    // thread.
    int Run(int32_t first, int32_t last, ChunkFn workerChunk, ChunkFn mainChunk, const void *context,
            void (*idle)());

private:
    void StopWorkers();
    void WorkerLoop(int range);
    uint64_t WaitForJob(int range, uint32_t seen);
    bool Claim(int range, uint32_t generation, bool own, int32_t &index);
    bool ClaimAny(int range, uint32_t generation, int32_t &index);
    void WaitForWorkers(int32_t count, void (*idle)());

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

// The pool of SolverThreads() threads, started on first use (and again when the count changed);
// null with one thread and while the workers rest.
SweepPool *SolverPool();
