// SPDX-License-Identifier: GPL-3.0-or-later
#include "solver/SweepPool.h"

#include <algorithm>
#include <cerrno>
#include <cfenv>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <system_error>

namespace {

constexpr int kFaultFlags = FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW;
constexpr int kChunksPerThread = 16;
constexpr int32_t kMinChunkNodes = 128;
constexpr int32_t kMaxChunkNodes = 2048;
constexpr int64_t kMaxChunks = 0xFFFF; // the claim word's 16-bit fields
constexpr int kMaxThreads = 64;
// How long a waiting worker spins before it blocks, and how long the calling thread waits for
// workers' chunks by spinning before it blocks (letting a descheduled worker have its core).
constexpr auto kWorkerPureSpin = std::chrono::microseconds(20);
constexpr auto kWorkerSpin = std::chrono::microseconds(200);
constexpr auto kMainSpin = std::chrono::microseconds(20);

inline void CpuRelax() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#endif
}

constexpr int kDefaultParallelThreshold = 1500;

} // namespace

int SweepPool::DefaultThreads() {
    if (const char *text = std::getenv("PEPSIM_THREADS")) {
        char *end = nullptr;
        errno = 0;
        const long n = std::strtol(text, &end, 10);
        if (errno == 0 && end != text && *end == '\0' && text[0] >= '0' && text[0] <= '9' && n >= 1)
            return static_cast<int>(std::min<long>(n, kMaxThreads));
    }
    const unsigned hardware = std::thread::hardware_concurrency();
    return static_cast<int>(std::clamp<unsigned>(hardware, 1, kMaxThreads));
}

SweepPool::SweepPool(int threads) : FDefault(DefaultThreads()), FThreshold(kDefaultParallelThreshold) {
    SetThreads(threads);
}

void SweepPool::SetThreads(int n) {
    FRequested = n < 1 ? 0 : std::min(n, kMaxThreads);
}

void SweepPool::SetParallelThreshold(int nodes) {
    FThreshold = nodes < 0 ? kDefaultParallelThreshold : nodes;
}

SweepWorkers *SweepPool::Workers() {
    const int threads = Threads();
    if (threads <= 1) {
        FWorkers.reset();
        return nullptr;
    }
    // Threshold 0 shares every sweep whatever the load (tests use it to drive the workers).
    if (FWorkers && FWorkers->Threads() == threads && FThreshold > 0 && FWorkers->Resting())
        return nullptr;
    if (!FWorkers || FWorkers->Threads() != threads) {
        FWorkers.reset();
        try {
            FWorkers = std::make_unique<SweepWorkers>(threads);
        } catch (const std::system_error &) {
            return nullptr; // no threads to be had: the step runs on the calling thread
        }
    }
    return FWorkers.get();
}

SweepWorkers::SweepWorkers(int threads) : Ranges(static_cast<size_t>(threads)) {
    Workers.reserve(static_cast<size_t>(threads - 1));
    try {
        for (int range = 1; range < threads; ++range)
            Workers.emplace_back([this, range] { WorkerLoop(range); });
    } catch (...) {
        StopWorkers();
        throw;
    }
}

SweepWorkers::~SweepWorkers() {
    StopWorkers();
}

void SweepWorkers::StopWorkers() {
    Stop.store(true, std::memory_order_seq_cst);
    WakeGeneration.fetch_add(1, std::memory_order_seq_cst);
    WakeGeneration.notify_all();
    for (std::thread &t : Workers)
        t.join();
}

// Each thread owns a home range of the chunks, a run of neighbouring nodes that stays the same
// from sweep to sweep and so stays in that thread's cache. It works its range from the front
// (even ranges) or the back (odd ones); a thread whose range is done takes chunks of other ranges
// from their other end.
bool SweepWorkers::Claim(int range, uint32_t generation, bool own, int32_t &index) {
    std::atomic<uint64_t> &claims = Ranges[static_cast<size_t>(range)].Claims;
    uint64_t word = claims.load(std::memory_order_relaxed);
    for (;;) {
        if (static_cast<uint32_t>(word >> 32) != generation)
            return false;
        const int32_t front = static_cast<int32_t>(word & 0xFFFF);
        const int32_t back = static_cast<int32_t>((word >> 16) & 0xFFFF);
        if (front >= back)
            return false;
        const bool fromFront = own == (range % 2 == 0);
        const uint64_t claimed = fromFront ? word + 1 : word - (uint64_t{1} << 16);
        if (claims.compare_exchange_weak(word, claimed, std::memory_order_acq_rel,
                                         std::memory_order_relaxed)) {
            index = fromFront ? front : back - 1;
            return true;
        }
    }
}

// The next chunk for the thread owning `range`: its own, else one left in another range.
bool SweepWorkers::ClaimAny(int range, uint32_t generation, int32_t &index) {
    if (Claim(range, generation, true, index))
        return true;
    const int ranges = static_cast<int>(Ranges.size());
    for (int k = 1; k < ranges; ++k)
        if (Claim((range + k) % ranges, generation, false, index))
            return true;
    return false;
}

// Spins for a while, then blocks until a job newer than `seen` is announced (or the pool stops).
uint64_t SweepWorkers::WaitForJob(int range, uint32_t seen) {
    const std::atomic<uint64_t> &claims = Ranges[static_cast<size_t>(range)].Claims;
    const auto start = std::chrono::steady_clock::now();
    for (int spins = 0;; ++spins) {
        const uint64_t word = claims.load(std::memory_order_acquire);
        if (static_cast<uint32_t>(word >> 32) != seen || Stop.load(std::memory_order_relaxed))
            return word;
        if ((spins & 255) != 255) {
            CpuRelax();
            continue;
        }
        const auto waited = std::chrono::steady_clock::now() - start;
        if (waited > kWorkerSpin)
            break;
        // Past the gaps between the sweeps of a run: let a thread that shares this core run (the
        // calling thread on a busy machine) between the looks.
        if (waited > kWorkerPureSpin)
            std::this_thread::yield();
    }
    Sleepers.fetch_add(1, std::memory_order_seq_cst);
    uint64_t word;
    for (;;) {
        const uint32_t wake = WakeGeneration.load(std::memory_order_seq_cst);
        word = claims.load(std::memory_order_acquire);
        if (static_cast<uint32_t>(word >> 32) != seen || Stop.load(std::memory_order_seq_cst))
            break;
        WakeGeneration.wait(wake, std::memory_order_seq_cst);
    }
    Sleepers.fetch_sub(1, std::memory_order_relaxed);
    return word;
}

void SweepWorkers::WorkerLoop(int range) {
    uint32_t seen = 0;
    for (;;) {
        const uint64_t word = WaitForJob(range, seen);
        if (Stop.load(std::memory_order_relaxed))
            return;
        const uint32_t generation = static_cast<uint32_t>(word >> 32);
        seen = generation;
        const ChunkFn fn = Fn.load(std::memory_order_relaxed);
        const void *context = Context.load(std::memory_order_relaxed);
        const int32_t first = First.load(std::memory_order_relaxed);
        const int32_t last = Last.load(std::memory_order_relaxed);
        const int32_t size = ChunkSize.load(std::memory_order_relaxed);
        const int32_t count = ChunkCount.load(std::memory_order_relaxed);
        // The chunks' flags and their count are handed back once, when no chunk is left: one
        // write to the shared counter per sweep instead of one per chunk.
        int32_t done = 0;
        int32_t index;
        while (ClaimAny(range, generation, index)) {
            if (done == 0)
                std::feclearexcept(kFaultFlags);
            const int32_t lo = first + index * size;
            fn(context, lo, std::min(last, lo + size - 1));
            ++done;
        }
        if (done == 0)
            continue;
        // fn is called through a pointer: all its arithmetic is done before the flags are read.
        if (const int flags = std::fetestexcept(kFaultFlags))
            WorkerFaults.fetch_or(flags, std::memory_order_relaxed);
        if (Done.fetch_add(done, std::memory_order_seq_cst) + done == count &&
            MainSleeping.load(std::memory_order_seq_cst))
            Done.notify_one();
    }
}

int SweepWorkers::Run(int32_t first, int32_t last, ChunkFn workerChunk, ChunkFn mainChunk,
                      const void *context, void (*idle)(void *), void *idleContext) {
    const int64_t nodes = int64_t{last} - first + 1;
    if (nodes <= 0)
        return 0;
    // Called again from the idle function or from a chunk of the calling thread (a yield handler
    // that reads the grid): the workers are busy with the outer job, so the calling thread computes
    // this one alone.
    if (InRun) {
        mainChunk(context, first, last);
        return 0;
    }
    InRun = true;
    struct Leave {
        bool &Flag;
        ~Leave() { Flag = false; }
    } leave{InRun};
    // kChunksPerThread chunks per thread, more on a large grid (a chunk of at most kMaxChunkNodes
    // keeps the wait for the last one short), none shorter than kMinChunkNodes.
    int64_t wanted =
        std::max<int64_t>(Threads() * kChunksPerThread, (nodes + kMaxChunkNodes - 1) / kMaxChunkNodes);
    wanted = std::min<int64_t>({wanted, (nodes + kMinChunkNodes - 1) / kMinChunkNodes, kMaxChunks});
    const int32_t size = static_cast<int32_t>((nodes + wanted - 1) / wanted);
    const int32_t count = static_cast<int32_t>((nodes + size - 1) / size);

    Fn.store(workerChunk, std::memory_order_relaxed);
    Context.store(context, std::memory_order_relaxed);
    First.store(first, std::memory_order_relaxed);
    Last.store(last, std::memory_order_relaxed);
    ChunkSize.store(size, std::memory_order_relaxed);
    ChunkCount.store(count, std::memory_order_relaxed);
    Done.store(0, std::memory_order_relaxed);
    WorkerFaults.store(0, std::memory_order_relaxed);
    MainSleeping.store(0, std::memory_order_relaxed);
    const uint32_t generation = ++Generation;
    const int ranges = Threads();
    for (int r = ranges - 1; r >= 0; --r) {
        const uint64_t front = static_cast<uint64_t>(int64_t{count} * r / ranges);
        const uint64_t back = static_cast<uint64_t>(int64_t{count} * (r + 1) / ranges);
        Ranges[static_cast<size_t>(r)].Claims.store(
            static_cast<uint64_t>(generation) << 32 | back << 16 | front, std::memory_order_seq_cst);
    }
    WakeGeneration.store(generation, std::memory_order_seq_cst);
    if (Sleepers.load(std::memory_order_seq_cst) > 0)
        WakeGeneration.notify_all();

    int32_t index;
    int32_t mine = 0;
    while (ClaimAny(0, generation, index)) {
        const int32_t lo = first + index * size;
        mainChunk(context, lo, std::min(last, lo + size - 1));
        ++mine;
    }
    if (Rest.CountSweep(count, mine))
        Rest.EndWindow(ranges, std::chrono::steady_clock::now());
    // Only chunks that workers have started remain.
    if (mine == 0 || Done.fetch_add(mine, std::memory_order_seq_cst) + mine != count)
        WaitForWorkers(count, idle, idleContext);

    std::atomic_thread_fence(std::memory_order_acquire);
    return WorkerFaults.load(std::memory_order_acquire);
}

// Spins (calling idle), then blocks until every chunk is done.
void SweepWorkers::WaitForWorkers(int32_t count, void (*idle)(void *), void *idleContext) {
    std::chrono::steady_clock::time_point start;
    for (int spins = 0; Done.load(std::memory_order_acquire) != count; ++spins) {
        if (idle)
            idle(idleContext);
        CpuRelax();
        if ((spins & 63) != 63)
            continue;
        const auto now = std::chrono::steady_clock::now();
        if (spins == 63)
            start = now;
        else if (now - start > kMainSpin) {
            MainSleeping.store(1, std::memory_order_seq_cst);
            for (int32_t done; (done = Done.load(std::memory_order_seq_cst)) != count;)
                Done.wait(done, std::memory_order_seq_cst);
            const auto end = std::chrono::steady_clock::now();
            Rest.NoteWait(end - now, end);
            return;
        }
    }
}

void WorkerRest::EndWindow(int threads, Clock::time_point now) {
    WindowSweeps = 0;
    if (now - WindowStart < kWindowTime)
        return; // judged after more sweeps, with these counts
    const int64_t workers = WindowChunks - WindowMine;
    const bool poor = workers * 2 * threads < WindowChunks * (threads - 1);
    OpenWindow(now);
    if (poor)
        StartRest(now);
}

void WorkerRest::NoteWait(Clock::duration waited, Clock::time_point now) {
    if (waited > kLateWait)
        StartRest(now);
}

void WorkerRest::StartRest(Clock::time_point now) {
    Streak = now - RestUntil < kStreakTime ? std::min(Streak + 1, kLongestRestDoublings) : 0;
    RestUntil = now + kShortestRest * (1 << Streak);
    Pending = true;
}

bool WorkerRest::Resting(Clock::time_point now) {
    if (!Pending)
        return false;
    if (now < RestUntil)
        return true;
    Pending = false;
    OpenWindow(now);
    return false;
}

void WorkerRest::OpenWindow(Clock::time_point now) {
    WindowStart = now;
    WindowSweeps = 0;
    WindowChunks = 0;
    WindowMine = 0;
}
