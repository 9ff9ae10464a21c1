// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Worker threads that compute the chunks of one sweep of the time step together with the calling
// (main) thread. The thread count is set with SetSolverThreads (FDTD_1D_Routines.h).
//
// A sweep over first..last is cut into chunks; each thread owns a home range of them (the same
// nodes in every sweep, so they stay in its cache), takes its own chunks from the front and, when
// they are done, other ranges' chunks from the back. The calling thread takes part, so a chunk
// that nobody has started is never waited for: when a worker is descheduled, the caller computes
// its share. The caller then waits only for chunks that workers are computing, and calls its idle
// function while it waits. Workers are started once and kept; between sweeps they spin briefly,
// then block, so an idle program uses no CPU.
//
// <cfenv> flags belong to each thread: a worker clears its own before a sweep and hands back the
// fault flags it met (Run's result); the caller's flags stay in the caller's floating-point state.

#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

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

    // Computes first..last in chunks: the workers with workerChunk, the calling thread with
    // mainChunk; idle (may be null) is called by the calling thread while it waits for chunks that
    // workers are computing. Returns when every chunk is done, with the OR of the FE_DIVBYZERO,
    // FE_INVALID and FE_OVERFLOW flags that workers met.
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
// null with one thread.
SweepPool *SolverPool();
